// A snapshot of the operating system's basic version record with the questions the suite asks
// of it: is this exactly a given Windows version, or that version or a later one of its family
// (the Windows 9x chain and the NT chain never meet). A copy answers as the original did.
#pragma once

#include "../framework/CObject.h"
#include "../framework/CString.h"
#include "../framework/FrameworkTypes.h"
#include "../framework/OsVersion.h"

class CULSystemVersion : public CObject
{
public:
    CULSystemVersion();
    CULSystemVersion(const CULSystemVersion&) = default;
    CULSystemVersion& operator=(const CULSystemVersion&) = default;
    ~CULSystemVersion() override;

    // The platform's answer; the object counts as loaded even when the platform refused.
    bool Load();
    bool IsLoaded() const { return m_record.size != 0; }
    void Clear();

    // "major.minor"; number receives major * 100 + minor.
    CString GetVersionText(DWORD* number = nullptr) const;
    // The build number; in the Windows 9x family only its low 16 bits.
    CString GetBuildText(DWORD* number = nullptr) const;
    CString GetServicePackText() const;
    CString GetName() const;

    bool IsWin95(bool orLater = false) const;
    bool IsWin95OSR2(bool orLater = false) const;
    bool IsWin98(bool orLater = false) const;
    bool IsWin98SE(bool orLater = false) const;
    // Ignores orLater: the last of its chain.
    bool IsWinME(bool orLater = false) const;
    bool IsWinNT4(bool orLater = false) const;
    bool IsWin2000(bool orLater = false) const;
    bool IsWinXP(bool orLater = false) const;
    // With orLater also every major version from 6 up, whatever the platform.
    bool IsWinVista(bool orLater = false) const;
    // Ignores orLater.
    bool IsWin7(bool orLater = false) const;

protected:
    os::VersionRecord m_record;

private:
    bool IsVersion(DWORD platform, DWORD major, DWORD minor) const;
    bool IsWin98Family(bool secondEdition) const;
    DWORD LowBuild() const { return m_record.buildNumber & 0xFFFFu; }
    char ServicePackMarker() const { return m_record.servicePack[1]; }
};
