// The parts of CFile that are the same on every platform.
#include "CFile.h"

#include "OsFileSystem.h"

namespace
{
bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}

bool LeavesFolder(const CString& element)
{
    // "C:name" names the current folder of a drive, "name:stream" a stream of another file.
    const bool drivesAndStreams = os::kPathSeparator == '\\' && element.Find(':') >= 0;
    return element.IsEmpty() || element == "." || element == ".." || drivesAndStreams;
}
} // namespace

bool CFile::SplitBelowFolder(const char* relativePath, std::vector<CString>& elements)
{
    elements.clear();
    if (relativePath == nullptr || IsSeparator(*relativePath))
        return false;
    CString element;
    for (const char* at = relativePath;; ++at)
    {
        if (*at != '\0' && !IsSeparator(*at))
        {
            element += *at;
            continue;
        }
        if (LeavesFolder(element))
        {
            elements.clear();
            return false;
        }
        elements.push_back(element);
        element.Empty();
        if (*at == '\0')
            return true;
    }
}

bool CFile::OpenInFolder(const char* path, unsigned flags)
{
    const CString text(path);
    int last = -1;
    for (int i = 0; i < text.GetLength(); ++i)
        if (IsSeparator(text[i]))
            last = i;
    CString folder = text.Left(last);
    // The root ("/", "C:\") keeps its separator; a name without a folder lies in the current one.
    if (last >= 0 && (folder.IsEmpty() || folder.Right(1) == ":"))
        folder = text.Left(last + 1);
    return OpenBeneath(last < 0 ? "." : folder.GetString(), text.Mid(last + 1), flags);
}

bool CFile::Refuse(DWORD error)
{
    m_lastError = error;
    return false;
}
