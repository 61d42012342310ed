// The Windows version as text, as the log file's header shows it. On Linux the texts describe
// the distribution, machine and kernel ("Debian GNU/Linux 12 (bookworm) [x86_64] - Linux
// 6.1.0-18-amd64"); the running string comes from the suite's utilities program on every system.
#pragma once

#include "KvlogExport.h"
#include "framework/CString.h"

// The name, service pack and build of the system and whether it is 64-bit; 1 when the facts were
// obtained, else 0. The outputs are reset first. On Linux: the distribution, "", the kernel.
KVLOG_API int GetWindowsInfo(CString& osName, CString& servicePack, CString& build, int& is64Bit);
// One line describing the system as this process sees it; always 1.
KVLOG_API int GetTargetWindowsVersionString(CString& text);
// The whole output of the suite's utilities program in its ctrl folder ("rvtutilities" on
// Linux, also found as "RVTUtilities.exe"; "RVTUtilities.exe" on Windows), which sees the system
// without this process's compatibility settings. 0, leaving text alone, when it is missing.
KVLOG_API int GetRunningWindowsVersionString(CString& text);
