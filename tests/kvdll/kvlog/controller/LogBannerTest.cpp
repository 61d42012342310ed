#include "controller/LogBanner.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace
{
// Every banner is the same nine-line frame, each line ended by a bare line feed, around words of
// its own.
TEST(LogBannerTest, FrameAndWordsOfEachBanner)
{
    const std::string stars(78, '*');
    EXPECT_EQ(std::string(78, '/') + "\n" + stars +
                  "\n** Logging ERROR !!!                                  LL     OOOOOO  GGGGGG   "
                  "\n** LOG_SETAPPLICATION(Name)                           LL     OO  OO  GG       "
                  "\n** called twice                                       LL     OO  OO  GG GGG   "
                  "\n**                                                    LL     OO  OO  GG  GG   "
                  "\n** ==> Logging DISABLED                               LLLLL  OOOOOO  GGGGGG   "
                  "\n" +
                  stars + "\n" + std::string(39, '\\') + "\n",
              BannerText(LogBanner::kCalledTwice).str());
    const std::pair<LogBanner, const char*> rows[] = {
        {LogBanner::kCalledAfterFirstLog, "\n** called after first LOG   "},
        {LogBanner::kUsingApplicationName, "\n** ==> Using ApplicationName   "},
        {LogBanner::kCouldNotOpenLogfile, "\n** Could not open or create Logfile   "}};
    for (const auto& [banner, words] : rows)
        EXPECT_NE(-1, BannerText(banner).Find(words)) << words;
}
} // namespace
