// The typed accessors of CULXMLData: attributes of a node and their twins on section entries.
#include "CULXMLData.h"

#include "CULXMLEntryList.h"

namespace
{
CULXMLEntryList Attributes(const CULXMLData::CNode* node)
{
    return CULXMLEntryList::Of(node);
}
CULXMLEntryList Entries(const CULXMLData::CSection* section)
{
    return CULXMLEntryList::Of(section);
}
} // namespace

int CULXMLData::GetAttributeInt(const CNode* node, const char* name, int defaultValue) const
{
    return Attributes(node).GetInt(name, defaultValue);
}
bool CULXMLData::SetAttributeInt(CNode* node, const char* name, int value)
{
    return Attributes(node).SetInt(name, value);
}
unsigned long CULXMLData::GetAttributeULong(const CNode* node, const char* name,
                                            unsigned long defaultValue) const
{
    return Attributes(node).GetULong(name, defaultValue, true);
}
bool CULXMLData::SetAttributeULong(CNode* node, const char* name, unsigned long value)
{
    return Attributes(node).SetULong(name, value);
}
std::int64_t CULXMLData::GetAttributeInt64(const CNode* node, const char* name,
                                           std::int64_t defaultValue) const
{
    return Attributes(node).GetInt64(name, defaultValue);
}
bool CULXMLData::SetAttributeInt64(CNode* node, const char* name, std::int64_t value)
{
    return Attributes(node).SetInt64(name, value);
}
double CULXMLData::GetAttributeDouble(const CNode* node, const char* name,
                                      double defaultValue) const
{
    return Attributes(node).GetDouble(name, defaultValue);
}
bool CULXMLData::SetAttributeDouble(CNode* node, const char* name, double value)
{
    return Attributes(node).SetDouble(name, value);
}
CString CULXMLData::GetAttributeString(const CNode* node, const char* name,
                                       const char* defaultValue) const
{
    return Attributes(node).Get(name, defaultValue);
}
bool CULXMLData::SetAttributeString(CNode* node, const char* name, const char* value)
{
    return Attributes(node).Set(name, value);
}
bool CULXMLData::GetAttributeBinary(const CNode* node, const char* name, void* buffer,
                                    int count) const
{
    return Attributes(node).GetBinary(name, buffer, count);
}
bool CULXMLData::SetAttributeBinary(CNode* node, const char* name, const void* buffer, int count)
{
    return Attributes(node).SetBinary(name, buffer, count);
}
DWORD CULXMLData::GetAttributeHexDWord(const CNode* node, const char* name,
                                       DWORD defaultValue) const
{
    return Attributes(node).GetHexDWord(name, defaultValue);
}
bool CULXMLData::SetAttributeHexDWord(CNode* node, const char* name, DWORD value)
{
    return Attributes(node).SetHexDWord(name, value);
}
CULXMLData::Bytes16 CULXMLData::GetAttributeBinary16(const CNode* node, const char* name,
                                                     const Bytes16* defaultValue) const
{
    return Attributes(node).GetBinary16(name, defaultValue);
}
bool CULXMLData::SetAttributeBinary16(CNode* node, const char* name, const Bytes16& value)
{
    return Attributes(node).SetBinary16(name, value);
}
bool CULXMLData::SetAttributeFormatted(CNode* node, const char* name, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool result = Attributes(node).SetFormattedV(name, format, args);
    va_end(args);
    return result;
}

int CULXMLData::GetSectionInt(const CSection* section, const char* name, int defaultValue) const
{
    return Entries(section).GetInt(name, defaultValue);
}
bool CULXMLData::SetSectionInt(CSection* section, const char* name, int value)
{
    return Entries(section).SetInt(name, value);
}
unsigned long CULXMLData::GetSectionULong(const CSection* section, const char* name,
                                          unsigned long defaultValue) const
{
    return Entries(section).GetULong(name, defaultValue, false);
}
bool CULXMLData::SetSectionULong(CSection* section, const char* name, unsigned long value)
{
    return Entries(section).SetULong(name, value);
}
std::int64_t CULXMLData::GetSectionInt64(const CSection* section, const char* name,
                                         std::int64_t defaultValue) const
{
    return Entries(section).GetInt64(name, defaultValue);
}
bool CULXMLData::SetSectionInt64(CSection* section, const char* name, std::int64_t value)
{
    return Entries(section).SetInt64(name, value);
}
double CULXMLData::GetSectionDouble(const CSection* section, const char* name,
                                    double defaultValue) const
{
    return Entries(section).GetDouble(name, defaultValue);
}
bool CULXMLData::SetSectionDouble(CSection* section, const char* name, double value)
{
    return Entries(section).SetDouble(name, value);
}
CString CULXMLData::GetSectionString(const CSection* section, const char* name,
                                     const char* defaultValue) const
{
    return Entries(section).Get(name, defaultValue);
}
bool CULXMLData::SetSectionString(CSection* section, const char* name, const char* value)
{
    return Entries(section).Set(name, value);
}
bool CULXMLData::GetSectionBinary(const CSection* section, const char* name, void* buffer,
                                  int count) const
{
    return Entries(section).GetBinary(name, buffer, count);
}
bool CULXMLData::SetSectionBinary(CSection* section, const char* name, const void* buffer,
                                  int count)
{
    return Entries(section).SetBinary(name, buffer, count);
}
DWORD CULXMLData::GetSectionHexDWord(const CSection* section, const char* name,
                                     DWORD defaultValue) const
{
    return Entries(section).GetHexDWord(name, defaultValue);
}
bool CULXMLData::SetSectionHexDWord(CSection* section, const char* name, DWORD value)
{
    return Entries(section).SetHexDWord(name, value);
}
CULXMLData::Bytes16 CULXMLData::GetSectionBinary16(const CSection* section, const char* name,
                                                   const Bytes16* defaultValue) const
{
    return Entries(section).GetBinary16(name, defaultValue);
}
bool CULXMLData::SetSectionBinary16(CSection* section, const char* name, const Bytes16& value)
{
    return Entries(section).SetBinary16(name, value);
}
bool CULXMLData::SetSectionFormatted(CSection* section, const char* name, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool result = Entries(section).SetFormattedV(name, format, args);
    va_end(args);
    return result;
}
