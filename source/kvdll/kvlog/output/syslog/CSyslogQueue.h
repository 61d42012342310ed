// The lines waiting for the syslog sender: a ring of a fixed number of slots whose texts keep
// their storage, so that steady logging does not allocate. A full ring drops its oldest line and
// counts it. Not synchronised: the sender's lock guards it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CSyslogQueue
{
public:
    enum : std::size_t
    {
        kDefaultCapacity = 10000
    };

    explicit CSyslogQueue(std::size_t capacity = kDefaultCapacity);

    // Copies the message in. True when the queue was empty before.
    bool Push(const std::string& message, std::size_t elementEnd);
    // Moves the oldest message into message (the two texts swap storage); false when empty.
    bool Pop(std::string& message, std::size_t& elementEnd);
    // The lines dropped since the last call.
    unsigned long TakeDropped();
    bool IsEmpty() const { return m_count == 0; }
    std::size_t GetCount() const { return m_count; }

private:
    struct Slot
    {
        std::string message;
        std::size_t elementEnd = 0;
    };

    std::vector<Slot> m_slots;
    std::size_t m_head = 0;
    std::size_t m_count = 0;
    unsigned long m_dropped = 0;
};
