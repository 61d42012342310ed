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
    // The time, a clock time, shows as "T".
    void OnLogEvent(const CString& time, unsigned long level, const CString& levelString,
                    const CString& message) override
    {
        const std::regex clock("[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}");
        events.push_back((std::regex_match(time.str(), clock) ? "T|" : time.str() + "|") +
                         std::to_string(level) + "|" + levelString.str() + "|" + message.str());
    }

    int errors = 0;
    std::vector<std::string> events;
};

// A filtered line does not even derive the application name, which would show its banner.
TEST_F(MessagesTest, FilteredMessagesNeverReachTheController)
{
    CLogComponent component("Motor", nullptr);
    static_cast<CLogComponentInterface&>(component).hlpSetLevel(0x1);
    component.Log(LOG_INFORMATION, "filtered");
    EXPECT_EQ("", Output());
    EXPECT_TRUE(CLogControl::PeekInstance()->GetApplicationName().IsEmpty());
}

// A function's name and line lead the message only when the template shows no function. Asserts
// log a failed expression only, ignore the level mask and do not stop; the hot-loop macros log
// what the mask lets through and do not even evaluate the arguments of a filtered call.
TEST_F(MessagesTest, IdsFunctionsAssertsMacrosLongMessagesAndTheSink)
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
    EXPECT_EQ("Information|MOT-7|moved 5 mm\nInformation|-1|all bits\nInformation||no id\n"
              "Information||Move(12) to 3\nInformation|S1|Stop(13) now\n"
              "Error||ASSERT(speed > 0) failed: F:  speed 0\n"
              "Error||ASSERT(speed > 0) failed: Run(40):  speed -2\n"
              "Error|A1|ASSERT(ok) failed: Run(41):  x\nInformation||shown 1\n"
              "Information|X-1|with id\nInformation||F in a function\n"
              "Information||Dump: F[1] ->\t0x41, " +
                  std::string(90, ' ') + "A\nMove: to 4\n",
              std::regex_replace(Output(), variable, "F"));

    // Messages beyond the caller's buffer, far beyond it, with a format the C library rejects and
    // with none at all each give their one whole line. The file alone shows nothing in the debugger
    // output. The sink hears of errors written to the file only, and of every event, whatever the
    // level and also when logging is disabled, while the events show in no output.
    CLogControlTestPeer::SetFormat("MESSAGE");
    static_cast<CLogComponentInterface&>(*m_first).hlpSetLevel(0xFFFFFFFF);
    m_capture.Clear();
    const std::string kibibyte(1024, 'x');
    for (const std::size_t length : {63, 64}) // around the first buffer's 64 bytes
        m_first->Log(LOG_INFORMATION, "%s", std::string(length, 'x').c_str());
    m_first->Log(LOG_INFORMATION, "%s", kibibyte.c_str());
    m_first->Log(LOG_INFORMATION, "%2000000d", 7);
    const char* volatile rejected = "%lc";
    const char* noFormat = nullptr;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    m_first->Log(LOG_INFORMATION, rejected, static_cast<wint_t>(0xD800));
    m_first->Log(LOG_SUCCESS, noFormat);
#pragma GCC diagnostic pop
    RecordingSink sink;
    m_first->SetLogInterface(&sink);
    m_first->Log(LOG_ERROR, "debugger only");
    CLogControlTestPeer::SetLogFileOpen(1);
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
    m_first->Log(LOG_WARNING, "warning");
    m_first->Log(LOG_ERROR, "error");
    EXPECT_EQ(1, sink.errors);
    CLogControlTestPeer::SetLogFileOpen(0);
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(7U, lines.size());
    lines[4] = "?"; // what the C library makes of a lone surrogate varies
    EXPECT_EQ((std::vector<std::string>{std::string(63, 'x'), std::string(64, 'x'), kibibyte,
                                        std::string(1999999, ' ') + "7", "?", "", "debugger only"}),
              lines);

    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
    static_cast<CLogComponentInterface&>(*m_first).hlpSetLevel(0);
    m_first->SetApplicationName("Again", 1); // a second call disables logging
    m_capture.Clear();
    m_first->LogEvent(LOG_WARNING, "valve %s", "open");
    m_first->LogEvent(__FILE__, __LINE__, __func__, 0x40, nullptr, "custom");
    m_first->SetLogInterface(nullptr);
    m_first->LogEvent(LOG_WARNING, "after removal");
    EXPECT_EQ("", Output());
    EXPECT_EQ((std::vector<std::string>{"T|2|Warning|valve open", "T|64||custom"}), sink.events);
}
} // namespace
