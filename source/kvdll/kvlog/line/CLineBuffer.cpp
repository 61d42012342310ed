#include "line/CLineBuffer.h"

#include <climits>
#include <new>

void CLineBuffer::Reserve(int length)
{
    // The sum of a length and a count overflows to a negative number.
    if (length < 0 || length > INT_MAX / 2)
        throw std::bad_alloc();
    const int capacity = length > 2 * m_capacity ? length : 2 * m_capacity;
    std::unique_ptr<char[]> grown(new char[static_cast<std::size_t>(capacity) + 1]);
    if (m_length > 0)
        std::memcpy(grown.get(), m_data.get(), static_cast<std::size_t>(m_length));
    m_data = std::move(grown);
    m_capacity = capacity;
}
