#include "controller/LogBanner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
// Every banner is the same nine-line frame, each line ended by a bare line feed, around words of
// its own.
TEST(LogBannerTest, FrameAndWordsOfEachBanner)
{
    const struct
    {
        LogBanner banner;
        std::size_t line;
        const char* start;
    } rows[] = {
        {LogBanner::kCalledTwice, 3, "** LOG_SETAPPLICATION(Name)      "},
        {LogBanner::kCalledTwice, 4, "** called twice    "},
        {LogBanner::kCalledTwice, 6, "** ==> Logging DISABLED   "},
        {LogBanner::kCalledAfterFirstLog, 4, "** called after first LOG   "},
        {LogBanner::kUsingApplicationName, 2, "** Logging WARNING !!!   "},
        {LogBanner::kUsingApplicationName, 6, "** ==> Using ApplicationName   "},
        {LogBanner::kCouldNotOpenLogfile, 3, "** Could not open or create Logfile   "},
    };
    for (const auto& row : rows)
    {
        const std::string text = BannerText(row.banner).str();
        ASSERT_EQ('\n', text.back());
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        ASSERT_EQ(9U, lines.size());
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(78U, lines[i].size()) << "line " << i + 1;
        EXPECT_EQ(std::string(78, '/'), lines[0]);
        EXPECT_EQ(std::string(78, '*'), lines[1]);
        EXPECT_EQ(lines[1], lines[7]);
        EXPECT_EQ(std::string(39, '\\'), lines[8]);
        EXPECT_EQ("LLLLL  OOOOOO  GGGGGG   ", lines[6].substr(54));
        EXPECT_EQ(0U, lines[row.line].find(row.start)) << lines[row.line];
    }
}
} // namespace
