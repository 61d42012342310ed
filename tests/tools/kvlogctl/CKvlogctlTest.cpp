#include "CKvlogctl.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{
// Counts the flushes of what is written to it: the tail flushes once a poll.
class CountingBuffer : public std::stringbuf
{
public:
    int flushes = 0;

protected:
    int sync() override
    {
        ++flushes;
        return std::stringbuf::sync();
    }
};
} // namespace

// The tail shows as many earlier lines as asked for, then polls the file a few times a second
// rather than without pause.
TEST(CKvlogctlTest, TailShowsTheLastLinesAndPollsAtItsPaceAndShowAndListNameTheLevels)
{
    kvtest::TempDir root;
    root.MakeFile("log\\xdb_Plant.xdb",
                  "<Korvel><config Filename=\"plant.txt\" ></config></Korvel>");
    std::string file;
    for (int line = 1; line <= 12; ++line)
        file += std::to_string(line) + "\r\n";
    root.MakeFile("log\\plant.txt", file);
    const struct
    {
        std::vector<std::string> history;
        const char* seconds;
        const char* shown;
    } rows[] = {{{"-n", "2"}, "1", "11\n12\n"},
                {{"-n", "0"}, "0", ""},
                {{}, "0", "3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n"}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.shown);
        std::vector<std::string> arguments = {"--root",    root.Path().str(), "tail", "--no-color",
                                              "--seconds", row.seconds,       "Plant"};
        arguments.insert(arguments.begin() + 3, row.history.begin(), row.history.end());
        CountingBuffer out;
        std::ostream stream(&out);
        std::ostringstream err;
        EXPECT_EQ(0, CKvlogctl(stream, err).Run(arguments)) << err.str();
        EXPECT_EQ(row.shown, out.str());
        EXPECT_LE(out.flushes, std::stoi(row.seconds) * 10 + 1); // --seconds 0: one look
    }

    // show describes the levels by their names and the bits that have none, and no other number;
    // list takes the suite root it is given, which must have a log folder.
    kvtest::TempDir named;
    named.MakeFile("log\\xdb_Plant.xdb", "<Korvel><config Level=\"0\" FileBackups=\"2\" ></config>"
                                         "<M _Level=\"229393\" ></M></Korvel>");
    named.MakeFile("log\\log_Plant.99.htm"); // the last earlier file that can be kept
    std::ostringstream out;
    EXPECT_EQ(0, CKvlogctl(out, out).Run({"--root", named.Path().str(), "show", "Plant"}));
    const std::string shown = out.str();
    EXPECT_EQ("[config]\n    Level = 0  0x00000000 (None)\n    FileBackups = 2\n"
              "[M]\n    _Level = 229393  0x00038011 (Error|Debug|0x30010)\n",
              shown.substr(shown.find('\n') + 1));
    std::ostringstream list;
    EXPECT_EQ(0, CKvlogctl(list, list).Run({"list", named.Path().str()}));
    const std::string listed = list.str();
    EXPECT_EQ("Plant  0x00000000 (None)\n    M  0x00038011 (Error|Debug|0x30010)\n"
              "  kept log files: log_Plant.99.htm\n",
              listed.substr(listed.find('\n') + 1));
    EXPECT_EQ(1, CKvlogctl(list, list).Run({"list", named.Sub("none").str()}));

#ifndef _WIN32
    // On a terminal the lines have their colours unless they are turned off; the file's name is
    // the default one.
    named.MakeFile("log\\log_Plant.htm",
                   "<table class=\"header\"></table>\r\n<pre class=\"log\">\r\n"
                   "<span class=\"logLine\" "
                   "style=\"color: #FF0000\">red</span>\r\n");
    for (const bool off : {false, true})
    {
        std::vector<std::string> arguments = {
            "--root", named.Path().str(), "tail", "--seconds", "0", "Plant"};
        if (off)
            arguments.insert(arguments.begin() + 3, "--no-color");
        std::string coloured;
        const auto tail = [&]
        {
            const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
            ::grantpt(terminal);
            ::unlockpt(terminal);
            ::dup2(::open(::ptsname(terminal), O_RDWR | O_NOCTTY), STDOUT_FILENO);
            std::ostringstream seen;
            CKvlogctl(seen, seen).Run(arguments);
            return seen.str();
        };
        ASSERT_TRUE(kvtest::RunInChild(tail, coloured));
        EXPECT_EQ(off ? "red\n" : "\x1b[38;2;255;0;0mred\x1b[0m\n", coloured) << off;
    }
#endif
}
