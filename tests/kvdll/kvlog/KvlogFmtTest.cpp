// Typed {} messages: the line of each form, byte for byte, and a filtered call that formats
// nothing.
#include "KvlogTestFixture.h"
#include "kvlog_fmt.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace
{
// A type of the application's own, with a formatter that counts its calls and fails at run time
// for a negative position.
struct Position
{
    double millimetres;
};
int g_positionsFormatted = 0;
using KvlogFmtTest = KvlogTest;
} // namespace

template <> struct fmt::formatter<Position>
{
    constexpr auto parse(format_parse_context& context) { return context.begin(); }
    auto format(const Position& position, format_context& context) const
    {
        ++g_positionsFormatted;
        if (position.millimetres < 0)
            throw std::runtime_error("no text");
        return fmt::format_to(context.out(), "{:.1f} mm", position.millimetres);
    }
};

// A filtered call or none at all formats nothing; the members test the level themselves for
// callers without the macros.
TEST_F(KvlogFmtTest, EachFormWritesItsLineAndAFilteredOneFormatsNothing)
{
    StartLogging("LEVELSTRING|ID|MESSAGE");
    CLogControlTestPeer::SetMasterLevel(0xFFFFFFFF);
    CLogComponent* c = m_first.get();
    static_cast<CLogComponentInterface&>(*c).hlpSetLevel(0x1);
    KVLOG_WARNING(c, "{}", Position{1});
    CLogComponent* none = nullptr;
    KVLOG_ERROR(none, "{}", Position{1});
    c->LogText(LOG_WARNING, nullptr, "filtered");
    c->LogText(LOG_WARNING, 7UL, "filtered");
    EXPECT_EQ(0, g_positionsFormatted);

    static_cast<CLogComponentInterface&>(*c).hlpSetLevel(0xFFFFFFFF);
    const std::string kibibyte(1024, 'k');
    const std::string longer = std::string(1500, 'x') + "!";
    KVLOG_ERROR(c, "moved {:.2f} mm", 2.5);
    KVLOG_WARNING(c, "{}+{}", std::string("a"), std::string_view("b"));
    KVLOG_INFORMATION(c, "at {}", Position{2.5});
    // The text is handed on as it stands: no printf conversion happens a second time.
    KVLOG_SUCCESS(c, "100% %s %d {}", "%n");
    KVLOG_DEBUG(c, "plain");
    KVLOG_ERROR_ID(c, "AX-3", "{}", 1);
    KVLOG_WARNING_ID(c, 4294967295UL, "{}", 2);
    KVLOG_INFORMATION_ID(c, std::string("S-1"), "{}", 3);
    KVLOG_SUCCESS_ID(c, 0, "{}", 4);
    KVLOG_DEBUG_ID(c, nullptr, "{}", 5);
    KVLOG_MESSAGE(c, LOG_SUCCESS, "{:>4}", 6);
    c->LogText(LOG_INFORMATION, nullptr, nullptr);
    // The format as written stands in for a text that could not be made.
    KVLOG_WARNING(c, "broken {}", Position{-1});
    KVLOG_ERROR(c, "{}", kibibyte);
    KVLOG_ERROR(c, "{}", longer);
    EXPECT_EQ("Error||moved 2.50 mm\nWarning||a+b\nInformation||at 2.5 mm\nSuccess||100% %s %d %n\n"
              "Debug||plain\nError|AX-3|1\nWarning|-1|2\nInformation|S-1|3\nSuccess|0|4\nDebug||5\n"
              "Success||   6\nInformation||\nWarning||broken {}\nError||" +
                  kibibyte + "\nError||" + longer + "\n",
              Output());
}
