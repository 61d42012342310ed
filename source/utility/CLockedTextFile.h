// A text file held exclusively from its reading to its replacement, so that programs sharing it
// never undo each other's changes, and replaced in one step, so that a write that fails part way
// (a full disk, a file-size limit) leaves the previous file whole.
//
// The new content is written beside the file (its name with ".new" added), held exclusively,
// and renamed over the file. A program that waited for the file therefore checks, once it holds
// it, that the path still names the file it holds and that no such new content is in flight;
// otherwise it has not got the file and tries again. Either name is opened as CFile::OpenBeneath
// opens a file in a shared folder.
#pragma once

#include "../framework/CFile.h"
#include "../framework/CString.h"

#include <cstdint>
#include <memory>
#include <string>

class CLockedTextFile
{
public:
    enum HoldResult
    {
        kBusy,    // held by another program, or not readable now
        kRefused, // what stands at the name is not taken (CFile::OpenBeneath): GetLastError
        kHeld,    // the existing file is held
        kCreated, // the file did not exist: an empty one is held, removed again by Close
                  // unless it is replaced first
    };

    CLockedTextFile();
    CLockedTextFile(const CLockedTextFile&) = delete;
    CLockedTextFile& operator=(const CLockedTextFile&) = delete;
    ~CLockedTextFile();

    HoldResult Hold(const char* path);
    bool IsHeld() const { return m_held->IsOpen(); }
    // Why the file was refused.
    DWORD GetLastError() const { return m_held->GetLastError(); }
    std::uint64_t GetLength() const { return IsHeld() ? m_held->GetLength() : 0; }
    // The held file's text, with the result codes of ReadTextFile.
    int Read(CString& text);
    // Writes the bytes beside the file and renames them over it; the new file is held from then
    // on. Without a hold the file at the path is replaced all the same. False when the previous
    // file is left as it was.
    bool Replace(const char* path, const std::string& bytes);
    // Lets the file go; an empty file that Hold created and nothing replaced is removed.
    void Close();

private:
    static CString NewContentPath(const char* path);
    // The new content of another program is waiting to be renamed over the file.
    static bool IsReplacementInFlight(const char* path);
    bool RenameOver(const CString& source, const char* target);

    std::unique_ptr<CFile> m_held;
    std::unique_ptr<CFile> m_beside;
    bool m_created = false;
};
