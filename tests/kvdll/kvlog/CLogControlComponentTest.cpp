#include "KvlogTestFixture.h"

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

TEST_F(ControlComponentTest, SyncPushesMaskLimitedByMasterLevelAndBuiltInColours)
{
    CLogComponent owner("Owner", nullptr);
    PushRecorder component;
    CLogControlComponent record(&CLogControlTestPeer::Controller(), &component, "Motion");
    EXPECT_EQ("Motion", record.GetName());
    EXPECT_EQ(&component, record.GetInterface());

    record.SyncRegistry(&CLogControlTestPeer::Controller(), 15, 1);
    EXPECT_EQ(15UL, component.level);
    EXPECT_EQ(1, component.stop);
    ASSERT_EQ(32U, component.colours.size());
    EXPECT_EQ(0x707070UL, component.colours[0]);
    EXPECT_EQ(0xFF0000UL, component.colours[1]);
    EXPECT_EQ(0xFF9900UL, component.colours[2]);
    EXPECT_EQ(0x000000UL, component.colours[3]);
    EXPECT_EQ(0x009900UL, component.colours[4]);
    EXPECT_EQ(0x707070UL, component.colours[16]);

    record.SyncRegistry(&CLogControlTestPeer::Controller(), 4, 0);
    EXPECT_EQ(4UL, component.level);
    EXPECT_EQ(0, component.stop);
}

TEST_F(ControlComponentTest, SyncWithoutControllerPushesNothing)
{
    PushRecorder component;
    CLogControlComponent record(nullptr, &component, "Motion");
    record.SyncRegistry(nullptr, 15, 1);
    EXPECT_EQ(-1, component.stop);
    EXPECT_TRUE(component.colours.empty());
    CLogControlComponent orphan(nullptr, nullptr, "Orphan");
    orphan.AddLevelDescription(0x10, "Trace", 1, 0xFF);
    orphan.SyncRegistry(nullptr, 15, 1);
    EXPECT_EQ(1, orphan.GetLevelDescriptionCount());
}

TEST_F(ControlComponentTest, LevelDescriptionsOverrideColoursButNeverPastTheTable)
{
    CLogComponent owner("Owner", nullptr);
    owner.SetApplicationName("Named", 1);
    PushRecorder component;
    CLogControl* controller = &CLogControlTestPeer::Controller();
    CLogControlComponent record(controller, &component, "Motion");
    // Named application: each description synchronises at once.
    record.AddLevelDescription(0x10, "Trace", 1, 0x0000FF);
    ASSERT_EQ(32U, component.colours.size());
    EXPECT_EQ(0x0000FFUL, component.colours[5]);
    record.AddLevelDescription(0x1, "Fatal", 1, 0x123456);
    EXPECT_EQ(0x123456UL, component.colours[1]);
    record.AddLevelDescription(0x80000000UL, "Top", 1, 0xABCDEF);
    EXPECT_EQ(32U, component.colours.size());
    for (unsigned long colour : component.colours)
        EXPECT_NE(0xABCDEFUL, colour);
    EXPECT_EQ(3, record.GetLevelDescriptionCount());
}

TEST(LevelIndexTest, IndexIsTheBitLength)
{
    EXPECT_EQ(0UL, CLogControlComponent::GetLevelIndex(0));
    EXPECT_EQ(5UL, CLogControlComponent::GetLevelIndex(0x10));
    EXPECT_EQ(32UL, CLogControlComponent::GetLevelIndex(0x80000000UL));
}
} // namespace
