// Helpers of the settings tests: edits of the settings file made the way another program makes
// them (an exclusive read and write of the whole file), and a fixture for an application whose
// settings file is watched.
#pragma once

#include "CKVXMLConfig.h"
#include "CULFileObserver.h"
#include "KvlogTestFixture.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kvtest
{
using Entries = std::vector<std::pair<const char*, const char*>>;

inline bool EditSettingsFile(const char* path, const char* section, const Entries& entries)
{
    CKVXMLConfig other;
    if (!other.Open(path))
        return false;
    for (const auto& entry : entries)
        other.SetString(section, entry.first, entry.second);
    return other.Save() != 0;
}

// The file's content and write time, to tell whether anybody wrote it.
inline std::string FileStamp(const char* path)
{
    const FILETIME time = CULFileObserver::GetFileWriteTime(path);
    return std::to_string(time.dwHighDateTime) + ":" + std::to_string(time.dwLowDateTime) + ":" +
           ReadWholeFile(path);
}
} // namespace kvtest

// "Motor Test" with the component "Motion", named so that its settings file exists and is watched.
class WatchedSettingsTest : public KvlogTest
{
protected:
    void StartApplication()
    {
        m_motion = std::make_unique<CLogComponent>("Motion", &m_motionSlot);
        m_motion->SetApplicationName("Motor Test", 1);
    }
    CString SettingsFile() const { return m_suite->LogFile("xdb_Motor_Test.xdb"); }
    CString LogFile(const char* name = "log_Motor_Test.htm") const
    {
        return m_suite->LogFile(name);
    }
    static bool Holds(const char* path, const std::string& part)
    {
        return kvtest::ReadWholeFile(path).find(part) != std::string::npos;
    }
    int Reports() const { return kvtest::CountOf(Output(), "<Logging Configuration>\n"); }
    // Edits a section and waits for the watch thread's reload to show the effect. An edit that
    // lands while a reload is finishing is not reported, so it is made again if nothing follows.
    bool EditUntil(const char* section, const kvtest::Entries& entries,
                   const std::function<bool()>& effect)
    {
        for (int attempt = 0; attempt < 4; ++attempt)
            if (kvtest::EditSettingsFile(SettingsFile(), section, entries) &&
                kvtest::WaitUntil(effect, 2000))
                return true;
        return false;
    }
    static CLogControlTestPeer::Settings Loaded() { return CLogControlTestPeer::GetSettings(); }

    CLogComponent* m_motionSlot = nullptr;
    std::unique_ptr<CLogComponent> m_motion;
};
