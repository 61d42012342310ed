#include "CFile.h"

#include "OsFileSystem.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <cerrno>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#endif

namespace
{
namespace fs = std::filesystem;

struct BeneathCase
{
    const char* what;
    const char* name; // below the folder "log"
    DWORD refusal;    // 0: opened
};

#ifdef _WIN32
const DWORD kNotAFolder = 267; // ERROR_DIRECTORY
#else
const DWORD kNotAFolder = ENOTDIR;
#endif

// Every row opens with the flags that create and empty a file, so that a refusal that came only
// after the file was emptied shows on the victim's file.
const BeneathCase kBeneathCases[] = {
    {"a plain file", "plain.htm", 0},
    {"a missing file is created", "new.htm", 0},
    {"a file in a subfolder", "sub/notes.txt", 0},
    {"an empty name", "", os::kErrorNameLeavesFolder},
    {"an absolute name", "/victim.txt", os::kErrorNameLeavesFolder},
    {"up and out", "sub/../../home/victim.txt", os::kErrorNameLeavesFolder},
    {"an empty element", "sub//notes.txt", os::kErrorNameLeavesFolder},
    {"the folder itself", ".", os::kErrorNameLeavesFolder},
    {"a link at the file", "link.htm", os::kErrorLinkOnTheWay},
    {"a link to nowhere, which create must not follow", "dangling.htm", os::kErrorLinkOnTheWay},
    {"a link at a folder on the way", "linked/victim.txt", os::kErrorLinkOnTheWay},
    {"a file on the way", "plain.htm/x", kNotAFolder},
    {"a folder at the name", "folder.htm", os::kErrorFolderAtName},
    {"a second name of the victim's file", "hard.htm", os::kErrorSeveralNames},
#ifdef _WIN32
    {"a stream of another file", "plain.htm:stream", os::kErrorNameLeavesFolder},
#else
    {"a pipe", "pipe.htm", os::kErrorNotRegularFile},
    {"own file that every account can write, in a folder every account can write",
     "shared/open.htm", os::kErrorWritableByAll},
    {"a folder on the way that every account can write, below one every account can write",
     "shared/wide/x.htm", os::kErrorWritableByAll},
    {"own file in a folder that every account can write", "shared/mine.htm", 0},
#endif
};

// What other accounts could have planted in a shared folder; a row whose plant the platform does
// not allow is passed over.
std::vector<std::string> PlantBeneathCases(const kvtest::TempDir& dir)
{
    // The victim's folder holds no link back, so that Wine, whose removal of a folder follows a
    // link in it, ends.
    const fs::path victim(dir.MakeFile("home\\victim.txt", "precious").GetString());
    const fs::path log(dir.MakeDir("log").GetString());
    dir.MakeFile("log/plain.htm", "old");
    dir.MakeFile("log/sub/notes.txt", "old");
    dir.MakeDir("log/folder.htm");
    std::vector<std::string> passedOver;
    const auto plant = [&](const char* name, bool made)
    {
        if (!made)
            passedOver.push_back(name);
    };
    const auto link = [&](const char* name, const fs::path& target, const char* at, bool folder)
    { plant(name, kvtest::MakeSymbolicLink(target.string().c_str(), dir.Sub(at), folder)); };
    link("link.htm", victim, "log\\link.htm", false);
    link("dangling.htm", log / "none", "log\\dangling.htm", false);
    link("linked/victim.txt", victim.parent_path(), "log\\linked", true);
    std::error_code error;
    fs::create_hard_link(victim, log / "hard.htm", error);
    plant("hard.htm", !error);
#ifndef _WIN32
    ::mkfifo((log / "pipe.htm").c_str(), 0666);
    const fs::path shared(dir.MakeDir("log/shared").GetString());
    dir.MakeFile("log/shared/open.htm");
    dir.MakeFile("log/shared/mine.htm");
    dir.MakeDir("log/shared/wide");
    ::chmod(shared.c_str(), 01777);
    ::chmod((shared / "open.htm").c_str(), 0666);
    ::chmod((shared / "wide").c_str(), 0777);
#endif
    return passedOver;
}

// The outcome of each row whose plant was made, one a line: the row's expected one without a
// folder.
std::string Outcomes(const kvtest::TempDir* dir, const std::vector<std::string>& passedOver)
{
    std::string lines;
    for (const BeneathCase& row : kBeneathCases)
    {
        if (std::find(passedOver.begin(), passedOver.end(), row.name) != passedOver.end())
            continue;
        CFile file;
        DWORD code = row.refusal;
        if (dir)
            code = file.OpenBeneath(dir->Sub("log"), row.name,
                                    CFile::modeCreate | CFile::modeReadWrite)
                       ? 0
                       : file.GetLastError();
        lines += std::string(row.what) + ": " + std::to_string(code) + "\n";
    }
    return lines;
}

#ifndef _WIN32
// The kernel seems to lack openat2, as older ones do.
void WithoutOpenat2()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 437, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(sizeof(filter) / sizeof(filter[0])), filter};
    ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program);
}
#endif
} // namespace

// Nothing that another account could plant redirects, blocks or empties anything: each case is
// refused with its own reason, and the victim's file keeps its content.
TEST(CFile, OpensWritesSharesAndBeneathTakesOnlyARegularFileWithOneNameBelowTheFolder)
{
    kvtest::TempDir dir;
    const std::vector<std::string> passedOver = PlantBeneathCases(dir);
#ifdef _WIN32
    EXPECT_EQ(Outcomes(nullptr, passedOver), Outcomes(&dir, passedOver));
#else
    for (const bool withOpenat2 : {true, false})
    {
        SCOPED_TRACE(withOpenat2 ? "openat2" : "openat");
        std::string outcomes;
        const bool ended = kvtest::RunInChild(
            [&]
            {
                if (!withOpenat2)
                    WithoutOpenat2();
                return Outcomes(&dir, passedOver);
            },
            outcomes);
        ASSERT_TRUE(ended) << "an open blocked";
        EXPECT_EQ(Outcomes(nullptr, passedOver), outcomes);
    }
#endif
    EXPECT_EQ("precious", kvtest::ReadWholeFile(dir.Sub("home\\victim.txt")));

    // Opens write, share and follow no link when told.
    const CString path = dir.MakeFile("sub\\data.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.Write("hello world", 11));
    EXPECT_EQ(file.Seek(6, CFile::begin), 6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 5u);
    EXPECT_STREQ(buffer, "world");
    EXPECT_TRUE(file.SetLength(5));
    EXPECT_EQ(file.SeekToEnd(), 5);
    EXPECT_TRUE(file.Write("!", 1));
    file.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), "hello!");
    ASSERT_TRUE(file.OpenInFolder(path, CFile::modeRead)); // takes the folder of the path
    EXPECT_EQ(path, file.GetFilePath());

    // Create truncates unless told not to, noFollow or not; noFollow refuses a link.
    const unsigned create = CFile::modeCreate | CFile::modeReadWrite;
    const unsigned flags = create | CFile::noFollow;
    for (const unsigned row :
         {create, create | CFile::modeNoTruncate, flags, flags | CFile::modeNoTruncate})
    {
        file.Close();
        kvtest::WriteWholeFile(path, "old");
        ASSERT_TRUE(file.Open(path, row)) << row;
        EXPECT_EQ(file.GetLength(), (row & CFile::modeNoTruncate) ? 3u : 0u) << row;
    }

    // Failures are reported, not thrown; an exclusive open keeps others out, shared opens do not.
    CFile second;
    EXPECT_FALSE(second.Open(dir.Sub("missing.txt"), CFile::modeRead) || !second.GetLastError());
    EXPECT_FALSE(
        second.Open(dir.Sub("no\\such\\folder\\x.txt"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(second.Open(dir.Path(), CFile::modeRead)); // a folder is not a file
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.Read(buffer, sizeof(buffer)), 0u);
    EXPECT_FALSE(second.Write("x", 1));

    const CString held = dir.MakeFile("settings.xdb", "content");
    CFile holder;
    ASSERT_TRUE(holder.Open(held, CFile::modeReadWrite | CFile::shareExclusive));
    EXPECT_FALSE(second.Open(held, CFile::modeRead | CFile::shareExclusive));
    // A truncating exclusive open must not clear the file that another one holds.
    EXPECT_FALSE(second.Open(held, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    EXPECT_EQ(holder.GetLength(), 7u);

    holder.Close();
    EXPECT_TRUE(second.Open(held, CFile::modeRead | CFile::shareExclusive));

    // Shared opens see each other's writes.
    const unsigned shared = create | CFile::modeNoTruncate | CFile::shareDenyNone;
    CFile writer, reader;
    ASSERT_TRUE(writer.Open(dir.Sub("log.htm"), shared) && reader.Open(dir.Sub("log.htm"), shared));
    EXPECT_TRUE(writer.Write("line\r\n", 6));
    EXPECT_EQ(reader.GetLength(), 6u);

    std::error_code error;
    std::filesystem::create_symlink(path.GetString(), dir.Sub("link.htm").GetString(), error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_FALSE(file.Open(dir.Sub("link.htm"), flags));
    EXPECT_FALSE(file.Open(dir.Sub("link.htm"), CFile::modeRead | CFile::noFollow));
    EXPECT_EQ(kvtest::ReadWholeFile(path), "old");
    EXPECT_TRUE(file.Open(dir.Sub("link.htm"), CFile::modeRead));
}
