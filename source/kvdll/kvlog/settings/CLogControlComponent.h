// The controller's record of one registered component: its name, its stored settings, the level
// descriptions the application added, and the pointer through which settings are pushed into it.
#pragma once

#include "CMutex.h"
#include "CString.h"
#include "CULList.h"

class CLogComponentInterface;
class CLogControl;
class CRegistrySync;

class CLogControlComponent
{
public:
    class CLevelDescription
    {
    public:
        CLevelDescription(const char* text, unsigned long level, unsigned long colour)
            : m_text(text), m_level(level), m_colour(colour)
        {
        }

        CString m_text;
        unsigned long m_level;
        unsigned long m_colour;
    };

    enum
    {
        kColourCount = 32
    };
    static const unsigned long kDefaultColour = 0x707070;

    CLogControlComponent(CLogControl* controller, CLogComponentInterface* component,
                         const char* name);
    CLogControlComponent(const CLogControlComponent&) = delete;
    CLogControlComponent& operator=(const CLogControlComponent&) = delete;

    const CString& GetName() const { return m_name; }
    CLogComponentInterface* GetInterface() const { return m_component; }
    unsigned long GetLevelMask() const { return m_levelMask; }
    int GetLevelDescriptionCount() const { return m_levelDescriptions.GetCount(); }
    // 0 for 0, else one more than the position of the highest set bit.
    static unsigned long GetLevelIndex(unsigned long level);

    // Called under the controller lock; the controller then syncs the record with the file.
    void AddLevelDescription(unsigned long level, const char* text, unsigned long colour);
    // Brings the record in step with the settings and pushes level mask (limited by the master
    // level), stop-on-assert flag and the 32 colours into the component. Called under the
    // controller lock, with the settings file open; without an open file the stored values stay
    // and are pushed again.
    void SyncRegistry(CLogControl* controller, unsigned long masterLevel, int stopFlag);

private:
    // A value that the table of keys refuses leaves the value in force.
    void ReadStoredValues(CLogControl& controller, const char* section);
    void PushLevelAndStop(unsigned long masterLevel, int stopFlag);
    void ApplyLevelColour(CRegistrySync& store, const char* section, unsigned long* colours,
                          const char* text, unsigned long level, unsigned long colour);

    CLogComponentInterface* m_component;
    CString m_name;
    unsigned long m_levelMask = 0xFFFFFFFFUL;
    unsigned long m_version = 1;
    unsigned long m_stopOnAssert = 1;
    CULList<CLevelDescription*> m_levelDescriptions;
    CMutex m_lock;
};
