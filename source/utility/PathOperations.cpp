#include "PathOperations.h"

#include "OsEnvironment.h"
#include "OsFileSystem.h"
#include "OsProcess.h"

namespace
{
const DWORD kPathBufferSize = 260;
const DWORD kEnvironmentBufferSize = 4096;

bool IsDriveName(const CString& path)
{
    const unsigned char letter = static_cast<unsigned char>(path.GetLength() == 2 ? path[0] : 0);
    return ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) && path[1] == ':';
}

bool IsDotsAndBlanks(const CString& element)
{
    for (int i = 0; i < element.GetLength(); ++i)
        if (element[i] != '.' && element[i] != ' ')
            return false;
    return true;
}

// The device names that Windows opens in any folder, whatever extension follows them.
bool IsDeviceName(const CString& element)
{
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    const int dot = element.Find('.');
    CString base = dot >= 0 ? element.Left(dot) : element;
    base.TrimRight(' ');
    base.MakeUpper();
    for (const char* device : kDevices)
        if (base == device)
            return true;
    return base.GetLength() == 4 && (base.Left(3) == "COM" || base.Left(3) == "LPT") &&
           base[3] >= '1' && base[3] <= '9';
}
} // namespace

CString NormalizePath(const char* path)
{
    CString result(path);
    result.Replace(os::kForeignSeparator, os::kPathSeparator);
    result.TrimRight(os::kPathSeparator);
    return result;
}

CString AppendPath(CString& path, const char* element)
{
    CString tail(element);
    tail.TrimLeft(os::kPathSeparator);
    if (tail.IsEmpty())
        return path;
    if (path.IsEmpty())
        path = NormalizePath(tail);
    else
        path += os::kPathSeparator + tail;
    return path;
}

CString AppendExtension(CString& path, const char* extension)
{
    CString tail(extension);
    tail.TrimLeft('.');
    path = NormalizePath(path + "." + tail);
    return path;
}

CString GetFullPath(const char* path)
{
    // Normalising leaves a drive root as "R:", which the system reads as the current folder of
    // that drive; the root is meant.
    CString request(path);
    if (IsDriveName(request))
        request += os::kPathSeparator;
    CString fullPath;
    if (!os::GetFullPathNameA(request, fullPath, kPathBufferSize))
        return CString();
    return NormalizePath(fullPath);
}

CString GetPathDirectory(const char* path)
{
    CString drive;
    CString dir;
    os::SplitPath(path, &drive, &dir, nullptr, nullptr);
    return NormalizePath(drive + dir);
}

CString GetPathFileName(const char* path)
{
    CString name;
    CString ext;
    os::SplitPath(path, nullptr, nullptr, &name, &ext);
    return name + ext;
}

CString NumberedFileName(const char* path, unsigned long number)
{
    CString drive;
    CString dir;
    CString name;
    CString ext;
    os::SplitPath(path, &drive, &dir, &name, &ext);
    CString numbered;
    numbered.Format("%s%s%s.%lu%s", drive.GetString(), dir.GetString(), name.GetString(), number,
                    ext.GetString());
    return numbered;
}

bool FileExists(const char* path)
{
    const DWORD attributes = os::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

CString GetModulePath()
{
    CString path;
    if (!os::GetModuleFileNameA(nullptr, path, kPathBufferSize))
        return CString();
    return NormalizePath(path);
}

CString GetModuleDirectory(const void* moduleAddress)
{
    CString path;
    if (!os::GetModuleFileNameA(moduleAddress, path, kPathBufferSize))
        return CString();
    return GetPathDirectory(path);
}

CString GetEnvironmentValue(const char* name)
{
    char buffer[kEnvironmentBufferSize];
    const DWORD length = os::GetEnvironmentVariableA(name, buffer, kEnvironmentBufferSize);
    if (length == 0 || length >= kEnvironmentBufferSize)
        return CString();
    return CString(buffer, static_cast<int>(length));
}

CString ReplaceSpaces(const char* text)
{
    CString result(text);
    result.Replace(' ', '_');
    return result;
}

bool IsNameInsideFolder(const char* name)
{
    const CString path = NormalizePath(name);
    if (path.IsEmpty() || path[0] == os::kPathSeparator || path.Find(':') >= 0)
        return false;
    int start = 0;
    while (start <= path.GetLength())
    {
        int end = path.Find(os::kPathSeparator, start);
        if (end < 0)
            end = path.GetLength();
        const CString element = path.Mid(start, end - start);
        if (!element.IsEmpty() && (IsDotsAndBlanks(element) || IsDeviceName(element)))
            return false;
        start = end + 1;
    }
    return true;
}
