#include "OsLocaleTime.h"

#include <gtest/gtest.h>

#include <regex>

TEST(OsLocaleTimeTest, LongDateAndTimeOfTheCLocale)
{
    // Weekday, month name, two-digit day, year and time, as "%#c" shows them.
    const std::regex longForm("[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4} "
                              "[0-9]{2}:[0-9]{2}:[0-9]{2}");
    const CString text = os::FormatLongLocalDateTime();
    EXPECT_TRUE(std::regex_match(text.str(), longForm)) << text;
}
