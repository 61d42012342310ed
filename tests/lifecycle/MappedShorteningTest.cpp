// Another program shortens a mapped log file while four threads log into it (a copy into the
// window past the file's new end would raise SIGBUS): the logging program notices it, goes on
// from the file's new end and ends normally, and its file holds no zeros. Once by hand, once by
// the real logrotate with "copytruncate".
#ifndef _WIN32
#include "ProcessRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
const int kLogMilliseconds = 3000;
const int kDeadlineMilliseconds = 60000;
const char kNotice[] = "another program shortened the mapped log file";

class MappedShorteningTest : public ::testing::Test
{
protected:
    MappedShorteningTest()
    {
        kvtest::WriteConfigSettings(m_root.Sub("log\\xdb_Shortened_Log.xdb").str(),
                                    {{"FileMapping", "1"}, {"DisplayLoggingInformation", "0"}});
    }
    std::string LogPath() { return m_root.Sub("log\\log_Shortened_Log.htm").str(); }
    // Starts the program and waits for its first lines.
    void StartLogging()
    {
        m_run = std::make_unique<kvtest::ProcessRun>(
            kvtest::ProgramBesideThis("kvlog_edge_program"),
            std::vector<std::string>{"threads", std::to_string(kLogMilliseconds)},
            m_root.Sub("work").str());
        ASSERT_TRUE(kvtest::WaitUntil(
            [&] {
                return kvtest::ReadWholeFile(LogPath().c_str()).find("one line") !=
                       std::string::npos;
            }));
    }
    // The program ended by itself, and its file holds lines and no zeros.
    void ExpectEndedWithoutZeros()
    {
        const kvtest::ProcessOutcome outcome = m_run->Wait(kDeadlineMilliseconds);
        EXPECT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0)
            << "ended " << outcome.ended << ", code " << outcome.exitCode;
        const std::string log = kvtest::ReadWholeFile(LogPath().c_str());
        EXPECT_EQ(std::string::npos, log.find('\0'));
        EXPECT_NE(std::string::npos, log.find(" line "));
    }
    int Notices()
    {
        return kvtest::CountOf(kvtest::ReadWholeFile(m_root.Sub("work\\stderr.txt")), kNotice);
    }

    kvtest::TempSuite m_root;
    std::unique_ptr<kvtest::ProcessRun> m_run;
    kvtest::ScopedEnvironment m_asan{"ASAN_OPTIONS", "detect_leaks=0"};
};
} // namespace

TEST_F(MappedShorteningTest, AFileShortenedTwentyTimesIsWrittenOnFromItsNewEnd)
{
    const int kShortenings = 20;
    StartLogging();
    for (int i = 0; i < kShortenings; ++i)
    {
        ASSERT_EQ(0, ::truncate(LogPath().c_str(), 0));
        std::this_thread::sleep_for(std::chrono::milliseconds(kLogMilliseconds / 2 / kShortenings));
    }
    ExpectEndedWithoutZeros();
    EXPECT_LE(1, Notices());
    EXPECT_GE(kShortenings, Notices());
}

TEST_F(MappedShorteningTest, LogrotateCopytruncateRotatesTheLiveFile)
{
    if (std::system("logrotate --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "logrotate is not installed";
    const std::string config = m_root.Sub("work\\logrotate.conf").str();
    std::ofstream(config) << LogPath() << " {\n    copytruncate\n    rotate 5\n}\n";
    const std::string rotate =
        "logrotate --force --state " + m_root.Sub("work\\logrotate.state").str() + " " + config;
    StartLogging();
    for (int i = 0; i < 2; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(kLogMilliseconds / 4));
        ASSERT_EQ(0, std::system(rotate.c_str()));
    }
    ExpectEndedWithoutZeros();
    EXPECT_NE(std::string::npos, kvtest::ReadWholeFile((LogPath() + ".2").c_str()).find(" line "));
    EXPECT_LE(1, Notices());
}
#endif
