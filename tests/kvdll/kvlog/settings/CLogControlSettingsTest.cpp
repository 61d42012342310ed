#include "CKvlogctl.h"
#include "SettingsTestSupport.h"
#include "settings/CSettingKey.h"

#include <set>
#include <sstream>
#include <string>

namespace
{
using SettingsTest = WatchedSettingsTest;

// A section of the settings file, from its entries "name=value", each ended by "|".
std::string Section(const char* name, const std::string& entries)
{
    std::string text = std::string("\t<") + name + "\r\n";
    for (std::size_t at = 0, end; (end = entries.find('|', at)) != std::string::npos; at = end + 1)
    {
        const std::size_t equals = entries.find('=', at);
        text += "\t\t" + entries.substr(at, equals + 1 - at) + "\"" +
                entries.substr(equals + 1, end - equals - 1) + "\" \r\n";
    }
    return text + "\t>\r\n\t</" + name + ">\r\n";
}

TEST_F(SettingsTest, FirstStartWritesEveryDefaultAndLoadsTakeEffect)
{
    StartApplication();
    const std::string expected =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Korvel>\r\n" +
        Section("config",
                "Filename=log_Motor_Test.htm|MaxLogFileSize=100000000|Level=15|"
                "OutputDevice=2|Format=DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE|"
                "FileLinesToFlush=100|DisplayLoggingInformation=1|NumberBytesInHexDumpLine=16|"
                "HexDumpFormat=0x%02X|DumpIndent=3|StopOnAssert=5300|LogLockEnabled=1|") +
        Section("Motion", "_Level=4294967295|_Version=1|_StopOnAssert=5300|Error=1|"
                          "Error_Color=16711680|Warning=2|Warning_Color=16750848|Information=3|"
                          "Information_Color=0|Success=4|Success_Color=39168|Debug=16|"
                          "Debug_Color=7368816|") +
        "</Korvel>\r\n";
    EXPECT_EQ(expected, kvtest::ReadWholeFile(SettingsFile()));

    const std::string report =
        "<Logging Configuration>\n\tApplicationName: Motor Test\n\tMasterLevel: 15\n"
        "\tOutput: 2 (1=Window, 2=File)\n\tLogFileName: file://" +
        LogFile().str() +
        "\n\t\tNumberLines until FileFlush: 100\n\t\tMaximumLogFileSize: 100000000\n"
        "\tLogFormat: DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE\n</Logging "
        "Configuration>\n";
    EXPECT_EQ(report, Output());

    // A level description whose text is no valid entry name is stored under a name that survives
    // a save and a read; the file is then written once and stays as it is while the program runs.
    CLogComponent late("Late Comer", nullptr);
    CLogComponent dotted("Axis.2", nullptr); // a dot is kept
    EXPECT_TRUE(Holds(SettingsFile(), "<Late_Comer\r\n"));
    EXPECT_TRUE(Holds(SettingsFile(), "<Axis.2\r\n"));
    late.AddLevelDescription("m.cpp", 1, "f", 0x10, "Motor Trace", 0x0000FF);
    // That save is seen as a change: one reload follows, the registration caused none.
    ASSERT_TRUE(kvtest::WaitUntil([this] { return Reports() == 2; }));
    EXPECT_TRUE(Holds(SettingsFile(), "Motor_Trace=\"5\" \r\n\t\tMotor_Trace_Color=\"255\""));
    const std::string stamp = kvtest::FileStamp(SettingsFile());
    EXPECT_FALSE(kvtest::WaitUntil(
        [&] { return Reports() > 2 || kvtest::FileStamp(SettingsFile()) != stamp; }, 3500));

    CLogControlTestPeer::SuspendObserving(); // the loads below are the test's own
    CLogControl& controller = CLogControlTestPeer::Controller();
    // A master level set by the program is written at once and takes effect at the next load,
    // which writes the level row; loads that leave the level as it is write none.
    controller.LoadSettings();
    m_motion->LogSetMasterLevel(7);
    EXPECT_EQ(15UL, Loaded().masterLevel);
    EXPECT_TRUE(Holds(SettingsFile(), "Level=\"7\""));
    controller.LoadSettings();
    EXPECT_EQ(7UL, m_motion->GetLevel());
    controller.LoadSettings();

    // Edits "config" as another program would and loads the settings at once.
    const auto load = [&](const kvtest::Entries& entries)
    {
        ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config", entries));
        controller.LoadSettings();
    };
    // One number and one text stand for all entries of "config": each is read the same way.
    load({{"Level", "0xFF"}, {"Format", "LEVELSTRING MESSAGE"}, {"FileLinesToFlush", "7"}});
    EXPECT_EQ(255UL, Loaded().masterLevel);
    EXPECT_EQ("LEVELSTRING MESSAGE", Loaded().format);

    load({{"OutputDevice", "1"}});
    EXPECT_EQ("", Loaded().openLogFile);
    const std::string log = kvtest::ReadWholeFile(LogFile());
    EXPECT_EQ(1, kvtest::CountOf(log, "</html>"));
    EXPECT_EQ(3, kvtest::CountOf(log, "Level:"));
    EXPECT_EQ(1, kvtest::CountOf(log, "0x00000007"));
    EXPECT_EQ(1, kvtest::CountOf(Output(), "\tLogFile not active\n"));

    load({{"OutputDevice", "2"}, {"Filename", "Other.htm"}});
    EXPECT_EQ(LogFile("Other.htm"), Loaded().openLogFile);

    // A name with a folder is taken inside the log folder, in the platform's separators; the
    // file keeps the text as written.
    m_suite->MakeLogFolder("sub");
    load({{"Filename", "sub/app.htm"}});
    EXPECT_EQ(LogFile("sub\\app.htm"), Loaded().openLogFile);
    EXPECT_TRUE(Holds(SettingsFile(), "Filename=\"sub/app.htm\""));

    // Output 3 with the file already open changes nothing; an emptied name is the default.
    load({{"OutputDevice", "3"}, {"Filename", ""}});
    EXPECT_EQ(LogFile(), Loaded().openLogFile);

    // Stop-on-assert is on for 5300 only, and only while the component's entry is not 0. The
    // sentinel text counts as missing: the value in force is written back.
    load({{"StopOnAssert", "5301"}});
    EXPECT_EQ(0, m_motion->LogStopOnAssert());
    load({{"StopOnAssert", "0x14B4"}, {"FileLinesToFlush", "2779058740"}});
    EXPECT_EQ(1, m_motion->LogStopOnAssert());
    EXPECT_EQ(7UL, Loaded().linesPerFlush);
    EXPECT_TRUE(Holds(SettingsFile(), "FileLinesToFlush=\"7\""));
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "Motion",
                                         {{"_Level", "0x8"}, {"_StopOnAssert", "0"}}));
    load({});
    EXPECT_EQ(8UL, m_motion->GetLevel());
    EXPECT_EQ(0, m_motion->LogStopOnAssert());

    // Application values live in their own section. A key that is no valid entry name is found
    // again, so reading it writes nothing.
    EXPECT_EQ(10UL, m_motion->LogGetSetting("Speed", 10UL));
    EXPECT_EQ(5UL, m_motion->LogGetSetting("Max Speed <mm/s>", 5UL));
    const std::string stored = kvtest::FileStamp(SettingsFile());
    EXPECT_EQ(5UL, m_motion->LogGetSetting("Max Speed <mm/s>", 6UL));
    EXPECT_EQ(stored, kvtest::FileStamp(SettingsFile()));
    m_motion->LogSetSetting(nullptr, "ignored");
    EXPECT_TRUE(Holds(SettingsFile(), "\t<UserDefined\r\n\t\tSpeed=\"10\" \r\n"));
    EXPECT_TRUE(Holds(SettingsFile(), "Max_Speed__x003C_mm_x002F_s_x003E_=\"5\""));
}

TEST_F(SettingsTest, StoppingWhileAReloadWaitsForTheControllerLock)
{
    StartApplication();
    CMutex& lock = CLogControlTestPeer::Lock();
    lock.Lock();
    const int begun = CLogControlTestPeer::GetNotificationsBegun();
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config", {{"Level", "1"}}));
    ASSERT_TRUE(
        kvtest::WaitUntil([&] { return CLogControlTestPeer::GetNotificationsBegun() > begun; }));
    // The last record goes while the reload waits: the watch stops, the reload is dropped. (The
    // record is removed directly: a component's own lock comes before the controller lock.)
    CLogControlTestPeer::Controller().UnregisterComponent(CLogControlTestPeer::GetRecord(0));
    EXPECT_FALSE(CLogControlTestPeer::IsObserving());
    lock.Unlock();
    EXPECT_EQ(1, Reports());
    EXPECT_EQ(15UL, Loaded().masterLevel);
}

// Every key of the settings table with a value it takes and values it refuses, through the
// library's settings load and through kvlogctl's set and check: both take and refuse the same
// values, in the same words.
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
    {"SyslogFacility", "local7", "local8",
     "\"local8\" is neither a number from 0 to 23 nor a facility name"},
    {"FileMapping", "1", "2", "2 is above 1: 1 maps the log file, 0 does not"},
    {"FileBackups", "99", "100", "100 is above 99: at most 99 earlier log files are kept"},
    {"_Level", "0x8", "Error", "\"Error\" is not a number"},
    {"_Version", "2", "v2", "\"v2\" is not a number"},
    {"_StopOnAssert", "0", "off", "\"off\" is not a number"},
};

TEST_F(SettingsTest, LibraryAndKvlogctlTakeAndRefuseTheSameValues)
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
    std::set<std::string> keys;
    for (const Row& row : kRows)
    {
        keys.insert(row.key);
        check(row.key, row.good, nullptr);
        if (row.bad != nullptr)
            check(row.key, row.bad, row.refusal);
    }
    // Every key of the table has its rows.
    for (const CSettingKey::Section section : {CSettingKey::kConfig, CSettingKey::kComponent})
        for (const CSettingKey* key : CSettingKey::All(section))
            EXPECT_EQ(1U, keys.count(key->GetName())) << key->GetName();
}
} // namespace
