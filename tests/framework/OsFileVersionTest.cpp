#include "OsFileVersion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// The same expectations hold for the system's version API and for the POSIX reader of the file.
namespace
{
const char* const kFixture = KVLOG_TEST_DATA_DIR "/versionfixture.dll";

std::vector<char> ReadBlock(const char* path)
{
    DWORD handle = 77;
    const DWORD size = os::GetFileVersionInfoSizeA(path, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    if (size == 0 || !os::GetFileVersionInfoA(path, handle, size, block.data()))
        block.clear();
    return block;
}

std::string QueryText(std::vector<char>& block, const char* subBlock)
{
    void* value = nullptr;
    unsigned length = 0;
    if (!os::VerQueryValueA(block.data(), subBlock, &value, &length) || length == 0)
        return "<missing>";
    return std::string(static_cast<const char*>(value));
}
} // namespace

TEST(OsFileVersion, QueriesTheFixture)
{
    std::vector<char> block = ReadBlock(kFixture);
    ASSERT_FALSE(block.empty());

    void* value = nullptr;
    unsigned length = 0;
    ASSERT_TRUE(os::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u);
    WORD pairs[4] = {};
    std::memcpy(pairs, value, sizeof(pairs));
    EXPECT_EQ(pairs[0], 0x0409);
    EXPECT_EQ(pairs[1], 0x04B0);
    EXPECT_EQ(pairs[2], 0x0407);
    EXPECT_EQ(pairs[3], 0x04E4);

    ASSERT_TRUE(os::VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, 52u);

    ASSERT_TRUE(os::VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\CompanyName", &value,
                                   &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Example Instruments Ltd");
    EXPECT_EQ(length, 24u);
    // Asked twice, or with other case and separators, the text is the same.
    EXPECT_EQ(QueryText(block, "stringfileinfo\\040904b0\\COMPANYNAME"), "Example Instruments Ltd");
    EXPECT_EQ(QueryText(block, "\\StringFileInfo\\040704E4\\FileDescription"),
              "Versionsbibliothek zum Testen");
    EXPECT_EQ(QueryText(block, "\\StringFileInfo\\040904B0\\CompanyName"),
              "Example Instruments Ltd");
    EXPECT_EQ(QueryText(block, "\\StringFileInfo\\040704E4\\LegalCopyright"), "<missing>");
    EXPECT_EQ(QueryText(block, "\\StringFileInfo\\041104B0\\CompanyName"), "<missing>");
}
