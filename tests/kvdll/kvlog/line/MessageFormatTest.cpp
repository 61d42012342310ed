// The hand formatter must give vsnprintf's text for every format it takes, on every platform's C
// library, and leave the rest to vsnprintf.
#include "line/MessageFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#pragma GCC diagnostic ignored "-Wformat-nonliteral"

namespace
{
const char kRefused[] = "(refused)";

class MessageFormatTest : public ::testing::Test
{
protected:
    // The hand formatter's text in a buffer of m_size, or kRefused for -1; a text must equal
    // vsnprintf's.
    std::string Check(const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        char byHand[8192];
        const int length = FormatMessageByHand(byHand, m_size, format, args);
        va_end(args);
        ++m_checked;
        if (length < 0)
            return length == -1 ? kRefused : std::to_string(length);
        ++m_handled;
        char expected[8192];
        va_start(args, format);
        const int expectedLength = std::vsnprintf(expected, sizeof(expected), format, args);
        va_end(args);
        EXPECT_EQ(std::string(expected), std::string(byHand)) << "format \"" << format << "\"";
        EXPECT_EQ(expectedLength, length) << "format \"" << format << "\"";
        return byHand;
    }

    // A random conversion of the kind: flags, width and precision.
    std::string RandomFormat(const std::string& lengthAndKind)
    {
        std::string format = "<%";
        for (const char flag : {'-', '+', ' ', '0'})
            if (m_random() % 4 == 0)
                format += flag;
        if (m_random() % 2 == 0)
            format += std::to_string(m_random() % 25);
        if (m_random() % 2 == 0)
            format += "." + std::to_string(m_random() % 20);
        return format + lengthAndKind + ">";
    }

    double RandomDouble()
    {
        static const double kChosen[] = {0.0,    -0.0,    0.5,   1.5,     2.5,   0.125,
                                         0.0625, 1e-5,    9.995, 99999.5, 1e22,  1e-300,
                                         5e-324, DBL_MAX, -12.5, 0.1,     2.675, 1e15 + 0.3};
        switch (m_random() % 3)
        {
        case 0:
            return kChosen[m_random() % (sizeof(kChosen) / sizeof(kChosen[0]))];
        case 1:
            return static_cast<double>(static_cast<int>(m_random() % 2000001) - 1000000) / 1000.0;
        default:
            for (;;)
            {
                const unsigned long long bits =
                    (static_cast<unsigned long long>(m_random()) << 32) | m_random();
                double value = 0;
                std::memcpy(&value, &bits, sizeof(value));
                if (std::isfinite(value))
                    return value;
            }
        }
    }

    int m_size = 1024;
    std::mt19937 m_random{20240607};
    int m_checked = 0;
    int m_handled = 0;
};

TEST_F(MessageFormatTest, EveryTakenFormatReadsAsTheCLibraryReadsItAndTheRestIsLeftToIt)
{
    const long long extremes[] = {0,          1,         -1,       127,       -128,
                                  255,        65535,     -32768,   INT32_MAX, INT32_MIN,
                                  UINT32_MAX, INT64_MAX, INT64_MIN};
    for (int round = 0; round < 3000; ++round)
    {
        const long long number = m_random() % 3 == 0
                                     ? extremes[m_random() % (sizeof(extremes) / sizeof(long long))]
                                     : static_cast<long long>(m_random()) - 2147483648LL;
        for (const char* kind : {"d", "i", "u", "o", "x", "X"})
        {
            for (const std::string length : {"", "hh", "h"})
                Check(RandomFormat(length + kind).c_str(), static_cast<int>(number));
            Check(RandomFormat("l" + std::string(kind)).c_str(), static_cast<long>(number));
            Check(RandomFormat("ll" + std::string(kind)).c_str(), number);
            Check(RandomFormat("z" + std::string(kind)).c_str(), static_cast<std::size_t>(number));
        }
        for (const char* kind : {"f", "F", "e", "E", "g", "G", "lf"})
            Check(RandomFormat(kind).c_str(), RandomDouble());
        // The short fixed forms have a way of their own.
        for (const char* format : {"%.0f", "%.1f", "%.2f", "%.3f", "%8.3f"})
            Check(format, RandomDouble());
        Check(RandomFormat("s").c_str(), round % 2 == 0 ? "text" : "");
        Check(RandomFormat("c").c_str(), 'A' + round % 26);
    }
    // Most random conversions are taken; the C library gets only texts with the 0 flag and
    // unsigned numbers with the blank flag.
    EXPECT_GT(m_handled, m_checked * 3 / 4);

    // Usual messages are taken and the rest is left to the C library.
    EXPECT_EQ("[  7|8   |-3   |00012|ab|x  |%|1.5e+10|0.0001]",
              Check("[%*d|%*d|%-*d|%.*d|%.2s|%-3c|%%|%g|%G]", 3, 7, -4, 8, 5, -3, 5, 12, "abc", 'x',
                    1.5e10, 0.0001));
    EXPECT_EQ(kRefused, Check("%s", static_cast<const char*>(nullptr)));
    EXPECT_EQ(kRefused, Check("%p", static_cast<void*>(&m_checked)));
    EXPECT_EQ(kRefused, Check("%#x", 255));
    EXPECT_EQ(kRefused, Check("% u", 255U));
    EXPECT_EQ(kRefused, Check("%ls", L"wide"));
    EXPECT_EQ(kRefused, Check("%e", -std::numeric_limits<double>::infinity()));
    EXPECT_EQ(kRefused, Check("%Lf", 1.0L));
    EXPECT_EQ(kRefused, Check("ends with %"));
    EXPECT_EQ(kRefused, Check("%99999d", 1));
    EXPECT_EQ("[||       19|         5]", Check("[%.*d|%.*s|%9d|%10d]", 0, 0, 0, "abc", 19, 5));
    // Widths up to 4096 are taken, wider ones left to the C library.
    m_size = 8192;
    EXPECT_EQ(4096u, Check("%*d", -4096, 7).size());
    EXPECT_EQ(kRefused, Check("%*d", -4097, 7));
    // A text longer than the buffer is refused, not cut.
    m_size = 8;
    EXPECT_EQ(kRefused, Check("eight ch"));
    EXPECT_EQ(kRefused, Check("1234567%%"));
    EXPECT_EQ("123456%", Check("123456%%"));
    EXPECT_EQ(kRefused, Check("%8d", 1));
    EXPECT_EQ("seven c", Check("seven %c", 'c'));
    m_size = 1;
    EXPECT_EQ("", Check(""));
    m_size = 0;
    EXPECT_EQ(kRefused, Check(""));
}
} // namespace
