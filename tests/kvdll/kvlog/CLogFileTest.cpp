#include "CLogFile.h"

#include "OsDebugOutput.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class CFixedHeaderFacts : public CLogHeaderFacts
{
public:
    CString GetSuiteRootDir() override { return "C:\\suite"; }
    CString GetExecutable() override { return "C:\\suite\\ctrl\\app.exe"; }
    CString GetActiveXControl() override { return control; }
    CString GetCreationTime() override { return "Tuesday, March 14, 1995 12:41:29"; }
    CString GetTargetPlatform() override { return target; }
    CString GetRunningPlatform() override { return running; }

    CString control = "C:\\suite\\ctrl\\Q5300.ocx";
    CString target = "Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045";
    CString running;
};

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

int Base64Value(char ch)
{
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t at = alphabet.find(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

std::string DecodeBase64(const std::string& text)
{
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (char ch : text)
    {
        const int value = Base64Value(ch);
        if (value < 0)
            break;
        bits = (bits << 6) | static_cast<unsigned>(value);
        if ((count += 6) >= 8)
            bytes += static_cast<char>((bits >> (count -= 8)) & 0xFF);
    }
    return bytes;
}

unsigned BigEndian32(const std::string& bytes, std::size_t at)
{
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

const char* const kHeaderRows =
    "<tr><th>KRVT Version:</th><td>3.74 (Build 0720)</td></tr>\r\n"
    "<tr><th>KRVTC RootDir:</th><td>C:\\suite</td></tr>\r\n"
    "<tr><th>Executable:</th><td>C:\\suite\\ctrl\\app.exe</td></tr>\r\n"
    "<tr><th>ActiveX Control:</th><td>C:\\suite\\ctrl\\Q5300.ocx</td></tr>\r\n"
    "<tr><th>Logfile created at:</th><td>Tuesday, March 14, 1995 12:41:29</td></tr>\r\n";

class LogFileTest : public ::testing::Test
{
protected:
    CString PathOf(const char* name) { return dir.Sub(name); }
    std::string Contents(const char* name) { return kvtest::ReadWholeFile(PathOf(name)); }
    // The text after the header table, up to the end of the file.
    std::string Body(const char* name)
    {
        const std::string text = Contents(name);
        const std::string start = "<pre class=\"log\">\r\n";
        const std::size_t at = text.find(start);
        return at == std::string::npos ? std::string() : text.substr(at + start.size());
    }

    kvtest::TempDir dir;
    CFixedHeaderFacts facts;
    CLogFile file{facts};
};
} // namespace

TEST_F(LogFileTest, HtmlDocumentHeadHeaderLinesAndFooter)
{
    ASSERT_TRUE(file.Open(PathOf("log.htm")));
    file.WriteLine("first line\n", 0);
    file.Close();
    const std::string text = Contents("log.htm");
    const std::size_t tableAt = text.find("<table class=\"header\">");
    ASSERT_NE(std::string::npos, tableAt);
    const std::vector<std::string> head = SplitCrLf(text.substr(0, tableAt + 22));
    ASSERT_EQ(29u, head.size());
    EXPECT_EQ("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">", head[0]);
    EXPECT_EQ("\t\t<meta http-equiv=\"content-type\" content=\"text/html; charset=ISO-8859-1\">",
              head[3]);
    EXPECT_EQ("\t\t<title>Korvel Logfile</title>", head[4]);
    EXPECT_EQ("\t\t        font-family: Courier, Lucida Console, Consolas, monospace;", head[9]);
    EXPECT_EQ("\t\t    .logLine {", head[22]);
    EXPECT_EQ("\t<body>", head[26]);
    EXPECT_EQ("\t\t<table class=\"header\">", head[28]);

    const std::string imagePrefix = "\t\t<img width=117 height=20 alt=\"\" style=\"float: right; "
                                    "margin: 1em;\" src=\"data:image/png;base64,";
    ASSERT_EQ(0u, head[27].find(imagePrefix));
    ASSERT_EQ("\" />", head[27].substr(head[27].size() - 4));
    const std::string png = DecodeBase64(head[27].substr(imagePrefix.size()));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ("\x89PNG\r\n\x1A\n", png.substr(0, 8));
    EXPECT_EQ("IHDR", png.substr(12, 4));
    EXPECT_EQ(114u, BigEndian32(png, 16));
    EXPECT_EQ(20u, BigEndian32(png, 20));
    EXPECT_EQ(8, png[24]); // bit depth
    EXPECT_EQ(6, png[25]); // RGBA

    EXPECT_EQ(std::string(kHeaderRows) +
                  "<tr><th>Level:</th><td>0x0000000F</td></tr>\r\n"
                  "<tr><th>Platform:</th><td>" +
                  facts.target.str() +
                  "</td></tr>\r\n</table>\r\n<pre class=\"log\">\r\n"
                  "<span class=\"logLine\">first line</span>\r\n"
                  "\t\t</pre>\r\n\t</body>\r\n</html>\r\n",
              text.substr(tableAt + 22));
}

TEST_F(LogFileTest, ColoursAndEscaping)
{
    ASSERT_TRUE(file.Open(PathOf("log.htm")));
    file.WriteLine("red\n", 0xFF0000);
    file.WriteLine("green\n", 0x00FF00);
    file.WriteLine("blue\n", 0x0000FF);
    file.WriteLine("a<b>c & <d>\n", 0);
    file.WriteLine("no final line feed", 0);
    file.WriteLine("two\r\nrows\n", 0);
    EXPECT_EQ("<span class=\"logLine\" style=\"color: #FF0000\">red</span>\r\n"
              "<span class=\"logLine\" style=\"color: #00FF00\">green</span>\r\n"
              "<span class=\"logLine\" style=\"color: #0000FF\">blue</span>\r\n"
              "<span class=\"logLine\">a&lt;b>c & &lt;d></span>\r\n"
              "<span class=\"logLine\">no final line feed</span>\r\n"
              "<span class=\"logLine\">two\r\nrows</span>\r\n",
              Body("log.htm"));
}

TEST_F(LogFileTest, HtmlOnlyWhenTheNameHoldsHtmAfterItsFirstCharacter)
{
    const std::pair<const char*, bool> names[] = {
        {"log.html", true}, {"C:\\logs\\log_App.htm", true},
        {"LOG.HTM", false}, {"trace.txt", false},
        {".htm", false},    {"", false}};
    for (const auto& name : names)
        EXPECT_EQ(name.second, CLogFile::IsHtmlName(name.first)) << name.first;
}

TEST_F(LogFileTest, PlainTextHasNoMarkupExceptTheUnregisteredControl)
{
    facts.control = "";
    for (const char* name : {"trace.txt", "LOG.HTM"})
    {
        ASSERT_TRUE(file.Open(PathOf(name)));
        EXPECT_FALSE(file.IsHtml());
        file.WriteLine("a<b\n", 0xFF0000);
        file.WriteLevelRow(false);
        file.Close();
        EXPECT_EQ("KRVT Version: 3.74 (Build 0720)\r\n"
                  "KRVTC RootDir: C:\\suite\r\n"
                  "Executable: C:\\suite\\ctrl\\app.exe\r\n"
                  "ActiveX Control: <span style=\"color: red;\">?\?\? not registered "
                  "?\?\?</span>\r\n"
                  "Logfile created at: Tuesday, March 14, 1995 12:41:29\r\n"
                  "Level: 0x0000000F\r\n"
                  "Platform: " +
                      facts.target.str() +
                      "\r\n"
                      "a<b\r\n"
                      "Level: 0x0000000F\r\n",
                  Contents(name))
            << name;
    }
}

TEST_F(LogFileTest, PlatformRows)
{
    facts.running = facts.target;
    ASSERT_TRUE(file.Open(PathOf("same.htm")));
    facts.running = "Microsoft Windows 11 Pro (23H2) [x64] - Build: 22631";
    ASSERT_TRUE(file.Open(PathOf("differ.htm")));
    file.Close();
    EXPECT_NE(std::string::npos, Contents("same.htm").find("<tr><th>Platform:</th>"));
    EXPECT_EQ(std::string::npos, Contents("same.htm").find("Running Platform:"));
    EXPECT_NE(std::string::npos,
              Contents("differ.htm")
                  .find("<tr><th>Compat. Platform:</th><td>" + facts.target.str() +
                        "</td></tr>\r\n<tr><th>Running Platform:</th><td>" + facts.running.str() +
                        "</td></tr>\r\n</table>"));
    EXPECT_EQ(std::string::npos, Contents("differ.htm").find("<th>Platform:"));
}

TEST_F(LogFileTest, SizeLimitRestartsWithTruncationRow)
{
    file.SetMaxFileSize(1000);
    file.SetMasterLevel(0x8003);
    ASSERT_TRUE(file.Open(PathOf("small.txt")));
    const std::string line(100, 'x');
    int written = 0;
    while (kvtest::ReadWholeFile(PathOf("small.txt")).size() <= 1000)
    {
        file.WriteLine((line + "\n").c_str(), 0);
        ++written;
    }
    EXPECT_EQ(std::string::npos, Contents("small.txt").find("Truncation info:"));
    file.WriteLine("after\n", 0);
    const std::string text = Contents("small.txt");
    EXPECT_EQ(0u, text.find("KRVT Version:"));
    EXPECT_NE(std::string::npos,
              text.find("Logfile created at: Tuesday, March 14, 1995 12:41:29\r\n"
                        "Truncation info: log file reset due to exceeded size\r\n"
                        "Level: 0x00008003\r\n"));
    EXPECT_EQ("after\r\n", text.substr(text.size() - 7));
    EXPECT_EQ(std::string::npos, text.find(line));
}

TEST_F(LogFileTest, ResetStartsAfreshWithoutTruncationRow)
{
    file.SetLinesToFlush(10);
    ASSERT_TRUE(file.Open(PathOf("log.htm")));
    file.WriteLine("before\n", 0);
    file.Reset();
    EXPECT_EQ(9u, file.GetLinesUntilFlush());
    file.WriteLine("after\n", 0);
    const std::string text = Contents("log.htm");
    EXPECT_EQ(0u, text.find("<!DOCTYPE"));
    EXPECT_EQ(std::string::npos, text.find("before"));
    EXPECT_EQ(std::string::npos, text.find("Truncation info:"));
    EXPECT_EQ("<span class=\"logLine\">after</span>\r\n", Body("log.htm"));
}

TEST_F(LogFileTest, FlushCounter)
{
    file.SetLinesToFlush(3);
    ASSERT_TRUE(file.Open(PathOf("a.txt")));
    EXPECT_EQ(3u, file.GetLinesUntilFlush());
    file.WriteLine("1\n", 0);
    file.WriteLine("2\n", 0);
    EXPECT_EQ(1u, file.GetLinesUntilFlush());
    file.SetLinesToFlush(1);
    file.WriteLine("3\n", 0);
    EXPECT_EQ(1u, file.GetLinesUntilFlush());
    file.WriteLine("4\n", 0);
    EXPECT_EQ(1u, file.GetLinesUntilFlush());

    file.SetLinesToFlush(0);
    ASSERT_TRUE(file.Open(PathOf("b.txt")));
    file.WriteLine("1\n", 0);
    EXPECT_EQ(0xFFFFFFFFu, file.GetLinesUntilFlush());
}

TEST_F(LogFileTest, ReopeningClosesTheOldFileWithItsFooter)
{
    ASSERT_TRUE(file.Open(PathOf("log.htm")));
    file.WriteLine("old\n", 0);
    ASSERT_TRUE(file.Open(PathOf("log.htm")));
    EXPECT_EQ("", Body("log.htm"));
    file.WriteLine("new\n", 0);
    ASSERT_TRUE(file.Open(PathOf("other.htm")));
    EXPECT_EQ("<span class=\"logLine\">new</span>\r\n\t\t</pre>\r\n\t</body>\r\n</html>\r\n",
              Body("log.htm"));
    file.Close();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(LogFileTest, OpenFailureShowsBannerAndWritesNothing)
{
    os::DebugOutputCapture capture;
    EXPECT_FALSE(file.Open(dir.Sub("missing\\folder\\log.htm")));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_NE(-1, capture.GetText().Find("** Could not open or create Logfile"));
    file.WriteLine("lost\n", 0);
    file.Reset();
    file.WriteHeaderRow("Level:", "1", true);
    file.Close();
}
