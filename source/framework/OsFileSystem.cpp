#include "OsFileSystem.h"

namespace os
{
namespace
{
bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}
} // namespace

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
