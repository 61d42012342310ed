#include "settings/CLogControlComponent.h"

#include "CSingleLock.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

namespace
{
struct BuiltInLevel
{
    const char* text;
    unsigned long level;
    unsigned long colour;
};

// "_StopOnAssert" of a new section: any value other than 0 leaves the component's flag on.
const unsigned long kNewStopOnAssert = 5300;

const BuiltInLevel kBuiltInLevels[] = {
    {"Error", 0x1, 0xFF0000},   {"Warning", 0x2, 0xFF9900},  {"Information", 0x4, 0x000000},
    {"Success", 0x8, 0x009900}, {"Debug", 0x8000, 0x707070},
};
} // namespace

CLogControlComponent::CLogControlComponent(CLogControl*, CLogComponentInterface* component,
                                           const char* name)
    : m_component(component), m_name(name)
{
}

unsigned long CLogControlComponent::GetLevelIndex(unsigned long level)
{
    return CLogComponent::ld(level);
}

void CLogControlComponent::AddLevelDescription(unsigned long level, const char* text,
                                               unsigned long colour)
{
    CSingleLock lock(&m_lock, true);
    m_levelDescriptions.AddTail(new CLevelDescription(text, level, colour));
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
    const CString section = controller->ComponentSection(m_name);
    ReadStoredValues(*controller, section);
    PushLevelAndStop(masterLevel, stopFlag);
    for (const BuiltInLevel& builtIn : kBuiltInLevels)
        ApplyLevelColour(*controller, section, colours, builtIn.text, builtIn.level,
                         builtIn.colour);
    for (POSITION position = m_levelDescriptions.GetHeadPosition(); position != nullptr;)
    {
        const CLevelDescription* description = m_levelDescriptions.GetNext(position);
        ApplyLevelColour(*controller, section, colours, description->m_text, description->m_level,
                         description->m_colour);
    }
    if (m_component != nullptr)
        m_component->hlpSetLevelColors(colours, kColourCount);
}

void CLogControlComponent::ReadStoredValues(CLogControl& controller, const char* section)
{
    controller.EnsureNumber(section, "_Level", m_levelMask);
    controller.EnsureNumber(section, "_Version", m_version);
    controller.EnsureNumber(section, "_StopOnAssert", kNewStopOnAssert);
    const CSettingKey::Section kind = CSettingKey::kComponent;
    controller.ReadChecked(kind, section, "_Level", m_levelMask, m_levelMask);
    controller.ReadChecked(kind, section, "_Version", m_version, m_version);
    controller.ReadChecked(kind, section, "_StopOnAssert", m_stopOnAssert, kNewStopOnAssert);
}

void CLogControlComponent::PushLevelAndStop(unsigned long masterLevel, int stopFlag)
{
    if (m_component == nullptr)
        return;
    m_component->hlpSetLevel(m_levelMask & masterLevel);
    m_component->hlpSetStopOnAssert(m_stopOnAssert != 0 && stopFlag != 0 ? 1 : 0);
}

// The entries show a user which index and colour a level has; they are written when missing and
// never read, so the colours in force are always the built-in ones and those the program adds.
void CLogControlComponent::ApplyLevelColour(CRegistrySync& store, const char* section,
                                            unsigned long* colours, const char* text,
                                            unsigned long level, unsigned long colour)
{
    const unsigned long index = GetLevelIndex(level);
    // Bit 31 would need a 33rd entry: such a level keeps the default colour and its entry.
    if (index < kColourCount)
        colours[index] = colour;
    const CString entry = CRegistrySync::StorableName(text);
    store.EnsureNumber(section, entry, index);
    store.EnsureNumber(section, entry + "_Color", index < kColourCount ? colours[index] : colour);
}
