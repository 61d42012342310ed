// A registry key reached from a root key along a delimited path, level by level. The wrapper
// owns every handle it opened and closes them all; the root key is never closed by it.
// Not thread-safe: one instance belongs to one thread at a time.
#pragma once

#include "../framework/CList.h"
#include "../framework/CObject.h"
#include "../framework/CString.h"
#include "../framework/FrameworkTypes.h"

class CULRegistry : public CObject
{
public:
    CULRegistry() = default;
    CULRegistry(const CULRegistry&) = delete;
    CULRegistry& operator=(const CULRegistry&) = delete;
    ~CULRegistry() override;

    // Missing levels are created where the access mask allows it. Fails, leaving the wrapper
    // closed, when any level cannot be opened or when the wrapper is already open.
    bool Open(HKEY root, const char* path, DWORD access, const char* delimiter);
    void Close();
    bool IsOpen() const { return m_currentKey != nullptr; }

    // A null name reads the key's default value. Any value type is read as bytes.
    bool GetString(const char* name, CString& value) const;
    bool SetString(const char* name, const char* value);
    bool GetValue(const char* name, void* buffer, DWORD size) const;
    bool DeleteValue(const char* name);

    // Deletes the subkey of the key at the path with everything below it.
    static bool DeleteKey(HKEY root, const char* path, const char* subKey, DWORD access,
                          const char* delimiter);

private:
    HKEY m_currentKey = nullptr;
    CList<HKEY, HKEY> m_openedKeys;
};
