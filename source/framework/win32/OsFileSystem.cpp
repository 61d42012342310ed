#include "WindowsInclude.h"

#include "OsFileSystem.h"

#include <string>
#include <vector>

namespace os
{
const char kPathSeparator = '\\';
const char kForeignSeparator = '/';
const char kProgramSuffix[] = ".exe";

bool GetFullPathNameA(const char* path, CString& fullPath, DWORD bufferSize)
{
    fullPath.Empty();
    if (path == nullptr || *path == '\0')
        return false;
    std::vector<char> buffer(bufferSize + 1u, '\0');
    const DWORD length = ::GetFullPathNameA(path, bufferSize, buffer.data(), nullptr);
    if (length == 0 || length >= bufferSize)
        return false;
    fullPath = CString(buffer.data(), static_cast<int>(length));
    return true;
}

DWORD GetFileAttributesA(const char* path)
{
    return ::GetFileAttributesA(path);
}

bool GetFileLastWriteTime(const char* path, FILETIME* time)
{
    WIN32_FIND_DATAA data{};
    HANDLE search = ::FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(search);
    *time = data.ftLastWriteTime;
    return true;
}

std::string GetFileStamp(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path == nullptr || !::GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return std::string();
    const unsigned long parts[] = {data.ftLastWriteTime.dwHighDateTime,
                                   data.ftLastWriteTime.dwLowDateTime, data.nFileSizeHigh,
                                   data.nFileSizeLow, data.dwFileAttributes};
    // Opaque: compared, never shown.
    return std::string(reinterpret_cast<const char*>(parts), sizeof(parts));
}

bool CreateDirectoryA(const char* path)
{
    return ::CreateDirectoryA(path, nullptr) != 0;
}

bool CreatePrivateDirectory(const char* path)
{
    return CreateDirectoryA(path);
}

std::vector<CString> ListFolderFiles(const char* folder)
{
    std::vector<CString> names;
    WIN32_FIND_DATAA found{};
    const std::string pattern = std::string(folder) + "\\*";
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.emplace_back(found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

bool DeleteFileA(const char* path)
{
    return ::DeleteFileA(path) != 0;
}

// The file is looked at without following a reparse point and without asking for any access,
// which opens nothing that could block.
bool MoveFileInFolder(const char* folder, const char* from, const char* to, DWORD& error)
{
    const CString source = CString(folder) + kPathSeparator + from;
    const CString target = CString(folder) + kPathSeparator + to;
    HANDLE handle = ::CreateFileA(
        source, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
        error = ::GetLastError();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD other =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    const bool regular = ::GetFileInformationByHandle(handle, &info) &&
                         (info.dwFileAttributes & other) == 0 && info.nNumberOfLinks == 1;
    ::CloseHandle(handle);
    if (!regular)
    {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (::MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING))
        return true;
    error = ::GetLastError();
    return false;
}

bool RemoveDirectoryA(const char* path)
{
    return ::RemoveDirectoryA(path) != 0;
}

DWORD GetLastError()
{
    return ::GetLastError();
}

CString GetErrorText(DWORD code)
{
    if (const char* refusal = GetFileRefusalText(code))
        return CString(refusal);
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    CString result(text, static_cast<int>(length));
    ::LocalFree(text);
    result.TrimRight("\r\n");
    return result;
}
} // namespace os
