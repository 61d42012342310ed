// The application's interface to the logging module.
#pragma once

#include "CString.h"
#include "KvlogExport.h"
