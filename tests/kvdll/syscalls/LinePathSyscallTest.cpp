// An accepted line costs the logging thread one system call when "FileLinesToFlush" is 0: the
// write of its entry; to a mapped file ("FileMapping" 1), here a JSON file that asks for the
// clock and the process as well, it costs none. The test runs this program
// again under strace, in a child mode that logs between two marker calls, and counts the calls of
// the logging thread between the markers.
#include "KvlogTestFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    void CountedWindow(const char* fileName, int window)
    {
        StartLogging("DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE");
        CLogControlTestPeer::SetLinesPerFlush(0);
        CLogControlTestPeer::SetFileMapping(window == kMappedWindow);
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
        CLogControlTestPeer::Controller().OpenLogFile(m_suite->LogFile(fileName));
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

// These run only as the traced child.
TEST_F(LinePathSyscallChild, LogsPlainTextBetweenMarkers)
{
    if (std::getenv(kChildVariable) == nullptr)
        GTEST_SKIP() << "runs only under the system-call test";
    CountedWindow("lines.txt", 0);
}

TEST_F(LinePathSyscallChild, LogsHtmlBetweenMarkers)
{
    if (std::getenv(kChildVariable) == nullptr)
        GTEST_SKIP() << "runs only under the system-call test";
    CountedWindow("lines.htm", 1);
}

TEST_F(LinePathSyscallChild, LogsToAMappedFileBetweenMarkers)
{
    if (std::getenv(kChildVariable) == nullptr)
        GTEST_SKIP() << "runs only under the system-call test";
    CountedWindow("mapped.jsonl", kMappedWindow);
}

// The calls of one thread between the markers of a window, by name.
struct Window
{
    std::map<std::string, int> calls;
    bool complete = false;
};

// Reads strace's "-f" output: "pid name(arguments) = result", with "<... name resumed>" halves
// of calls that other threads interrupted.
Window ReadWindow(const std::string& tracePath, int window)
{
    const std::string begin = kBeginMarker + std::to_string(window) + "\"";
    const std::string end = kEndMarker + std::to_string(window) + "\"";
    Window result;
    std::ifstream trace(tracePath);
    std::string pid;
    for (std::string line; std::getline(trace, line);)
    {
        const std::size_t blank = line.find(' ');
        const std::string linePid = line.substr(0, blank);
        const std::string call = blank != std::string::npos ? line.substr(blank + 1) : "";
        const std::size_t start = call.find_first_not_of(' ');
        if (pid.empty())
        {
            if (line.find(begin) != std::string::npos)
                pid = linePid;
            continue;
        }
        if (linePid != pid || start == std::string::npos || call.compare(start, 1, "<") == 0 ||
            call.compare(start, 3, "---") == 0 || call.compare(start, 3, "+++") == 0)
            continue;
        if (line.find(end) != std::string::npos)
        {
            result.complete = true;
            break;
        }
        ++result.calls[call.substr(start, call.find('(', start) - start)];
    }
    return result;
}

std::string FindStrace()
{
    for (const char* candidate : {"/usr/bin/strace", "/bin/strace", "/usr/local/bin/strace"})
        if (::access(candidate, X_OK) == 0)
            return candidate;
    return std::string();
}

// Runs this program's child test under strace; the exit status, or -1 past the deadline.
int RunTracedChild(const std::string& strace, const std::string& tracePath,
                   const std::string& errorPath)
{
    // Everything the child needs is made before the fork: a child of a threaded program may only
    // make system calls until it runs the new program.
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0)
        return 127;
    const std::string filter = "--gtest_filter=LinePathSyscallChild.*";
    const char* const arguments[] = {"strace",          "-f", "-qq",          "-o",
                                     tracePath.c_str(), self, filter.c_str(), nullptr};
    std::vector<const char*> environment;
    for (char** variable = environ; *variable != nullptr; ++variable)
        environment.push_back(*variable);
    const std::string marker = std::string(kChildVariable) + "=1";
    environment.push_back(marker.c_str());
    environment.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0)
    {
        const int errors = ::open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(errors, STDERR_FILENO);
        ::dup2(errors, STDOUT_FILENO);
        ::execve(strace.c_str(), const_cast<char* const*>(arguments),
                 const_cast<char* const*>(environment.data()));
        ::_exit(127);
    }
    for (int waited = 0; waited < kDeadlineSeconds * 10; ++waited)
    {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        ::usleep(100000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
}

TEST(LinePathSyscallTest, AnAcceptedLineCostsTheLoggingThreadOneWrite)
{
    if (KVLOG_SANITIZED)
        GTEST_SKIP() << "system calls are counted in the build without sanitizers, whose "
                        "run-time makes calls of its own and does not run under a tracer";
    if (std::getenv(kChildVariable) != nullptr)
        GTEST_SKIP() << "the traced child only logs";
    const std::string strace = FindStrace();
    if (strace.empty())
        GTEST_SKIP() << "strace is not installed (tools/install-deps.sh installs it)";
    kvtest::TempDir folder;
    const std::string tracePath = folder.Sub("trace.txt").GetString();
    const std::string errorPath = folder.Sub("errors.txt").GetString();
    const int status = RunTracedChild(strace, tracePath, errorPath);
    const std::string errors = kvtest::ReadWholeFile(errorPath.c_str());
    if (status != 0 && errors.find("ptrace") != std::string::npos)
        GTEST_SKIP() << "this machine does not let strace trace: " << errors;
    ASSERT_EQ(0, status) << errors;
    const int lines = kRounds * kLinesPerRound;
    for (int window = 0; window < kWindows; ++window)
    {
        const Window counted = ReadWindow(tracePath, window);
        ASSERT_TRUE(counted.complete) << "no markers of window " << window << " in the trace";
        int total = 0;
        std::string listing;
        for (const auto& call : counted.calls)
        {
            total += call.second;
            listing += " " + call.first + ":" + std::to_string(call.second);
        }
        const int writes = window == kMappedWindow ? 0 : lines;
        EXPECT_EQ(writes, counted.calls.count("write") != 0 ? counted.calls.at("write") : 0)
            << "window " << window << ":" << listing;
        EXPECT_LE(total, writes + kAllowance) << "window " << window << ":" << listing;
    }
}
} // namespace
