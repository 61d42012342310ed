// Logs one scenario through kvlog.h's classes or through the header-only wrapper over the C
// interface, as the first argument says ("kvlog.h" or "wrapper"). Both must leave the same log.
#include "kvlog.h"
#include "kvlog_c.hpp"

#include <cstring>
#include <string>

namespace
{
const unsigned char kBytes[] = {0x00, 0x10, 0x7F, 0x80, 0xFE, 0xFF, 'k', 'v', 'l', 'o', 'g'};

template <class Component> void Scenario()
{
    Component* slot = nullptr;
    Component motor("Motor", &slot);
    Component camera("Camera", nullptr);
    motor.SetApplicationName("Same Log", 1);
    camera.AddLevelDescription(__FILE__, __LINE__, __func__, 0x100UL, "Custom", 0x123456UL);
    camera.Log(__FILE__, __LINE__, __func__, 0x100UL, "Custom", "a level of the program's own");
    motor.Log(LOG_INFORMATION, "axis %d at %.2f mm, %s", 2, 12.5, "moving");
    motor.LogID(LOG_WARNING, "CAM-17", "exposure %u%%", 95u);
    motor.LogID(LOG_INFORMATION, 4294967295UL, "numeric ID");
    motor.LogFunc(LOG_SUCCESS, "homed");
    motor.LogFuncID(LOG_INFORMATION, "F-1", "function with text ID");
    motor.LogFuncID(LOG_INFORMATION, 42UL, "function with numeric ID");
    motor.LogAssert(LOG_DEBUG, "x > 0", "assert at a filtered level, x = %d", -1);
    motor.LogAssertID(LOG_ERROR, "ready", "A-1", "assert with text ID");
    motor.LogAssertID(LOG_ERROR, "ready", 7UL, "assert with numeric ID");
    Component::OldWriteLoggingInfo(__FILE__, __LINE__, __func__, 3, "the older interface");
    LOG_ASSERT(slot, slot->GetLevel() != 0, "level %lu", slot->GetLevel());
    motor.LogDump(LOG_INFORMATION, kBytes, sizeof kBytes, "dump");
    motor.LogDumpID(LOG_INFORMATION, "D-1", kBytes, 4, "dump %s", "with ID");
    motor.LogDumpID(LOG_INFORMATION, 9UL, kBytes, 5, nullptr);
    motor.LogFuncDump(LOG_WARNING, kBytes, 6, "function dump");
    motor.LogFuncDumpID(LOG_WARNING, "D-2", kBytes, 7, nullptr);
    motor.LogFuncDumpID(LOG_WARNING, 10UL, kBytes, 8, "last %d", 8);

    motor.LogStartBlock();
    motor.LogStartBlock(LOG_INFORMATION);
    motor.Log(LOG_INFORMATION, "two blocks deep");
    motor.LogStartBlock(LOG_DEBUG);
    motor.LogEndBlock(LOG_INFORMATION);
    motor.LogEndBlock();
    motor.LogStartLine();
    motor.Log(LOG_WARNING, "composed ");
    motor.LogID(LOG_INFORMATION, "L-1", "from %d ", 3);
    motor.LogDump(LOG_INFORMATION, kBytes, 2, "a dump comes first");
    motor.LogFunc(LOG_INFORMATION, "parts");
    motor.LogEndLine(__FILE__, __LINE__, __func__);
    motor.LogSetSetting("Mode", "fast");
    motor.LogSetSetting("Count", 5UL);
    motor.Log(LOG_INFORMATION, "settings %s %lu %lu",
              std::string(motor.LogGetSetting("Mode", "")).c_str(),
              motor.LogGetSetting("Count", 0UL), motor.LogGetSetting("Missing", 11UL));
    motor.Log(LOG_INFORMATION, "slot %s, level check %d", slot == &motor ? "set" : "unset",
              motor.LogCheckLevel(LOG_WARNING));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "kvlog.h") == 0)
        Scenario<CLogComponent>();
    else if (argc > 1 && std::strcmp(argv[1], "wrapper") == 0)
        Scenario<kvlog::CLogComponent>();
    else
        return 2;
    return 0;
}
