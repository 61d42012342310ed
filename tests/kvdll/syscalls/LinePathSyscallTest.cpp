// An accepted line costs the logging thread one system call when "FileLinesToFlush" is 0: the
// write of its entry; to a mapped file ("FileMapping" 1), here a JSON file that asks for the
// clock and the process as well, it costs none. The test runs this program
// again under strace, in a child mode that logs between two marker calls, and counts the calls of
// the logging thread between the markers.
#include "KvlogTestFixture.h"

#include <gtest/gtest.h>

#include "OsProcess.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace
{
const char kChildVariable[] = "KVLOG_SYSCALL_CHILD";
const char kBeginMarker[] = "/kvlog-count-begin-";
const char kEndMarker[] = "/kvlog-count-end-";
const int kRounds = 150;
const int kLinesPerRound = 4;
const int kWindows = 3;
// The window whose file is mapped.
const int kMappedWindow = 2;
// Calls that an accepted line may cause besides its write, over a whole window: a lock that
// another thread holds for a moment (a futex call), and the end marker itself.
const int kAllowance = 4;
const int kDeadlineSeconds = 60;

// A call that fails at once and names itself in the trace.
void Mark(const char* marker, int window)
{
    const std::string path = marker + std::to_string(window);
    static_cast<void>(::access(path.c_str(), F_OK));
}

class LinePathSyscallChild : public KvlogTest
{
protected:
    void LogRound(int round)
    {
        const unsigned char bytes[8] = {0x41, 0x3C, 0x00, 0xC4};
        m_first->Log(LOG_INFORMATION, "axis %d at %.3f mm <%s>", round, round * 0.5, "ok");
        m_first->LogID(LOG_ERROR, static_cast<unsigned long>(round), "id %d", round);
        m_first->LogFuncID(LOG_WARNING, "MOT-7", "function %d", round);
        m_first->LogDump(LOG_INFORMATION, bytes, sizeof(bytes), "reply %d", round);
    }
    void CountedWindow(int window)
    {
        StartLogging("DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE");
        CLogControlTestPeer::SetLinesPerFlush(0);
        CLogControlTestPeer::SetFileMapping(window == kMappedWindow);
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
        const char* const names[kWindows] = {"lines.txt", "lines.htm", "mapped.jsonl"};
        CLogControlTestPeer::Controller().OpenLogFile(m_suite->Sub("log"), names[window]);
        ASSERT_TRUE(CLogControlTestPeer::Controller().IsLogFileOpen());
        // The first lines learn the thread's identity and the local time.
        for (int round = 0; round < 10; ++round)
            LogRound(round);
        Mark(kBeginMarker, window);
        for (int round = 0; round < kRounds; ++round)
            LogRound(round);
        Mark(kEndMarker, window);
    }
};

// Runs only as the traced child: a fresh controller for each window.
TEST_F(LinePathSyscallChild, LogsEachKindOfFileBetweenMarkers)
{
    if (std::getenv(kChildVariable) == nullptr)
        GTEST_SKIP() << "runs only under the system-call test";
    for (int window = 0; window < kWindows; ++window)
    {
        CountedWindow(window);
        m_first.reset();
        CLogControl::DestroyInstance();
    }
}

// The calls between the markers of a window, by name, of the thread that made them, and "(end)"
// once the end marker was found. strace's "-ff" writes each thread's calls to a file of its own,
// "name(arguments) = result" a line.
std::map<std::string, int> ReadWindow(const std::string& folder, int window)
{
    const std::string begin = kBeginMarker + std::to_string(window) + "\"";
    const std::string end = kEndMarker + std::to_string(window) + "\"";
    std::map<std::string, int> calls;
    for (const auto& file : std::filesystem::directory_iterator(folder))
    {
        std::ifstream trace(file.path());
        bool inside = false;
        for (std::string line; std::getline(trace, line);)
        {
            if (!inside)
                inside = line.find(begin) != std::string::npos;
            else if (line.find(end) != std::string::npos)
            {
                calls["(end)"] = 1;
                return calls;
            }
            else if (line[0] != '-' && line[0] != '+') // signals and exits
                ++calls[line.substr(0, line.find('('))];
        }
    }
    return calls;
}

TEST(LinePathSyscallTest, AnAcceptedLineCostsTheLoggingThreadOneWrite)
{
    if (KVLOG_SANITIZED)
        GTEST_SKIP() << "system calls are counted in the build without sanitizers, whose "
                        "run-time makes calls of its own and does not run under a tracer";
    if (std::getenv(kChildVariable) != nullptr)
        GTEST_SKIP() << "the traced child only logs";
    const char* const strace = "/usr/bin/strace";
    if (::access(strace, X_OK) != 0)
        GTEST_SKIP() << "strace is not installed (tools/install-deps.sh installs it)";
    kvtest::TempDir folder;
    const CString tracePath = folder.Sub("trace.txt");
    // This program again, its child tests only, traced; a hang ends at the deadline.
    CString self, errors;
    ASSERT_TRUE(os::GetModuleFileNameA(nullptr, self, 4096));
    kvtest::ScopedEnvironment child(kChildVariable, "1");
    int status = -1;
    ASSERT_TRUE(os::RunProgramCaptureOutput("/usr/bin/timeout", errors,
                                            {std::to_string(kDeadlineSeconds).c_str(), strace,
                                             "-ff", "-qq", "-o", tracePath, self,
                                             "--gtest_filter=LinePathSyscallChild.*"},
                                            &status));
    if (status != 0 && errors.Find("ptrace") >= 0)
        GTEST_SKIP() << "this machine does not let strace trace: " << errors.GetString();
    ASSERT_EQ(0, status) << errors.GetString();
    const int lines = kRounds * kLinesPerRound;
    for (int window = 0; window < kWindows; ++window)
    {
        std::map<std::string, int> calls = ReadWindow(folder.Path().GetString(), window);
        ASSERT_EQ(1, calls["(end)"]) << "no markers of window " << window << " in the trace";
        int total = -1; // "(end)" is no call
        std::string listing;
        for (const auto& call : calls)
        {
            total += call.second;
            listing += " " + call.first + ":" + std::to_string(call.second);
        }
        const int writes = window == kMappedWindow ? 0 : lines;
        EXPECT_EQ(writes, calls["write"]) << "window " << window << ":" << listing;
        EXPECT_LE(total, writes + kAllowance) << "window " << window << ":" << listing;
    }
}
} // namespace
