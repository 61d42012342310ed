#include "CULXMLStringStack.h"

void CULXMLData::CStringStack::Push(const CString& name)
{
    if (m_names.GetCount() > m_limit)
        m_names.RemoveTail();
    m_names.AddHead(name);
}

CString CULXMLData::CStringStack::Pop()
{
    return m_names.IsEmpty() ? CString() : m_names.RemoveHead();
}
