#include "KvlogTestFixture.h"

#include <numeric>

namespace
{
using ComponentTest = KvlogTest;

struct ColourProbe : CLogComponent
{
    ColourProbe() : CLogComponent("Probe", nullptr) {}
    using CLogComponent::hlpColourOf;
};

// A fresh component lets every level through and checks with the AND of the masks. The first
// component creates the controller; every one registers, also under a name already taken, and the
// controller stays when the last one goes.
TEST_F(ComponentTest, ComponentsRegisterOutliveTheControllerAndColourTheirLevels)
{
    CLogComponent* first = nullptr;
    CLogComponent* second = nullptr;
    auto motor = std::make_unique<CLogComponent>("Motor", &first);
    EXPECT_EQ(motor.get(), first); // the owner's slot holds the component while it lives
    EXPECT_EQ(0xFFFFFFFFUL, motor->GetLevel());
    EXPECT_EQ(0, motor->LogStopOnAssert());
    static_cast<CLogComponentInterface&>(*motor).hlpSetLevel(0xFF);
    EXPECT_EQ(4, motor->LogCheckLevel(LOG_INFORMATION));
    static_cast<CLogComponentInterface&>(*motor).hlpSetLevel(0x3);
    EXPECT_EQ(0, motor->LogCheckLevel(LOG_INFORMATION));
    CLogControl* controller = CLogControl::PeekInstance();
    ASSERT_NE(nullptr, controller);
    auto sameName = std::make_unique<CLogComponent>("Motor", &second);
    ASSERT_EQ(2, CLogControlTestPeer::GetComponentCount());
    EXPECT_EQ(second, CLogControlTestPeer::GetRecord(1)->GetInterface());
    // A level description goes to the record of its component; with the application unnamed it
    // waits for the next settings sync.
    sameName->AddLevelDescription(__FILE__, __LINE__, __func__, 0x10, "Trace", 0x0000FF);
    EXPECT_EQ(1, CLogControlTestPeer::GetRecord(1)->GetLevelDescriptionCount());

    motor.reset();
    sameName.reset();
    EXPECT_EQ(nullptr, first);
    EXPECT_EQ(0, CLogControlTestPeer::GetComponentCount());
    EXPECT_EQ(controller, CLogControl::PeekInstance());

    // A component that outlives the controller does nothing; everything returns its default.
    motor = std::make_unique<CLogComponent>("Motor", &first);
    CLogControl::DestroyInstance();
    os::DebugOutputCapture capture;
    motor->Log(LOG_ERROR, "dropped");
    motor->SetApplicationName("Late", 1);
    CLogComponent::OldWriteLoggingInfo(LOG_ERROR);
    const unsigned char bytes[2] = {'h', 'i'};
    motor->LogDump(LOG_ERROR, bytes, 2, "x");
    motor->LogStartBlock();
    motor->LogResetLogFile();
    EXPECT_EQ(0u, motor->LogGetLastBlockDuration());
    EXPECT_EQ(7u, motor->LogGetSetting("Key", 7ul));
    EXPECT_STREQ("dflt", motor->LogGetSetting("Key", "dflt"));
    EXPECT_STREQ("", motor->LogGetFilename());
    motor.reset();
    EXPECT_EQ(nullptr, first);
    EXPECT_EQ("", capture.GetText().str());

    // Until the controller sends its table every level has the default colour. A level's colour is
    // the entry of its highest bit; bit 31 has no entry of its own: such messages carry no colour.
    // Bits beyond the 32-bit level are ignored where unsigned long is wider.
    ColourProbe component;
    EXPECT_EQ(0x707070UL, component.hlpColourOf(1));
    unsigned long colours[32];
    std::iota(colours, colours + 32, 0x100UL);
    static_cast<CLogComponentInterface&>(component).hlpSetLevelColors(colours, 32);
    const unsigned long wide = static_cast<unsigned long>(-1) & ~0xFFFFFFFEUL;
    const unsigned long rows[][2] = {{0, 0x100},        {4, 0x103},
                                     {3, 0x102},        {0x40000000UL, 0x11F},
                                     {0x80000000UL, 0}, {wide, 0x101}};
    for (const auto& row : rows)
        EXPECT_EQ(row[1], component.hlpColourOf(row[0])) << row[0];
}
} // namespace
