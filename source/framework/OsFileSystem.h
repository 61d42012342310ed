// File-system queries and the path facts of the platform.
#pragma once

#include "CString.h"
#include "FrameworkTypes.h"

#include <string>
#include <vector>

namespace os
{
// The separator of path elements: '\\' on Windows, '/' on POSIX. The other slash is turned into it
// by path normalisation.
extern const char kPathSeparator;
extern const char kForeignSeparator;
// What a program file's name ends with: ".exe" on Windows, nothing on POSIX.
extern const char kProgramSuffix[];

// Absolute form with "." and ".." resolved; false when it does not fit bufferSize characters.
bool GetFullPathNameA(const char* path, CString& fullPath, DWORD bufferSize = MAX_PATH);
// INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetFileAttributesA(const char* path);
bool GetFileLastWriteTime(const char* path, FILETIME* time);
// What tells one state of a directory entry from the next (its write time and size, on POSIX
// also its change time, which owner and permission changes move); a link is taken as itself.
// An empty stamp when nothing is at the path.
std::string GetFileStamp(const char* path);
bool CreateDirectoryA(const char* path);
// A folder that only its owner may read, write and enter (POSIX mode 0700; Windows: the default
// security of its parent).
bool CreatePrivateDirectory(const char* path);
bool DeleteFileA(const char* path);
// Gives the file named from in the folder the name to in the same folder, replacing whatever to
// names there. Only a regular file with one link is moved: no link is followed, and nothing is
// opened that could block (a pipe, a device). False, with the system's error code, when from
// names nothing or something else, or the system refuses.
bool MoveFileInFolder(const char* folder, const char* from, const char* to, DWORD& error);
bool RemoveDirectoryA(const char* path);
// The names of the files (not folders) in a folder, in no particular order; empty when it cannot
// be read.
std::vector<CString> ListFolderFiles(const char* folder);
// The C library's split of a path into drive (Windows only), folder, name and extension.
void SplitPath(const char* path, CString* drive, CString* dir, CString* name, CString* ext);

DWORD GetLastError();
// The system's text for an error code, without trailing line breaks; the framework's own codes
// below get their own text.
CString GetErrorText(DWORD code);

// Why CFile::OpenBeneath refused a file. Bit 29 marks an application's own codes on Windows and
// lies far beyond every errno value.
constexpr DWORD kErrorNameLeavesFolder = 0x20004B01;
constexpr DWORD kErrorLinkOnTheWay = 0x20004B02;
constexpr DWORD kErrorNotRegularFile = 0x20004B03;
constexpr DWORD kErrorFolderAtName = 0x20004B04;
constexpr DWORD kErrorSeveralNames = 0x20004B05;
constexpr DWORD kErrorForeignOwner = 0x20004B06;
constexpr DWORD kErrorWritableByAll = 0x20004B07;
bool IsFileRefusal(DWORD code);
// The text of a refusal, or null for any other code (GetErrorText's own part).
const char* GetFileRefusalText(DWORD code);
} // namespace os
