#include "CLogControlComponent.h"

#include "CLogControl.h"
#include "CSingleLock.h"
#include "kvlog.h"

namespace
{
struct BuiltInLevel
{
    const char* text;
    unsigned long level;
    unsigned long colour;
};

const BuiltInLevel kBuiltInLevels[] = {
    {"Error", 0x1, 0xFF0000},   {"Warning", 0x2, 0xFF9900},  {"Information", 0x4, 0x000000},
    {"Success", 0x8, 0x009900}, {"Debug", 0x8000, 0x707070},
};
} // namespace

CLogControlComponent::CLogControlComponent(CLogControl* controller,
                                           CLogComponentInterface* component, const char* name)
    : m_controller(controller), m_component(component), m_name(name)
{
}

unsigned long CLogControlComponent::GetLevelIndex(unsigned long level)
{
    return CLogComponent::ld(level);
}

void CLogControlComponent::AddLevelDescription(unsigned long level, const char* text, int stopFlag,
                                               unsigned long colour)
{
    CSingleLock lock(&m_lock, true);
    m_levelDescriptions.AddTail(new CLevelDescription(text, level, colour));
    if (m_controller == nullptr || m_controller->GetApplicationName().IsEmpty())
        return;
    SyncRegistry(m_controller, m_controller->GetMasterLevel(), stopFlag);
}

void CLogControlComponent::SyncRegistry(CLogControl* controller, unsigned long masterLevel,
                                        int stopFlag)
{
    CSingleLock lock(&m_lock, true);
    unsigned long colours[kColourCount];
    for (unsigned long& colour : colours)
        colour = kDefaultColour;
    if (controller == nullptr)
        return;
    for (const BuiltInLevel& builtIn : kBuiltInLevels)
        ApplyLevelColour(colours, builtIn.text, builtIn.level, builtIn.colour);
    for (POSITION position = m_levelDescriptions.GetHeadPosition(); position != nullptr;)
    {
        const CLevelDescription* description = m_levelDescriptions.GetNext(position);
        ApplyLevelColour(colours, description->m_text, description->m_level, description->m_colour);
    }
    PushInto(masterLevel, stopFlag, colours);
}

void CLogControlComponent::ApplyLevelColour(unsigned long* colours, const char* /*text*/,
                                            unsigned long level, unsigned long colour)
{
    // Bit 31 would need a 33rd entry; such a level keeps no colour of its own.
    const unsigned long index = GetLevelIndex(level);
    if (index < kColourCount)
        colours[index] = colour;
}

void CLogControlComponent::PushInto(unsigned long masterLevel, int stopFlag, unsigned long* colours)
{
    if (m_component == nullptr)
        return;
    m_component->hlpSetLevel(m_levelMask & masterLevel);
    m_component->hlpSetStopOnAssert(m_stopOnAssert != 0 && stopFlag != 0 ? 1 : 0);
    m_component->hlpSetLevelColors(colours, kColourCount);
}
