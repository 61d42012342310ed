#include "KvlogTestFixture.h"

#include <cwchar>
#include <regex>
#include <string>

namespace
{
using MessagesTest = KvlogTest;

class RecordingSink : public CLogInterface
{
public:
    int OnErrorWritten() override { return ++errors; }
    void OnLogEvent(const CString& time, unsigned long level, const CString& levelString,
                    const CString& message) override
    {
        events.push_back(std::string(time) + "|" + std::to_string(level) + "|" + levelString.str() +
                         "|" + message.str());
    }

    int errors = 0;
    std::vector<std::string> events;
};

// Around the first buffer's 64 bytes, far beyond it, a format the hand formatter rejects and
// none at all: each gives its one whole line.
TEST_F(MessagesTest, MessagesOfEveryLengthAreLoggedWhole)
{
    StartLogging("MESSAGE");
    const std::vector<std::string> texts = {std::string(63, 'x'), std::string(64, 'x'),
                                            std::string(1000, 'x')};
    for (const std::string& text : texts)
        m_first->Log(LOG_INFORMATION, "%s", text.c_str());
    m_first->Log(LOG_INFORMATION, "%2000000d", 7);
    const char* volatile rejected = "%lc";
    const char* noFormat = nullptr;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    m_first->Log(LOG_INFORMATION, rejected, static_cast<wint_t>(0xD800));
    m_first->Log(LOG_SUCCESS, noFormat);
#pragma GCC diagnostic pop
    m_first->Log(LOG_INFORMATION, "%s", "short");
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(7U, lines.size());
    EXPECT_EQ(texts, std::vector<std::string>(lines.begin(), lines.begin() + 3));
    EXPECT_EQ(std::string(1999999, ' ') + "7", lines[3]);
    EXPECT_EQ("", lines[5]);
    EXPECT_EQ("short", lines[6]);
}

// A function's name and line lead the message only when the template shows no function. Asserts
// log a failed expression only, ignore the level mask and do not stop; the hot-loop macros log
// what the mask lets through and do not even evaluate the arguments of a filtered call.
TEST_F(MessagesTest, IdsFunctionsAssertsAndMacros)
{
    StartLogging("LEVELSTRING|ID|MESSAGE");
    m_first->LogID(LOG_INFORMATION, "MOT-7", "moved %d mm", 5);
    m_first->LogID(LOG_INFORMATION, 4294967295UL, "all bits");
    m_first->LogID(LOG_INFORMATION, static_cast<const char*>(nullptr), "no id");
    m_first->LogFunc("a.cpp", 12, "Move", 4, "Information", "to %d", 3);
    m_first->LogFuncID("a.cpp", 13, "Stop", 4, "Information", "S1", "now");
    const int speed = 0;
    LOG_ASSERT(m_first.get(), speed == 0, "never logged");
    CLogComponent* volatile none = nullptr;
    LOG_ASSERT(none, speed > 0, "no component");
    static_cast<CLogComponentInterface&>(*m_first).hlpSetLevel(0x4);
    LOG_ASSERT(m_first.get(), speed > 0, "speed %d", speed);
    m_first->LogAssert("m.cpp", 40, "Run", 1, "Error", "speed > 0", "speed %d", -2);
    m_first->LogAssertID("m.cpp", 41, "Run", 1, "Error", "ok", "A1", "x");
    const unsigned char bytes[] = {0x41};
    int evaluated = 0;
    LOG_MESSAGE(m_first.get(), LOG_DEBUG, "filtered %d", ++evaluated);
    LOG_MESSAGE(m_first.get(), LOG_INFORMATION, "shown %d", 1);
    LOG_MESSAGE_ID(m_first.get(), LOG_INFORMATION, "X-1", "with id");
    LOG_FUNC_MESSAGE(m_first.get(), LOG_INFORMATION, "in a function");
    LOG_DUMP_MESSAGE(m_first.get(), LOG_INFORMATION, bytes, 1, nullptr);
    LOG_MESSAGE(none, LOG_INFORMATION, "no component");
    CLogControlTestPeer::SetFormat("FUNCTION: MESSAGE");
    m_first->LogFunc("a.cpp", 15, "Move", 4, "Information", "to %d", 4);
    EXPECT_EQ(0, evaluated);
    // The macros' own line numbers and the dump's address vary.
    const std::regex variable("TestBody\\([0-9]+\\)|0x[0-9A-F]{8,}");
    const std::vector<std::string> expected = {
        "Information|MOT-7|moved 5 mm",
        "Information|-1|all bits",
        "Information||no id",
        "Information||Move(12) to 3",
        "Information|S1|Stop(13) now",
        "Error||ASSERT(speed > 0) failed: F:  speed 0",
        "Error||ASSERT(speed > 0) failed: Run(40):  speed -2",
        "Error|A1|ASSERT(ok) failed: Run(41):  x",
        "Information||shown 1",
        "Information|X-1|with id",
        "Information||F in a function",
        "Information||Dump: F[1] ->\t0x41, " + std::string(90, ' ') + "A",
        "Move: to 4"};
    std::vector<std::string> lines;
    for (const std::string& line : Lines())
        lines.push_back(std::regex_replace(line, variable, "F"));
    EXPECT_EQ(expected, lines);
}

TEST_F(MessagesTest, FilteredMessagesNeverReachTheController)
{
    CLogComponent* slot = nullptr;
    CLogComponent component("Motor", &slot);
    static_cast<CLogComponentInterface&>(component).hlpSetLevel(0x1);
    component.Log(LOG_INFORMATION, "filtered");
    // Not even the application name was derived: that would have shown its banner.
    EXPECT_EQ("", Output());
    EXPECT_TRUE(CLogControl::PeekInstance()->GetApplicationName().IsEmpty());
}

TEST_F(MessagesTest, EventsReachTheSinkOnlyWhateverTheLevelAndWhenLoggingIsDisabled)
{
    StartLogging("MESSAGE");
    m_first->LogEvent(LOG_INFORMATION, "lost %d", 1);
    RecordingSink sink;
    m_first->SetLogInterface(&sink);
    static_cast<CLogComponentInterface&>(*m_first).hlpSetLevel(0);
    m_first->SetApplicationName("Again", 1); // a second call disables logging
    m_capture.Clear();
    m_first->LogEvent(LOG_WARNING, "valve %s", "open");
    m_first->LogEvent(__FILE__, __LINE__, __func__, 0x40, nullptr, "custom");
    EXPECT_EQ("", Output());
    ASSERT_EQ(2U, sink.events.size());
    const std::string& first = sink.events[0];
    ASSERT_GE(first.size(), 13U);
    EXPECT_EQ(':', first[2]);
    EXPECT_EQ("|2|Warning|valve open", first.substr(12));
    EXPECT_EQ("|64||custom", sink.events[1].substr(12));

    m_first->SetLogInterface(nullptr);
    m_first->LogEvent(LOG_WARNING, "after removal");
    EXPECT_EQ(2U, sink.events.size());
}

// No output device, or the file alone, shows nothing in the debugger output; the sink hears of
// errors written to the file only.
TEST_F(MessagesTest, FileLinesTellTheSinkOfErrors)
{
    StartLogging("MESSAGE");
    CLogControlTestPeer::SetOutputDevices(0);
    m_first->Log(LOG_ERROR, "none");
    CLogComponent::OldWriteLoggingInfo("a.cpp", 1, "f", 1, "none");
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
    m_first->Log(LOG_ERROR, "file only");
    EXPECT_EQ("", Output());

    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
    RecordingSink sink;
    m_first->SetLogInterface(&sink);
    m_first->Log(LOG_ERROR, "debugger only");
    EXPECT_EQ(0, sink.errors);
    CLogControlTestPeer::SetLogFileOpen(1);
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
    m_first->Log(LOG_WARNING, "warning");
    EXPECT_EQ(0, sink.errors);
    m_first->Log(LOG_ERROR, "error");
    EXPECT_EQ(1, sink.errors);
}
} // namespace
