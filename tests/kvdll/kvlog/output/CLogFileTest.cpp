#ifdef _WIN32
// The system's declarations first: the framework's own declarations of the same types defer.
#include <windows.h>
#endif

#include "LogFileFixture.h"

#include "OsCodePage.h"
#include "OsDebugOutput.h"
#include "OsFileSystem.h"
#include "PathOperations.h"
#include "controller/LogBanner.h"

#include <filesystem>
#include <iterator>
#include <tuple>

namespace
{
bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

using LogFileTest = LogFileFixture;
} // namespace

TEST_F(LogFileTest, HtmlDocumentHeadHeaderColoursEscapingAndFooterAndPlainTextWithout)
{
    ASSERT_TRUE(file.Open(dir.Sub("log.htm")));
    file.WriteLine("red\n", 0xFF0000);
    file.WriteLine("a<b>c & <d>\n", 0);
    file.WriteLine("no final line feed", 0);
    file.WriteLine("two\r\nrows\n", 0);
    file.Close();
    const std::string text = Contents("log.htm");
    const std::size_t tableAt = text.find("\t\t<table class=\"header\">");
    ASSERT_NE(std::string::npos, tableAt);
    // The charset of the text the program holds: UTF-8 on POSIX, the process code page on Windows.
#if defined(_WIN32)
    const std::string charset = os::GetTextCharsetName().str();
#else
    const std::string charset = "UTF-8";
#endif
    const std::string head = text.substr(0, tableAt);
    EXPECT_EQ(28, kvtest::CountOf(head, "\r\n"));
    EXPECT_EQ(0u,
              head.find("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"));
    EXPECT_TRUE(Has(head, "; charset=" + charset + "\">\r\n\t\t<title>Korvel Logfile</title>\r\n"));
    // The emblem's first 27 bytes: PNG signature, IHDR of 114 x 20, 8 bits of RGBA.
    EXPECT_TRUE(Has(head, "\r\n\t<body>\r\n\t\t<img width=117 height=20 alt=\"\" style=\"float: "
                          "right; margin: 1em;\" src=\"data:image/png;base64,"
                          "iVBORw0KGgoAAAANSUhEUgAAAHIAAAAUCAYA"));
    EXPECT_EQ("\" />\r\n", head.substr(head.size() - 6));
    EXPECT_EQ("\t\t<table class=\"header\">"
              "<tr><th>KRVT Version:</th><td>3.74 (Build 0720)</td></tr>\r\n"
              "<tr><th>KRVTC RootDir:</th><td>C:\\suite</td></tr>\r\n"
              "<tr><th>Executable:</th><td>C:\\suite\\ctrl\\app.exe</td></tr>\r\n"
              "<tr><th>ActiveX Control:</th><td>C:\\suite\\ctrl\\Q5300.ocx</td></tr>\r\n"
              "<tr><th>Logfile created at:</th><td>Tuesday, March 14, 1995 12:41:29</td></tr>\r\n"
              "<tr><th>Level:</th><td>0x0000000F</td></tr>\r\n<tr><th>Platform:</th><td>" +
                  facts.target.str() +
                  "</td></tr>\r\n</table>\r\n<pre class=\"log\">\r\n"
                  "<span class=\"logLine\" style=\"color: #FF0000\">red</span>\r\n"
                  "<span class=\"logLine\">a&lt;b>c & &lt;d></span>\r\n"
                  "<span class=\"logLine\">no final line feed</span>\r\n"
                  "<span class=\"logLine\">two\r\nrows</span>\r\n" +
                  kFooter,
              text.substr(tableAt));

    // Plain text has no markup except the unregistered control; differing platforms get two rows.
    facts.control = "";
    facts.running = "Microsoft Windows 11 Pro (23H2) [x64] - Build: 22631";
    ASSERT_TRUE(file.Open(dir.Sub("LOG.HTM")));
    EXPECT_FALSE(file.IsHtml());
    file.WriteLine("a<b\n", 0xFF0000);
    file.WriteLevelRow(false);
    file.Close();
    EXPECT_EQ("KRVT Version: 3.74 (Build 0720)\r\nKRVTC RootDir: C:\\suite\r\n"
              "Executable: C:\\suite\\ctrl\\app.exe\r\n"
              "ActiveX Control: <span style=\"color: red;\">?\?\? not registered ?\?\?</span>\r\n"
              "Logfile created at: Tuesday, March 14, 1995 12:41:29\r\nLevel: 0x0000000F\r\n"
              "Compat. Platform: " +
                  facts.target.str() + "\r\nRunning Platform: " + facts.running.str() +
                  "\r\na<b\r\nLevel: 0x0000000F\r\n",
              Contents("LOG.HTM"));
}

// A file restarts when a line would take it past its limit, not when the file reaches it.
TEST_F(LogFileTest, SizeLimitRestartsWithTruncationRowAndFlushesFollowTheirCount)
{
    file.SetMasterLevel(0x8003);
    ASSERT_TRUE(file.Open(dir.Sub("small.txt")));
    file.SetMaxFileSize(static_cast<DWORD>(Contents("small.txt").size() + 1000));
    const std::string line(98, 'x');
    for (int i = 0; i < 11; ++i)
        file.WriteLine((line + "\n").c_str(), 0);
    EXPECT_EQ(11, kvtest::CountOf(Contents("small.txt"), line + "\r\n"));
    file.WriteLine("after\n", 0);
    const std::string text = Contents("small.txt");
    EXPECT_TRUE(Has(text, "Logfile created at: Tuesday, March 14, 1995 12:41:29\r\n"
                          "Truncation info: log file reset due to exceeded size\r\n"
                          "Level: 0x00008003\r\n"));
    EXPECT_EQ("after\r\n", text.substr(text.size() - 7));
    EXPECT_FALSE(Has(text, line));

    // Flushes every few lines.
    file.SetLinesToFlush(3);
    ASSERT_TRUE(file.Open(dir.Sub("a.txt")));
    file.WriteLine("1\n", 0);
    file.WriteLine("2\n", 0);
    EXPECT_EQ(1u, file.GetLinesUntilFlush());
    // A new count takes effect at the next flush.
    file.SetLinesToFlush(1);
    file.WriteLine("3\n", 0);
    file.WriteLine("4\n", 0);
    EXPECT_EQ(1u, file.GetLinesUntilFlush());
    // Every flush asked for happened, on the flush thread or, while it was busy, on the caller's.
    const CLogFileFlusher& flusher = file.GetFlusher();
    EXPECT_EQ(2u, flusher.GetBackgroundFlushes() + flusher.GetCallerFlushes());

    file.SetLinesToFlush(0);
    ASSERT_TRUE(file.Open(dir.Sub("b.txt")));
    file.WriteLine("1\n", 0);
    EXPECT_EQ(0xFFFFFFFFu, file.GetLinesUntilFlush());
}

// The open descriptors of the process (POSIX); 0 on Windows, where the delete shows a handle left
// open. Wine would show the /proc of its own process, whose descriptors come and go with its
// threads.
static long OpenDescriptorCount()
{
#ifdef _WIN32
    return 0;
#else
    std::error_code error;
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd", error), {});
#endif
}

TEST_F(LogFileTest, ReopeningClosesTheOldFileWithItsFooterAndAFailedOpenWritesNothing)
{
    const long descriptors = OpenDescriptorCount();
    ASSERT_TRUE(file.Open(dir.Sub("log.htm")));
    file.WriteLine("old\n", 0);
    ASSERT_TRUE(file.Open(dir.Sub("log.htm")));
    EXPECT_EQ("", Body("log.htm"));
    // A reset starts afresh, without a truncation row.
    file.WriteLine("reset\n", 0);
    file.Reset();
    file.WriteLine("new\n", 0);
    ASSERT_TRUE(file.Open(dir.Sub("other.htm")));
    EXPECT_EQ("<span class=\"logLine\">new</span>\r\n" + std::string(kFooter), Body("log.htm"));
    EXPECT_FALSE(Has(Contents("log.htm"), "Truncation info:"));
    file.Close();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    // Nothing stays open: no descriptor, and Windows lets the file be deleted again.
    EXPECT_EQ(descriptors, OpenDescriptorCount());
    EXPECT_TRUE(os::DeleteFileA(dir.Sub("other.htm")));

    // A failed open: after the banner, one line names the path tried and the system's reason.
    os::DebugOutputCapture capture;
    const CString path = dir.Sub("missing\\folder\\log.htm");
    EXPECT_FALSE(file.Open(path));
    EXPECT_FALSE(file.IsOpen());
    const std::string output = capture.GetText().str();
    const std::string expected =
        BannerText(LogBanner::kCouldNotOpenLogfile).str() + "Logfile \"" + path.str() + "\": ";
    ASSERT_EQ(0u, output.find(expected)) << output;
    EXPECT_EQ(output.size() - 1, output.find('\n', expected.size() + 1)) << output;
#if !defined(_WIN32)
    EXPECT_EQ(expected + "No such file or directory\n", output);
#endif
    file.WriteLine("lost\n", 0);
    file.Reset();
    file.WriteHeaderRow("Level:", "1", true);
    file.Close();
}

#ifdef _WIN32
// Another process mapping the file makes Windows refuse to empty it: a written file keeps its
// old lines, a mapped one goes on after its last line, not after the zeros past it. The live
// file also refuses to be deleted.
TEST_F(LogFileTest, RestartThatCannotEmptyTheFileKeepsTheOldLines)
{
    for (const bool mapping : {false, true})
    {
        const char* name = mapping ? "mapped.txt" : "written.txt";
        SCOPED_TRACE(name);
        CLogFile held{facts};
        held.SetMapping(mapping);
        held.SetMaxFileSize(300);
        ASSERT_TRUE(held.Open(dir.Sub(name)));
        EXPECT_TRUE(mapping || !::DeleteFileA(dir.Sub(name)));
        HANDLE reader =
            ::CreateFileA(dir.Sub(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
        HANDLE section = ::CreateFileMappingA(reader, nullptr, PAGE_READONLY, 0, 0, nullptr);
        void* view =
            section != nullptr ? ::MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0) : nullptr;
        os::DebugOutputCapture capture;
        std::string expected;
        for (int i = 0; i < 20; ++i)
        {
            held.WriteLine(("line " + std::to_string(i) + "\n").c_str(), 0);
            expected += "line " + std::to_string(i) + "\r\n";
        }
        ::UnmapViewOfFile(view);
        ::CloseHandle(section);
        ::CloseHandle(reader);
        ASSERT_NE(nullptr, view);
        if (mapping)
            held.Close();
        const std::string text = Contents(name);
        if (Has(text, "Truncation info:"))
            GTEST_SKIP() << "this system empties a mapped file";
        if (mapping)
        {
            EXPECT_EQ(expected, text.substr(text.size() - expected.size()));
            continue;
        }
        for (int i = 0; i < 20; ++i)
            EXPECT_TRUE(Has(text, "line " + std::to_string(i) + "\r\n")) << i;
        EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "cannot be emptied"));
        held.Reset();
        EXPECT_EQ("", Body(name));
    }
}
#endif

// A reset and the size limit empty nothing: the file is renamed and the oldest goes. (The
// settings scenario keeps files at the start and moves earlier ones up.)
TEST_F(LogFileTest, KeptFilesAtTheResetAndTheSizeLimitOrEmptiedWhenTheNameIsTaken)
{
    file.SetKeptFiles(1);
    ASSERT_TRUE(file.Open(dir.Sub("kept.txt")));
    file.WriteLine("run1\n", 0);
    file.Reset();
    EXPECT_TRUE(Has(Contents("kept.1.txt"), "run1\r\n"));
    file.WriteLine("run2\n", 0);
    file.SetMaxFileSize(1);
    file.WriteLine("run3\n", 0);
    EXPECT_FALSE(Has(Contents("kept.1.txt"), "run1"));
    EXPECT_TRUE(Has(Contents("kept.1.txt"), "run2\r\n"));
    const std::string text = Contents("kept.txt");
    EXPECT_TRUE(Has(text, "Truncation info:") && !Has(text, "run2"));
    EXPECT_FALSE(FileExists(dir.Sub("kept.2.txt")));

    // A file whose next name a folder holds is not renamed: it is emptied, with one notice for the
    // run of failures.
    file.SetKeptFiles(2);
    file.SetMaxFileSize(100000000);
    ASSERT_TRUE(file.Open(dir.Sub("stuck.htm")));
    ASSERT_TRUE(os::CreateDirectoryA(dir.Sub("stuck.1.htm")));
    os::DebugOutputCapture capture;
    for (const char* line : {"one\n", "two\n"})
    {
        file.WriteLine(line, 0);
        file.Reset();
        EXPECT_EQ("", Body("stuck.htm")) << line;
    }
    EXPECT_FALSE(FileExists(dir.Sub("stuck.2.htm")));
    EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "cannot be kept"));
    // Once the name is free again the file is kept, with its footer.
    file.WriteLine("three\n", 0);
    EXPECT_TRUE(os::RemoveDirectoryA(dir.Sub("stuck.1.htm")));
    ASSERT_TRUE(file.Open(dir.Sub("stuck.htm")));
    EXPECT_EQ("<span class=\"logLine\">three</span>\r\n" + std::string(kFooter),
              Body("stuck.1.htm"));
}

// Two opens of one file stand for two programs: the second is refused where it would empty,
// keep or map the first one's file under it, and takes the file once the first has closed it.
TEST_F(LogFileTest, ASecondWriterIsRefusedWhereItWouldHarmTheFirst)
{
    // Whether the first maps, the files both keep, whether the second maps, and its refusal.
    const std::tuple<bool, unsigned long, bool, bool> rows[] = {
        {true, 0, true, true},
        {true, 0, false, true},
#ifndef _WIN32
        // Windows empties no mapped file, so there a writer cannot harm a mapping one.
        {false, 0, true, true},
#endif
        {false, 0, false, false},
        {false, 1, false, true},
    };
    int at = 0;
    for (const auto& [firstMapped, kept, secondMapped, refused] : rows)
    {
        const std::string base = "shared" + std::to_string(at++);
        SCOPED_TRACE(base);
        const CString path = dir.Sub((base + ".txt").c_str());
        CLogFile first{facts};
        CLogFile second{facts};
        first.SetMapping(firstMapped);
        second.SetMapping(secondMapped);
        first.SetKeptFiles(kept);
        second.SetKeptFiles(kept);
        ASSERT_TRUE(first.Open(path));
        first.WriteLine("first\n", 0);
        os::DebugOutputCapture capture;
        EXPECT_NE(refused, second.Open(path));
        EXPECT_EQ(refused, Has(capture.GetText().str(), "Logfile \""));
        first.WriteLine("still first\n", 0);
        if (!refused)
            continue;
        EXPECT_FALSE(FileExists(dir.Sub((base + ".1.txt").c_str())));
        first.Close();
        EXPECT_TRUE(Has(Contents((base + ".txt").c_str()), "first\r\nstill first\r\n"));
        ASSERT_TRUE(second.Open(path));
        EXPECT_EQ(secondMapped, second.IsMapped());
    }
}
