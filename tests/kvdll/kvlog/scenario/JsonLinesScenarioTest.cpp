// A ".jsonl" log file holds one JSON object per line and nothing else, also past its size limit,
// after a reset and when mapped: the real jq reads every line as a JSON text of its own.
#include "KvlogTestFixture.h"

#include "OsProcess.h"

#ifndef _WIN32
#include <unistd.h>

namespace
{
const char kJq[] = "/usr/bin/jq";

class JsonLinesScenarioTest : public KvlogTest
{
protected:
    void SetUp() override
    {
        KvlogTest::SetUp();
        if (::access(kJq, X_OK) != 0)
            GTEST_SKIP() << "jq is not installed (tools/install-deps.sh installs it)";
        StartLogging();
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
    }

    CString OpenFile(const char* name, bool mapped, unsigned long maxSize)
    {
        CLogControlTestPeer::SetFileMapping(mapped);
        CLogControlTestPeer::SetMaxLogFileSize(maxSize);
        CLogControlTestPeer::Controller().OpenLogFile(m_suite->Sub("log"), name);
        return m_suite->LogFile(name);
    }

    // jq's compact output of the filter applied to each line, a line each, and its complaint
    // about any line that is no JSON text.
    static std::string Jq(const CString& path, const std::string& filter)
    {
        CString output;
        const std::string program = "fromjson | " + filter;
        os::RunProgramCaptureOutput(kJq, output, {"-R", "-c", "-r", program.c_str(), path});
        return output.str();
    }
};

TEST_F(JsonLinesScenarioTest, EveryLineIsOneObjectWithTheLinesFactsAlsoAfterARestartOrMapped)
{
    const CString path = OpenFile("lines.jsonl", false, 100000000);
    const int logged = __LINE__ + 1;
    m_first->Log(LOG_INFORMATION, "say \"hi\" \\ C:\\temp\tnext\r\nrow \x01\x1b[1m");
    m_first->LogID(LOG_ERROR, "AX-3", "caf\xE9 \xC3\xA9 \xFF");
    m_first->LogStartBlock();
    m_first->Log(LOG_WARNING, "%s", std::string(1 << 20, 'x').c_str());
    m_first->LogEndBlock();
    CLogComponent::OldWriteLoggingInfo("old.cpp", 7, "Old", 2, "no component");
    CLogControlTestPeer::Controller().WriteLevelRow(0);
    CLogControlTestPeer::Controller().CloseLogFile();

    // The clock and the process as RFC 3339 and the process id tell them, last in each row.
    const std::string lines =
        Jq(path, "[.severity_text, .severity_number, .application, .component, .id, "
                 ".block_depth, (.body | if length > 99 then length else . end), .file, .line, "
                 ".function, ((.time | test(\"^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:"
                 "[0-9]{2}[.][0-9]{6}[+-][0-9]{2}:[0-9]{2}$\")) and .process_id == " +
                     std::to_string(::getpid()) + " and .thread_id > 0)] | tojson");
    const auto at = [](int line) {
        return ",\"" + std::string(__FILE__) + "\"," + std::to_string(line) + ",\"TestBody\",true]";
    };
    EXPECT_EQ("[\"Information\",9,\"Test\",\"Main\",null,0,"
              "\"say \\\"hi\\\" \\\\ C:\\\\temp\\tnext\\r\\nrow \\u0001\\u001b[1m\"" +
                  at(logged) +
                  "\n[\"Error\",17,\"Test\",\"Main\",\"AX-3\",0,\"caf\xC3\xA9 \xC3\xA9 \xC3\xBF\"" +
                  at(logged + 1) + "\n[\"Warning\",13,\"Test\",\"Main\",null,1,1048576" +
                  at(logged + 3) +
                  "\n[null,13,\"Test\",null,null,0,\"no component\",\"old.cpp\",7,\"Old\",true]\n",
              lines);

    // Past the size limit, after a reset and when mapped, no header and whole objects.
    for (const auto& [mapped, maxSize] :
         {std::make_pair(false, 3000UL), std::make_pair(true, 100000000UL)})
    {
        const char* name = mapped ? "mapped.jsonl" : "written.jsonl";
        SCOPED_TRACE(name);
        const CString file = OpenFile(name, mapped, maxSize);
        for (int i = 0; i < 200; ++i)
        {
            if (i == 100)
                CLogControlTestPeer::Controller().ResetLogFile();
            m_first->Log(LOG_INFORMATION, "line \"%d\"", i);
        }
        CLogControlTestPeer::Controller().CloseLogFile();
        const std::string bodies = Jq(file, ".body");
        // The lines since the reset, or since the last restart at the size limit.
        const int count = kvtest::CountOf(bodies, "\n");
        EXPECT_TRUE(maxSize < 100000000 ? count < 100 : count == 100) << count;
        std::string expected;
        for (int i = 200 - count; i < 200; ++i)
            expected += "line \"" + std::to_string(i) + "\"\n";
        EXPECT_EQ(expected, bodies);
        // LF alone ends a line. (A header would show as jq's complaint among the bodies.)
        EXPECT_EQ(std::string::npos, kvtest::ReadWholeFile(file).find('\r'));
    }
}
} // namespace
#endif
