#include "controller/LogBanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start))
    {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(text.size(), start) << "the banner ends with a line feed";
    return lines;
}

TEST(LogBannerTest, EveryBannerHasNineLinesOfTheFixedFrame)
{
    for (LogBanner banner : {LogBanner::kCalledTwice, LogBanner::kCalledAfterFirstLog,
                             LogBanner::kUsingApplicationName, LogBanner::kCouldNotOpenLogfile})
    {
        const std::string text = BannerText(banner).str();
        EXPECT_EQ(std::string::npos, text.find('\r'));
        const std::vector<std::string> lines = SplitLines(text);
        ASSERT_EQ(9U, lines.size());
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(78U, lines[i].size()) << "line " << i + 1;
        EXPECT_EQ(std::string(78, '/'), lines[0]);
        EXPECT_EQ(std::string(78, '*'), lines[1]);
        EXPECT_EQ(std::string(78, '*'), lines[7]);
        EXPECT_EQ(std::string(39, '\\'), lines[8]);
        EXPECT_EQ("LLLLL  OOOOOO  GGGGGG   ", lines[6].substr(54));
    }
}

TEST(LogBannerTest, TextsOfTheFourBanners)
{
    const auto line = [](LogBanner banner, std::size_t index)
    { return SplitLines(BannerText(banner).str()).at(index); };
    EXPECT_EQ(0U, line(LogBanner::kCalledTwice, 3).find("** LOG_SETAPPLICATION(Name)      "));
    EXPECT_EQ(0U, line(LogBanner::kCalledTwice, 4).find("** called twice    "));
    EXPECT_EQ(0U, line(LogBanner::kCalledTwice, 6).find("** ==> Logging DISABLED   "));
    EXPECT_EQ(0U, line(LogBanner::kCalledAfterFirstLog, 4).find("** called after first LOG   "));
    EXPECT_EQ(0U, line(LogBanner::kUsingApplicationName, 2).find("** Logging WARNING !!!   "));
    EXPECT_EQ(0U,
              line(LogBanner::kUsingApplicationName, 6).find("** ==> Using ApplicationName   "));
    EXPECT_EQ(std::string("**") + std::string(52, ' ') + "LL     OO  OO  GG GGG   ",
              line(LogBanner::kCouldNotOpenLogfile, 4));
    EXPECT_EQ(
        0U,
        line(LogBanner::kCouldNotOpenLogfile, 3).find("** Could not open or create Logfile   "));
}
} // namespace
