// A writer of a mapped log file killed at random moments loses no line it accepted: the lines
// are in the system's page cache as soon as they are copied. The next opening leaves no zeros.
#include "CKVXMLConfig.h"
#include "ProcessRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <thread>

namespace
{
const int kKills = 5;
const int kDeadlineMilliseconds = 20000;
const char kMark[] = "mapped line ";
// The step by which a mapped file grows.
const std::size_t kChunk = 1024 * 1024;

class MappedKillTest : public ::testing::Test
{
protected:
    MappedKillTest()
    {
        CKVXMLConfig settings;
        settings.Open(m_root.Sub("log\\xdb_Mapped_Kill.xdb"));
        settings.SetString("config", "FileMapping", "1");
        settings.SetString("config", "DisplayLoggingInformation", "0");
        settings.Save();
    }
    std::string Program() const { return kvtest::ProgramBesideThis("kvlog_mapped_writer"); }
    std::string Log() { return kvtest::ReadWholeFile(m_root.Sub("log\\log_Mapped_Kill.htm")); }
    // The number of the last line the writer accepted; 0 before its first.
    std::uint64_t Accepted()
    {
        const std::string report = kvtest::ReadWholeFile(m_root.Sub("work\\report.bin"));
        std::uint64_t line = 0;
        if (report.size() >= sizeof line)
            std::memcpy(&line, report.data(), sizeof line);
        return line;
    }

    kvtest::TempSuite m_root;
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
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> pause(5, 150);
    std::uint64_t total = 0;
    for (int kill = 0; kill < kKills; ++kill)
    {
        kvtest::WriteWholeFile(m_root.Sub("work\\report.bin"), std::string(8, '\0'));
        kvtest::ProcessRun run(Program(), {"write", "report.bin"}, m_root.Sub("work").str());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (Accepted() == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_LT(0u, Accepted()) << "kill " << kill << ": no line was logged";
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        const kvtest::ProcessOutcome outcome = run.Wait(0);
        ASSERT_FALSE(outcome.ended) << "kill " << kill << ": ended by itself, " << outcome.exitCode;
        const std::uint64_t accepted = Accepted();
        const std::string log = Log();
        ASSERT_EQ(0u, log.size() % kChunk) << "kill " << kill << ": the file was not mapped";
        ASSERT_TRUE(HoldsEveryAcceptedLine(log, accepted)) << "kill " << kill;
        total += accepted;
    }
    RecordProperty("AcceptedLines", std::to_string(total));

    const kvtest::ProcessOutcome outcome =
        kvtest::RunProcess(Program(), {"close"}, m_root.Sub("work").str(), kDeadlineMilliseconds);
    ASSERT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0) << outcome.exitCode;
    const std::string log = Log();
    EXPECT_EQ(std::string::npos, log.find('\0'));
    EXPECT_EQ(std::string::npos, log.find(kMark));
    EXPECT_NE(std::string::npos, log.find("closing line</span>\r\n\t\t</pre>"));
}
