// The document text of a tree: one TAB of indentation per level, each attribute and section
// entry on a line of its own, CR LF after every line. Nothing is escaped.
#pragma once

#include "CULXMLData.h"

#include <string>

class CULXMLWriter
{
public:
    // The text in the ANSI code page; "" for a null root.
    static CString BuildDocument(const CULXMLData::CNode* root, bool withDeclaration);

private:
    explicit CULXMLWriter(std::string& out) : m_out(out) {}

    // Walks the tree without recursion, so that a tree of any depth can be written.
    void WriteTree(const CULXMLData::CNode* root);
    void OpenElement(const CULXMLData::CNode* node, int depth);
    void CloseElement(const CULXMLData::CNode* node, int depth);
    // Each pair on its own line at the level, then the closing line one level up.
    void WritePairs(const CULList<CULXMLData::CEntry*>& pairs, int level, const char* closing);
    void Tabs(int count);

    std::string& m_out;
};
