// The name/value pairs of a node's attributes or a section's entries, with the typed readings
// and writings of their values. A null list stands for a missing node or section: getters then
// give their defaults and setters false.
#pragma once

#include "CULXMLData.h"

#include <cstdarg>

class CULXMLEntryList
{
public:
    typedef CULXMLData::CEntry CEntry;
    typedef CULList<CEntry*> List;

    explicit CULXMLEntryList(const List* entries) : m_entries(const_cast<List*>(entries)) {}
    static CULXMLEntryList Of(const CULXMLData::CNode* node);
    static CULXMLEntryList Of(const CULXMLData::CSection* section);

    bool Add(const char* name, const char* value);
    // Replaces the value of the first pair of that name (whose name stays as stored) or appends.
    bool Set(const char* name, const char* value);
    CEntry* Find(const char* name) const;
    CString Get(const char* name, const char* defaultValue) const;
    void Remove(const char* name);
    void Remove(CEntry* entry);
    POSITION GetFirstPosition() const;
    CEntry* GetNext(POSITION& position) const;
    bool HasAny() const { return m_entries != nullptr && !m_entries->IsEmpty(); }

    int GetInt(const char* name, int defaultValue) const;
    bool SetInt(const char* name, int value);
    // With allowHex a text containing "0x" anywhere is read in base 16.
    unsigned long GetULong(const char* name, unsigned long defaultValue, bool allowHex) const;
    bool SetULong(const char* name, unsigned long value);
    std::int64_t GetInt64(const char* name, std::int64_t defaultValue) const;
    bool SetInt64(const char* name, std::int64_t value);
    double GetDouble(const char* name, double defaultValue) const;
    bool SetDouble(const char* name, double value);
    bool GetBinary(const char* name, void* buffer, int count) const;
    bool SetBinary(const char* name, const void* buffer, int count);
    DWORD GetHexDWord(const char* name, DWORD defaultValue) const;
    bool SetHexDWord(const char* name, DWORD value);
    CULXMLData::Bytes16 GetBinary16(const char* name,
                                    const CULXMLData::Bytes16* defaultValue) const;
    bool SetBinary16(const char* name, const CULXMLData::Bytes16& value);
    bool SetFormattedV(const char* name, const char* format, va_list args);
    bool SetFormatted(const char* name, const char* format, ...) KV_PRINTF_FORMAT(3, 4);

private:
    List* m_entries;
};
