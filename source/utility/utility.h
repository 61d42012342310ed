// Public declarations of the suite's utility library.
#pragma once

#include "CULRegistry.h"
#include "CULRegistryEx.h"
#include "InstallationFacts.h"
#include "PathOperations.h"
#include "CULList.h"
#include "CULRandomizer.h"
#include "CULRandGauss.h"
#include "CULSystemVersion.h"
#include "CULFileVersion.h"
#include "CULFileVersionList.h"
#include "CULFileVersionInfo.h"
#include "CULXMLData.h"
#include "CULXMLStringStack.h"
#include "CKVXMLConfig.h"
#include "TextFile.h"
#include "Utf8Encoding.h"
