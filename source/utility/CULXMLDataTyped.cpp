// The typed accessors of CULXMLData: attributes of a node and their twins on section entries,
// defined once for both owners.
#include "CULXMLData.h"

#include "CULXMLEntryList.h"

#define KV_XML_TYPED_ACCESSORS(Kind, Owner, readsHex)                                              \
    int CULXMLData::Get##Kind##Int(const Owner* owner, const char* name, int defaultValue) const   \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).GetInt(name, defaultValue);                              \
    }                                                                                              \
    bool CULXMLData::Set##Kind##Int(Owner* owner, const char* name, int value)                     \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).SetInt(name, value);                                     \
    }                                                                                              \
    unsigned long CULXMLData::Get##Kind##ULong(const Owner* owner, const char* name,               \
                                               unsigned long defaultValue) const                   \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).GetULong(name, defaultValue, readsHex);                  \
    }                                                                                              \
    bool CULXMLData::Set##Kind##ULong(Owner* owner, const char* name, unsigned long value)         \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).SetULong(name, value);                                   \
    }                                                                                              \
    std::int64_t CULXMLData::Get##Kind##Int64(const Owner* owner, const char* name,                \
                                              std::int64_t defaultValue) const                     \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).GetInt64(name, defaultValue);                            \
    }                                                                                              \
    bool CULXMLData::Set##Kind##Int64(Owner* owner, const char* name, std::int64_t value)          \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).SetInt64(name, value);                                   \
    }                                                                                              \
    double CULXMLData::Get##Kind##Double(const Owner* owner, const char* name,                     \
                                         double defaultValue) const                                \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).GetDouble(name, defaultValue);                           \
    }                                                                                              \
    bool CULXMLData::Set##Kind##Double(Owner* owner, const char* name, double value)               \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).SetDouble(name, value);                                  \
    }                                                                                              \
    CString CULXMLData::Get##Kind##String(const Owner* owner, const char* name,                    \
                                          const char* defaultValue) const                          \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).Get(name, defaultValue);                                 \
    }                                                                                              \
    bool CULXMLData::Set##Kind##String(Owner* owner, const char* name, const char* value)          \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).Set(name, value);                                        \
    }                                                                                              \
    bool CULXMLData::Get##Kind##Binary(const Owner* owner, const char* name, void* buffer,         \
                                       int count) const                                            \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).GetBinary(name, buffer, count);                          \
    }                                                                                              \
    bool CULXMLData::Set##Kind##Binary(Owner* owner, const char* name, const void* buffer,         \
                                       int count)                                                  \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).SetBinary(name, buffer, count);                          \
    }                                                                                              \
    DWORD CULXMLData::Get##Kind##HexDWord(const Owner* owner, const char* name,                    \
                                          DWORD defaultValue) const                                \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).GetHexDWord(name, defaultValue);                         \
    }                                                                                              \
    bool CULXMLData::Set##Kind##HexDWord(Owner* owner, const char* name, DWORD value)              \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).SetHexDWord(name, value);                                \
    }                                                                                              \
    CULXMLData::Bytes16 CULXMLData::Get##Kind##Binary16(const Owner* owner, const char* name,      \
                                                        const Bytes16* defaultValue) const         \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).GetBinary16(name, defaultValue);                         \
    }                                                                                              \
    bool CULXMLData::Set##Kind##Binary16(Owner* owner, const char* name, const Bytes16& value)     \
    {                                                                                              \
        return CULXMLEntryList::Of(owner).SetBinary16(name, value);                                \
    }                                                                                              \
    bool CULXMLData::Set##Kind##Formatted(Owner* owner, const char* name, const char* format, ...) \
    {                                                                                              \
        va_list args;                                                                              \
        va_start(args, format);                                                                    \
        const bool result = CULXMLEntryList::Of(owner).SetFormattedV(name, format, args);          \
        va_end(args);                                                                              \
        return result;                                                                             \
    }

KV_XML_TYPED_ACCESSORS(Attribute, CNode, true)
// Section entries are always read in base 10.
KV_XML_TYPED_ACCESSORS(Section, CSection, false)

#undef KV_XML_TYPED_ACCESSORS
