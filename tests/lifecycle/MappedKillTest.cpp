// A writer of a mapped log file killed at random moments loses no line it accepted: the lines
// are in the system's page cache as soon as they are copied. The next opening leaves no zeros.
#include "ScenarioTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <thread>

namespace
{
const char kMark[] = "mapped line ";

class MappedKillTest : public kvtest::ScenarioTest
{
protected:
    MappedKillTest()
    {
        Configure("log\\xdb_Levels.xdb",
                  {{"FileMapping", "1"}, {"DisplayLoggingInformation", "0"}});
    }
    std::string Log() { return Read("log\\log_Levels.htm"); }
    // The number of the last line the writer accepted; 0 before its first.
    std::uint64_t Accepted()
    {
        const std::string report = Read("work\\report.bin");
        std::uint64_t line = 0;
        if (report.size() >= sizeof line)
            std::memcpy(&line, report.data(), sizeof line);
        return line;
    }
};

// Whole entries numbered from 1 without a gap up to at least the last accepted line; after them
// at most the start of one more entry, which the kill cut short, and then only zeros.
::testing::AssertionResult HoldsEveryAcceptedLine(const std::string& log, std::uint64_t accepted)
{
    std::uint64_t next = 1;
    std::size_t end = 0;
    for (std::size_t at = log.find(kMark); at != std::string::npos; at = log.find(kMark, end))
    {
        const std::size_t lineEnd = log.find("\r\n", at);
        if (lineEnd == std::string::npos)
            break;
        const std::uint64_t number = std::stoull(log.substr(at + sizeof kMark - 1, 20));
        if (number != next)
            return ::testing::AssertionFailure() << "line " << number << " where " << next;
        ++next;
        end = lineEnd + 2;
    }
    if (next <= accepted)
        return ::testing::AssertionFailure() << "lines up to " << next - 1 << " of " << accepted;
    const std::size_t zeros = std::min(log.find('\0', end), log.size());
    if (log.find('\n', end) < zeros)
        return ::testing::AssertionFailure() << "a line after the last: " << log.substr(end, 200);
    if (log.find_first_not_of('\0', zeros) != std::string::npos)
        return ::testing::AssertionFailure() << "bytes after the zeros";
    return ::testing::AssertionSuccess();
}
} // namespace

TEST_F(MappedKillTest, AKilledWriterLosesNoAcceptedLineAndTheNextOpeningLeavesNoZeros)
{
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 5; ++kill)
    {
        SCOPED_TRACE("kill " + std::to_string(kill));
        kvtest::WriteWholeFile(m_root.Sub("work\\report.bin"), std::string(8, '\0'));
        const auto run = Start({"write", "report.bin"});
        ASSERT_TRUE(kvtest::WaitUntil([&] { return Accepted() != 0; }, 15000)) << "no line logged";
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 145));
        ASSERT_FALSE(Wait(run, 0).ended) << "ended by itself";
        const std::uint64_t accepted = Accepted();
        const std::string log = Log();
        // A mapped file grows by 1 MiB at a time.
        ASSERT_EQ(0u, log.size() % (1024 * 1024)) << "the file was not mapped";
        ASSERT_TRUE(HoldsEveryAcceptedLine(log, accepted));
    }
    ASSERT_TRUE(kvtest::EndedWell(Run({"levels"})));
    const std::string log = Log();
    EXPECT_EQ(std::string::npos, log.find('\0'));
    EXPECT_EQ(std::string::npos, log.find(kMark));
    EXPECT_NE(std::string::npos, log.find("green</span>\r\n\t\t</pre>"));
}
