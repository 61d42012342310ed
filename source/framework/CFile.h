// A file opened by path, with the framework's open flags. Open reports failure by its result and
// never throws. shareExclusive keeps every other opener out (Windows: share mode 0; POSIX: an
// advisory exclusive lock, so that programs of the suite exclude each other); shareDenyNone
// lets everyone read and write, but on Windows nobody delete or rename the open file. noFollow
// refuses a symbolic link at the path (Windows: any reparse point), so that a link planted in a
// shared folder cannot redirect the open.
#pragma once

#include "CObject.h"
#include "CString.h"
#include "FrameworkTypes.h"

#include <cstdint>
#include <vector>

class CFile : public CObject
{
public:
    enum OpenFlags : unsigned
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        noFollow = 0x4000,
        // Fails when the file exists.
        modeCreateNew = 0x8000,
        // With shareExclusive: on Windows the holder itself may still rename or delete the open
        // file (everybody else stays out); POSIX needs no such permission.
        shareRenamable = 0x0080,
    };
    enum SeekPosition
    {
        begin = 0,
        current = 1,
        end = 2
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() override;

    bool Open(const char* path, unsigned flags);
    // Opens relativePath below folder as Open does, for a folder that other accounts may write:
    // no link is followed at any element below folder, nothing that could block the open (a
    // pipe, a device) is opened, and only a regular file with one link that this account may
    // trust is taken. GetLastError tells why a file was refused (os::IsFileRefusal).
    // Trust: in a folder that every account can write (POSIX: world-writable; Windows: the data
    // folder below ALLUSERSPROFILE), the file and each folder on the way must belong to this
    // account or to the system (root; Administrators, SYSTEM), and on POSIX must not be
    // writable by every account. In any other folder whoever may write there is trusted.
    bool OpenBeneath(const char* folder, const char* relativePath, unsigned flags);
    // OpenBeneath of the last element of path below the folder that holds it.
    bool OpenInFolder(const char* path, unsigned flags);
    bool IsOpen() const;
    void Close();
    const CString& GetFilePath() const { return m_path; }
    // The name that the open file was renamed to, for what is later asked by name.
    void SetFilePath(const char* path) { m_path = path; }
    // True while the path it was opened by still names this very file. A POSIX lock is taken
    // after the open, so the path may meanwhile name a file that replaced it; a Windows open
    // locks as it opens, so there it always holds.
    bool IsAtPath() const;
    // Puts the source file in the target's place in one step, replacing the target. The source
    // may be open (Windows: opened with shareRenamable); the target must not be open on Windows.
    // lastError, when given, receives the system's code of a failure.
    static bool Replace(const char* source, const char* target, DWORD* lastError = nullptr);
    // The system error code of the last failed call of this object.
    DWORD GetLastError() const { return m_lastError; }

    // A file that several programs take turns at (CFileHold.cpp).
    //
    // OpenInFolder with shareExclusive that, while another program holds the file, waits for
    // it: blocked in the system, so that the programs waiting for one file take it in turn, and
    // at most waitMilliseconds, and only while giveUp (when given) returns false. On failure
    // GetLastError is kErrorWaitEnded when the wait ran out or was given up.
    bool HoldInFolder(const char* path, unsigned flags, DWORD waitMilliseconds,
                      bool (*giveUp)() = nullptr);
    static const DWORD kErrorWaitEnded;
    // What a failed open's code says: nothing is at the name (or the folder is missing); another
    // program holds the file; the name is taken (a new file was asked for).
    static bool IsNotFound(DWORD code);
    static bool IsHeldElsewhere(DWORD code);
    static bool IsAlreadyThere(DWORD code);
    // No account may write the file (POSIX: no write permission bit at all, or none for this
    // account; Windows: the read-only attribute): its content is not to be replaced.
    bool IsReadOnly();
    // Gives this file the owner and the permissions of the model as far as this account may
    // (POSIX: owner, group and mode; Windows: owner, group and access list). False when the
    // permissions could not be set.
    bool TakeAccessOf(const CFile& model);
    // Hands the written data to the device, so that a crash after a rename finds it there.
    bool SyncToDevice();
    // Puts the source file at the target's name only when nothing is there; false (IsAlreadyThere
    // of the code in lastError) when something is.
    static bool PlaceNew(const char* source, const char* target, DWORD* lastError = nullptr);
    // Hands the folder's entries (a rename into it) to the device; true where the system has no
    // such step (Windows renames through to the device).
    static bool SyncFolder(const char* folder);
    // Windows replaces no file that is open, not even for the one who holds it; a Replace that
    // fails because another program opened the target in that moment may succeed soon after.
    static const bool kReplacesOpenFiles;
    static bool MayRenameSoon(DWORD code);

    std::uint64_t GetLength() const;
    // Returns the new position, or -1 on failure.
    std::int64_t Seek(std::int64_t offset, SeekPosition from);
    std::int64_t SeekToEnd() { return Seek(0, end); }
    bool SetLength(std::uint64_t length);
    // Reads until count bytes are in or the file ends, as short reads of pipes and signals would
    // otherwise leave every caller to loop; returns the number read (fewer only at the end or on
    // failure).
    unsigned Read(void* buffer, unsigned count);
    // Writes everything or reports failure.
    bool Write(const void* buffer, unsigned count);
    // As above, telling how many bytes reached the file before a failure.
    bool Write(const void* buffer, unsigned count, unsigned& written);
    bool Flush();
    // The system's handle (POSIX: the descriptor), for the framework's own calls; -1 when closed.
    std::intptr_t GetHandle() const { return m_handle; }

private:
    // The elements of a name taken below a folder, split at either slash; false when the name
    // would leave the folder (empty, absolute, an empty element, "." or "..", on Windows a
    // drive or a stream).
    static bool SplitBelowFolder(const char* relativePath, std::vector<CString>& elements);
    bool Refuse(DWORD error);

    // Windows: the named mutex of the file's turn that HoldInFolder took, released by Close.
    void ReleaseTurn();

    std::intptr_t m_handle = -1;
    std::intptr_t m_turn = 0;
    CString m_path;
    DWORD m_lastError = 0;
};
