#include "settings/CRegistrySync.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
TEST(CRegistrySync, EveryNameKeepsItsOwnEntryAndFormerNamesStayInForce)
{
    kvtest::TempDir dir;
    const CString path = dir.Sub("names.xdb");
    // In groups that earlier versions, or the blank rule alone, would give one name.
    const std::vector<const char*> names({"Achse \xC3\x84", "Achse \xC3\x96", "Axis:1 (links)",
                                          "Axis_1__links_", "a b", "a_b", " Level", "_Level", "",
                                          "_", " ", "x\\y", "x/y", "a x0041_", "a_x0041_", "aA"});
    {
        CRegistrySync writer;
        ASSERT_TRUE(writer.Open(path));
        for (unsigned long i = 0; i < names.size(); ++i)
        {
            writer.SetUserNumber(names[i], i);
            writer.SetNumber(writer.ComponentSection(names[i]), "_Level", i);
        }
        ASSERT_EQ(1, writer.Save());
    }
    CRegistrySync reader;
    ASSERT_TRUE(reader.Open(path));
    for (unsigned long i = 0; i < names.size(); ++i)
    {
        EXPECT_EQ(i, reader.GetUserNumber(names[i], 999)) << names[i];
        EXPECT_EQ(i, reader.ReadNumber(reader.ComponentSection(names[i]), "_Level", 999))
            << names[i];
    }
    EXPECT_FALSE(reader.IsModified());

    // A file of an earlier version, whose names lost every character but letters, digits, "_", "-"
    // and ".": each value is taken over by the names that gave it.
    const CString old =
        dir.MakeFile("old.xdb", "<Korvel><Motor_Control _Level=\"8\" ></Motor_Control>"
                                "<UserDefined max_speed=\"7\" Max_Speed__mm_s_=\"5\" "
                                "Plain=\"3\" ></UserDefined></Korvel>");
    CRegistrySync store;
    ASSERT_TRUE(store.Open(old));
    EXPECT_EQ(8UL, store.ReadNumber(store.ComponentSection("Motor Control"), "_Level", 0));
    EXPECT_EQ(8UL, store.ReadNumber(store.ComponentSection("Motor_Control"), "_Level", 0));
    EXPECT_EQ(7UL, store.GetUserNumber("max_speed", 0));
    EXPECT_EQ("5", store.GetUserString("Max Speed <mm/s>", ""));
    EXPECT_EQ(3UL, store.GetUserNumber("Plain", 0));
    ASSERT_EQ(1, store.Save());
    store.Close();

    // Taken over once: the names' own entries now hold the values, and go their own ways.
    ASSERT_TRUE(store.Open(old));
    store.SetNumber(store.ComponentSection("Motor_Control"), "_Level", 2);
    EXPECT_EQ(8UL, store.ReadNumber(store.ComponentSection("Motor Control"), "_Level", 0));
    EXPECT_EQ(2UL, store.ReadNumber(store.ComponentSection("Motor_Control"), "_Level", 0));
    EXPECT_EQ(7UL, store.GetUserNumber("max_speed", 0));
}
} // namespace
