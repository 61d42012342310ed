#include "CULSystemVersion.h"

#include <cstring>

namespace
{
constexpr DWORD kPlatformWindows9x = 1;
constexpr DWORD kPlatformNT = 2;
constexpr DWORD kSecondEditionBuild = 2222;

struct NamedVersion
{
    bool (CULSystemVersion::*test)(bool) const;
    const char* name;
};

const NamedVersion kNames[] = {
    {&CULSystemVersion::IsWin95, "Microsoft Windows 95"},
    {&CULSystemVersion::IsWin95OSR2, "Microsoft Windows 95 OSR2"},
    {&CULSystemVersion::IsWin98, "Microsoft Windows 98"},
    {&CULSystemVersion::IsWin98SE, "Microsoft Windows 98 SE"},
    {&CULSystemVersion::IsWinME, "Microsoft Windows ME"},
    {&CULSystemVersion::IsWinNT4, "Microsoft Windows NT 4.0"},
    {&CULSystemVersion::IsWin2000, "Microsoft Windows 2000"},
    {&CULSystemVersion::IsWinXP, "Microsoft Windows XP"},
    {&CULSystemVersion::IsWinVista, "Microsoft Windows Vista"},
    {&CULSystemVersion::IsWin7, "Microsoft Windows 7"},
};

CString NumberText(DWORD value, DWORD* number)
{
    if (number != nullptr)
        *number = value;
    CString text;
    text.Format("%u", static_cast<unsigned>(value));
    return text;
}
} // namespace

CULSystemVersion::CULSystemVersion()
{
    std::memset(&m_record, 0, sizeof(m_record));
}

CULSystemVersion::~CULSystemVersion()
{
    Clear();
}

bool CULSystemVersion::Load()
{
    m_record.size = sizeof(m_record);
    return os::GetVersionExA(&m_record);
}

void CULSystemVersion::Clear()
{
    if (IsLoaded())
        std::memset(&m_record, 0, sizeof(m_record));
}

CString CULSystemVersion::GetVersionText(DWORD* number) const
{
    if (number != nullptr)
        *number = m_record.majorVersion * 100 + m_record.minorVersion;
    CString text;
    text.Format("%u.%u", static_cast<unsigned>(m_record.majorVersion),
                static_cast<unsigned>(m_record.minorVersion));
    return text;
}

CString CULSystemVersion::GetBuildText(DWORD* number) const
{
    return NumberText(IsWin95(true) ? LowBuild() : m_record.buildNumber, number);
}

CString CULSystemVersion::GetServicePackText() const
{
    // The record may come from anywhere: never read past its buffer.
    const void* end = std::memchr(m_record.servicePack, '\0', sizeof(m_record.servicePack));
    const std::size_t length = end == nullptr
                                   ? sizeof(m_record.servicePack)
                                   : static_cast<const char*>(end) - m_record.servicePack;
    return CString(m_record.servicePack, static_cast<int>(length));
}

CString CULSystemVersion::GetName() const
{
    for (const NamedVersion& version : kNames)
        if ((this->*version.test)(false))
            return version.name;
    return "Microsoft Windows";
}

bool CULSystemVersion::IsVersion(DWORD platform, DWORD major, DWORD minor) const
{
    return m_record.platformId == platform && m_record.majorVersion == major &&
           m_record.minorVersion == minor;
}

bool CULSystemVersion::IsWin98Family(bool secondEdition) const
{
    return m_record.platformId == kPlatformWindows9x && m_record.majorVersion == 4 &&
           m_record.minorVersion >= 10 && m_record.minorVersion <= 89 &&
           (LowBuild() >= kSecondEditionBuild) == secondEdition;
}

bool CULSystemVersion::IsWin95(bool orLater) const
{
    return (IsVersion(kPlatformWindows9x, 4, 0) && ServicePackMarker() != 'C') ||
           (orLater && IsWin95OSR2(true));
}

bool CULSystemVersion::IsWin95OSR2(bool orLater) const
{
    return (IsVersion(kPlatformWindows9x, 4, 0) && ServicePackMarker() == 'C') ||
           (orLater && IsWin98(true));
}

bool CULSystemVersion::IsWin98(bool orLater) const
{
    return IsWin98Family(false) || (orLater && IsWin98SE(true));
}

bool CULSystemVersion::IsWin98SE(bool orLater) const
{
    return IsWin98Family(true) || (orLater && IsWinME(true));
}

bool CULSystemVersion::IsWinME(bool) const
{
    return m_record.platformId == kPlatformWindows9x && m_record.majorVersion == 4 &&
           m_record.minorVersion >= 90;
}

bool CULSystemVersion::IsWinNT4(bool orLater) const
{
    return IsVersion(kPlatformNT, 4, 0) || (orLater && IsWin2000(true));
}

bool CULSystemVersion::IsWin2000(bool orLater) const
{
    return IsVersion(kPlatformNT, 5, 0) || (orLater && IsWinXP(true));
}

bool CULSystemVersion::IsWinXP(bool orLater) const
{
    return IsVersion(kPlatformNT, 5, 1) || (orLater && IsWinVista(true));
}

bool CULSystemVersion::IsWinVista(bool orLater) const
{
    return IsVersion(kPlatformNT, 6, 0) || (orLater && m_record.majorVersion >= 6);
}

bool CULSystemVersion::IsWin7(bool) const
{
    return IsVersion(kPlatformNT, 6, 1);
}
