// The settings file's sections and entries as the control records and the store keep them.
#include "SettingsTestSupport.h"
#include "settings/CRegistrySync.h"

#include <algorithm>
#include <vector>

namespace
{
class PushRecorder : public CLogComponentInterface
{
public:
    void hlpSetLevel(unsigned long value) override { level = value; }
    void hlpSetStopOnAssert(int value) override { stop = value; }
    void hlpSetLevelColors(unsigned long* values, unsigned long count) override
    {
        colours.assign(values, values + count);
    }

    unsigned long level = 0;
    int stop = -1;
    std::vector<unsigned long> colours;
};

// The record against a real settings file, opened around each sync as the controller does: it
// pushes the mask limited by the master level, and the built-in colours.
TEST_F(KvlogTest, SectionEntriesAreWrittenOnceAndOnlyTheStoredValuesAreRead)
{
    CLogComponent owner("Owner", nullptr);
    owner.SetApplicationName("Named", 1);
    CLogControl& controller = CLogControlTestPeer::Controller();
    const CString file = controller.GetSettingsFileName();
    PushRecorder component;
    CLogControlComponent record(&controller, &component, "Motion");
    CLogControlComponent twin(&controller, nullptr, "Motion");
    const auto sync = [&](CLogControlComponent& which, unsigned long masterLevel, int stopFlag)
    {
        // The watch thread reloads through the same store, which Open takes for this thread.
        ASSERT_NE(0, controller.Open(file));
        which.SyncRegistry(&controller, masterLevel, stopFlag);
        controller.Save();
        controller.Close();
    };
    sync(record, 15, 1);
    ASSERT_EQ(32U, component.colours.size());
    EXPECT_EQ(0xFF0000UL, component.colours[1]);
    EXPECT_EQ(0x707070UL, component.colours[16]); // a level without a description
    const std::string written = kvtest::ReadWholeFile(file);
    sync(twin, 15, 1); // the same name finds every entry present
    EXPECT_EQ(written, kvtest::ReadWholeFile(file));

    // An edited colour entry changes nothing. A description with level 0 lands at index 0; one
    // with bit 31 keeps its entries but no colour of its own, never one past the table; an
    // existing entry keeps its value.
    ASSERT_TRUE(
        kvtest::EditSettingsFile(file, "Motion", {{"_Level", "0x8"}, {"Error_Color", "255"}}));
    record.AddLevelDescription(0, "Zero", 0x111111);
    record.AddLevelDescription(0x80000000UL, "Top", 0xABCDEF);
    record.AddLevelDescription(0x1, "Error", 0x123456);
    sync(record, 4, 0);
    EXPECT_EQ(0UL, component.level); // the stored 8 under the master level 4
    EXPECT_EQ(0, component.stop);
    ASSERT_EQ(32U, component.colours.size());
    EXPECT_EQ(0x111111UL, component.colours[0]);
    EXPECT_EQ(0x123456UL, component.colours[1]);
    EXPECT_EQ(0, std::count(component.colours.begin(), component.colours.end(), 0xABCDEFUL));
    const std::string text = kvtest::ReadWholeFile(file);
    EXPECT_EQ(1, kvtest::CountOf(text, "Zero=\"0\" \r\n\t\tZero_Color=\"1118481\""));
    EXPECT_EQ(1, kvtest::CountOf(text, "Top=\"32\" \r\n\t\tTop_Color=\"11259375\""));
    EXPECT_EQ(1, kvtest::CountOf(text, "Error_Color=\"255\""));

    // The store keeps every name's own section and entry, also in groups that earlier versions,
    // or the blank rule alone, would give one name.
    kvtest::TempDir dir;
    const CString path = dir.Sub("names.xdb");
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
