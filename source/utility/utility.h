// Public declarations of the suite's utility library.
#pragma once

#include "CULRegistry.h"
#include "CULRegistryEx.h"
#include "InstallationFacts.h"
#include "PathOperations.h"
#include "CULList.h"
#include "CULFileObserver.h"
