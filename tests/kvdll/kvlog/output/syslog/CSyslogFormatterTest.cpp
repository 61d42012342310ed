#include "output/syslog/CSyslogFormatter.h"

#include "OsProcess.h"
#include "output/syslog/SyslogMessage.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "TestSupport.h"

#include <ctime>
#endif

namespace
{
CSyslogFields LineFields(const char* message)
{
    return {"Motion", "motor.cpp", 42, "Move", 0x1, 1, "Error", "AXIS1", 4711, message};
}

kvtest::SyslogMessage Formatted(const CSyslogFormatter& formatter, const CSyslogFields& fields,
                                std::string* raw = nullptr)
{
    std::string out;
    // The element ends where the formatter says.
    EXPECT_EQ(']', out.at(formatter.Format(fields, out)));
    if (raw != nullptr)
        *raw = out;
    return kvtest::ParseSyslogMessage(out);
}
} // namespace

TEST(SyslogFormatterTest, HeaderAndStructuredDataCarryTheLinesFactsAndTheLevelsSeverity)
{
    CSyslogFormatter formatter;
    formatter.SetIdentity("Motor Test", "lab-7", 16);
    const kvtest::SyslogMessage parsed = Formatted(formatter, LineFields("Axis stalled"));
    ASSERT_TRUE(parsed.valid);
    EXPECT_EQ("131 lab-7 Motor_Test " + std::to_string(os::GetCurrentProcessId()) +
                  " AXIS1 Axis stalled",
              std::to_string(parsed.priority) + " " + parsed.hostName + " " + parsed.appName + " " +
                  parsed.procId + " " + parsed.msgId + " " + parsed.message);
    // Date and time to the microsecond with a numeric offset.
    EXPECT_TRUE(std::regex_match(
        parsed.timestamp,
        std::regex(
            R"(^\d{4}-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])T([01]\d|2[0-3]):[0-5]\d:[0-5]\d\.\d{6}[+-]\d{2}:[0-5]\d$)")))
        << parsed.timestamp;
    const std::map<std::string, std::string> expected = {
        {"component", "Motion"}, {"level", "1"}, {"levelString", "Error"},
        {"file", "motor.cpp"},   {"line", "42"}, {"function", "Move"},
        {"thread", "4711"}};
    EXPECT_EQ(expected, parsed.params);
#ifndef _WIN32
    {
        // East of Greenwich the offset is positive (a POSIX zone counts the other way).
        kvtest::ScopedEnvironment zone("TZ", "KVT-05:30");
        ::tzset();
        EXPECT_EQ("+05:30", Formatted(formatter, LineFields("")).timestamp.substr(26));
    }
    ::tzset();
#endif
    // The severity follows the level.
    const std::pair<unsigned long, unsigned> table[] = {{0x1, 3},    {0x2, 4}, {0x8, 5}, {0x4, 6},
                                                        {0x8000, 7}, {0x3, 7}, {0, 7}};
    for (const auto& row : table)
        EXPECT_EQ(row.second, CSyslogFormatter::SeverityFromLevel(row.first)) << row.first;
}

TEST(SyslogFormatterTest, TextsAreEscapedCutWholeAndMadeUtf8AndMissingOnesStayWellFormed)
{
    CSyslogFormatter formatter;
    formatter.SetIdentity("", nullptr, 1);
    CSyslogFields fields = LineFields("multi\nline \"text\" ]");
    fields.file = R"(C:\src\"odd"].cpp)";
    fields.function = nullptr;
    // Only the printable characters from '!' to '~' stand in a header field.
    fields.id = "!has blank\x7f~";
    std::string raw;
    kvtest::SyslogMessage parsed = Formatted(formatter, fields, &raw);
    ASSERT_TRUE(parsed.valid) << raw;
    EXPECT_NE(std::string::npos, raw.find(R"(file="C:\\src\\\"odd\"\].cpp")")) << raw;
    EXPECT_EQ(fields.file, parsed.Param("file"));
    EXPECT_EQ("", parsed.Param("function"));
    EXPECT_EQ("- - !has_blank_~", parsed.hostName + " " + parsed.appName + " " + parsed.msgId);
    EXPECT_EQ(fields.message, parsed.message);
    fields.id = nullptr;
    EXPECT_EQ("-", Formatted(formatter, fields).msgId);
    // Header fields are cut to their bounds.
    const std::string longName(300, 'n');
    formatter.SetIdentity(longName.c_str(), longName.c_str(), 1);
    fields.id = longName.c_str();
    parsed = Formatted(formatter, fields);
    EXPECT_EQ(longName.substr(0, 255) + " " + longName.substr(0, 48) + " " + longName.substr(0, 32),
              parsed.hostName + " " + parsed.appName + " " + parsed.msgId);
    formatter.SetIdentity("", nullptr, 1);

    // Long texts are cut at character boundaries: full to the byte, or one short when the next
    // character would not fit whole.
    std::string longText;
    for (int i = 0; i < 10000; ++i)
        longText += "\xC3\xA9"; // e with acute accent
    fields = LineFields(longText.c_str());
    fields.function = longText.c_str();
    parsed = Formatted(formatter, fields, &raw);
    ASSERT_TRUE(parsed.valid);
    const std::size_t limit =
        CSyslogFormatter::kMaxMessageBytes - CSyslogFormatter::kNoteReserveBytes;
    EXPECT_TRUE(raw.size() <= limit && raw.size() >= limit - 1) << raw.size();
    EXPECT_EQ(longText.substr(0, CSyslogFormatter::kMaxValueBytes - 1), parsed.Param("function"));
    EXPECT_EQ(longText.substr(0, parsed.message.size() / 2 * 2), parsed.message);

    // A value cut after an escape keeps to its bound.
    const std::string quoteFirst = "\"" + std::string(300, 'a');
    fields.component = quoteFirst.c_str();
    EXPECT_EQ(quoteFirst.substr(0, CSyslogFormatter::kMaxValueBytes),
              Formatted(formatter, fields).Param("component"));

    // Well-formed UTF-8 stays as it is; any other text is read in the ANSI code page (where the
    // bytes from 0xA0 up mean what they mean in ISO 8859-1).
    const char* const rows[][2] = {
        {"\xC2\xA0 \xDF\xBF \xE0\xA0\x80 \xEF\xBF\xBD \xF0\x90\x80\x80 \xF4\x8F\xBF\xBF", nullptr},
        {"caf\xE9", "caf\xC3\xA9"},
        {"\xC3!", "\xC3\x83!"}, // broken at its second byte
        {"a\xA9", "a\xC2\xA9"}, // continuations without a lead
#ifndef _WIN32
        // The lowest continuation alone, and a sequence followed by a stray one: POSIX repairs the
        // text byte by byte, where Windows reads the whole text in the code page.
        {"\x80", "\xC2\x80"},
        {"\xC3\xA9\xA9", "\xC3\xA9\xC2\xA9"},
#endif
    };
    for (const auto& row : rows)
        EXPECT_EQ(row[1] != nullptr ? row[1] : row[0],
                  Formatted(formatter, LineFields(row[0])).message)
            << row[0];
}
