// Path texts as the suite builds them. A normalised path uses the platform's separator only
// ('\\' on Windows, '/' on POSIX: the other slash is turned into it) and has no trailing
// separator, so "C:\\data\\" becomes "C:\\data" and "/srv/data/" becomes "/srv/data".
#pragma once

#include "../framework/CString.h"

CString NormalizePath(const char* path);
// Joins one element with exactly one separator; leading separators of the element are dropped,
// an empty element leaves the path as it was. Returns a copy of the new path.
CString AppendPath(CString& path, const char* element);
// Adds "." and the extension (leading dots of the extension dropped); returns a copy.
CString AppendExtension(CString& path, const char* extension);
// Absolute form with "." and ".." resolved, normalised; "" when it exceeds 260 characters.
CString GetFullPath(const char* path);
// Drive and folder of the path, normalised: "C:\\a\\b.txt" gives "C:\\a".
CString GetPathDirectory(const char* path);
// Name and extension of the last element: "C:\\a\\ctrl" gives "ctrl".
CString GetPathFileName(const char* path);
// The name under which a file is kept as its number-th earlier version: the number goes before
// the extension of the path's last element: "log_App.htm" and 2 give "log_App.2.htm", "trace"
// gives "trace.2".
CString NumberedFileName(const char* path, unsigned long number);
// True for an existing file that is neither a folder nor a device.
bool FileExists(const char* path);
// The running program's file, normalised; "" when it cannot be told in 260 characters.
CString GetModulePath();
// The folder of the module containing the address, or of the program when it is null.
CString GetModuleDirectory(const void* moduleAddress = nullptr);
// "" when the variable is unset, and also when its value has 4096 characters or more.
CString GetEnvironmentValue(const char* name);
CString ReplaceSpaces(const char* text);
// True when the name, taken relative to some folder, stays inside it: not empty, no leading
// separator (an absolute or network path), no ":" (a drive or a stream), and no element that is
// made of dots and blanks only (".." and what Windows trims to it) or names a device (CON, PRN,
// AUX, NUL, COM1-9, LPT1-9, with or without an extension). The same rule on every platform, so
// that one settings file means the same everywhere.
bool IsNameInsideFolder(const char* name);
