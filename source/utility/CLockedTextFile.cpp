#include "CLockedTextFile.h"

#include "OsFileSystem.h"
#include "OsTime.h"
#include "TextFile.h"

#include <climits>

namespace
{
const unsigned kHoldFlags =
    CFile::modeRead | CFile::shareExclusive | CFile::shareRenamable | CFile::noFollow;
const unsigned kBesideFlags = CFile::modeCreateNew | CFile::modeReadWrite | CFile::shareExclusive |
                              CFile::shareRenamable | CFile::noFollow;
// A program that took the old file in the moment before the rename lets it go at once.
const int kRenameAttempts = 50;
const DWORD kRenameRetryMilliseconds = 10;
} // namespace

CLockedTextFile::CLockedTextFile() : m_held(new CFile), m_beside(new CFile) {}

CLockedTextFile::~CLockedTextFile()
{
    Close();
}

CString CLockedTextFile::NewContentPath(const char* path)
{
    return CString(path) + ".new";
}

bool CLockedTextFile::IsReplacementInFlight(const char* path)
{
    CFile beside;
    if (beside.OpenInFolder(NewContentPath(path), CFile::modeRead | CFile::shareExclusive))
        return false; // a leftover of a program that ended mid-save
    // What is refused there (a pipe, a link, another account's file) is no program's new content.
    return !os::IsFileRefusal(beside.GetLastError()) &&
           os::GetFileAttributesA(NewContentPath(path)) != INVALID_FILE_ATTRIBUTES;
}

CLockedTextFile::HoldResult CLockedTextFile::Hold(const char* path)
{
    Close();
    if (path == nullptr)
        return kBusy;
    if (!m_held->OpenInFolder(path, kHoldFlags))
    {
        if (os::IsFileRefusal(m_held->GetLastError()))
            return kRefused;
        if (os::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ||
            !m_held->OpenInFolder(path, kHoldFlags | CFile::modeCreateNew))
            return os::IsFileRefusal(m_held->GetLastError()) ? kRefused : kBusy;
        m_created = true;
    }
    // In this order: the new content stays in flight until the path names it.
    if (IsReplacementInFlight(path) || !m_held->IsAtPath())
    {
        Close();
        return kBusy;
    }
    return m_created ? kCreated : kHeld;
}

int CLockedTextFile::Read(CString& text)
{
    text.Empty();
    const std::uint64_t length = m_held->GetLength();
    if (!IsHeld() || length > INT_MAX || m_held->Seek(0, CFile::begin) != 0)
        return kTextFileFailed;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    std::size_t got = 0;
    while (got < bytes.size())
    {
        const unsigned read = m_held->Read(&bytes[got], static_cast<unsigned>(bytes.size() - got));
        if (read == 0)
            break;
        got += read;
    }
    bytes.resize(got);
    return DecodeTextFile(bytes, text);
}

bool CLockedTextFile::Replace(const char* path, const std::string& bytes)
{
    if (path == nullptr || bytes.size() > UINT_MAX)
        return false;
    const CString besidePath = NewContentPath(path);
    os::DeleteFileA(besidePath); // a leftover, or a link planted there
    if (!m_beside->OpenInFolder(besidePath, kBesideFlags))
        return false;
    if (!m_beside->Write(bytes.data(), static_cast<unsigned>(bytes.size())) ||
        !RenameOver(besidePath, path))
    {
        m_beside->Close();
        os::DeleteFileA(besidePath);
        return false;
    }
    // The new file, already held, takes the place of the old one.
    m_held->Close();
    m_held.swap(m_beside);
    m_created = false;
    return true;
}

bool CLockedTextFile::RenameOver(const CString& source, const char* target)
{
    // Windows replaces no file that is open, not even for the one who holds it. Whoever takes
    // the old file now sees the new content in flight and lets it go again.
    m_held->Close();
    for (int attempt = 0; attempt < kRenameAttempts; ++attempt)
    {
        if (CFile::Replace(source, target))
            return true;
        os::Sleep(kRenameRetryMilliseconds);
    }
    return false;
}

void CLockedTextFile::Close()
{
    if (m_created && m_held->IsAtPath())
        os::DeleteFileA(m_held->GetFilePath());
    m_created = false;
    m_held->Close();
    m_beside->Close();
}
