#include "output/CKeptLogFiles.h"

#include "OsFileSystem.h"
#include "PathOperations.h"

bool CKeptLogFiles::Keep(const char* path, DWORD& error) const
{
    const CString folder = GetPathDirectory(path);
    const CString name = GetPathFileName(path);
    for (unsigned long number = m_count; number > 1; --number)
    {
        DWORD ignored = 0;
        os::MoveFileInFolder(folder, NumberedFileName(name, number - 1),
                             NumberedFileName(name, number), ignored);
    }
    return os::MoveFileInFolder(folder, name, NumberedFileName(name, 1), error);
}
