// A small XML document in the suite's own dialect: one root element, elements with attributes,
// at most one text each, and sections (self-closing leaf elements holding name/value entries).
// Nothing is escaped in either direction. Strings are 8-bit text in the process's ANSI code
// page; the writer hands the document out as UTF-8 or UTF-16.
//
// Lookups by name ignore letter case and take the first match. Creating a node or section
// replaces every space of its name by "_". A null node, section or entry makes a getter return
// its default and a setter return false. One document must not be used from two threads at once.
#pragma once

#include "../framework/CObject.h"
#include "../framework/CString.h"
#include "../framework/FrameworkTypes.h"
#include "CULList.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CULXMLData : public CObject
{
public:
    class CEntry
    {
    public:
        CString m_name;
        CString m_value;
    };

    class CSection
    {
    public:
        virtual ~CSection() = default;

        CString m_name;
        CULList<CEntry*> m_entries;
    };

    class CNode
    {
    public:
        CNode(CNode* parent, const CString& name) : m_parent(parent), m_name(name) {}
        CNode(const CNode&) = delete;
        CNode& operator=(const CNode&) = delete;
        // Deletes the subtree without recursion, so that a tree of any depth can go.
        ~CNode();

        CNode* m_parent;
        CString m_name;
        CString m_text;
        CULList<CEntry*> m_attributes;
        CULList<CSection*> m_sections;
        CULList<CNode*> m_children;
    };

    class CStringStack;

    typedef std::array<unsigned char, 16> Bytes16;

    CULXMLData() = default;
    CULXMLData(const CULXMLData&) = delete;
    CULXMLData& operator=(const CULXMLData&) = delete;
    ~CULXMLData() override = default;

    // Document.
    bool CreateRoot(const char* name);
    bool HasRoot() const { return !m_nodes.IsEmpty(); }
    bool IsEmpty() const { return m_nodes.IsEmpty(); }
    CNode* GetRoot() const { return m_nodes.IsEmpty() ? nullptr : m_nodes.GetHead(); }
    // Deletes the tree; version, encoding and last error stay.
    void Clear() { m_nodes.Clear(); }
    const CString& GetVersion() const { return m_version; }
    const CString& GetEncoding() const { return m_encoding; }
    const CString& GetLastError() const { return m_lastError; }

    // Reading. Both fail without touching the tree when a root exists.
    bool LoadFromString(const CString& text);
    // The same, taking the text over, so that a large text is not copied.
    bool LoadFromString(CString&& text);
    bool LoadFromFile(const char* path);
    // Builds the tree from the whole text, zero bytes included; on failure the document is left
    // without a root and the last error says why.
    bool Parse(const CString& text);

    // Writing. The declaration is written unless the mode is 1. Without a root the result is
    // false and the output stays as it was (SaveToWideString empties it first).
    bool SaveToString(CString& out, int mode = 0) const;
    bool SaveToWideString(std::u16string& out, int mode = 0) const;
    // The UTF-8 text with the declaration and without a byte-order mark.
    bool SaveToFile(const char* path) const;
    // The UTF-8 text with the declaration; false when it would be longer than maxBytes. Costs no
    // more than the bound, however large the tree's text would be.
    bool SaveToUtf8(std::string& out, std::size_t maxBytes) const;

    // Nodes.
    CNode* AddNode(CNode* parent, const char* name);
    void RemoveNode(CNode* node);
    CNode* FindNode(const char* name, CNode* start = nullptr) const;
    CNode* FindNodeByPath(const char* path, const char* delimiter, CNode* start = nullptr) const;
    CNode* GetParent(const CNode* node) const { return node ? node->m_parent : nullptr; }
    CString GetNodeName(const CNode* node) const { return node ? node->m_name : CString(); }
    CString GetNodeText(const CNode* node) const { return node ? node->m_text : CString(); }
    void SetNodeName(CNode* node, const char* name);
    void SetNodeText(CNode* node, const char* text);
    bool HasText(const CNode* node) const { return node && !node->m_text.IsEmpty(); }
    bool HasChildren(const CNode* node) const { return node && !node->m_children.IsEmpty(); }
    int GetChildCount(const CNode* node) const { return node ? node->m_children.GetCount() : 0; }
    POSITION GetFirstChildPosition(const CNode* node) const;
    CNode* GetNextChild(const CNode* node, POSITION& position) const;

    // Attributes of a node.
    bool AddAttribute(CNode* node, const char* name, const char* value);
    bool SetAttribute(CNode* node, const char* name, const char* value);
    CEntry* FindAttribute(const CNode* node, const char* name) const;
    CString GetAttribute(const CNode* node, const char* name, const char* defaultValue) const;
    void RemoveAttribute(CNode* node, const char* name);
    void RemoveAttribute(CNode* node, CEntry* entry);
    bool HasAttributes(const CNode* node) const { return node && !node->m_attributes.IsEmpty(); }
    POSITION GetFirstAttributePosition(const CNode* node) const;
    CEntry* GetNextAttribute(const CNode* node, POSITION& position) const;

    // One name/value pair, attribute or section entry.
    CString GetEntryName(const CEntry* entry) const { return entry ? entry->m_name : CString(); }
    CString GetEntryValue(const CEntry* entry, const char* defaultValue) const;
    void SetEntryName(CEntry* entry, const char* name);
    void SetEntryValue(CEntry* entry, const char* value);

    // Sections of a node and their entries.
    CSection* AddSection(CNode* node, const char* name);
    CSection* FindSection(const CNode* node, const char* name) const;
    bool RemoveSection(CNode* node, CSection* section);
    bool RemoveSection(CNode* node, const char* name);
    bool HasSections(const CNode* node) const { return node && !node->m_sections.IsEmpty(); }
    POSITION GetFirstSectionPosition(const CNode* node) const;
    CSection* GetNextSection(const CNode* node, POSITION& position) const;
    CString GetSectionName(const CSection* section) const;
    bool AddSectionEntry(CSection* section, const char* name, const char* value);
    bool SetSectionValue(CSection* section, const char* name, const char* value);
    CString GetSectionValue(const CSection* section, const char* name,
                            const char* defaultValue) const;
    CEntry* FindSectionEntry(const CSection* section, const char* name) const;
    void RemoveSectionEntry(CSection* section, const char* name);
    void RemoveSectionEntry(CSection* section, CEntry* entry);
    bool HasEntries(const CSection* section) const;
    POSITION GetFirstEntryPosition(const CSection* section) const;
    CEntry* GetNextEntry(const CSection* section, POSITION& position) const;

    // Typed attributes. Getters return the default when the attribute is missing.
    int GetAttributeInt(const CNode* node, const char* name, int defaultValue) const;
    bool SetAttributeInt(CNode* node, const char* name, int value);
    // A text containing "0x" anywhere is read in base 16, any other in base 10.
    unsigned long GetAttributeULong(const CNode* node, const char* name,
                                    unsigned long defaultValue) const;
    bool SetAttributeULong(CNode* node, const char* name, unsigned long value);
    std::int64_t GetAttributeInt64(const CNode* node, const char* name,
                                   std::int64_t defaultValue) const;
    bool SetAttributeInt64(CNode* node, const char* name, std::int64_t value);
    double GetAttributeDouble(const CNode* node, const char* name, double defaultValue) const;
    bool SetAttributeDouble(CNode* node, const char* name, double value);
    CString GetAttributeString(const CNode* node, const char* name, const char* defaultValue) const;
    bool SetAttributeString(CNode* node, const char* name, const char* value);
    // Two hex digits per byte, last byte first; the buffer stays as it was on failure.
    bool GetAttributeBinary(const CNode* node, const char* name, void* buffer, int count) const;
    bool SetAttributeBinary(CNode* node, const char* name, const void* buffer, int count);
    DWORD GetAttributeHexDWord(const CNode* node, const char* name, DWORD defaultValue) const;
    bool SetAttributeHexDWord(CNode* node, const char* name, DWORD value);
    // A null default stands for 16 zero bytes.
    Bytes16 GetAttributeBinary16(const CNode* node, const char* name,
                                 const Bytes16* defaultValue) const;
    bool SetAttributeBinary16(CNode* node, const char* name, const Bytes16& value);
    // printf-style; a null format removes the attribute, a format the C library rejects is
    // stored as it is.
    bool SetAttributeFormatted(CNode* node, const char* name, const char* format, ...)
        KV_PRINTF_FORMAT(4, 5);

    // Typed section entries, alike except that GetSectionULong always reads base 10.
    int GetSectionInt(const CSection* section, const char* name, int defaultValue) const;
    bool SetSectionInt(CSection* section, const char* name, int value);
    unsigned long GetSectionULong(const CSection* section, const char* name,
                                  unsigned long defaultValue) const;
    bool SetSectionULong(CSection* section, const char* name, unsigned long value);
    std::int64_t GetSectionInt64(const CSection* section, const char* name,
                                 std::int64_t defaultValue) const;
    bool SetSectionInt64(CSection* section, const char* name, std::int64_t value);
    double GetSectionDouble(const CSection* section, const char* name, double defaultValue) const;
    bool SetSectionDouble(CSection* section, const char* name, double value);
    CString GetSectionString(const CSection* section, const char* name,
                             const char* defaultValue) const;
    bool SetSectionString(CSection* section, const char* name, const char* value);
    bool GetSectionBinary(const CSection* section, const char* name, void* buffer, int count) const;
    bool SetSectionBinary(CSection* section, const char* name, const void* buffer, int count);
    DWORD GetSectionHexDWord(const CSection* section, const char* name, DWORD defaultValue) const;
    bool SetSectionHexDWord(CSection* section, const char* name, DWORD value);
    Bytes16 GetSectionBinary16(const CSection* section, const char* name,
                               const Bytes16* defaultValue) const;
    bool SetSectionBinary16(CSection* section, const char* name, const Bytes16& value);
    bool SetSectionFormatted(CSection* section, const char* name, const char* format, ...)
        KV_PRINTF_FORMAT(4, 5);

    // Replaces every space by "_".
    static CString SanitizeName(const CString& name);
    // The parts between the occurrences of the delimiter text, trimmed, empty ones dropped.
    static std::vector<CString> SplitNodePath(const char* path, const char* delimiter);

private:
    friend class CULXMLReader;

    // Appends a node to the parent, or makes it the root when the parent is null; null when a
    // root already exists there.
    CNode* CreateNode(CNode* parent, const CString& name);
    CString BuildText(int mode) const;

    CULList<CNode*> m_nodes;
    CString m_version = "1.0";
    CString m_encoding = "UTF-8";
    CString m_lastError;
};
