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
    // True while the path it was opened by still names this very file. A POSIX lock is taken
    // after the open, so the path may meanwhile name a file that replaced it; a Windows open
    // locks as it opens, so there it always holds.
    bool IsAtPath() const;
    // Puts the source file in the target's place in one step, replacing the target. The source
    // may be open (Windows: opened with shareRenamable); the target must not be open on Windows.
    static bool Replace(const char* source, const char* target);
    // The system error code of the last failed call of this object.
    DWORD GetLastError() const { return m_lastError; }

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

    std::intptr_t m_handle = -1;
    CString m_path;
    DWORD m_lastError = 0;
};
