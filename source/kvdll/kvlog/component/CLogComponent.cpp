// A component's life cycle, its level model and the settings the controller pushes into it.
#include "CSingleLock.h"
#include "controller/CLiveComponents.h"
#include "controller/CLogControl.h"
#include "kvlog.h"
#include "settings/CLogControlComponent.h"

#include <cstdint>
#include <new>

namespace
{
const unsigned long kInitialBufferSize = 64;
const unsigned long kDefaultColour = CLogControlComponent::kDefaultColour;
} // namespace

CLogComponent::CLogComponent(const char* name, CLogComponent** ownerSlot) : m_ownerSlot(ownerSlot)
{
    CLiveComponents::Join(&m_lock);
    CSingleLock lock(&m_lock, true);
    if (m_ownerSlot != nullptr)
        *m_ownerSlot = this;
    for (std::atomic<unsigned long>& colour : m_levelColours)
        colour.store(kDefaultColour, std::memory_order_relaxed);
    try
    {
        if (CLogControl* controller = CLogControl::GetInstance())
            m_registration = controller->RegisterComponent(this, name);
    }
    catch (...)
    {
        m_registration = nullptr;
    }
    m_messageBuffer = new (std::nothrow) char[kInitialBufferSize];
    m_messageBufferSize = m_messageBuffer != nullptr ? kInitialBufferSize : 0;
}

CLogComponent::~CLogComponent()
{
    {
        CSingleLock lock(&m_lock, true);
        if (m_ownerSlot != nullptr)
            *m_ownerSlot = nullptr;
        if (CLogControl* controller = CLogControl::PeekInstance())
            controller->UnregisterComponent(m_registration);
        m_registration = nullptr;
        delete[] m_messageBuffer;
        m_messageBuffer = nullptr;
        m_messageBufferSize = 0;
    }
    // Last: until here the controller must not be freed under this component.
    CLiveComponents::Leave(&m_lock);
}

void CLogComponent::hlpSetLevel(unsigned long level)
{
    m_levelMask.store(level, std::memory_order_relaxed);
}

void CLogComponent::hlpSetStopOnAssert(int stop)
{
    m_stopOnAssert.store(stop, std::memory_order_relaxed);
}

void CLogComponent::hlpSetLevelColors(unsigned long* colours, unsigned long count)
{
    if (colours == nullptr || count != kColourCount)
        return;
    for (unsigned long i = 0; i < count; ++i)
        m_levelColours[i].store(colours[i], std::memory_order_relaxed);
}

unsigned long CLogComponent::GetLevel()
{
    return m_levelMask.load(std::memory_order_relaxed);
}

int CLogComponent::LogCheckLevel(const char*, unsigned long, const char*, unsigned long level,
                                 const char*)
{
    return static_cast<int>(level & GetLevel());
}

int CLogComponent::LogStopOnAssert()
{
    return m_stopOnAssert.load(std::memory_order_relaxed);
}

void CLogComponent::LogSetMasterLevel(unsigned long level)
{
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->SetMasterLevel(level);
}

unsigned long CLogComponent::ld(unsigned long x)
{
    // Levels are 32-bit masks even where unsigned long is wider.
    std::uint32_t bits = static_cast<std::uint32_t>(x);
    unsigned long count = 0;
    for (; bits != 0; bits >>= 1)
        ++count;
    return count;
}

unsigned long CLogComponent::GetLevelNumberFromMacro(const char*, unsigned long, const char*,
                                                     unsigned long level, const char*)
{
    return level;
}

const char* CLogComponent::GetLevelStringFromMacro(const char*, unsigned long, const char*,
                                                   unsigned long, const char* levelString)
{
    return levelString;
}

void CLogComponent::AddLevelDescription(const char*, unsigned long, const char*,
                                        unsigned long level, const char* levelString,
                                        unsigned long colour)
{
    CSingleLock lock(&m_lock, true);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->AddLevelDescription(this, level, levelString, colour);
}

void CLogComponent::SetApplicationName(const char* name, int flag)
{
    CSingleLock lock(&m_lock, true);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->SetApplicationName(name, flag);
}

void CLogComponent::SetLogInterface(CLogInterface* sink)
{
    CSingleLock lock(&m_lock, true);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->SetLogInterface(sink);
}

unsigned long CLogComponent::hlpColourOf(unsigned long level) const
{
    // Bit 31 has index 32, past the table: such a level is shown without colour.
    const unsigned long index = ld(level);
    return index < kColourCount ? m_levelColours[index].load(std::memory_order_relaxed) : 0;
}
