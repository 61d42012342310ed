// What an accepted line costs the logging thread. It must not touch the heap once the buffers
// have grown to their working size: every operator new of the test's own thread is counted while
// the lines are logged. It costs one system call when
// "FileLinesToFlush" is 0, the write of its entry, and none to a mapped file ("FileMapping" 1),
// here a JSON file that asks for the clock and the process as well: the test runs this program
// again under strace, in a child mode that logs between two marker calls, and counts the calls of
// the logging thread between the markers.
#include "KvlogTestFixture.h"
#include "OsProcess.h"
#include "kvlog_fmt.h"

#include <cstdlib>
#include <new>
#include <string>
#ifndef _WIN32
#include <filesystem>
#include <map>
#include <sstream>
#include <unistd.h>
#endif
namespace
{
thread_local bool t_counting = false;
thread_local long t_allocations = 0;
// While set, the heap refuses blocks of this size or more.
thread_local std::size_t t_refusedSize = 0;

// Null where the heap refuses the block.
void* CountedAllocation(std::size_t size) noexcept
{
    if (t_counting)
        ++t_allocations;
    return t_refusedSize != 0 && size >= t_refusedSize ? nullptr
                                                       : std::malloc(size != 0 ? size : 1);
}

void* ThrowingAllocation(std::size_t size)
{
    if (void* memory = CountedAllocation(size))
        return memory;
    throw std::bad_alloc();
}
} // namespace

// Every form is replaced: under the address sanitizer the nothrow and array forms do not reach
// the plain one, and a block must go back to the heap it came from.
void* operator new(std::size_t size)
{
    return ThrowingAllocation(size);
}
void* operator new[](std::size_t size)
{
    return ThrowingAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace
{
// The warm-up logs as much as the counted part, so that the captured debugger output has
// reached its size too.
const int kRounds = 100;
const char* const kDefaultFormat = "DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE";
const char* const kEveryField = "COMPONENT FILE LINE:+6 FUNCTION LEVEL LEVELSTRING:-9 ID!4 "
                                "SPACEID!3 IDMESSAGE TIME TIMESTAMP!12 THREADX:+8 THREAD MESSAGE";

#ifndef _WIN32
const char kChildVariable[] = "KVLOG_SYSCALL_CHILD";
const char kBeginMarker[] = "/kvlog-count-begin-";
const char kEndMarker[] = "/kvlog-count-end-";
// Log, LogID, LogFuncID, LogDump, LogFuncDump, two typed messages and the one in the block.
const int kLinesPerRound = 8;
const int kWindows = 3;
// The window whose file is mapped.
const int kMappedWindow = 2;
// Calls that an accepted line may cause besides its write, over a whole window: a lock that
// another thread holds for a moment (a futex call), and the end marker itself.
const int kAllowance = 4;

// A call that fails at once and names itself in the trace.
void Mark(const char* marker, int window)
{
    static_cast<void>(::access((marker + std::to_string(window)).c_str(), F_OK));
}
#endif

class LinePathTest : public KvlogTest
{
protected:
    // Every kind of accepted line the line path knows, with varying numbers and texts.
    void LogEveryKind(int round)
    {
        const unsigned char bytes[40] = {0x41, 0x3C, 0x00, 0xC4};
        m_first->Log(LOG_INFORMATION, "axis %d at %.3f mm <%s>", round, round * 0.5, "ok");
        m_first->LogID(LOG_ERROR, static_cast<unsigned long>(round), "id %d", round);
        m_first->LogFuncID(LOG_WARNING, "MOT-7", "function %d", round);
        m_first->LogDump(LOG_INFORMATION, bytes, sizeof(bytes), "reply %d", round);
        m_first->LogFuncDump(LOG_INFORMATION, bytes, 3, nullptr);
        // Typed messages up to the longest one formatted on the caller's stack.
        KVLOG_INFORMATION(m_first.get(), "axis {} at {:.3f} mm <{}>", round, round * 0.5,
                          std::string("ok"));
        KVLOG_WARNING_ID(m_first.get(), round, "{:k>1024}", std::string_view("!"));
        m_first->LogStartBlock();
        m_first->Log(LOG_SUCCESS, "inside a block");
        m_first->LogEndBlock();
    }

    long AllocationsOfCountedLines()
    {
        for (int round = 0; round < kRounds; ++round)
            LogEveryKind(round);
        m_capture.Clear();
        t_allocations = 0;
        t_counting = true;
        for (int round = 0; round < kRounds; ++round)
            LogEveryKind(round);
        t_counting = false;
        return t_allocations;
    }

    // The application is named once: a second name would stop all logging.
    long AllocationsOfFileLines(const char* fileName, const char* format)
    {
        CLogControlTestPeer::SetFormat(format);
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
        CLogControlTestPeer::Controller().OpenLogFile(m_suite->Sub("log"), fileName);
        EXPECT_TRUE(CLogControlTestPeer::Controller().IsLogFileOpen()) << fileName;
        const long allocations = AllocationsOfCountedLines();
        CLogControlTestPeer::Controller().CloseLogFile();
        EXPECT_LE(2 * kRounds, kvtest::CountOf(kvtest::ReadWholeFile(m_suite->LogFile(fileName)),
                                               "inside a block"))
            << fileName;
        return allocations;
    }
};

TEST_F(LinePathTest, FilesAndDebuggerOutputAllocateNothingPerLine)
{
    StartLogging(kEveryField);
    EXPECT_EQ(0, AllocationsOfCountedLines());
    EXPECT_NE(std::string::npos, Output().find("inside a block")); // the lines did arrive
    EXPECT_EQ(0, AllocationsOfFileLines("lines.txt", kDefaultFormat));
    EXPECT_EQ(0, AllocationsOfFileLines("lines.htm", kEveryField));
    EXPECT_EQ(0, AllocationsOfFileLines("lines.jsonl", kDefaultFormat));
}
// A typed message beyond the stack's kilobyte that the heap cannot take keeps its start.
TEST_F(LinePathTest, TypedMessageKeepsItsStartWhenTheHeapFails)
{
    StartLogging("MESSAGE");
    t_refusedSize = 4000;
    KVLOG_ERROR(m_first.get(), "{:x>5000}", "");
    t_refusedSize = 0;
    EXPECT_EQ(std::string(1019, 'x') + "[...]\n", Output());
}
#ifndef _WIN32
// Runs only as the traced child.
TEST_F(LinePathTest, LogsEachKindOfFileBetweenMarkersWhenTraced)
{
    if (std::getenv(kChildVariable) == nullptr)
        GTEST_SKIP() << "runs only under the system-call test";
    const char* const names[kWindows] = {"lines.txt", "lines.htm", "mapped.jsonl"};
    // A fresh controller for each window logs every kind into its file between the markers.
    for (int window = 0; window < kWindows; ++window)
    {
        StartLogging(kDefaultFormat);
        CLogControlTestPeer::SetLinesPerFlush(0);
        CLogControlTestPeer::SetFileMapping(window == kMappedWindow);
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
        CLogControlTestPeer::Controller().OpenLogFile(m_suite->Sub("log"), names[window]);
        ASSERT_TRUE(CLogControlTestPeer::Controller().IsLogFileOpen());
        // The first lines learn the thread's identity and the local time.
        for (int round = 0; round < 10; ++round)
            LogEveryKind(round);
        Mark(kBeginMarker, window);
        for (int round = 0; round < kRounds; ++round)
            LogEveryKind(round);
        Mark(kEndMarker, window);
        m_first.reset();
        CLogControl::DestroyInstance();
    }
}

// The calls between the markers of a window, by name, of the thread that made them, and "(end)"
// once the end marker was found. strace's "-ff" writes each thread's calls to a file of its own,
// "name(arguments) = result" a line.
std::map<std::string, int> ReadWindow(const std::string& folder, int window)
{
    std::map<std::string, int> calls;
    for (const auto& file : std::filesystem::directory_iterator(folder))
    {
        const std::string trace = kvtest::ReadWholeFile(file.path().string().c_str());
        const std::size_t begin = trace.find(kBeginMarker + std::to_string(window) + "\"");
        const std::size_t end = trace.find(kEndMarker + std::to_string(window) + "\"", begin);
        if (end == std::string::npos)
            continue;
        const std::size_t from = trace.find('\n', begin) + 1;
        std::istringstream lines(trace.substr(from, trace.rfind('\n', end) + 1 - from));
        for (std::string line; std::getline(lines, line);)
            if (line[0] != '-' && line[0] != '+') // signals and exits
                ++calls[line.substr(0, line.find('('))];
        calls["(end)"] = 1;
    }
    return calls;
}

TEST(LinePathSyscallTest, AnAcceptedLineCostsTheLoggingThreadOneWrite)
{
    if (KVLOG_SANITIZED)
        GTEST_SKIP() << "the sanitizers' run-time makes calls of its own and shuns tracers";
    const char* const strace = "/usr/bin/strace";
    if (::access(strace, X_OK) != 0)
        GTEST_SKIP() << "strace is not installed (tools/install-deps.sh installs it)";
    kvtest::TempDir folder;
    // This program again, its child tests only, traced; a hang ends after 60 s.
    CString self, errors;
    ASSERT_TRUE(os::GetModuleFileNameA(nullptr, self, 4096));
    kvtest::ScopedEnvironment child(kChildVariable, "1");
    int status = -1;
    ASSERT_TRUE(
        os::RunProgramCaptureOutput("/usr/bin/timeout", errors,
                                    {"60", strace, "-ff", "-qq", "-o", folder.Sub("trace.txt"),
                                     self, "--gtest_filter=*WhenTraced"},
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
#endif
} // namespace
