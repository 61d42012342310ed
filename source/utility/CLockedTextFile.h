// A text file held exclusively from its reading to its replacement, so that programs sharing it
// never undo each other's changes, and replaced in one step, so that a write that fails or a
// program killed at any moment leaves either the previous file or the new one, whole.
//
// The new content is written to "<name>.new", created exclusively (a name planted there is
// removed when it may be, and otherwise makes the save fail), given the owner and permissions of
// the file it replaces, synced to the device, renamed over the file, and then the folder synced.
// A file that does not exist yet is put in place only if nothing appeared at its name meanwhile,
// so no empty or partial file ever stands there. The new file is held from its creation, so the
// program that waited for the old one finds, once it holds that, that the path names another
// file and waits for that one. A ".new" that another program holds is its new content in flight
// and is waited for. Every name is opened as CFile::OpenInFolder opens a file in a shared folder.
//
// Waiting happens only for another program that holds one of the two files, and at most for the
// time given; every other failure ends the operation at once.
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
        kHeld,    // the existing file is held
        kMissing, // nothing is at the name: Replace puts the first file there
        kBusy,    // another program held it for the whole wait
        kRefused, // it cannot be used: DescribeFailure
    };
    enum ReplaceResult
    {
        kReplaced,
        // Without a held file: another program put a file at the name meanwhile, or it
        // swapped the new content away; the caller starts again from Hold.
        kTakenMeanwhile,
        kNotReplaced, // DescribeFailure; kBusy-like when IsFailureBusy
    };

    CLockedTextFile();
    CLockedTextFile(const CLockedTextFile&) = delete;
    CLockedTextFile& operator=(const CLockedTextFile&) = delete;
    ~CLockedTextFile();

    HoldResult Hold(const char* path, DWORD waitMilliseconds, bool (*giveUp)() = nullptr);
    bool IsHeld() const { return m_held->IsOpen(); }
    std::uint64_t GetLength() const { return IsHeld() ? m_held->GetLength() : 0; }
    // The held file's text, with the result codes of ReadTextFile.
    int Read(CString& text);
    // Puts the bytes in place of the held file, or of none after kMissing; the new file is held
    // from then on.
    ReplaceResult Replace(const char* path, const std::string& bytes, DWORD waitMilliseconds,
                          bool (*giveUp)() = nullptr);
    void Close();

    // Why the last Hold or Replace failed, in words, with the system's reason.
    CString DescribeFailure() const;
    // The failure was a wait for another program that ran out; it may clear by itself.
    bool IsFailureBusy() const { return m_failureCode == CFile::kErrorWaitEnded; }

private:
    static CString NewContentPath(const char* path);
    // Another program's new content waits beside the file: waited for, then true.
    bool WaitForReplacementInFlight(const char* path, DWORD waitMilliseconds, bool (*giveUp)());
    // Removes what stands at the name of the new content, unless another program writes it.
    bool ClearNewContentPath(const CString& besidePath, DWORD waitMilliseconds, bool (*giveUp)());
    bool WriteNewContent(const CString& besidePath, const std::string& bytes);
    ReplaceResult PutInPlace(const CString& besidePath, const char* path);
    bool Fail(const char* what, DWORD code);
    ReplaceResult NotReplaced(const char* what, DWORD code);
    void DropNewContent(const CString& besidePath);

    std::unique_ptr<CFile> m_held;
    std::unique_ptr<CFile> m_beside;
    const char* m_failureWhat = nullptr;
    CString m_failurePath;
    DWORD m_failureCode = 0;
};
