#include "OsDebugOutput.h"
#include "OsEnvironment.h"
#include "OsFileSystem.h"
#include "OsProcess.h"
#include "OsRegistry.h"
#include "OsTime.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using kvtest::NativePath;

TEST(OsDebugOutput, CapturesNestAndReleaseInOrder)
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
    outer.Clear();
    EXPECT_TRUE(outer.GetText().IsEmpty());
}

TEST(OsDebugOutput, KeepsEveryTextOfConcurrentWriters)
{
    os::DebugOutputCapture capture;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            []
            {
                for (int i = 0; i < 250; ++i)
                    os::OutputDebugStringA("0123456789\n");
            });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(capture.GetText().GetLength(), 4 * 250 * 11);
}

TEST(OsTime, LocalTimeIsPlausibleAndTicksDoNotGoBack)
{
    SYSTEMTIME now{};
    os::GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2020);
    EXPECT_GE(now.wMonth, 1);
    EXPECT_LE(now.wMonth, 12);
    EXPECT_LE(now.wMilliseconds, 999);
    const DWORD first = os::GetTickCount();
    os::Sleep(20);
    EXPECT_GE(static_cast<DWORD>(os::GetTickCount() - first), 15u);
}

TEST(OsTime, CompareFileTimeUsesBothHalves)
{
    const FILETIME early{0xFFFFFFFFu, 1};
    const FILETIME late{0, 2};
    EXPECT_EQ(os::CompareFileTime(&early, &late), -1);
    EXPECT_EQ(os::CompareFileTime(&late, &early), 1);
    EXPECT_EQ(os::CompareFileTime(&late, &late), 0);
}

TEST(OsProcess, IdentityOfTheRunningProgram)
{
    EXPECT_NE(os::GetCurrentThreadId(), 0u);
    DWORD otherThread = 0;
    std::thread([&] { otherThread = os::GetCurrentThreadId(); }).join();
    EXPECT_NE(otherThread, os::GetCurrentThreadId());

    EXPECT_NE(os::GetCommandLineA().Find("framework_tests"), -1);
    CString program;
    ASSERT_TRUE(os::GetModuleFileNameA(nullptr, program));
    EXPECT_NE(program.Find("framework_tests"), -1);
    EXPECT_FALSE(os::GetModuleFileNameA(nullptr, program, 4)); // does not fit: no truncated name
    EXPECT_TRUE(program.IsEmpty());
}

TEST(OsFileSystem, FullPathResolvesDotsLexically)
{
    CString full;
    ASSERT_TRUE(os::GetFullPathNameA(NativePath("a\\.\\b\\..\\c"), full));
    EXPECT_EQ(full.Right(4), NativePath("\\a\\c"));
    EXPECT_FALSE(os::GetFullPathNameA("", full));
    const std::string longName(400, 'x');
    EXPECT_FALSE(os::GetFullPathNameA(longName.c_str(), full));
}

TEST(OsFileSystem, AttributesAndWriteTimes)
{
    kvtest::TempDir dir;
    const CString file = dir.MakeFile("f.txt", "x");
    EXPECT_EQ(os::GetFileAttributesA(dir.Sub("none")), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(os::GetFileAttributesA(dir.Path()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(os::GetFileAttributesA(file) & FILE_ATTRIBUTE_DIRECTORY, 0u);

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
}

TEST(OsFileSystem, SplitPathAsTheCLibrarySplits)
{
    CString dir;
    CString name;
    CString ext;
    os::SplitPath(NativePath("\\a\\b.tar.gz"), nullptr, &dir, &name, &ext);
    EXPECT_EQ(dir, NativePath("\\a\\"));
    EXPECT_EQ(name, "b.tar");
    EXPECT_EQ(ext, ".gz");
    os::SplitPath("plain", nullptr, &dir, &name, &ext);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(name, "plain");
    EXPECT_EQ(ext, "");
}

TEST(OsFileSystem, ErrorTextsAreTextWithoutLineBreaks)
{
    const CString text = os::GetErrorText(2); // "file not found" on both platforms
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_EQ(text.FindOneOf("\r\n"), -1);
}

TEST(OsEnvironment, SizesFollowTheWin32Contract)
{
    kvtest::ScopedEnvironment variable("KVLOG_TEST_VARIABLE", "value");
    char buffer[16];
    EXPECT_EQ(os::GetEnvironmentVariableA("KVLOG_TEST_VARIABLE", buffer, sizeof(buffer)), 5u);
    EXPECT_STREQ(buffer, "value");
    EXPECT_EQ(os::GetEnvironmentVariableA("KVLOG_TEST_VARIABLE", buffer, 3), 6u);
    os::SetEnvironmentVariableA("KVLOG_TEST_VARIABLE", nullptr);
    EXPECT_EQ(os::GetEnvironmentVariableA("KVLOG_TEST_VARIABLE", buffer, sizeof(buffer)), 0u);
}

TEST(OsRegistry, FailsEverywhereWithoutARegistry)
{
    if (os::kRegistryAvailable)
        GTEST_SKIP() << "this platform has a registry";
    HKEY key = nullptr;
    EXPECT_FALSE(os::RegCreateKeyExA(HKEY_CURRENT_USER, "Software", KEY_READ, &key));
    EXPECT_FALSE(os::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", KEY_READ, &key));
    DWORD size = 0;
    EXPECT_FALSE(os::RegQueryValueExA(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, &size));
    EXPECT_FALSE(os::SHDeleteKeyA(HKEY_CURRENT_USER, "Software"));
}
