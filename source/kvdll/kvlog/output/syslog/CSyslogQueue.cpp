#include "output/syslog/CSyslogQueue.h"

CSyslogQueue::CSyslogQueue(std::size_t capacity) : m_slots(capacity > 0 ? capacity : 1) {}

bool CSyslogQueue::Push(const std::string& message, std::size_t elementEnd)
{
    const bool wasEmpty = m_count == 0;
    if (m_count == m_slots.size())
    {
        m_head = (m_head + 1) % m_slots.size();
        --m_count;
        ++m_dropped;
    }
    Slot& slot = m_slots[(m_head + m_count) % m_slots.size()];
    slot.message.assign(message);
    slot.elementEnd = elementEnd;
    ++m_count;
    return wasEmpty;
}

bool CSyslogQueue::Pop(std::string& message, std::size_t& elementEnd)
{
    if (m_count == 0)
        return false;
    Slot& slot = m_slots[m_head];
    message.swap(slot.message);
    elementEnd = slot.elementEnd;
    m_head = (m_head + 1) % m_slots.size();
    --m_count;
    return true;
}

unsigned long CSyslogQueue::TakeDropped()
{
    const unsigned long dropped = m_dropped;
    m_dropped = 0;
    return dropped;
}
