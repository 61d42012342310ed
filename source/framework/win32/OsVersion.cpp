#include "WindowsInclude.h"

#include "OsVersion.h"

#include <cstring>

namespace os
{
const bool kVersionRecordAvailable = true;

static_assert(sizeof(VersionRecord) == sizeof(OSVERSIONINFOA), "layout of the version record");

bool GetVersionExA(VersionRecord* record)
{
    if (record == nullptr)
        return false;
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = record->size;
    if (!::GetVersionExA(&info))
        return false;
    std::memcpy(record, &info, sizeof(info));
    return true;
}
} // namespace os
