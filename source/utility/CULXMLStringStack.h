// The reader's stack of open element names, top at the head. It holds at most limit + 1 names:
// a push onto a fuller stack first forgets the bottom-most name.
#pragma once

#include "../framework/CList.h"
#include "CULXMLData.h"

class CULXMLData::CStringStack
{
public:
    explicit CStringStack(int limit) : m_limit(limit) {}
    virtual ~CStringStack() = default;

    void Push(const CString& name);
    // The top name, or "" when the stack is empty.
    CString Pop();
    bool IsEmpty() const { return m_names.IsEmpty(); }
    int GetCount() const { return m_names.GetCount(); }

private:
    int m_limit;
    CList<CString> m_names;
};
