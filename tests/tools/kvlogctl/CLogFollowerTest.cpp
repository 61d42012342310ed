#include "CLogFollower.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

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
} // namespace

// Complete lines only, and from the beginning again when the program starts the file afresh:
// shorter than what was read, or as long but with other bytes before the read position.
TEST(CLogFollowerTest, HandsOutCompleteLinesAndNoticesARestart)
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

    kvtest::TempDir::RemoveFile(path);
    std::vector<CString> lines;
    EXPECT_FALSE(follower.Poll(lines, restarted));
}
