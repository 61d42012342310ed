// The document text of a tree: one TAB of indentation per level, each attribute and section
// entry on a line of its own, CR LF after every line. Values and texts are escaped.
#pragma once

#include "CULXMLData.h"

#include <cstddef>
#include <string>
#include <string_view>

class CULXMLWriter
{
public:
    // The text in the ANSI code page; "" for a null root.
    static CString BuildDocument(const CULXMLData::CNode* root, bool withDeclaration);
    // Appends the text to out; false, with out cut short, as soon as out passes maxBytes, so that
    // a tree whose text would be far larger costs no more than the bound.
    static bool AppendDocument(const CULXMLData::CNode* root, bool withDeclaration,
                               std::size_t maxBytes, std::string& out);

private:
    CULXMLWriter(std::string& out, std::size_t maxBytes) : m_out(out), m_maxBytes(maxBytes) {}

    // Walks the tree without recursion, so that a tree of any depth can be written.
    bool WriteTree(const CULXMLData::CNode* root);
    void OpenElement(const CULXMLData::CNode* node, int depth);
    void CloseElement(const CULXMLData::CNode* node, int depth);
    // Each pair on its own line at the level, then the closing line one level up.
    void WritePairs(const CULList<CULXMLData::CEntry*>& pairs, int level, const char* closing);
    void Escaped(std::string_view text);
    void Tabs(int count);
    bool IsFull() const { return m_out.size() > m_maxBytes; }

    std::string& m_out;
    std::size_t m_maxBytes;
};
