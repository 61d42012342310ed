#include "WindowsInclude.h"

#include "CFile.h"
#include "OsFileSystem.h"

#include <aclapi.h>

namespace
{
HANDLE ToHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

class ScopedHandle
{
public:
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle()
    {
        if (IsValid())
            ::CloseHandle(m_handle);
    }

    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    HANDLE Release()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE m_handle;
};

DWORD AccessFor(unsigned flags)
{
    if (flags & CFile::modeReadWrite)
        return GENERIC_READ | GENERIC_WRITE;
    return (flags & CFile::modeWrite) ? GENERIC_WRITE : GENERIC_READ;
}

// No FILE_SHARE_DELETE: another program must not delete or rename a file while it is written.
DWORD ShareFor(unsigned flags)
{
    if (!(flags & CFile::shareExclusive))
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    return (flags & CFile::shareRenamable) ? FILE_SHARE_DELETE : 0;
}

bool Truncates(unsigned flags)
{
    return (flags & CFile::modeCreate) && !(flags & CFile::modeNoTruncate);
}

// Without following, the file is truncated only after it has shown not to be a reparse point.
DWORD CreationFor(unsigned flags)
{
    if (flags & CFile::modeCreateNew)
        return CREATE_NEW;
    if (!(flags & CFile::modeCreate))
        return OPEN_EXISTING;
    return Truncates(flags) && !(flags & CFile::noFollow) ? CREATE_ALWAYS : OPEN_ALWAYS;
}

bool IsReparsePoint(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return !::GetFileInformationByHandle(handle, &info) ||
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A reparse point is refused; the file it is not is truncated when the flags ask for it.
DWORD CheckNotFollowed(HANDLE handle, unsigned flags)
{
    if (IsReparsePoint(handle))
        return ERROR_CANT_ACCESS_FILE;
    return !Truncates(flags) || ::SetEndOfFile(handle) != 0 ? 0 : ::GetLastError();
}

CString FullPath(const char* path)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    return length == 0 || length >= MAX_PATH ? CString()
                                             : CString(buffer, static_cast<int>(length));
}

// Ignoring case as the file system does; what lies below begins at a separator.
bool IsBelow(const CString& folder, const CString& path)
{
    const int length = folder.GetLength();
    return length > 0 && path.GetLength() > length &&
           path.Left(length).CompareNoCase(folder) == 0 &&
           (folder.Right(1) == "\\" || path[length] == '\\');
}

CString FinalPathOf(HANDLE handle)
{
    char buffer[4 * MAX_PATH] = {};
    const DWORD length = ::GetFinalPathNameByHandleA(handle, buffer, sizeof(buffer), 0);
    return length == 0 || length >= sizeof(buffer) ? CString()
                                                   : CString(buffer, static_cast<int>(length));
}

// The data folder below ALLUSERSPROFILE, where every local account may create files.
bool IsSharedDataFolder(const char* folder)
{
    char profile[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("ALLUSERSPROFILE", profile, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const CString shared = FullPath(profile);
    const CString full = FullPath(folder);
    return !shared.IsEmpty() && (full.CompareNoCase(shared) == 0 || IsBelow(shared, full));
}

bool IsCurrentUser(PSID sid)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    union
    {
        TOKEN_USER user;
        char bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } buffer{};
    DWORD size = 0;
    const bool same = ::GetTokenInformation(token, TokenUser, &buffer, sizeof(buffer), &size) &&
                      ::EqualSid(buffer.user.User.Sid, sid);
    ::CloseHandle(token);
    return same;
}

// This program's account, Administrators and SYSTEM.
bool HasTrustedOwner(HANDLE handle)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const bool trusted = ::IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                         ::IsWellKnownSid(owner, WinLocalSystemSid) || IsCurrentUser(owner);
    ::LocalFree(descriptor);
    return trusted;
}

// Why an entry opened as itself (not followed) is refused, or 0.
DWORD CheckEntry(HANDLE handle, bool folder, bool shared)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info))
        return ::GetLastError();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return os::kErrorLinkOnTheWay;
    if (((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder)
        return folder ? static_cast<DWORD>(ERROR_DIRECTORY) : os::kErrorFolderAtName;
    if (!folder && (::GetFileType(handle) != FILE_TYPE_DISK))
        return os::kErrorNotRegularFile;
    if (!folder && info.nNumberOfLinks != 1)
        return os::kErrorSeveralNames;
    return shared && !HasTrustedOwner(handle) ? os::kErrorForeignOwner : 0;
}

// Opened as itself and held without FILE_SHARE_DELETE, so that nobody renames it away before
// the file below it is open.
HANDLE OpenFolder(const char* path, DWORD flags)
{
    return ::CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

DWORD CreationBeneath(unsigned flags)
{
    if (flags & CFile::modeCreateNew)
        return CREATE_NEW;
    return (flags & CFile::modeCreate) ? OPEN_ALWAYS : OPEN_EXISTING;
}

// Told by the name before the open: a folder at the name would only give "access denied", and
// Wine shows a link to a folder only here, not on the handle.
DWORD CheckAttributes(const char* path, bool folder)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0; // missing: the open tells
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return os::kErrorLinkOnTheWay;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder == folder)
        return 0;
    return folder ? static_cast<DWORD>(ERROR_DIRECTORY) : os::kErrorFolderAtName;
}

// The handle's final path must be the path asked for: a link followed anywhere on the way (Wine
// shows no reparse point for a link to a file) leads elsewhere, inside the folder or out of it.
DWORD CheckFinalPath(HANDLE handle, const CString& folder, const std::vector<CString>& elements)
{
    const CString reached = FinalPathOf(handle);
    CString expected = folder;
    for (const CString& element : elements)
        expected += (expected.Right(1) == "\\" ? "" : "\\") + element;
    return reached.CompareNoCase(expected) == 0 ? 0 : os::kErrorLinkOnTheWay;
}
} // namespace

CFile::~CFile()
{
    Close();
}

bool CFile::Open(const char* path, unsigned flags)
{
    Close();
    const DWORD attributes =
        FILE_ATTRIBUTE_NORMAL | ((flags & noFollow) ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    ScopedHandle handle(::CreateFileA(path, AccessFor(flags), ShareFor(flags), nullptr,
                                      CreationFor(flags), attributes, nullptr));
    if (!handle.IsValid())
        return Refuse(::GetLastError());
    if (flags & noFollow)
    {
        if (const DWORD error = CheckNotFollowed(handle.Get(), flags))
            return Refuse(error);
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle.Release());
    m_path = path;
    return true;
}

bool CFile::OpenBeneath(const char* folder, const char* relativePath, unsigned flags)
{
    Close();
    std::vector<CString> elements;
    if (folder == nullptr || !SplitBelowFolder(relativePath, elements))
        return Refuse(os::kErrorNameLeavesFolder);
    const bool shared = IsSharedDataFolder(folder);
    std::vector<ScopedHandle> held;
    held.emplace_back(OpenFolder(folder, 0));
    if (!held.back().IsValid())
        return Refuse(::GetLastError());
    const CString finalFolder = FinalPathOf(held.back().Get());
    CString path = FullPath(folder);
    if (path.IsEmpty())
        return Refuse(ERROR_BAD_PATHNAME);
    for (std::size_t i = 0; i < elements.size(); ++i)
    {
        path += (path.Right(1) == "\\" ? "" : "\\") + elements[i];
        if (i + 1 == elements.size())
            break;
        if (const DWORD error = CheckAttributes(path, true))
            return Refuse(error);
        held.emplace_back(OpenFolder(path, FILE_FLAG_OPEN_REPARSE_POINT));
        if (!held.back().IsValid())
            return Refuse(::GetLastError());
        if (const DWORD error = CheckEntry(held.back().Get(), true, shared))
            return Refuse(error);
    }
    if (const DWORD error = CheckAttributes(path, false))
        return Refuse(error);
    ScopedHandle handle(::CreateFileA(
        path, AccessFor(flags) | READ_CONTROL, ShareFor(flags), nullptr, CreationBeneath(flags),
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.IsValid())
        return Refuse(::GetLastError());
    // The path first: a link that led elsewhere is named as such, whatever it led to.
    if (const DWORD error = CheckFinalPath(handle.Get(), finalFolder, elements))
        return Refuse(error);
    if (const DWORD error = CheckEntry(handle.Get(), false, shared))
        return Refuse(error);
    if (Truncates(flags) && !::SetEndOfFile(handle.Get()))
        return Refuse(::GetLastError());
    m_handle = reinterpret_cast<std::intptr_t>(handle.Release());
    m_path = path;
    return true;
}

bool CFile::IsAtPath() const
{
    return IsOpen();
}

bool CFile::Replace(const char* source, const char* target)
{
    return ::MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool CFile::IsOpen() const
{
    return m_handle != -1;
}

void CFile::Close()
{
    if (m_handle != -1)
        ::CloseHandle(ToHandle(m_handle));
    m_handle = -1;
}

std::uint64_t CFile::GetLength() const
{
    LARGE_INTEGER size{};
    if (m_handle == -1 || !::GetFileSizeEx(ToHandle(m_handle), &size))
        return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::int64_t CFile::Seek(std::int64_t offset, SeekPosition from)
{
    static const DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER position{};
    if (m_handle == -1 ||
        !::SetFilePointerEx(ToHandle(m_handle), distance, &position, kMethod[from]))
    {
        m_lastError = ::GetLastError();
        return -1;
    }
    return position.QuadPart;
}

bool CFile::SetLength(std::uint64_t length)
{
    const std::int64_t position = Seek(0, current);
    if (position < 0 || Seek(static_cast<std::int64_t>(length), begin) < 0)
        return false;
    const bool ok = ::SetEndOfFile(ToHandle(m_handle)) != 0;
    if (!ok)
        m_lastError = ::GetLastError();
    Seek(position, begin);
    return ok;
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    char* bytes = static_cast<char*>(buffer);
    unsigned total = 0;
    while (m_handle != -1 && total < count)
    {
        DWORD got = 0;
        if (!::ReadFile(ToHandle(m_handle), bytes + total, count - total, &got, nullptr))
            m_lastError = ::GetLastError();
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

bool CFile::Write(const void* buffer, unsigned count)
{
    unsigned written = 0;
    return Write(buffer, count, written);
}

bool CFile::Write(const void* buffer, unsigned count, unsigned& written)
{
    DWORD done = 0;
    const bool whole = m_handle != -1 &&
                       ::WriteFile(ToHandle(m_handle), buffer, count, &done, nullptr) &&
                       done == count;
    written = done;
    if (!whole)
        m_lastError = ::GetLastError();
    return whole;
}

bool CFile::Flush()
{
    return m_handle != -1 && ::FlushFileBuffers(ToHandle(m_handle)) != 0;
}
