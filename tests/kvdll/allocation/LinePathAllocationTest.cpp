// Accepted lines must not touch the heap once the buffers have grown to their working size, and a
// message costs at most one call of the C library's formatter. Every operator new and vsnprintf
// of the test's own thread is counted while the lines are logged: the library calls vsnprintf by
// its name.
#include "KvlogTestFixture.h"
#include "kvlog_fmt.h"

#include <cstdarg>
#include <cstdlib>
#include <new>
#include <string>
#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace
{
thread_local bool t_counting = false;
thread_local long t_allocations = 0;
// While set, the heap refuses blocks of this size or more.
thread_local std::size_t t_refusedSize = 0;

void* CountedAllocation(std::size_t size)
{
    if (t_counting)
        ++t_allocations;
    if (t_refusedSize != 0 && size >= t_refusedSize)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size != 0 ? size : 1))
        return memory;
    throw std::bad_alloc();
}
} // namespace

// Every form is replaced: under the address sanitizer the nothrow and array forms do not reach
// the plain one, and a block must go back to the heap it came from.
void* operator new(std::size_t size)
{
    return CountedAllocation(size);
}
void* operator new[](std::size_t size)
{
    return CountedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return CountedAllocation(size);
    }
    catch (...)
    {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
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

#ifndef _WIN32
static thread_local int t_formatterCalls = 0;

extern "C" int vsnprintf(char* buffer, std::size_t size, const char* format, va_list args)
{
    using Formatter = int (*)(char*, std::size_t, const char*, va_list);
    static const Formatter next = reinterpret_cast<Formatter>(::dlsym(RTLD_NEXT, "vsnprintf"));
    if (t_counting)
        ++t_formatterCalls;
    return next(buffer, size, format, args);
}
#endif

namespace
{
// The warm-up logs as much as the counted part, so that the captured debugger output has
// reached its size too.
const int kRounds = 100;

class LinePathAllocationTest : public KvlogTest
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

const char* const kDefaultFormat = "DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE";
const char* const kEveryField = "COMPONENT FILE LINE:+6 FUNCTION LEVEL LEVELSTRING:-9 ID!4 "
                                "SPACEID!3 IDMESSAGE TIME TIMESTAMP!12 THREADX:+8 THREAD MESSAGE";

TEST_F(LinePathAllocationTest, FilesAndDebuggerOutputAllocateNothingPerLine)
{
    StartLogging(kEveryField);
    EXPECT_EQ(0, AllocationsOfCountedLines());
    // The lines did arrive.
    EXPECT_NE(std::string::npos, Output().find("inside a block"));
    EXPECT_EQ(0, AllocationsOfFileLines("lines.txt", kDefaultFormat));
    EXPECT_EQ(0, AllocationsOfFileLines("lines.htm", kEveryField));
    EXPECT_EQ(0, AllocationsOfFileLines("lines.jsonl", kDefaultFormat));
}
// A typed message beyond the stack's kilobyte that the heap cannot take keeps its start.
TEST_F(LinePathAllocationTest, TypedMessageKeepsItsStartWhenTheHeapFails)
{
    StartLogging("MESSAGE");
    t_refusedSize = 4000;
    KVLOG_ERROR(m_first.get(), "{:x>5000}", "");
    t_refusedSize = 0;
    EXPECT_EQ(std::string(1019, 'x') + "[...]\n", Output());
}
#ifndef _WIN32
// The hand formatter renders what it can, in the component's buffer when the caller's stack
// buffer is too small, and the C library measures only a message longer than the component's
// buffer. The "#" flag is left to the C library; a 5000-character text needs a larger buffer, once.
TEST_F(LinePathAllocationTest, AMessageCostsOneFormatterCallAtMostAndASecondToMeasureALongerOne)
{
    const struct
    {
        const char* format;
        std::size_t textLength;
        int firstCalls;
        int laterCalls;
    } rows[] = {
        {"%x %s", 20, 0, 0}, {"%#x %s", 20, 1, 1}, {"%x %s", 5000, 1, 0}, {"%#x %s", 5000, 2, 1}};
    StartLogging("MESSAGE");
    for (const auto& row : rows)
    {
        SCOPED_TRACE(std::string(row.format) + " " + std::to_string(row.textLength));
        CLogComponent component("Counted", nullptr);
        const std::string text(row.textLength, 'x');
        for (const int expected : {row.firstCalls, row.laterCalls, row.laterCalls})
        {
            m_capture.Clear();
            t_formatterCalls = 0;
            t_counting = true;
            component.Log(LOG_INFORMATION, row.format, 42U, text.c_str());
            t_counting = false;
            EXPECT_EQ(expected, t_formatterCalls);
            EXPECT_NE(std::string::npos, Output().find(text));
        }
    }
}
#endif
} // namespace
