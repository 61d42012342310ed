#include "SettingsTestSupport.h"

#include <algorithm>

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

using ControlComponentTest = KvlogTest;

// The record against a real settings file, opened around each sync as the controller does: it
// pushes the mask limited by the master level, and the built-in colours.
TEST_F(ControlComponentTest, SectionEntriesAreWrittenOnceAndOnlyTheStoredValuesAreRead)
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
    EXPECT_EQ(3, record.GetLevelDescriptionCount());
    const std::string text = kvtest::ReadWholeFile(file);
    EXPECT_EQ(1, kvtest::CountOf(text, "Zero=\"0\" \r\n\t\tZero_Color=\"1118481\""));
    EXPECT_EQ(1, kvtest::CountOf(text, "Top=\"32\" \r\n\t\tTop_Color=\"11259375\""));
    EXPECT_EQ(1, kvtest::CountOf(text, "Error_Color=\"255\""));
}
} // namespace
