#include "CULRegistry.h"

#include "CULRegistryEx.h"
#include "OsRegistry.h"

#include <cstring>
#include <vector>

namespace
{
// The path's elements between delimiters, trimmed, empty ones dropped.
std::vector<CString> SplitKeyPath(const char* path, const char* delimiter)
{
    std::vector<CString> elements;
    const CString text(path);
    const int delimiterLength = delimiter != nullptr ? static_cast<int>(std::strlen(delimiter)) : 0;
    int from = 0;
    while (from <= text.GetLength())
    {
        int to = delimiterLength > 0 ? text.Find(delimiter, from) : -1;
        if (to < 0)
            to = text.GetLength();
        CString element = text.Mid(from, to - from);
        element.Trim();
        if (!element.IsEmpty())
            elements.push_back(element);
        from = to + (delimiterLength > 0 ? delimiterLength : 1);
    }
    return elements;
}
} // namespace

CULRegistry::~CULRegistry()
{
    if (IsOpen())
        Close();
}

bool CULRegistry::Open(HKEY root, const char* path, DWORD access, const char* delimiter)
{
    if (IsOpen())
        return false;
    HKEY parent = root;
    for (const CString& element : SplitKeyPath(path, delimiter))
    {
        HKEY child = nullptr;
        if (!os::RegCreateKeyExA(parent, element, access, &child))
        {
            Close();
            return false;
        }
        m_openedKeys.AddTail(child);
        parent = child;
    }
    m_currentKey = parent;
    return true;
}

void CULRegistry::Close()
{
    while (!m_openedKeys.IsEmpty())
        os::RegCloseKey(m_openedKeys.RemoveTail());
    m_currentKey = nullptr;
}

bool CULRegistry::GetString(const char* name, CString& value) const
{
    DWORD size = 0;
    if (!os::RegQueryValueExA(m_currentKey, name, nullptr, nullptr, &size))
        return false;
    std::vector<char> buffer(size + 1u, '\0');
    const bool ok = os::RegQueryValueExA(m_currentKey, name, nullptr,
                                         reinterpret_cast<BYTE*>(buffer.data()), &size);
    value = buffer.data();
    return ok;
}

bool CULRegistry::SetString(const char* name, const char* value)
{
    const DWORD size = static_cast<DWORD>(std::strlen(value) + 1);
    return os::RegSetValueExA(m_currentKey, name, REG_SZ, reinterpret_cast<const BYTE*>(value),
                              size);
}

bool CULRegistry::GetValue(const char* name, void* buffer, DWORD size) const
{
    DWORD type = 0;
    return os::RegQueryValueExA(m_currentKey, name, &type, static_cast<BYTE*>(buffer), &size);
}

bool CULRegistry::DeleteValue(const char* name)
{
    return os::RegDeleteValueA(m_currentKey, name);
}

bool CULRegistry::DeleteKey(HKEY root, const char* path, const char* subKey, DWORD access,
                            const char* delimiter)
{
    CULRegistryEx registry;
    return registry.Open(root, path, access, delimiter) &&
           os::SHDeleteKeyA(registry.m_currentKey, subKey);
}
