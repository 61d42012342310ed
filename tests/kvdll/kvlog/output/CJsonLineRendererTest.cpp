#include "output/CJsonLineRenderer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace
{
CJsonLineFields MotionLine()
{
    const os::PreciseLocalTime time{2026, 12, 6, 9, 14, 3, 482113, 60};
    return {time,   0x4,      "Information", "Motor Test", 4711,
            4712,   "Motion", nullptr,       "motion.cpp", 42,
            "Home", 2,        "homing"};
}

std::string Rendered(const CJsonLineFields& fields)
{
    CJsonLineRenderer renderer;
    CLineBuffer out;
    out.Append("kept", 4);
    renderer.Render(fields, out);
    return std::string(out.GetData(), static_cast<std::size_t>(out.GetLength()));
}

// The text of "body" as written.
std::string Body(const char* message)
{
    CJsonLineFields fields = MotionLine();
    fields.message = message;
    const std::string line = Rendered(fields);
    const std::size_t start = line.find(",\"body\":") + 8;
    return line.substr(start, line.size() - start - 1);
}
} // namespace

TEST(JsonLineRendererTest,
     AppendsOneObjectWithEveryFactTheTimesOffsetTheSeverityNumberAndEscapedUtf8)
{
    EXPECT_EQ(
        "kept{\"time\":\"2026-12-06T09:14:03.482113+01:00\",\"severity_text\":\"Information\","
        "\"severity_number\":9,\"application\":\"Motor Test\",\"process_id\":4711,"
        "\"thread_id\":4712,\"component\":\"Motion\",\"id\":null,\"file\":\"motion.cpp\","
        "\"line\":42,\"function\":\"Home\",\"block_depth\":2,\"body\":\"homing\"}",
        Rendered(MotionLine()));

    // The time carries microseconds and the zone's offset.
    for (const auto& [microsecond, offset, expected] :
         {std::make_tuple(7L, 0, "000007+00:00"), std::make_tuple(999999L, -330, "999999-05:30"),
          std::make_tuple(0L, 765, "000000+12:45")})
    {
        CJsonLineFields fields = MotionLine();
        fields.time.microsecond = microsecond;
        fields.time.utcOffsetMinutes = offset;
        EXPECT_EQ(std::string("kept{\"time\":\"2026-12-06T09:14:03.") + expected + "\"",
                  Rendered(fields).substr(0, 46));
    }
    // The severity numbers are those of OpenTelemetry.
    const std::pair<unsigned long, unsigned> severities[] = {
        {0x1, 17}, {0x2, 13}, {0x4, 9}, {0x8, 10}, {0x8000, 5}, {0x10, 1}, {0x3, 1}, {0, 1}};
    for (const auto& [level, number] : severities)
        EXPECT_EQ(number, CJsonLineRenderer::SeverityNumber(level)) << level;

    // Texts are escaped into UTF-8.
    const char* const rows[][2] = {
        {"say \"hi\" \\ ok", "\"say \\\"hi\\\" \\\\ ok\""},
        {"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
        {"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""},
        {"", "\"\""},
        {nullptr, "null"},
#ifdef _WIN32
        // The process code page, where 0xE9 is "é", becomes UTF-8.
        {"caf\xE9", "\"caf\xC3\xA9\""},
#else
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        // A byte of no well-formed sequence is its ISO 8859-1 character.
        {"caf\xE9", "\"caf\\u00e9\""},
        {"\xC0\xAF \xED\xA0\x80", "\"\\u00c0\\u00af \\u00ed\\u00a0\\u0080\""},
        {"cut \xE2\x82", "\"cut \\u00e2\\u0082\""},
#endif
    };
    for (const auto& row : rows)
        EXPECT_EQ(row[1], Body(row[0])) << (row[0] != nullptr ? row[0] : "null");
}
