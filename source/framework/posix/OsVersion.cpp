#include "OsVersion.h"

// POSIX has no Windows version record: callers see the platform's refusal.
namespace os
{
const bool kVersionRecordAvailable = false;

bool GetVersionExA(VersionRecord*)
{
    return false;
}
} // namespace os
