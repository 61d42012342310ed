#include "OsFileSystem.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace os
{
const char kPathSeparator = '/';
const char kForeignSeparator = '\\';
const char kProgramSuffix[] = "";

namespace
{
std::string CurrentDirectory()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr)
    {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}
} // namespace

// Lexical, as on Windows: the file system is not consulted, links are not followed.
bool GetFullPathNameA(const char* path, CString& fullPath, DWORD bufferSize)
{
    fullPath.Empty();
    if (path == nullptr || *path == '\0')
        return false;
    std::string input(path);
    for (char& ch : input)
        if (ch == '\\')
            ch = '/';
    if (input[0] != '/')
        input = CurrentDirectory() + "/" + input;
    std::vector<std::string> elements;
    std::size_t from = 0;
    while (from <= input.size())
    {
        std::size_t to = input.find('/', from);
        if (to == std::string::npos)
            to = input.size();
        const std::string element = input.substr(from, to - from);
        if (element == "..")
        {
            if (!elements.empty())
                elements.pop_back();
        }
        else if (!element.empty() && element != ".")
            elements.push_back(element);
        from = to + 1;
    }
    std::string result;
    for (const std::string& element : elements)
        result += "/" + element;
    if (result.empty() || input.back() == '/')
        result += "/";
    if (result.size() >= bufferSize)
        return false;
    fullPath = CString(result);
    return true;
}

DWORD GetFileAttributesA(const char* path)
{
    struct stat info
    {
    };
    if (path == nullptr || ::stat(path, &info) != 0)
        return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    if (!S_ISREG(info.st_mode))
        return FILE_ATTRIBUTE_DEVICE;
    return ::access(path, W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

bool GetFileLastWriteTime(const char* path, FILETIME* time)
{
    struct stat info
    {
    };
    if (path == nullptr || ::stat(path, &info) != 0)
        return false;
    // 100-nanosecond intervals since 1601-01-01, as Windows counts file times.
    const unsigned long long kEpochDifference = 116444736000000000ull;
    const unsigned long long ticks =
        kEpochDifference + static_cast<unsigned long long>(info.st_mtim.tv_sec) * 10000000ull +
        static_cast<unsigned long long>(info.st_mtim.tv_nsec) / 100ull;
    time->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFull);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

std::string GetFileStamp(const char* path)
{
    struct stat info
    {
    };
    if (path == nullptr || ::lstat(path, &info) != 0)
        return std::string();
    const long long parts[] = {info.st_mtim.tv_sec,
                               info.st_mtim.tv_nsec,
                               info.st_ctim.tv_sec,
                               info.st_ctim.tv_nsec,
                               static_cast<long long>(info.st_size),
                               static_cast<long long>(info.st_ino)};
    // Opaque: compared, never shown.
    return std::string(reinterpret_cast<const char*>(parts), sizeof(parts));
}

bool CreateDirectoryA(const char* path)
{
    return ::mkdir(path, 0777) == 0;
}

bool CreatePrivateDirectory(const char* path)
{
    return ::mkdir(path, 0700) == 0;
}

std::vector<CString> ListFolderFiles(const char* folder)
{
    std::vector<CString> names;
    DIR* listing = ::opendir(folder);
    if (listing == nullptr)
        return names;
    while (const dirent* entry = ::readdir(listing))
    {
        const std::string path = std::string(folder) + "/" + entry->d_name;
        struct stat info
        {
        };
        if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    return names;
}

bool DeleteFileA(const char* path)
{
    return ::unlink(path) == 0;
}

// The checks and the rename name their files relative to one descriptor of the folder, so that
// a link planted for the folder in between changes nothing.
bool MoveFileInFolder(const char* folder, const char* from, const char* to, DWORD& error)
{
    const int directory =
        ::open(folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (directory < 0)
    {
        error = static_cast<DWORD>(errno);
        return false;
    }
    struct stat info
    {
    };
    int result = ::fstatat(directory, from, &info, AT_SYMLINK_NOFOLLOW);
    if (result == 0 && (!S_ISREG(info.st_mode) || info.st_nlink != 1))
    {
        errno = EPERM;
        result = -1;
    }
    if (result == 0)
        result = ::renameat(directory, from, directory, to);
    error = result == 0 ? 0 : static_cast<DWORD>(errno);
    ::close(directory);
    return result == 0;
}

bool RemoveDirectoryA(const char* path)
{
    return ::rmdir(path) == 0;
}

DWORD GetLastError()
{
    return static_cast<DWORD>(errno);
}

CString GetErrorText(DWORD code)
{
    if (const char* refusal = GetFileRefusalText(code))
        return CString(refusal);
    char buffer[512] = {};
    // The GNU variant may return a static text instead of filling the buffer.
    const char* text = ::strerror_r(static_cast<int>(code), buffer, sizeof(buffer));
    return CString(text);
}
} // namespace os
