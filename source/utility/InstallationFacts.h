// Where the suite is installed. The root is found once per process, from four sources: the data
// folder (the default: "korvel" below the all-users profile on Windows, below the user's state
// folder on POSIX), the running program's folder, the folder of the registered ActiveX control,
// and KORVEL_ROOT_DIR. A folder qualifies when its "ctrl" folder holds "RVT.exe" (or it is that
// "ctrl" folder itself). A KORVEL_ROOT_DIR that is passed over is named on the debugger output,
// with the reason, when the root is found.
#pragma once

#include "../framework/CString.h"

CString GetSuiteRootDir();
// Makes the candidate the cached root when it validates; false and no change otherwise.
bool SetSuiteRootDir(const char* candidate);
// The absolute root the candidate stands for, or "".
CString ValidateSuiteRoot(const char* candidate);
bool IsAutoDetectEnabled();
CString GetSuiteCtrlDir();
CString GetSuiteLogDir();
// An application's settings file in the log folder: "xdb_<application>.xdb", and its default log
// file name "log_<application>.htm"; each blank of the name becomes "_".
CString GetSettingsFilePath(const char* logFolder, const char* application);
CString GetDefaultLogFileName(const char* application);
// The default root when no installation qualifies.
CString GetSuiteDataFolder();
// Creates the log folder, with any missing folder above it, readable by its owner only, when the
// root is the data folder and that folder is the user's own (POSIX). An installation brings its
// own log folder and is never changed. True when the log folder exists afterwards.
bool PrepareSuiteLogDir();
// The registered server file of the suite's ActiveX control as the registry holds it, or "".
CString GetActiveXControlPath();
// The folder of that file when it is named "Q5300.ocx" (any case), else "".
CString GetActiveXControlDir();
// Builds the cache's (empty) record. The logging module calls it while it loads, before it builds
// its own static objects, so that the cache outlives them: their destruction may still log and
// store settings.
void PrepareSuiteRootCache();
// Hold the cache's lock across a fork (released in parent and child alike); the try fails at
// once while another thread holds it.
bool TryLockSuiteRootCacheForFork();
void UnlockSuiteRootCacheAfterFork();
// Forgets the cached root, so that the next GetSuiteRootDir looks again (tools and tests).
void ResetSuiteRootCache();
