#include "CULVersionBlock.h"

#include "OsFileVersion.h"

namespace
{
// Slack beyond the size the system asks for, in case it writes a terminator past it.
constexpr DWORD kSlack = 5;
} // namespace

bool CULVersionBlock::Read(const char* path)
{
    m_data.clear();
    if (path == nullptr)
        return false;
    DWORD handle = 0;
    const DWORD size = os::GetFileVersionInfoSizeA(path, &handle);
    if (size == 0 || handle != 0)
        return false;
    m_data.assign(static_cast<std::size_t>(size) + kSlack, 0);
    if (!os::GetFileVersionInfoA(path, handle, size, m_data.data()))
    {
        m_data.clear();
        return false;
    }
    return true;
}

bool CULVersionBlock::Query(const char* subBlock, void** value, unsigned* length)
{
    *value = nullptr;
    *length = 0;
    return !m_data.empty() && os::VerQueryValueA(m_data.data(), subBlock, value, length);
}
