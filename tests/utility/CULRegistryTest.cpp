#include "CULRegistry.h"
#include "CULRegistryEx.h"
#include "OsRegistry.h"

#include <gtest/gtest.h>

TEST(CULRegistry, CreatesTrimmedPathsAndRoundTripsValues)
{
    CULRegistry registry;
    // A level that cannot be opened leaves the wrapper closed.
    EXPECT_FALSE(registry.Open(nullptr, "Software\\KvlogTests", KEY_ALL_ACCESS, "\\"));
    // A path of delimiters only opens the root itself, which closing leaves open; without a
    // registry no level below it opens.
    ASSERT_TRUE(registry.Open(HKEY_CURRENT_USER, " \\ \\\\", KEY_READ, "\\"));
    registry.Close();
    ASSERT_EQ(registry.Open(HKEY_CURRENT_USER, "Software", KEY_READ, "\\"), os::kRegistryAvailable);
    if (!os::kRegistryAvailable)
        return;
    registry.Close();

    ASSERT_TRUE(
        registry.Open(HKEY_CURRENT_USER, "Software\\KvlogTests\\\\ A \\B", KEY_ALL_ACCESS, "\\"));
    EXPECT_FALSE(registry.Open(HKEY_CURRENT_USER, "Software", KEY_READ, "\\")); // already open
    ASSERT_TRUE(registry.SetString("Name", "abc"));
    CString value;
    EXPECT_TRUE(registry.GetString("Name", value));
    EXPECT_EQ(value, "abc");
    EXPECT_TRUE(registry.DeleteValue("Name"));
    EXPECT_FALSE(registry.DeleteValue("Name"));
    registry.Close();

    CULRegistryEx reopened; // " A " and "B" were created as two trimmed levels
    EXPECT_TRUE(reopened.Open(HKEY_CURRENT_USER, "Software/KvlogTests/A/B", KEY_READ, "/"));
    reopened.Close();
    EXPECT_TRUE(
        CULRegistry::DeleteKey(HKEY_CURRENT_USER, "Software", "KvlogTests", KEY_ALL_ACCESS, "\\"));
}
