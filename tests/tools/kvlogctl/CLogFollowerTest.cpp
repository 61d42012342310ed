#include "CLogFollower.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> Poll(CLogFollower& follower, bool& restarted)
{
    std::vector<CString> lines;
    EXPECT_TRUE(follower.Poll(lines, restarted));
    std::vector<std::string> texts;
    for (const CString& line : lines)
        texts.push_back(line.str());
    return texts;
}

// A mapped log file while its program writes it: whole lines, a line half copied (its end may
// show before its middle), and zeros up to the file's reserved length.
std::string MappedFileWhileWritten(const std::string& copying)
{
    return "one\r\ntwo\r\n" + copying + std::string(4096, '\0');
}
const std::string kHalfCopied = "thr" + std::string(5, '\0') + "ee\r\n";
} // namespace

// Complete lines only, and from the beginning again when the program starts the file afresh:
// shorter than what was read, or as long but with other bytes before the read position. In a
// mapped file the lines end at the first NUL, and the line being copied is waited for.
TEST(CLogFollowerTest, HandsOutCompleteLinesNoticesARestartAndTheGuidesSearchAgrees)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("log.htm", "head\r\nfirst\r\nsec");
    CLogFollower follower(dir.Path(), "log.htm");
    bool restarted = true;
    EXPECT_EQ(std::vector<std::string>({"head", "first"}), Poll(follower, restarted));
    EXPECT_FALSE(restarted);
    EXPECT_TRUE(Poll(follower, restarted).empty());
    std::ofstream(path.GetString(), std::ios::binary | std::ios::app) << "ond\r\nthird\n";
    EXPECT_EQ(std::vector<std::string>({"second", "third"}), Poll(follower, restarted));
    EXPECT_FALSE(restarted);

    kvtest::WriteWholeFile(path, "head\r\nnew\r\n");
    EXPECT_EQ(std::vector<std::string>({"head", "new"}), Poll(follower, restarted));
    EXPECT_TRUE(restarted);

    kvtest::WriteWholeFile(path, "head\r\nNEW\r\nmore\r\n");
    EXPECT_EQ(std::vector<std::string>({"head", "NEW", "more"}), Poll(follower, restarted));
    EXPECT_TRUE(restarted);

    kvtest::WriteWholeFile(path, MappedFileWhileWritten(kHalfCopied));
    EXPECT_EQ(std::vector<std::string>({"one", "two"}), Poll(follower, restarted));
    kvtest::WriteWholeFile(path, MappedFileWhileWritten("three\r\n"));
    EXPECT_EQ(std::vector<std::string>({"three"}), Poll(follower, restarted));
    EXPECT_FALSE(restarted);

    kvtest::TempDir::RemoveFile(path);
    std::vector<CString> lines;
    EXPECT_FALSE(follower.Poll(lines, restarted));

#ifndef _WIN32
    // The guide's command for searching a mapped file while it is written finds whole lines only.
    const std::string guide = kvtest::ReadWholeFile(KVLOG_GUIDE);
    const std::size_t block = guide.find("```sh\nhead -z");
    ASSERT_NE(std::string::npos, block) << "the guide shows no search of a mapped file";
    std::string command = guide.substr(block + 6, guide.find("\n```", block + 6) - block - 6);
    dir.MakeFile("log_Name.htm", MappedFileWhileWritten(kHalfCopied));
    command.replace(command.find("log_Name.htm"), 12, dir.Sub("log_Name.htm").GetString());
    command.replace(command.find("PATTERN"), 7, "t");
    FILE* output = ::popen(command.c_str(), "r");
    ASSERT_NE(nullptr, output);
    std::string found;
    for (int ch; (ch = std::fgetc(output)) != EOF;)
        found += static_cast<char>(ch);
    ::pclose(output);
    EXPECT_EQ("two\r\n", found);
#endif
}
