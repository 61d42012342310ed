#include "CLockedTextFile.h"

#include "OsFileSystem.h"
#include "OsTime.h"
#include "PathOperations.h"
#include "TextFile.h"

#include <climits>

namespace
{
const unsigned kHoldFlags = CFile::modeRead | CFile::shareRenamable | CFile::noFollow;
const char kHeldByAnother[] = "the file was held by another program";
const unsigned kBesideFlags = CFile::modeCreateNew | CFile::modeReadWrite | CFile::shareExclusive |
                              CFile::shareRenamable | CFile::noFollow;

const DWORD kRenameWaitMilliseconds = 500;
const DWORD kRenameRetryMilliseconds = 10;

// What is left of the wait that began at start.
DWORD Remaining(DWORD start, DWORD waitMilliseconds)
{
    const DWORD spent = os::GetTickCount() - start;
    return spent < waitMilliseconds ? waitMilliseconds - spent : 0;
}
} // namespace

CLockedTextFile::CLockedTextFile() : m_held(new CFile), m_beside(new CFile) {}

CLockedTextFile::~CLockedTextFile() = default;

CString CLockedTextFile::NewContentPath(const char* path)
{
    return CString(path) + ".new";
}

bool CLockedTextFile::Fail(const char* what, DWORD code)
{
    m_failureWhat = what;
    m_failureCode = code;
    return false;
}

CLockedTextFile::ReplaceResult CLockedTextFile::NotReplaced(const char* what, DWORD code)
{
    Fail(what, code);
    return kNotReplaced;
}

CString CLockedTextFile::DescribeFailure() const
{
    // Without words of its own the system's reason alone; how long another program held the file
    // says it all.
    if (m_failureWhat == nullptr)
        return os::GetErrorText(m_failureCode);
    CString text(m_failureWhat);
    if (!m_failurePath.IsEmpty())
        text += " " + GetPathFileName(m_failurePath);
    if (m_failureCode != 0 && m_failureCode != CFile::kErrorWaitEnded)
        text += ": " + os::GetErrorText(m_failureCode);
    return text;
}

CLockedTextFile::HoldResult CLockedTextFile::Hold(const char* path, DWORD waitMilliseconds,
                                                  bool (*giveUp)())
{
    Close();
    m_failurePath.Empty();
    const DWORD start = os::GetTickCount();
    for (bool first = true;; first = false)
    {
        const DWORD remaining = Remaining(start, waitMilliseconds);
        if (!first && remaining == 0)
        {
            Fail(kHeldByAnother, CFile::kErrorWaitEnded);
            return kBusy;
        }
        if (!m_held->HoldInFolder(path, kHoldFlags, remaining, giveUp))
        {
            const DWORD code = m_held->GetLastError();
            // A file that lost its name as it was opened has been replaced: the new one is taken.
            if (CFile::IsNotFound(code) && os::GetFileStamp(path).empty())
                return kMissing;
            if (CFile::IsNotFound(code))
                continue;
            Fail(code == CFile::kErrorWaitEnded ? kHeldByAnother : nullptr, code);
            return code == CFile::kErrorWaitEnded ? kBusy : kRefused;
        }
        // The path names a file that replaced this one while it was waited for, or that is
        // about to: the newest one is taken instead.
        if (!m_held->IsAtPath())
            m_held->Close();
        else if (WaitForReplacementInFlight(path, remaining, giveUp))
            m_held->Close();
        else
            return kHeld;
    }
}

// A Windows holder lets the old file go just before its rename; whoever takes the old file in
// that moment finds the new content still beside it.
bool CLockedTextFile::WaitForReplacementInFlight(const char* path, DWORD waitMilliseconds,
                                                 bool (*giveUp)())
{
    CFile beside;
    if (beside.OpenInFolder(NewContentPath(path), CFile::modeRead | CFile::shareExclusive) ||
        !CFile::IsHeldElsewhere(beside.GetLastError()))
        return false;
    m_held->Close();
    beside.HoldInFolder(NewContentPath(path), CFile::modeRead, waitMilliseconds, giveUp);
    return true;
}

int CLockedTextFile::Read(CString& text)
{
    text.Empty();
    const std::uint64_t length = m_held->GetLength();
    if (!IsHeld() || length > INT_MAX || m_held->Seek(0, CFile::begin) != 0)
        return kTextFileFailed;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    bytes.resize(m_held->Read(&bytes[0], static_cast<unsigned>(bytes.size())));
    return DecodeTextFile(std::move(bytes), text);
}

CLockedTextFile::ReplaceResult CLockedTextFile::Replace(const char* path, const std::string& bytes,
                                                        DWORD waitMilliseconds, bool (*giveUp)())
{
    m_failurePath.Empty();
    if (path == nullptr || bytes.size() > UINT_MAX)
        return NotReplaced("the text is too long", 0);
    if (IsHeld() && m_held->IsReadOnly())
        return NotReplaced("the file is read-only", m_held->GetLastError());
    const CString besidePath = NewContentPath(path);
    m_failurePath = besidePath;
    if (!ClearNewContentPath(besidePath, waitMilliseconds, giveUp))
        return kNotReplaced;
    if (!m_beside->OpenInFolder(besidePath, kBesideFlags))
    {
        // Another program took the name since it was cleared.
        const DWORD code = m_beside->GetLastError();
        if (CFile::IsAlreadyThere(code) && !IsHeld())
            return kTakenMeanwhile;
        return NotReplaced("cannot create", code);
    }
    // Before its lock was taken, another program found it unheld and removed it.
    if (!m_beside->IsAtPath())
    {
        m_beside->Close();
        return IsHeld() ? NotReplaced("another program took", 0) : kTakenMeanwhile;
    }
    if (!WriteNewContent(besidePath, bytes))
        return kNotReplaced;
    const ReplaceResult result = PutInPlace(besidePath, path);
    if (result != kReplaced)
        return result;
    m_failurePath.Empty();
    CFile::SyncFolder(GetPathDirectory(path));
    // The new file, already held, takes the place of the old one.
    m_held->Close();
    m_held.swap(m_beside);
    m_held->SetFilePath(path);
    return kReplaced;
}

bool CLockedTextFile::ClearNewContentPath(const CString& besidePath, DWORD waitMilliseconds,
                                          bool (*giveUp)())
{
    CFile beside;
    if (!beside.HoldInFolder(besidePath, CFile::modeRead | CFile::shareRenamable, waitMilliseconds,
                             giveUp))
    {
        const DWORD code = beside.GetLastError();
        if (CFile::IsNotFound(code))
            return true;
        if (code == CFile::kErrorWaitEnded)
            return Fail("another program holds", code);
        // A link, a pipe, a folder: removed when this account may.
        return os::DeleteFileA(besidePath) || Fail("cannot remove", code);
    }
    // Renamed into place by its writer while it was waited for: the name is free.
    if (!beside.IsAtPath())
        return true;
    // Nobody writes it: a leftover of a program that ended during its save.
    const DWORD code = os::DeleteFileA(besidePath) ? 0 : os::GetLastError();
    return code == 0 || CFile::IsNotFound(code) || Fail("cannot remove", code);
}

// Owner and permissions first, so that the content is never readable more widely than the
// old file was.
bool CLockedTextFile::WriteNewContent(const CString& besidePath, const std::string& bytes)
{
    if (IsHeld() && !m_beside->TakeAccessOf(*m_held))
        Fail("cannot give the permissions of the file to", m_beside->GetLastError());
    else if (!m_beside->Write(bytes.data(), static_cast<unsigned>(bytes.size())))
        Fail("cannot write", m_beside->GetLastError());
    else if (!m_beside->SyncToDevice())
        Fail("cannot store", m_beside->GetLastError());
    else
        return true;
    DropNewContent(besidePath);
    return false;
}

CLockedTextFile::ReplaceResult CLockedTextFile::PutInPlace(const CString& besidePath,
                                                           const char* path)
{
    DWORD code = 0;
    if (!IsHeld())
    {
        if (CFile::PlaceNew(besidePath, path, &code))
            return kReplaced;
        DropNewContent(besidePath);
        return CFile::IsAlreadyThere(code) ? kTakenMeanwhile : NotReplaced("cannot rename", code);
    }
    if (!CFile::kReplacesOpenFiles)
        m_held->Close();
    // On Windows whoever took the old file in the moment of the rename finds the new content in
    // flight and lets it go again at once.
    const DWORD start = os::GetTickCount();
    while (!CFile::Replace(besidePath, path, &code))
    {
        if (!CFile::MayRenameSoon(code) || Remaining(start, kRenameWaitMilliseconds) == 0)
        {
            DropNewContent(besidePath);
            return NotReplaced("cannot rename", code);
        }
        os::Sleep(kRenameRetryMilliseconds);
    }
    return kReplaced;
}

// The name goes while the file is still held, so that nobody takes it for a leftover of its own.
void CLockedTextFile::DropNewContent(const CString& besidePath)
{
    os::DeleteFileA(besidePath);
    m_beside->Close();
}

void CLockedTextFile::Close()
{
    m_held->Close();
    m_beside->Close();
}
