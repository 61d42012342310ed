// Every key of the settings table with a value it takes and values it refuses, through the
// library's settings load and through kvlogctl's set and check: both take and refuse the same
// values, in the same words.
#include "settings/CSettingKey.h"
#include "CKvlogctl.h"
#include "SettingsTestSupport.h"

#include <set>
#include <sstream>

namespace
{
struct Row
{
    const char* section;
    const char* key;
    const char* value;
    const char* refusal; // "" when the value is taken
};

const Row kRows[] = {
    {"config", "Filename", "sub\\app.htm", ""},
    {"config", "Filename", "../x.htm", "\"Filename\" \"../x.htm\" leaves the log folder"},
    {"config", "Filename", "sub/", "\"Filename\" \"sub/\" names a folder"},
    {"config", "Filename", "sub\\..", "\"Filename\" \"sub\\..\" names a folder"},
    {"config", "Filename", "sub/XDB_Motor_Test.xdb.a1b2",
     "\"Filename\" \"sub/XDB_Motor_Test.xdb.a1b2\" could name a settings file: a log file's name "
     "does not begin with \"xdb_\""},
    {"config", "MaxLogFileSize", " 0 ", ""},
    {"config", "MaxLogFileSize", "12 kB", "\"MaxLogFileSize\" \"12 kB\" is not a number"},
    {"config", "Level", "0xffffffff", ""},
    {"config", "Level", "-1", "\"Level\" \"-1\" is not a number"},
    {"config", "OutputDevice", "7", ""},
    {"config", "OutputDevice", "8",
     "\"OutputDevice\" 8 is above 7: only 1 (debugger output), 2 (file) and 4 (syslog) exist"},
    {"config", "Format", "MESSAGE", ""},
    {"config", "FileLinesToFlush", "0", ""},
    {"config", "FileLinesToFlush", "4294967296",
     "\"FileLinesToFlush\" \"4294967296\" is not a number"},
    {"config", "DisplayLoggingInformation", "4294967295", ""},
    {"config", "DisplayLoggingInformation", "0x",
     "\"DisplayLoggingInformation\" \"0x\" is not a number"},
    {"config", "NumberBytesInHexDumpLine", "4096", ""},
    {"config", "NumberBytesInHexDumpLine", "4097",
     "\"NumberBytesInHexDumpLine\" 4097 is above 4096: a wider row fits no screen"},
    {"config", "HexDumpFormat", "%64X", ""},
    {"config", "HexDumpFormat", "x%64X",
     "\"HexDumpFormat\" \"x%64X\" is not one conversion of an int giving at most 64 characters"},
    {"config", "DumpIndent", "1000", ""},
    {"config", "DumpIndent", "0x3E9",
     "\"DumpIndent\" 0x3E9 is above 1000: dump rows are indented by this many tabs"},
    {"config", "StopOnAssert", "0X14B4", ""},
    {"config", "StopOnAssert", "5300.0", "\"StopOnAssert\" \"5300.0\" is not a number"},
    {"config", "LogLockEnabled", "0", ""},
    {"config", "LogLockEnabled", "1e3", "\"LogLockEnabled\" \"1e3\" is not a number"},
    {"config", "SyslogServer", "[::1]:6514", ""},
    {"config", "SyslogServer", "127.0.0.1:0",
     "\"SyslogServer\" port \"0\" is not a number from 1 to 65535"},
    {"config", "SyslogTransport", "TCP", ""},
    {"config", "SyslogTransport", "bogus",
     "\"SyslogTransport\" \"bogus\" is neither \"udp\" nor \"tcp\""},
    {"config", "SyslogFacility", "local7", ""},
    {"config", "SyslogFacility", "local9",
     "\"SyslogFacility\" \"local9\" is neither a number from 0 to 23 nor a facility name"},
    {"config", "FileMapping", "1", ""},
    {"config", "FileMapping", "2", "\"FileMapping\" 2 is above 1: 1 maps the log file, 0 does not"},
    {"config", "FileBackups", "99", ""},
    {"config", "FileBackups", "100",
     "\"FileBackups\" 100 is above 99: at most 99 earlier log files are kept"},
    {"Motion", "_Level", "0x8", ""},
    {"Motion", "_Level", "Error", "\"_Level\" \"Error\" is not a number"},
    {"Motion", "_Version", "2", ""},
    {"Motion", "_Version", "v2", "\"_Version\" \"v2\" is not a number"},
    {"Motion", "_StopOnAssert", "0", ""},
    {"Motion", "_StopOnAssert", "off", "\"_StopOnAssert\" \"off\" is not a number"},
};

struct Result
{
    int exitCode;
    std::string out;
    std::string err;
};

Result Kvlogctl(const std::vector<std::string>& arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = CKvlogctl(out, err).Run(arguments);
    return {exitCode, out.str(), err.str()};
}

class CSettingKeyTest : public WatchedSettingsTest
{
protected:
    // The row's value in the file, loaded twice by the library: the notices of the loads.
    std::string Load(const Row& row)
    {
        const std::size_t before = Output().size();
        EXPECT_TRUE(kvtest::EditSettingsFile(SettingsFile(), row.section, {{row.key, row.value}}));
        CLogControlTestPeer::Controller().LoadSettings();
        CLogControlTestPeer::Controller().LoadSettings();
        return Output().substr(before);
    }
};

TEST_F(CSettingKeyTest, LibraryAndKvlogctlTakeAndRefuseTheSameValues)
{
    StartApplication();
    CLogComponent twin("Motion", nullptr); // one section, one notice for both
    CLogControlTestPeer::SuspendObserving();
    m_suite->MakeLogFolder("sub");
    const std::string defaults = kvtest::ReadWholeFile(SettingsFile());
    std::set<std::string> taken;
    std::set<std::string> refused;
    for (const Row& row : kRows)
    {
        kvtest::WriteWholeFile(SettingsFile(), defaults);
        CLogControlTestPeer::Controller().LoadSettings();
        const CLogControlTestPeer::Settings inForce = Loaded();
        const std::string notices = Load(row);
        const bool takes = *row.refusal == '\0';
        (takes ? taken : refused).insert(row.key);
        const std::string finding = std::string("[") + row.section + "] " + row.refusal;
        const std::string label = std::string(row.key) + "=\"" + row.value + "\"";
        EXPECT_EQ(takes ? 0 : 1, kvtest::CountOf(notices, "Setting refused")) << label << notices;
        const Result check = Kvlogctl({"check", "Motor Test"});
        EXPECT_EQ(takes ? 0 : 1, check.exitCode) << label;
        EXPECT_EQ(SettingsFile().str() + ": " + (takes ? "no problems" : finding) + "\n", check.out)
            << label;
        if (std::string(row.section) == "config")
        {
            const Result set = Kvlogctl({"set", "Motor Test", row.key, row.value});
            EXPECT_EQ(takes ? 0 : 1, set.exitCode) << label;
            EXPECT_EQ(takes ? "" : "kvlogctl: " + finding + "; nothing written\n", set.err)
                << label;
        }
        if (takes)
            continue;
        EXPECT_NE(std::string::npos,
                  notices.find("Setting refused, the value in force stays: " + finding + "\n"))
            << label << notices;
        const CLogControlTestPeer::Settings after = Loaded();
        EXPECT_EQ(inForce.logFileName, after.logFileName) << label;
        EXPECT_EQ(inForce.outputDevices, after.outputDevices) << label;
        EXPECT_EQ(inForce.hexDumpBytesPerLine, after.hexDumpBytesPerLine) << label;
        EXPECT_EQ(inForce.dumpIndent, after.dumpIndent) << label;
    }
    for (const CSettingKey::Section section : {CSettingKey::kConfig, CSettingKey::kComponent})
        for (const CSettingKey* key : CSettingKey::All(section))
        {
            EXPECT_EQ(1U, taken.count(key->GetName())) << key->GetName();
            // Any text is a line template.
            EXPECT_EQ(std::string("Format") != key->GetName() ? 1U : 0U,
                      refused.count(key->GetName()))
                << key->GetName();
        }
}
} // namespace
