// The log file in its mapped mode: the same bytes as a written file, zeros past the last line
// only while it is open, one mapping writer per file, and no line torn or lost when the file
// cannot grow or the process forks. At the edges of a POSIX system (a forked child that cannot
// write, a file size limit under its default signal, a full disk, a system that refuses to map
// the file) both modes end the file with whole lines and no zeros, and the program goes on.
#include "LogFileFixture.h"

#include "OsDebugOutput.h"

#ifndef _WIN32
#include <csignal>
#include <cstddef>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#endif

namespace
{
const std::size_t kChunk = CMappedLogWriter::kChunk;

class MappedLogFileTest : public LogFileFixture
{
protected:
    MappedLogFileTest() { mapped.SetMapping(true); }
    static std::string Line(int n) { return "line " + std::to_string(n) + std::string(100, '.'); }
    static void WriteLines(CLogFile& file, int count)
    {
        for (int n = 0; n < count; ++n)
            file.WriteLine((Line(n) + "\n").c_str(), 0x0000FF);
    }

    CLogFile mapped{facts};
    os::DebugOutputCapture capture;
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
    WriteEverything(file, dir.Sub("written.htm"));
    WriteEverything(mapped, dir.Sub("mapped.htm"));
    EXPECT_NE(std::string::npos, Contents("written.htm").find("after reset"));
    EXPECT_TRUE(Contents("written.htm") == Contents("mapped.htm"));
}

TEST_F(MappedLogFileTest, ReadersSeeZerosPastTheLastLineUntilTheFileCloses)
{
    mapped.SetLinesToFlush(1);
    ASSERT_TRUE(mapped.Open(dir.Sub("open.txt")));
    ASSERT_TRUE(mapped.IsMapped());
    ASSERT_TRUE(mapped.WriteLine("one\n", 0) && mapped.WriteLine("two\n", 0));
    std::string text = Contents("open.txt");
    ASSERT_EQ(kChunk, text.size());
    const std::size_t end = text.find('\0');
    EXPECT_EQ("one\r\ntwo\r\n", text.substr(end - 10, 10));
    EXPECT_EQ(std::string::npos, text.find_first_not_of('\0', end));
    // Each line asked for a device flush of the window.
    const CLogFileFlusher& flusher = mapped.GetFlusher();
    EXPECT_EQ(2u, flusher.GetBackgroundFlushes() + flusher.GetCallerFlushes());

    // A line that fills the window to its last byte needs no longer file; the next one does.
    ASSERT_TRUE(mapped.WriteLine((std::string(kChunk - end - 2, 'f') + "\n").c_str(), 0));
    EXPECT_EQ(kChunk, Contents("open.txt").size());
    ASSERT_TRUE(mapped.WriteLine("three\n", 0));
    EXPECT_EQ(2 * kChunk, Contents("open.txt").size());

    mapped.Close();
    text = Contents("open.txt");
    EXPECT_EQ("one\r\ntwo\r\nff", text.substr(end - 10, 12));
    EXPECT_EQ("ff\r\nthree\r\n", text.substr(kChunk - 4));
}

// The writer alone: a start ends the file before, cut to its lines, and a writer not started or
// left to the parent of a fork takes nothing.
TEST_F(MappedLogFileTest, TheWriterTakesLinesOnlyWhileStartedInItsOwnProcess)
{
    CMappedLogWriter writer;
    EXPECT_FALSE(writer.Write("lost", 4));
    const unsigned mode = CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyNone;
    CFile first;
    CFile second;
    ASSERT_TRUE(first.Open(dir.Sub("first.txt"), mode) && second.Open(dir.Sub("second.txt"), mode));
    ASSERT_TRUE(writer.Start(first, 0));
    ASSERT_TRUE(writer.Write("first", 5));
    ASSERT_TRUE(writer.Start(second, 0));
    EXPECT_EQ("first", Contents("first.txt"));
    writer.LeaveToParent();
    EXPECT_FALSE(writer.Write("child", 5));
#ifndef _WIN32
    // A window that ends right at the process's file size limit is still taken; a writer refused
    // one past it does not count as started.
    for (const bool fits : {true, false})
    {
        const auto start = [&](const kvtest::LiftLimit&)
        {
            CMappedLogWriter limited;
            return limited.Start(first, 0) == fits && limited.IsStarted() == fits;
        };
        EXPECT_TRUE(kvtest::RunWithFileSizeLimit(kChunk - (fits ? 0 : 1), start)) << fits;
    }
#endif
}

#ifndef _WIN32
namespace
{
// The exit status of a forked child, which is ended when it hangs.
int AwaitChild(pid_t child)
{
    int status = -1;
    if (!kvtest::WaitUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; }, 30000) &&
        ::kill(child, SIGKILL) == 0)
        ::waitpid(child, &status, 0);
    return status;
}

// Whole entries up to the end, or up to a footer that closes the file, and no zeros.
::testing::AssertionResult EndsWithAWholeLine(const std::string& text)
{
    const std::size_t end = text.rfind("</span>\r\n") + 9;
    if (end > 8 && text.find('\0') == std::string::npos &&
        (end == text.size() || text.substr(end) == LogFileFixture::kFooter))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "ends with: " << text.substr(text.size() - 80);
}

// Some file systems refuse shared mappings; a seccomp filter makes mmap refuse them on the
// calling thread alone.
bool RefuseSharedMappingsOnThisThread()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_mmap, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[3])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, MAP_SHARED, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENODEV),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}
} // namespace

// The file size limit of the process stands in for a full disk: a line that does not fit is cut
// back, the file takes lines again once there is room, and one notice tells of the loss.
TEST_F(MappedLogFileTest, AFileThatCannotGrowTakesNoPartOfALineAndResumes)
{
    for (CLogFile* log : {&file, &mapped})
    {
        const char* name = log == &mapped ? "mapped.txt" : "written.txt";
        SCOPED_TRACE(name);
        ASSERT_TRUE(log->Open(dir.Sub(name)));
        const auto fill = [&](const kvtest::LiftLimit& lift)
        {
            // A file whose first window cannot be had is written without mapping.
            CLogFile small{facts};
            small.SetMapping(true);
            if (!small.Open(dir.Sub("small.txt")) || small.IsMapped() || !small.WriteLine("a\n", 0))
                return false;
            const std::string line(1000, 'f');
            int accepted = 0;
            while (accepted < 2000 && log->WriteLine((line + "\n").c_str(), 0))
                ++accepted;
            const bool refusedAgain = !log->WriteLine((line + "\n").c_str(), 0);
            lift();
            const bool resumed = log->WriteLine("after\n", 0);
            log->Close();
            return accepted > 1000 && accepted < 1100 && refusedAgain && resumed &&
                   kvtest::CountOf(capture.GetText().str(), "takes no lines") == 1;
        };
        EXPECT_TRUE(kvtest::RunWithFileSizeLimit(kChunk - 1, fill));
        const std::string text = Contents(name);
        EXPECT_EQ("ff\r\nafter\r\n", text.substr(text.size() - 11));
        EXPECT_EQ(std::string::npos, text.find('\0'));
    }
}

// A child of fork shares the parent's file. A writing child shares its file position too, so
// the lines behind its failed write are the parent's: it cuts back only the bytes it appended
// itself, and only while they are the last. A mapping child cannot know where the parent's lines
// end, so it refuses its lines and leaves the file's length to the parent.
TEST_F(MappedLogFileTest, AForkedChildLeavesTheParentsLinesAndLengthAndAFileSizeLimitEndsNoProgram)
{
    // The room the writing child has left on the disk; 1 stands for the mapping child.
    for (const std::uint64_t room : {0, 40, 1})
    {
        SCOPED_TRACE(room);
        CLogFile log{facts};
        log.SetMapping(room == 1);
        ASSERT_TRUE(log.Open(dir.Sub("shared.txt")));
        WriteLines(log, 10);
        int go[2];
        ASSERT_EQ(0, ::pipe(go));
        const pid_t child = ::fork();
        if (child == 0)
        {
            log.LeaveToParent();
            char byte = 0;
            const bool ready = ::read(go[0], &byte, 1) == 1;
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{Contents("shared.txt").size() + room, RLIM_INFINITY};
            if (!log.IsMapped())
                ::setrlimit(RLIMIT_FSIZE, &limit);
            const bool refused = !log.WriteLine("the child's line, too long for the room\n", 0);
            log.Close();
            ::_exit(ready && refused ? 0 : 1);
        }
        ASSERT_LT(0, child);
        WriteLines(log, 100);
        ASSERT_EQ(1, ::write(go[1], "x", 1));
        EXPECT_EQ(0, AwaitChild(child));
        ::close(go[0]);
        ::close(go[1]);
        EXPECT_TRUE(!log.IsMapped() || Contents("shared.txt").size() == kChunk);
        WriteLines(log, 100);
        log.Close();
        const std::string text = Contents("shared.txt");
        EXPECT_EQ(std::string::npos, text.find("child"));
        EXPECT_EQ(3, kvtest::CountOf(text, Line(9)));
        EXPECT_EQ(Line(99) + "\r\n", text.substr(text.size() - 109));
        EXPECT_EQ(std::string::npos, text.find('\0'));
    }

    // A write or a growth past RLIMIT_FSIZE would raise SIGXFSZ, which ends the program by
    // default: a child under a file size limit ends its file with a whole line and goes on.
    const std::uint64_t kLimit = 3 * kChunk / 2;
    for (const bool mapping : {false, true})
    {
        SCOPED_TRACE(mapping ? "mapped" : "written");
        const pid_t child = ::fork();
        if (child == 0)
        {
            const rlimit limit{kLimit, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            CLogFile log{facts};
            log.SetMapping(mapping);
            // No flush thread: a child of a threaded program starts none under TSan.
            log.SetLinesToFlush(0);
            log.Open(dir.Sub("limit.htm"));
            WriteLines(log, 16000);
            log.Close();
            ::_exit(0);
        }
        EXPECT_EQ(0, AwaitChild(child));
        const std::string text = Contents("limit.htm");
        EXPECT_GE(kLimit, text.size());
        EXPECT_LT(kLimit - 200, text.size());
        EXPECT_TRUE(EndsWithAWholeLine(text));
    }
}

// The mapped file, when it cannot grow, writes on to the last byte that fits, as the written
// file does, footer included: both leave the same bytes on a small file system.
TEST_F(MappedLogFileTest, AFullDiskKeepsTheSameLinesInAMappedFileAsInAWrittenOne)
{
    const CString small = dir.MakeDir("small");
    if (::mount("kvlog-test", small, "tmpfs", MS_NOSUID | MS_NODEV, "size=2m") != 0)
        GTEST_SKIP() << "no small file system can be mounted (needs root)";
    std::string texts[2];
    for (CLogFile* log : {&file, &mapped})
    {
        ASSERT_TRUE(log->Open(dir.Sub("small\\full.htm")));
        WriteLines(*log, 20000);
        log->Close();
        texts[log == &mapped] = Contents("small\\full.htm");
        kvtest::TempDir::RemoveFile(dir.Sub("small\\full.htm"));
    }
    ::umount2(small, MNT_DETACH);
    EXPECT_LT(kChunk, texts[0].size());
    EXPECT_TRUE(texts[0] == texts[1]);
    EXPECT_TRUE(EndsWithAWholeLine(texts[1]));
    EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "mapped log file cannot grow"));
}

// A failed start cuts its reservation back, says so once, and a reset maps the file again.
TEST_F(MappedLogFileTest, AFileThatCannotBeMappedOrIsShortenedGoesOnWithoutZeros)
{
    bool mappedAtStart = true;
    std::thread(
        [&]
        {
            if (!RefuseSharedMappingsOnThisThread() || !mapped.Open(dir.Sub("refused.txt")))
                return;
            mappedAtStart = mapped.IsMapped();
            WriteLines(mapped, 3);
            mapped.Reset();
            WriteLines(mapped, 3);
        })
        .join();
    EXPECT_FALSE(mappedAtStart);
    const std::string open = Contents("refused.txt");
    EXPECT_EQ(std::string::npos, open.find('\0'));
    EXPECT_EQ(Line(2) + "\r\n", open.substr(open.size() - 108));
    EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "cannot be mapped"));

    mapped.Reset();
    EXPECT_TRUE(mapped.IsMapped());
    WriteLines(mapped, 1);
    mapped.Close();
    EXPECT_EQ(std::string::npos, Contents("refused.txt").find('\0'));

    // Another program shortens the mapped file (copytruncate); the copy past its new end would
    // raise SIGBUS. The file goes on from its new end, and closing it does not lengthen it again.
    for (const bool another : {true, false})
    {
        SCOPED_TRACE(another ? "another line" : "closed at once");
        ASSERT_TRUE(mapped.Open(dir.Sub("shortened.txt")));
        WriteLines(mapped, 3);
        ASSERT_EQ(0, ::truncate(dir.Sub("shortened.txt"), 0));
        EXPECT_TRUE(!another || mapped.WriteLine("after\n", 0));
        mapped.Close();
        EXPECT_EQ(another ? "after\r\n" : "", Contents("shortened.txt"));
    }
    EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "shortened the mapped log file"));
}
#endif
