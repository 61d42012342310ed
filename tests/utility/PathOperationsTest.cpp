#include "PathOperations.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using kvtest::NativePath;

// FileExists holds only for files; environment values that do not fit count as unset.
TEST(PathOperations, EditsPathsBoundsNamesAndFindsFilesModulesAndValues)
{
    EXPECT_EQ(NormalizePath("a/b\\c"), NativePath("a\\b\\c"));
    EXPECT_EQ(NormalizePath(NativePath("a\\\\\\")), "a");
    EXPECT_EQ(NormalizePath(nullptr), "");

    EXPECT_EQ(GetPathDirectory(NativePath("C:\\a\\b.txt")), NativePath("C:\\a"));
    EXPECT_EQ(GetPathFileName(NativePath("C:\\a\\ctrl")), "ctrl");
    EXPECT_EQ(GetPathDirectory("file.txt"), "");
    EXPECT_EQ(GetPathFileName(NativePath("C:\\a\\")), "");
    EXPECT_EQ(ReplaceSpaces(" a\tb "), "_a\tb_");

    EXPECT_EQ(NumberedFileName("log_App.htm", 1), "log_App.1.htm");
    EXPECT_EQ(NumberedFileName(NativePath("log.d\\trace"), 12), NativePath("log.d\\trace.12"));

    // Appending leaves exactly one separator or dot.
    CString path = NativePath("C:\\a");
    EXPECT_EQ(AppendPath(path, NativePath("\\b")), NativePath("C:\\a\\b"));
    EXPECT_EQ(AppendPath(path, NativePath("\\\\")), NativePath("C:\\a\\b"));
    // The element is appended as it is when the path is not empty.
    EXPECT_EQ(AppendPath(path, NativePath("c\\")), NativePath("C:\\a\\b\\c\\"));
    CString empty;
    EXPECT_EQ(AppendPath(empty, NativePath("x/y\\")), NativePath("x\\y"));

    CString stem = "xdb_App";
    EXPECT_EQ(AppendExtension(stem, ".xdb"), "xdb_App.xdb");
    EXPECT_EQ(AppendExtension(stem, "..."), "xdb_App.xdb.");

    const CString full = GetFullPath(NativePath("x\\..\\y\\."));
    EXPECT_EQ(full, GetFullPath("y"));
    EXPECT_EQ(full.Right(2), NativePath("\\y"));
    EXPECT_EQ(GetFullPath(""), "");
    // A drive root stays the root, whatever the current folder of that drive is.
    const CString current = GetFullPath(".");
    EXPECT_TRUE(current.GetLength() <= 2 || current[1] != ':' ||
                GetFullPath(current.Left(2)) == current.Left(2));
    // Beyond 260 characters there is no defined absolute form: the result is empty.
    EXPECT_EQ(GetFullPath(std::string(300, 'p').c_str()), "");

    // Names that stay inside a folder.
    for (const char* name : {"log.htm", "sub/log.htm", "sub\\deeper\\log.htm", "a..b.htm",
                             "console.htm", "COM10", "nul_", "sub/"})
        EXPECT_TRUE(IsNameInsideFolder(name)) << name;
    for (const char* name :
         {"", "..", "a/../../x", "a/...", "a/. ./x", "/etc/passwd", "\\\\host\\share", "C:x",
          "x.htm:stream", "CON", "con.txt", "a/Nul.htm", "PRN ", "COM1", "lpt9.log", "CONIN$", "."})
        EXPECT_FALSE(IsNameInsideFolder(name)) << name;

    kvtest::TempDir dir;
    EXPECT_TRUE(FileExists(dir.MakeFile("f.txt", "x")));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Sub("missing")));
    EXPECT_FALSE(FileExists(""));

    const CString program = GetModulePath();
    EXPECT_NE(program.Find("utility_tests"), -1);
    EXPECT_EQ(GetModuleDirectory(), GetPathDirectory(program));
    static int programData = 0;
    EXPECT_EQ(GetModuleDirectory(&programData), GetModuleDirectory()); // data of the program itself

    EXPECT_EQ(GetEnvironmentValue("KVLOG_TEST_UNSET"), "");
    // A value that does not fit the 4096-byte buffer counts as unset.
    kvtest::ScopedEnvironment tooLong("KVLOG_TEST_VALUE", std::string(4096, 'v').c_str());
    EXPECT_EQ(GetEnvironmentValue("KVLOG_TEST_VALUE"), "");
    kvtest::ScopedEnvironment fits("KVLOG_TEST_VALUE", std::string(4095, 'v').c_str());
    EXPECT_EQ(GetEnvironmentValue("KVLOG_TEST_VALUE").GetLength(), 4095);
}
