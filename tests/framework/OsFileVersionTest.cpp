#include "OsFileVersion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// The same expectations hold for the system's version API and for the POSIX reader of the file.
// The fixture's texts in both languages are checked through the utility's version reader.
TEST(OsFileVersion, QueriesTheFixture)
{
    const char* const fixture = KVLOG_TEST_DATA_DIR "/versionfixture.dll";
    DWORD handle = 77;
    const DWORD size = os::GetFileVersionInfoSizeA(fixture, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(size != 0 && os::GetFileVersionInfoA(fixture, handle, size, block.data()));

    void* value = nullptr;
    unsigned length = 0;
    ASSERT_TRUE(os::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u);
    const WORD pairs[4] = {0x0409, 0x04B0, 0x0407, 0x04E4};
    EXPECT_EQ(std::memcmp(value, pairs, sizeof(pairs)), 0);

    ASSERT_TRUE(os::VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, 52u);

    ASSERT_TRUE(os::VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\CompanyName", &value,
                                   &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Example Instruments Ltd");
    EXPECT_EQ(length, 24u);
    // Asked again, with other case and empty parts, the text is the same.
    ASSERT_TRUE(os::VerQueryValueA(block.data(), "stringfileinfo\\\\040904b0\\COMPANYNAME\\",
                                   &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Example Instruments Ltd");
    // Keys match whole: a shortened language is no table.
    EXPECT_FALSE(
        os::VerQueryValueA(block.data(), "\\StringFileInfo\\0409\\CompanyName", &value, &length));
}
