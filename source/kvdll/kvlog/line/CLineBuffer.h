// A text built by appending and emptied for the next line: its storage only grows, so once it has
// held the longest line, building another allocates nothing. Appending writes straight into the
// storage, without the checks and calls of a general string.
#pragma once

#include <cstring>
#include <memory>

class CLineBuffer
{
public:
    CLineBuffer() { Reserve(kInitialCapacity); }
    CLineBuffer(const CLineBuffer&) = delete;
    CLineBuffer& operator=(const CLineBuffer&) = delete;

    const char* GetData() const { return m_data.get(); }
    char* GetData() { return m_data.get(); }
    int GetLength() const { return m_length; }
    void Empty() { m_length = 0; }
    // Cuts the text to a length it has already reached.
    void Truncate(int length) { m_length = length; }
    // The text with a terminating zero, which is not part of it.
    const char* GetString() const
    {
        m_data[m_length] = '\0';
        return m_data.get();
    }

    // Room for count more characters at the end, for the caller to fill.
    char* Extend(int count)
    {
        if (count > m_capacity - m_length)
            Reserve(m_length + count);
        char* room = m_data.get() + m_length;
        m_length += count;
        return room;
    }
    void Append(const char* text, int length) { std::memcpy(Extend(length), text, length); }
    void Append(char ch) { *Extend(1) = ch; }
    void AppendRepeated(char ch, int count) { std::memset(Extend(count), ch, count); }

private:
    static const int kInitialCapacity = 256;

    // Throws std::bad_alloc when no memory is left or the length cannot be held.
    void Reserve(int length);

    std::unique_ptr<char[]> m_data;
    int m_length = 0;
    // Characters that fit before the terminating zero.
    int m_capacity = 0;
};
