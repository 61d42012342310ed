// Taking turns at a file. Windows locks a file as it opens it with no sharing, and cannot replace
// a file that a waiter holds open, so the programs of the suite queue instead on a named mutex of
// the file, which the system hands to its waiters in turn; the exclusive open after it is tried
// again at growing intervals only while a program outside the queue (an editor) holds the file.
#include "WindowsInclude.h"

#include <aclapi.h>

#include "CFile.h"
#include "OsTime.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

const DWORD CFile::kErrorWaitEnded = ERROR_TIMEOUT;
const bool CFile::kReplacesOpenFiles = false;

namespace
{
const DWORD kLongestPollPause = 50;
const SECURITY_INFORMATION kAccessParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

bool ReportFailure(DWORD* lastError)
{
    if (lastError != nullptr)
        *lastError = ::GetLastError();
    return false;
}
} // namespace

namespace
{
const DWORD kTurnSliceMilliseconds = 20;

// The name of the file's turn: its full path in one letter case, hashed (FNV-1a), as a mutex
// name holds no backslash.
std::string TurnName(const char* path)
{
    char full[MAX_PATH * 2] = {};
    const DWORD length = ::GetFullPathNameA(path, sizeof(full), full, nullptr);
    unsigned long long hash = 14695981039346656037ull;
    for (DWORD i = 0; i < length && i < sizeof(full); ++i)
        hash = (hash ^ static_cast<unsigned>(std::tolower(static_cast<unsigned char>(full[i])))) *
               1099511628211ull;
    char name[64];
    std::snprintf(name, sizeof(name), "Local\\kvlog-settings-%016llx", hash);
    return name;
}

// The mutex once this thread owns it; null when it cannot be had in time (or at all: another
// account's), and then the exclusive open alone decides.
HANDLE TakeTurn(const char* path, DWORD start, DWORD waitMilliseconds, bool (*giveUp)())
{
    HANDLE turn = ::CreateMutexA(nullptr, FALSE, TurnName(path).c_str());
    if (turn == nullptr)
        return nullptr;
    for (;;)
    {
        const DWORD result = ::WaitForSingleObject(turn, kTurnSliceMilliseconds);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)
            return turn;
        if (result != WAIT_TIMEOUT || os::GetTickCount() - start >= waitMilliseconds ||
            (giveUp != nullptr && giveUp()))
            break;
    }
    ::CloseHandle(turn);
    return nullptr;
}
} // namespace

bool CFile::HoldInFolder(const char* path, unsigned flags, DWORD waitMilliseconds, bool (*giveUp)())
{
    const DWORD start = os::GetTickCount();
    HANDLE turn = TakeTurn(path, start, waitMilliseconds, giveUp);
    for (DWORD pause = 1;; pause = std::min(pause * 2, kLongestPollPause))
    {
        if (OpenInFolder(path, flags | shareExclusive))
        {
            m_turn = reinterpret_cast<std::intptr_t>(turn);
            return true;
        }
        if (!IsHeldElsewhere(m_lastError))
            break;
        if (os::GetTickCount() - start >= waitMilliseconds || (giveUp != nullptr && giveUp()))
        {
            m_lastError = kErrorWaitEnded;
            break;
        }
        ::Sleep(pause);
    }
    if (turn != nullptr)
    {
        ::ReleaseMutex(turn);
        ::CloseHandle(turn);
    }
    return false;
}

void CFile::ReleaseTurn()
{
    if (m_turn == 0)
        return;
    HANDLE turn = reinterpret_cast<HANDLE>(m_turn);
    m_turn = 0;
    ::ReleaseMutex(turn);
    ::CloseHandle(turn);
}

bool CFile::IsNotFound(DWORD code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

bool CFile::IsHeldElsewhere(DWORD code)
{
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

bool CFile::IsAlreadyThere(DWORD code)
{
    return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

bool CFile::MayRenameSoon(DWORD code)
{
    return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED;
}

bool CFile::IsReadOnly()
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (m_handle == -1 ||
        !::GetFileInformationByHandle(reinterpret_cast<HANDLE>(m_handle), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0)
        return false;
    m_lastError = ERROR_ACCESS_DENIED;
    return true;
}

// By name: the access list is no data, so the open that sets it is not kept out by this
// handle's exclusive sharing. An account that may not give the file away keeps it.
bool CFile::TakeAccessOf(const CFile& model)
{
    PSID owner = nullptr;
    PSID group = nullptr;
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (m_handle == -1 || model.m_handle == -1 ||
        ::GetSecurityInfo(reinterpret_cast<HANDLE>(model.m_handle), SE_FILE_OBJECT, kAccessParts,
                          &owner, &group, &access, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    char* name = const_cast<char*>(m_path.GetString());
    DWORD error =
        ::SetNamedSecurityInfoA(name, SE_FILE_OBJECT, kAccessParts, owner, group, access, nullptr);
    if (error != ERROR_SUCCESS)
        error = ::SetNamedSecurityInfoA(name, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, access, nullptr);
    ::LocalFree(descriptor);
    if (error == ERROR_SUCCESS)
        return true;
    m_lastError = error;
    return false;
}

bool CFile::SyncToDevice()
{
    if (m_handle != -1 && ::FlushFileBuffers(reinterpret_cast<HANDLE>(m_handle)))
        return true;
    m_lastError = ::GetLastError();
    return false;
}

bool CFile::Replace(const char* source, const char* target, DWORD* lastError)
{
    return ::MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0 ||
           ReportFailure(lastError);
}

bool CFile::PlaceNew(const char* source, const char* target, DWORD* lastError)
{
    return ::MoveFileExA(source, target, MOVEFILE_WRITE_THROUGH) != 0 || ReportFailure(lastError);
}

bool CFile::SyncFolder(const char*)
{
    return true;
}
