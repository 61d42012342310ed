// A message costs at most one call of the C library's formatter, long ones included: the hand
// formatter renders what it can, in the component's buffer when the caller's stack buffer is too
// small, and the C library measures only a message longer than the component's buffer. Every
// vsnprintf of the test's own thread is counted: the library calls it by its name.
#ifndef _WIN32
#include "KvlogTestFixture.h"

#include <cstdarg>
#include <dlfcn.h>
#include <string>

namespace
{
thread_local bool t_countingCalls = false;
thread_local int t_formatterCalls = 0;

using Formatter = int (*)(char*, std::size_t, const char*, va_list);
} // namespace

extern "C" int vsnprintf(char* buffer, std::size_t size, const char* format, va_list args)
{
    static const Formatter next = reinterpret_cast<Formatter>(::dlsym(RTLD_NEXT, "vsnprintf"));
    if (t_countingCalls)
        ++t_formatterCalls;
    return next(buffer, size, format, args);
}

namespace
{
using FormatterCallTest = KvlogTest;

TEST_F(FormatterCallTest, AMessageCostsOneCallAtMostAndASecondOnlyToMeasureALongerOne)
{
    struct Row
    {
        const char* format;
        std::size_t textLength;
        int firstCalls;
        int laterCalls;
    };
    // The "#" flag is left to the C library; a 5000-character text needs a larger buffer, once.
    const Row rows[] = {
        {"%x %s", 20, 0, 0},
        {"%#x %s", 20, 1, 1},
        {"%x %s", 5000, 1, 0},
        {"%#x %s", 5000, 2, 1},
    };
    StartLogging("MESSAGE");
    for (const Row& row : rows)
    {
        SCOPED_TRACE(std::string(row.format) + " " + std::to_string(row.textLength));
        CLogComponent component("Counted", nullptr);
        const std::string text(row.textLength, 'x');
        for (const int expected : {row.firstCalls, row.laterCalls, row.laterCalls})
        {
            m_capture.Clear();
            t_formatterCalls = 0;
            t_countingCalls = true;
            component.Log(LOG_INFORMATION, row.format, 42U, text.c_str());
            t_countingCalls = false;
            EXPECT_EQ(expected, t_formatterCalls);
            EXPECT_NE(std::string::npos, Output().find(text));
        }
    }
}
} // namespace
#endif
