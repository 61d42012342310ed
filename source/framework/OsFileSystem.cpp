#include "OsFileSystem.h"

namespace os
{
namespace
{
bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}

const char* const kRefusalTexts[] = {
    "the name leaves its folder",
    "a link stands at the name or at a folder on its way",
    "not a regular file (a pipe, a socket or a device)",
    "a folder stands at the file's name",
    "the file has more than one name (a hard link)",
    "it belongs to another account, in a folder that every account can write",
    "every account can write it, in a folder that every account can write",
};
static_assert(sizeof(kRefusalTexts) / sizeof(kRefusalTexts[0]) ==
                  kErrorWritableByAll - kErrorNameLeavesFolder + 1,
              "one text per refusal");
} // namespace

bool IsFileRefusal(DWORD code)
{
    return code >= kErrorNameLeavesFolder && code <= kErrorWritableByAll;
}

const char* GetFileRefusalText(DWORD code)
{
    return IsFileRefusal(code) ? kRefusalTexts[code - kErrorNameLeavesFolder] : nullptr;
}

// The C library's rule: the folder ends at the last separator, the extension starts at the last
// '.' of the file name; a drive ("X:") exists only where the platform has drives.
void SplitPath(const char* path, CString* drive, CString* dir, CString* name, CString* ext)
{
    CString rest(path);
    CString driveText;
    if (kPathSeparator == '\\' && rest.GetLength() >= 2 && rest[1] == ':')
    {
        driveText = rest.Left(2);
        rest = rest.Mid(2);
    }
    int lastSeparator = -1;
    for (int i = 0; i < rest.GetLength(); ++i)
        if (IsSeparator(rest[i]))
            lastSeparator = i;
    const CString dirText = rest.Left(lastSeparator + 1);
    const CString fileText = rest.Mid(lastSeparator + 1);
    const int dot = fileText.ReverseFind('.');
    if (drive != nullptr)
        *drive = driveText;
    if (dir != nullptr)
        *dir = dirText;
    if (name != nullptr)
        *name = dot < 0 ? fileText : fileText.Left(dot);
    if (ext != nullptr)
        *ext = dot < 0 ? CString() : fileText.Mid(dot);
}
} // namespace os
