#include "CULRegistry.h"
#include "CULRegistryEx.h"
#include "OsRegistry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
const char kTestParent[] = "Software\\KvlogTests";

class CULRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!os::kRegistryAvailable)
            GTEST_SKIP() << "no registry on this platform";
    }
    void TearDown() override
    {
        if (os::kRegistryAvailable)
            CULRegistry::DeleteKey(HKEY_CURRENT_USER, "Software", "KvlogTests", KEY_ALL_ACCESS,
                                   "\\");
    }
};
} // namespace

TEST_F(CULRegistryTest, CreatesPathsAndRoundTripsValues)
{
    CULRegistry registry;
    ASSERT_TRUE(
        registry.Open(HKEY_CURRENT_USER, "Software\\KvlogTests\\\\ A \\B", KEY_ALL_ACCESS, "\\"));
    EXPECT_TRUE(registry.IsOpen());
    EXPECT_FALSE(registry.Open(HKEY_CURRENT_USER, "Software", KEY_READ, "\\")); // already open

    ASSERT_TRUE(registry.SetString("Name", "abc"));
    unsigned char raw[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(registry.GetValue("Name", raw, sizeof(raw)));
    EXPECT_EQ(std::memcmp(raw, "abc\0", 4), 0); // the terminating zero is stored too

    CString value = "unchanged";
    EXPECT_TRUE(registry.GetString("Name", value));
    EXPECT_EQ(value, "abc");
    EXPECT_FALSE(registry.GetString("Missing", value));
    EXPECT_EQ(value, "abc");
    EXPECT_FALSE(registry.GetString(nullptr, value)); // no default value set

    EXPECT_TRUE(registry.DeleteValue("Name"));
    EXPECT_FALSE(registry.DeleteValue("Name"));
    registry.Close();
    EXPECT_FALSE(registry.IsOpen());

    CULRegistryEx reopened; // " A " and "B" were created as two trimmed levels
    ASSERT_TRUE(reopened.Open(HKEY_CURRENT_USER, "Software/KvlogTests/A/B", KEY_READ, "/"));
}

TEST_F(CULRegistryTest, DelimiterOnlyPathOpensTheRoot)
{
    CULRegistry registry;
    ASSERT_TRUE(registry.Open(HKEY_CURRENT_USER, " \\ \\\\", KEY_READ, "\\"));
    EXPECT_TRUE(registry.IsOpen());
    registry.Close(); // closes nothing: the root is not the wrapper's
    ASSERT_TRUE(registry.Open(HKEY_CURRENT_USER, "Software", KEY_READ, "\\"));
}

TEST_F(CULRegistryTest, ClosedWrapperAndFailedOpenReportFalse)
{
    CULRegistry registry;
    CString value;
    EXPECT_FALSE(registry.GetString("x", value));
    EXPECT_FALSE(registry.SetString("x", "y"));
    EXPECT_FALSE(registry.DeleteValue("x"));
    // A level that cannot be opened leaves the wrapper closed.
    EXPECT_FALSE(registry.Open(nullptr, "Software\\KvlogTests", KEY_ALL_ACCESS, "\\"));
    EXPECT_FALSE(registry.IsOpen());
    EXPECT_FALSE(CULRegistry::DeleteKey(nullptr, "Software", "KvlogTests", KEY_ALL_ACCESS, "\\"));
    EXPECT_FALSE(CULRegistry::DeleteKey(HKEY_CURRENT_USER, "Software", "KvlogTestsMissing",
                                        KEY_ALL_ACCESS, "\\"));
}

TEST(CULRegistryWithoutRegistry, EveryOperationFails)
{
    if (os::kRegistryAvailable)
        GTEST_SKIP() << "this platform has a registry";
    CULRegistryEx registry;
    EXPECT_FALSE(registry.Open(HKEY_CLASSES_ROOT, "CLSID\\x", KEY_READ, "\\"));
    EXPECT_FALSE(registry.IsOpen());
    EXPECT_TRUE(registry.Open(HKEY_CLASSES_ROOT, "", KEY_READ, "\\")); // no level to open
    CString value;
    EXPECT_FALSE(registry.GetString(nullptr, value));
    EXPECT_FALSE(CULRegistry::DeleteKey(HKEY_CURRENT_USER, "", "x", KEY_ALL_ACCESS, "\\"));
}
