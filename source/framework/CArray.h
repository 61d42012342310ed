// Growable array with the framework's interface, kept in a std::vector. Indexes are ints; an
// index outside the array is a caller error, as with the framework it mirrors.
#pragma once

#include "CObject.h"

#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject
{
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    void SetSize(int size) { m_items.resize(size < 0 ? 0 : static_cast<std::size_t>(size)); }

    int Add(ARG_TYPE value)
    {
        m_items.push_back(value);
        return GetUpperBound();
    }
    void InsertAt(int index, ARG_TYPE value) { m_items.insert(m_items.begin() + index, value); }
    void RemoveAt(int index, int count = 1)
    {
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    void RemoveAll() { m_items.clear(); }

    TYPE& GetAt(int index) { return m_items[static_cast<std::size_t>(index)]; }
    const TYPE& GetAt(int index) const { return m_items[static_cast<std::size_t>(index)]; }
    void SetAt(int index, ARG_TYPE value) { GetAt(index) = value; }
    TYPE& operator[](int index) { return GetAt(index); }
    const TYPE& operator[](int index) const { return GetAt(index); }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }

private:
    std::vector<TYPE> m_items;
};
