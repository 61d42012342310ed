#include "OsDebugOutput.h"
#include "OsEnvironment.h"
#include "OsFileSystem.h"
#include "OsProcess.h"
#include "OsTime.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using kvtest::NativePath;

// Captures nest and release in order; no text of concurrent writers is lost.
TEST(OsProcess, DebugOutputCapturesIdentityAndEnvironment)
{
    os::DebugOutputCapture outer;
    os::OutputDebugStringA("one\n");
    {
        os::DebugOutputCapture inner;
        os::OutputDebugStringA("two\n");
        os::OutputDebugStringA(nullptr);
        EXPECT_EQ(inner.GetText(), "two\n");
    }
    os::OutputDebugStringA("three\n");
    EXPECT_EQ(outer.GetText(), "one\nthree\n");

    // Every text of concurrent writers is kept.
    const auto write = []
    {
        for (int i = 0; i < 250; ++i)
            os::OutputDebugStringA("0123456789\n");
    };
    std::thread first(write), second(write), third(write);
    write();
    for (std::thread* thread : {&first, &second, &third})
        thread->join();
    EXPECT_EQ(outer.GetText().GetLength(), 10 + 4 * 250 * 11);

    DWORD otherThread = 0;
    std::thread([&] { otherThread = os::GetCurrentThreadId(); }).join();
    EXPECT_NE(otherThread, os::GetCurrentThreadId());
    CString program;
    ASSERT_TRUE(os::GetModuleFileNameA(nullptr, program));
    EXPECT_FALSE(os::GetModuleFileNameA(nullptr, program, 4)); // does not fit: no truncated name
    EXPECT_TRUE(program.IsEmpty());

    // Environment sizes follow the Win32 contract.
    kvtest::ScopedEnvironment variable("KVLOG_TEST_VARIABLE", "value");
    char buffer[16];
    EXPECT_EQ(os::GetEnvironmentVariableA("KVLOG_TEST_VARIABLE", buffer, sizeof(buffer)), 5u);
    EXPECT_STREQ(buffer, "value");
    EXPECT_EQ(os::GetEnvironmentVariableA("KVLOG_TEST_VARIABLE", buffer, 3), 6u);
}

// File attributes are checked through the utility's FileExists.
TEST(OsFileSystem, TimesErrorTextsSplitPathsAndMoves)
{
    SYSTEMTIME now{};
    os::GetLocalTime(&now);
    EXPECT_TRUE(now.wYear >= 2020 && now.wMilliseconds <= 999) << now.wYear;
    // The tick count moves on (its step is coarse on Windows, so no duration is asserted).
    const DWORD first = os::GetTickCount();
    EXPECT_TRUE(kvtest::WaitUntil([&] { return os::GetTickCount() != first; }, 2000));

    // The comparison uses both halves.
    const FILETIME early{0xFFFFFFFFu, 1};
    const FILETIME late{0, 2};
    EXPECT_EQ(os::CompareFileTime(&early, &late), -1);
    EXPECT_EQ(os::CompareFileTime(&late, &early), 1);
    EXPECT_EQ(os::CompareFileTime(&late, &late), 0);

    kvtest::TempDir dir;
    const CString file = dir.MakeFile("f.txt", "x");
    FILETIME before{};
    ASSERT_TRUE(os::GetFileLastWriteTime(file, &before));
    EXPECT_FALSE(os::GetFileLastWriteTime(dir.Sub("none"), &before));
    ASSERT_TRUE(kvtest::WaitUntil(
        [&]
        {
            kvtest::WriteWholeFile(file, "changed");
            FILETIME after{};
            return os::GetFileLastWriteTime(file, &after) &&
                   os::CompareFileTime(&after, &before) > 0;
        }));

    const CString text = os::GetErrorText(2); // "file not found" on both platforms
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_EQ(text.FindOneOf("\r\n"), -1);

    // SplitPath splits as the C library does.
    CString folder, name, ext;
    os::SplitPath(NativePath("\\a\\b.tar.gz"), nullptr, &folder, &name, &ext);
    EXPECT_EQ(folder + "|" + name + "|" + ext, NativePath("\\a\\|b.tar|.gz"));
    os::SplitPath("plain", nullptr, &folder, &name, &ext);
    EXPECT_EQ(folder + "|" + name + "|" + ext, "|plain|");

    // Only a regular file with one name is moved.
    dir.MakeFile("plain", "moved");
    dir.MakeFile("target", "replaced");
    dir.MakeFile("linked");
    std::filesystem::create_hard_link(dir.Sub("linked").GetString(), dir.Sub("second").GetString());
    dir.MakeDir("folder");
#ifndef _WIN32
    std::filesystem::create_symlink(dir.Sub("target").GetString(), dir.Sub("symbolic").GetString());
#endif
    DWORD error = 0;
    EXPECT_TRUE(os::MoveFileInFolder(dir.Path(), "plain", "target", error));
    EXPECT_EQ(error, 0u);
    for (const char* refused : {"missing", "linked", "folder", "symbolic"})
    {
        EXPECT_FALSE(os::MoveFileInFolder(dir.Path(), refused, "target", error)) << refused;
        EXPECT_NE(error, 0u) << refused;
    }
    EXPECT_EQ("moved", kvtest::ReadWholeFile(dir.Sub("target")));
}
