// The log file in its mapped mode: the same bytes as a written file, zeros past the last line
// only while it is open, one mapping writer per file, and no line torn or lost when the file
// cannot grow or the process forks.
#ifdef _WIN32
// The system's declarations first: the framework's own declarations of the same types defer.
#include <windows.h>
#endif

#include "output/CLogFile.h"

#include "FixedHeaderFacts.h"

#include "OsDebugOutput.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace
{
const std::size_t kChunk = CMappedLogWriter::kChunk;

class MappedLogFileTest : public ::testing::Test
{
protected:
    MappedLogFileTest() { mapped.SetMapping(true); }
    std::string Contents(const char* name) { return kvtest::ReadWholeFile(dir.Sub(name)); }

    kvtest::TempDir dir;
    CFixedHeaderFacts facts;
    CLogFile written{facts};
    CLogFile mapped{facts};
};

// Lines, a level row, a size-limit restart, a reset and the footer, in both modes.
void WriteEverything(CLogFile& file, const CString& path)
{
    file.SetMaxFileSize(3 * kChunk);
    ASSERT_TRUE(file.Open(path));
    const std::string line(100, 'x');
    // Past several chunk ends, and past the size limit once.
    for (int n = 0; n < 40000; ++n)
        file.WriteLine((std::to_string(n) + line + "<\n").c_str(), static_cast<unsigned long>(n));
    file.SetMasterLevel(0x8003);
    file.WriteLevelRow(false);
    // An entry longer than a chunk lands in one piece.
    file.WriteLine((std::string(kChunk + kChunk / 2, 'y') + "\n").c_str(), 0xFF0000);
    file.WriteLine("before reset\n", 0);
    file.Reset();
    file.WriteLine("after reset\n", 0x00FF00);
    file.Close();
}
} // namespace

TEST_F(MappedLogFileTest, HoldsTheSameBytesAsAWrittenFile)
{
    WriteEverything(written, dir.Sub("written.htm"));
    WriteEverything(mapped, dir.Sub("mapped.htm"));
    const std::string expected = Contents("written.htm");
    EXPECT_NE(std::string::npos, expected.find("after reset"));
    EXPECT_TRUE(expected == Contents("mapped.htm"));

    // The size limit restarts a mapped file too.
    mapped.SetMaxFileSize(2 * kChunk);
    ASSERT_TRUE(mapped.Open(dir.Sub("limit.txt")));
    for (int n = 0; n < 30000; ++n)
        mapped.WriteLine((std::to_string(n) + std::string(100, 'z') + "\n").c_str(), 0);
    mapped.Close();
    const std::string limited = Contents("limit.txt");
    EXPECT_NE(std::string::npos, limited.find("Truncation info:"));
    EXPECT_EQ("29999" + std::string(100, 'z') + "\r\n", limited.substr(limited.size() - 107));
}

TEST_F(MappedLogFileTest, ReadersSeeZerosPastTheLastLineUntilTheFileCloses)
{
    mapped.SetLinesToFlush(1);
    ASSERT_TRUE(mapped.Open(dir.Sub("open.txt")));
    ASSERT_TRUE(mapped.IsMapped());
    ASSERT_TRUE(mapped.WriteLine("one\n", 0));
    ASSERT_TRUE(mapped.WriteLine("two\n", 0));
    std::string text = Contents("open.txt");
    ASSERT_EQ(kChunk, text.size());
    const std::size_t end = text.find('\0');
    EXPECT_EQ("one\r\ntwo\r\n", text.substr(end - 10, 10));
    EXPECT_EQ(std::string::npos, text.find_first_not_of('\0', end));
    // Each line asked for a device flush of the window.
    const CLogFileFlusher& flusher = mapped.GetFlusher();
    EXPECT_EQ(2u, flusher.GetBackgroundFlushes() + flusher.GetCallerFlushes());

    mapped.Close();
    text = Contents("open.txt");
    EXPECT_EQ(end, text.size());
    EXPECT_EQ("one\r\ntwo\r\n", text.substr(end - 10));
}

// Another writer, mapping or not, would empty the file under the first one's window.
TEST_F(MappedLogFileTest, ASecondWriterOfAMappedFileIsRefused)
{
    ASSERT_TRUE(mapped.Open(dir.Sub("one.htm")));
    mapped.WriteLine("first\n", 0);
    CLogFile second{facts};
    second.SetMapping(true);
    os::DebugOutputCapture capture;
    EXPECT_FALSE(second.Open(dir.Sub("one.htm")));
    EXPECT_NE(std::string::npos, capture.GetText().str().find("Logfile \""));
    EXPECT_FALSE(written.Open(dir.Sub("one.htm")));
    mapped.WriteLine("second\n", 0);
    mapped.Close();
    EXPECT_NE(std::string::npos, Contents("one.htm").find("first</span>\r\n<span "
                                                          "class=\"logLine\">second</span>"));
    EXPECT_TRUE(second.Open(dir.Sub("one.htm")));
    EXPECT_TRUE(second.IsMapped());
    second.Close();

#ifndef _WIN32
    // A file written without mapping keeps mapping writers out in turn (Windows empties no
    // mapped file, so there the writer cannot harm a mapping one).
    ASSERT_TRUE(written.Open(dir.Sub("one.htm")));
    EXPECT_FALSE(second.Open(dir.Sub("one.htm")));
    CLogFile alongside{facts};
    EXPECT_TRUE(alongside.Open(dir.Sub("one.htm")));
#endif
}

#ifdef _WIN32
// Windows empties no file that another program maps: the mapped file keeps its lines, and the
// next ones follow the last line, not the zeros past it.
TEST_F(MappedLogFileTest, ARestartThatCannotEmptyTheFileGoesOnAtItsTrueEnd)
{
    mapped.SetMaxFileSize(300);
    ASSERT_TRUE(mapped.Open(dir.Sub("held.txt")));
    HANDLE reader =
        ::CreateFileA(dir.Sub("held.txt"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    HANDLE section = ::CreateFileMappingA(reader, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = section != nullptr ? ::MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0) : nullptr;
    std::string expected;
    for (int i = 0; i < 20; ++i)
    {
        mapped.WriteLine(("line " + std::to_string(i) + "\n").c_str(), 0);
        expected += "line " + std::to_string(i) + "\r\n";
    }
    ::UnmapViewOfFile(view);
    ::CloseHandle(section);
    ::CloseHandle(reader);
    ASSERT_NE(nullptr, view);
    mapped.Close();
    const std::string text = Contents("held.txt");
    if (text.find("Truncation info:") != std::string::npos)
        GTEST_SKIP() << "this system empties a mapped file";
    EXPECT_EQ(expected, text.substr(text.size() - expected.size()));
}
#else
// The file size limit of the process stands in for a full disk.
TEST_F(MappedLogFileTest, AFileThatCannotGrowTakesNoPartOfALineAndResumes)
{
    ASSERT_TRUE(mapped.Open(dir.Sub("full.txt")));
    EXPECT_TRUE(kvtest::RunWithFileSizeLimit(
        kChunk - 1,
        [&](const kvtest::LiftLimit& lift)
        {
            // A file whose first window cannot be had is written without mapping.
            CLogFile small{facts};
            small.SetMapping(true);
            if (!small.Open(dir.Sub("small.txt")) || small.IsMapped() || !small.WriteLine("a\n", 0))
                return false;
            const std::string line(1000, 'f');
            int accepted = 0;
            while (accepted < 2000 && mapped.WriteLine((line + "\n").c_str(), 0))
                ++accepted;
            const bool refusedAgain = !mapped.WriteLine((line + "\n").c_str(), 0);
            lift();
            const bool resumed = mapped.WriteLine("after\n", 0);
            mapped.Close();
            return accepted > 1000 && accepted < 1100 && refusedAgain && resumed;
        }));
    const std::string text = Contents("full.txt");
    EXPECT_EQ("ff\r\nafter\r\n", text.substr(text.size() - 11));
    EXPECT_EQ(std::string::npos, text.find('\0'));
}

// The child cannot know where the parent's lines end, so its lines go elsewhere and it leaves
// the file's length to the parent.
TEST_F(MappedLogFileTest, AForkedChildLeavesTheFileToTheParent)
{
    ASSERT_TRUE(mapped.Open(dir.Sub("fork.txt")));
    mapped.WriteLine("parent before\n", 0);
    const pid_t child = ::fork();
    ASSERT_NE(-1, child);
    if (child == 0)
    {
        mapped.LeaveToParent();
        const bool refused = !mapped.WriteLine("child\n", 0);
        mapped.Close();
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(kChunk, Contents("fork.txt").size());
    mapped.WriteLine("parent after\n", 0);
    mapped.Close();
    const std::string text = Contents("fork.txt");
    EXPECT_EQ("parent before\r\nparent after\r\n", text.substr(text.size() - 29));
}
#endif
