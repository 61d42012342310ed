// The log file at the edges of a POSIX system: a forked child that cannot write, a file size
// limit under its default signal, a full disk, and a system that refuses to map the file. In
// every case the file ends with whole lines and holds no zeros, and the program goes on.
#ifndef _WIN32
#include "output/CLogFile.h"

#include "FixedHeaderFacts.h"

#include "OsDebugOutput.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstddef>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <string>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
const char kFooter[] = "\t\t</pre>\r\n\t</body>\r\n</html>\r\n";
const std::size_t kChunk = CMappedLogWriter::kChunk;

class LogFileEdgeTest : public ::testing::Test
{
protected:
    std::string Contents(const char* name) { return kvtest::ReadWholeFile(dir.Sub(name)); }
    static void WriteLines(CLogFile& file, int count)
    {
        for (int n = 0; n < count; ++n)
            file.WriteLine(("line " + std::to_string(n) + std::string(100, '.') + "\n").c_str(),
                           0x0000FF);
    }
    // The exit status of a forked child, which is ended when it hangs.
    static int AwaitChild(pid_t child)
    {
        int status = -1;
        if (!kvtest::WaitUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; }, 30000))
        {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        return status;
    }
    // The exit status of a forked child that runs body and ends at once.
    template <typename Body> static int InChild(Body body)
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(body());
        return AwaitChild(child);
    }

    kvtest::TempDir dir;
    CFixedHeaderFacts facts;
    os::DebugOutputCapture capture;
};

// Whole entries up to the end, or up to a footer that closes the file.
::testing::AssertionResult EndsWithAWholeLine(const std::string& text)
{
    const std::size_t footer =
        text.size() >= sizeof kFooter - 1 &&
                text.compare(text.size() - (sizeof kFooter - 1), sizeof kFooter - 1, kFooter) == 0
            ? sizeof kFooter - 1
            : 0;
    if (text.find('\0') != std::string::npos)
        return ::testing::AssertionFailure() << "zeros in the file";
    if (text.compare(text.size() - footer - 9, 9, "</span>\r\n") != 0)
        return ::testing::AssertionFailure() << "ends with: " << text.substr(text.size() - 80);
    return ::testing::AssertionSuccess();
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

// The child shares the parent's file position, so the lines behind its failed write are the
// parent's: it cuts back only the bytes it appended itself, and only while they are the last.
TEST_F(LogFileEdgeTest, AChildThatCannotWriteCutsNoneOfTheParentsLines)
{
    for (const std::uint64_t room : {0, 40})
    {
        SCOPED_TRACE(room);
        CLogFile file{facts};
        ASSERT_TRUE(file.Open(dir.Sub("shared.txt")));
        WriteLines(file, 10);
        int go[2];
        ASSERT_EQ(0, ::pipe(go));
        const pid_t child = ::fork();
        if (child == 0)
        {
            file.LeaveToParent();
            char byte = 0;
            const bool ready = ::read(go[0], &byte, 1) == 1;
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{Contents("shared.txt").size() + room, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::_exit(ready && !file.WriteLine("the child's line, too long for the room\n", 0) ? 0
                                                                                             : 1);
        }
        ASSERT_LT(0, child);
        WriteLines(file, 100);
        ASSERT_EQ(1, ::write(go[1], "x", 1));
        const int status = AwaitChild(child);
        ::close(go[0]);
        ::close(go[1]);
        EXPECT_EQ(0, status);
        file.Close();
        const std::string text = Contents("shared.txt");
        EXPECT_EQ(std::string::npos, text.find("child"));
        EXPECT_EQ(2, kvtest::CountOf(text, "line 9" + std::string(100, '.')));
        EXPECT_EQ("line 99" + std::string(100, '.') + "\r\n", text.substr(text.size() - 109));
    }
}

// A write or a growth past RLIMIT_FSIZE would raise SIGXFSZ, which ends the program by default.
TEST_F(LogFileEdgeTest, AFileSizeLimitEndsTheFileWithAWholeLineAndTheProgramGoesOn)
{
    const std::uint64_t kLimit = 3 * kChunk / 2;
    for (const bool mapping : {false, true})
    {
        SCOPED_TRACE(mapping ? "mapped" : "written");
        const int status = InChild(
            [&]
            {
                const rlimit limit{kLimit, RLIM_INFINITY};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                CLogFile file{facts};
                file.SetMapping(mapping);
                // No flush thread: a child of a threaded program starts none under TSan.
                file.SetLinesToFlush(0);
                file.Open(dir.Sub("limit.htm"));
                WriteLines(file, 16000);
                file.Close();
                return 0;
            });
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        const std::string text = Contents("limit.htm");
        EXPECT_GE(kLimit, text.size());
        EXPECT_LT(kLimit - 200, text.size());
        EXPECT_TRUE(EndsWithAWholeLine(text));
    }
}

// The mapped file, when it cannot grow, writes on to the last byte that fits, as the written
// file does, footer included: both leave the same bytes on a small file system.
TEST_F(LogFileEdgeTest, AFullDiskKeepsTheSameLinesInAMappedFileAsInAWrittenOne)
{
    const CString small = dir.MakeDir("small");
    if (::mount("kvlog-test", small, "tmpfs", MS_NOSUID | MS_NODEV, "size=2m") != 0)
        GTEST_SKIP() << "no small file system can be mounted (needs root)";
    std::string texts[2];
    for (const bool mapping : {false, true})
    {
        CLogFile file{facts};
        file.SetMapping(mapping);
        ASSERT_TRUE(file.Open(dir.Sub("small\\full.htm")));
        WriteLines(file, 20000);
        file.Close();
        texts[mapping] = Contents("small\\full.htm");
        kvtest::TempDir::RemoveFile(dir.Sub("small\\full.htm"));
    }
    ::umount2(small, MNT_DETACH);
    EXPECT_LT(kChunk, texts[0].size());
    EXPECT_EQ(texts[0].size(), texts[1].size());
    EXPECT_TRUE(texts[0] == texts[1]);
    EXPECT_TRUE(EndsWithAWholeLine(texts[1]));
    EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "mapped log file cannot grow"));
}

// A failed start cuts its reservation back, says so once, and a reset maps the file again.
TEST_F(LogFileEdgeTest, AFileThatCannotBeMappedIsWrittenWithoutZerosAndMappedAgainAtAReset)
{
    CLogFile file{facts};
    file.SetMapping(true);
    bool mapped = true;
    std::thread(
        [&]
        {
            if (!RefuseSharedMappingsOnThisThread() || !file.Open(dir.Sub("refused.txt")))
                return;
            mapped = file.IsMapped();
            WriteLines(file, 3);
            file.Reset();
            WriteLines(file, 3);
        })
        .join();
    EXPECT_FALSE(mapped);
    const std::string open = Contents("refused.txt");
    EXPECT_EQ(std::string::npos, open.find('\0'));
    EXPECT_EQ("line 2" + std::string(100, '.') + "\r\n", open.substr(open.size() - 108));
    EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "cannot be mapped"));

    file.Reset();
    EXPECT_TRUE(file.IsMapped());
    WriteLines(file, 1);
    file.Close();
    EXPECT_EQ(std::string::npos, Contents("refused.txt").find('\0'));
}
// Another program shortens the mapped file (copytruncate); the copy past its new end would raise
// SIGBUS. The file goes on from its new end, and closing it does not lengthen it again.
TEST_F(LogFileEdgeTest, AFileShortenedByAnotherProgramGoesOnFromItsNewEnd)
{
    for (const bool another : {true, false})
    {
        SCOPED_TRACE(another ? "another line" : "closed at once");
        CLogFile file{facts};
        file.SetMapping(true);
        ASSERT_TRUE(file.Open(dir.Sub("shortened.txt")));
        WriteLines(file, 3);
        ASSERT_EQ(0, ::truncate(dir.Sub("shortened.txt"), 0));
        EXPECT_TRUE(!another || file.WriteLine("after\n", 0));
        file.Close();
        EXPECT_EQ(another ? "after\r\n" : "", Contents("shortened.txt"));
    }
    EXPECT_EQ(1, kvtest::CountOf(capture.GetText().str(), "shortened the mapped log file"));
}
#endif
