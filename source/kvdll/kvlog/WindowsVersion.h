// The Windows version as text, as the log file's header shows it. Where the system keeps no
// Windows version record (POSIX), the facts are not found and the target string reads
// "unknown version"; the running string comes from the suite's utilities program on every system.
#pragma once

#include "CString.h"
#include "KvlogExport.h"

// The name, service pack and build of the system and whether it is 64-bit; 1 when the facts were
// obtained, else 0. The outputs are reset first.
KVLOG_API int GetWindowsInfo(CString& osName, CString& servicePack, CString& build, int& is64Bit);
// One line describing the system as this process sees it; always 1.
KVLOG_API int GetTargetWindowsVersionString(CString& text);
// The whole output of "RVTUtilities.exe" in the suite's ctrl folder, which sees the system
// without this process's compatibility settings. 0, leaving text alone, when it is missing.
KVLOG_API int GetRunningWindowsVersionString(CString& text);
