#include "CULRegistry.h"
#include "CULRegistryEx.h"
#include "OsRegistry.h"

#include <gtest/gtest.h>

namespace
{
// A scratch key below the current user's "Software", deleted after each test.
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
        CULRegistry::DeleteKey(HKEY_CURRENT_USER, "Software", "KvlogTests", KEY_ALL_ACCESS, "\\");
    }
};
} // namespace

TEST_F(CULRegistryTest, CreatesPathsAndRoundTripsValues)
{
    CULRegistry registry;
    ASSERT_TRUE(
        registry.Open(HKEY_CURRENT_USER, "Software\\KvlogTests\\\\ A \\B", KEY_ALL_ACCESS, "\\"));
    EXPECT_FALSE(registry.Open(HKEY_CURRENT_USER, "Software", KEY_READ, "\\")); // already open

    ASSERT_TRUE(registry.SetString("Name", "abc"));
    CString value;
    EXPECT_TRUE(registry.GetString("Name", value));
    EXPECT_EQ(value, "abc");
    EXPECT_FALSE(registry.GetString("Missing", value));
    EXPECT_TRUE(registry.DeleteValue("Name"));
    EXPECT_FALSE(registry.DeleteValue("Name"));
    registry.Close();

    CULRegistryEx reopened; // " A " and "B" were created as two trimmed levels
    ASSERT_TRUE(reopened.Open(HKEY_CURRENT_USER, "Software/KvlogTests/A/B", KEY_READ, "/"));
    EXPECT_FALSE(CULRegistry::DeleteKey(HKEY_CURRENT_USER, "Software", "KvlogTestsMissing",
                                        KEY_ALL_ACCESS, "\\"));
}

TEST(CULRegistry, ClosedAndRootOnlyWrappersBehaveAlikeOnEveryPlatform)
{
    CULRegistry registry;
    EXPECT_FALSE(registry.SetString("x", "y"));
    // A level that cannot be opened leaves the wrapper closed.
    EXPECT_FALSE(registry.Open(nullptr, "Software\\KvlogTests", KEY_ALL_ACCESS, "\\"));
    EXPECT_FALSE(registry.IsOpen());

    // A path of delimiters only opens the root itself, which closing leaves open; without a
    // registry no level below it opens.
    ASSERT_TRUE(registry.Open(HKEY_CURRENT_USER, " \\ \\\\", KEY_READ, "\\"));
    registry.Close();
    EXPECT_EQ(registry.Open(HKEY_CURRENT_USER, "Software", KEY_READ, "\\"), os::kRegistryAvailable);
}
