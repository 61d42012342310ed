// The version resource of executable files and the names of languages. Windows answers through
// its version API; POSIX reads the resource straight from the file, so that the versions of
// Windows files can be read there too.
#pragma once

#include "FrameworkTypes.h"

namespace os
{
// The size of the block that GetFileVersionInfoA needs; 0 when the file has no version resource.
// handle is always set to 0.
DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle);
// Fills data with the file's version block; size must be the one GetFileVersionInfoSizeA gave.
bool GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data);
// A value of the block by its path ("\\VarFileInfo\\Translation"). Text values come as
// 8-bit text (UTF-8 on POSIX) kept inside the block, which is why the block must be writable;
// length is in characters with the terminating zero for text, in bytes otherwise.
bool VerQueryValueA(void* block, const char* subBlock, void** value, unsigned* length);
// The name of a language identifier; the length written without the zero, 0 when unknown.
DWORD VerLanguageNameA(DWORD language, char* buffer, DWORD size);
// The user's default language identifier; on POSIX taken from the locale variables.
WORD GetUserDefaultLangID();
} // namespace os
