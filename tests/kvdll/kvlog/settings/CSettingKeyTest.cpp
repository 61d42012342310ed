// Every key of the settings table with a value it takes and values it refuses, through the
// library's settings load and through kvlogctl's set and check: both take and refuse the same
// values, in the same words.
#include "settings/CSettingKey.h"
#include "CKvlogctl.h"
#include "SettingsTestSupport.h"

#include <sstream>

namespace
{
// A value each key takes and one it refuses, with the words of the refusal after the key's name
// (no refusal: any text is a line template). A key that starts with "_" belongs to a component's
// section.
struct Row
{
    const char* key;
    const char* good;
    const char* bad;
    const char* refusal;
};

const Row kRows[] = {
    {"Filename", "sub\\app.htm", "../x.htm", "\"../x.htm\" leaves the log folder"},
    {"Filename", "sub\\app.htm", "sub/", "\"sub/\" names a folder"},
    {"Filename", "sub\\app.htm", "sub\\..", "\"sub\\..\" names a folder"},
    {"Filename", "sub\\app.htm", "sub/XDB_Motor_Test.xdb.a1b2",
     "\"sub/XDB_Motor_Test.xdb.a1b2\" could name a settings file: a log file's name does not "
     "begin with \"xdb_\""},
    {"MaxLogFileSize", " 0 ", "12 kB", "\"12 kB\" is not a number"},
    {"Level", "0xffffffff", "-1", "\"-1\" is not a number"},
    {"OutputDevice", "7", "8",
     "8 is above 7: only 1 (debugger output), 2 (file) and 4 (syslog) exist"},
    {"Format", "MESSAGE", nullptr, nullptr},
    {"FileLinesToFlush", "0", "4294967296", "\"4294967296\" is not a number"},
    {"DisplayLoggingInformation", "4294967295", "0x", "\"0x\" is not a number"},
    {"NumberBytesInHexDumpLine", "4096", "4097", "4097 is above 4096: a wider row fits no screen"},
    {"HexDumpFormat", "%64X", "x%64X",
     "\"x%64X\" is not one conversion of an int giving at most 64 characters"},
    {"DumpIndent", "1000", "0x3E9",
     "0x3E9 is above 1000: dump rows are indented by this many tabs"},
    {"StopOnAssert", "0X14B4", "5300.0", "\"5300.0\" is not a number"},
    {"LogLockEnabled", "0", "1e3", "\"1e3\" is not a number"},
    {"SyslogServer", "[::1]:6514", "127.0.0.1:0", "port \"0\" is not a number from 1 to 65535"},
    {"SyslogTransport", "TCP", "bogus", "\"bogus\" is neither \"udp\" nor \"tcp\""},
    {"SyslogFacility", "local7", "local9",
     "\"local9\" is neither a number from 0 to 23 nor a facility name"},
    {"FileMapping", "1", "2", "2 is above 1: 1 maps the log file, 0 does not"},
    {"FileBackups", "99", "100", "100 is above 99: at most 99 earlier log files are kept"},
    {"_Level", "0x8", "Error", "\"Error\" is not a number"},
    {"_Version", "2", "v2", "\"v2\" is not a number"},
    {"_StopOnAssert", "0", "off", "\"off\" is not a number"},
};

using CSettingKeyTest = WatchedSettingsTest;

TEST_F(CSettingKeyTest, LibraryAndKvlogctlTakeAndRefuseTheSameValues)
{
    StartApplication();
    CLogComponent twin("Motion", nullptr); // one section, one notice for both
    CLogControlTestPeer::SuspendObserving();
    m_suite->MakeLogFolder("sub");
    const std::string defaults = kvtest::ReadWholeFile(SettingsFile());
    // The value in the file, loaded twice by the library, and through kvlogctl's check and set:
    // the same refusal or none.
    const auto check = [&](const char* key, const char* value, const char* refusal)
    {
        SCOPED_TRACE(std::string(key) + "=\"" + value + "\"");
        const char* section = key[0] == '_' ? "Motion" : "config";
        CLogControl& controller = CLogControlTestPeer::Controller();
        kvtest::WriteWholeFile(SettingsFile(), defaults);
        controller.LoadSettings();
        const CLogControlTestPeer::Settings inForce = Loaded();
        const std::size_t before = Output().size();
        EXPECT_TRUE(kvtest::EditSettingsFile(SettingsFile(), section, {{key, value}}));
        controller.LoadSettings();
        controller.LoadSettings();
        const std::string notices = Output().substr(before);
        const std::string finding =
            std::string("[") + section + "] \"" + key + "\" " + (refusal ? refusal : "");
        EXPECT_EQ(refusal ? 1 : 0, kvtest::CountOf(notices, "Setting refused")) << notices;
        std::ostringstream out, err;
        EXPECT_EQ(refusal ? 1 : 0, CKvlogctl(out, err).Run({"check", "Motor Test"}));
        EXPECT_EQ(SettingsFile().str() + ": " + (refusal ? finding : "no problems") + "\n",
                  out.str());
        if (key[0] != '_')
        {
            EXPECT_EQ(refusal ? 1 : 0, CKvlogctl(out, err).Run({"set", "Motor Test", key, value}));
            EXPECT_EQ(refusal ? "kvlogctl: " + finding + "; nothing written\n" : "", err.str());
        }
        if (refusal == nullptr)
            return;
        EXPECT_EQ(1, kvtest::CountOf(
                         notices, "Setting refused, the value in force stays: " + finding + "\n"));
        const CLogControlTestPeer::Settings after = Loaded();
        EXPECT_EQ(inForce.logFileName, after.logFileName);
        EXPECT_EQ(inForce.outputDevices, after.outputDevices);
        EXPECT_EQ(inForce.hexDumpBytesPerLine, after.hexDumpBytesPerLine);
        EXPECT_EQ(inForce.dumpIndent, after.dumpIndent);
    };
    for (const Row& row : kRows)
    {
        check(row.key, row.good, nullptr);
        if (row.bad != nullptr)
            check(row.key, row.bad, row.refusal);
    }
}
} // namespace
