#include "CULXMLData.h"

#include "PathOperations.h"

#include "CULXMLEntryList.h"
#include "CULXMLReader.h"
#include "CULXMLWriter.h"
#include "OsCodePage.h"
#include "TextFile.h"
#include "Utf8Encoding.h"

#include <algorithm>
#include <vector>

CULXMLData::CNode::~CNode()
{
    std::vector<CNode*> pending;
    while (!m_children.IsEmpty())
        pending.push_back(m_children.RemoveHead());
    while (!pending.empty())
    {
        CNode* node = pending.back();
        pending.pop_back();
        while (!node->m_children.IsEmpty())
            pending.push_back(node->m_children.RemoveHead());
        delete node;
    }
}

CString CULXMLData::SanitizeName(const CString& name)
{
    return ReplaceSpaces(name);
}

CULXMLData::CNode* CULXMLData::CreateNode(CNode* parent, const CString& name)
{
    if (parent == nullptr && HasRoot())
        return nullptr;
    CNode* node = new CNode(parent, SanitizeName(name));
    (parent != nullptr ? parent->m_children : m_nodes).AddTail(node);
    return node;
}

bool CULXMLData::CreateRoot(const char* name)
{
    return CreateNode(nullptr, name) != nullptr;
}

bool CULXMLData::LoadFromString(const CString& text)
{
    return !HasRoot() && Parse(text);
}

bool CULXMLData::LoadFromString(CString&& text)
{
    return !HasRoot() && CULXMLReader(*this).Parse(text.Release());
}

bool CULXMLData::LoadFromFile(const char* path)
{
    if (HasRoot())
        return false;
    CString text;
    return ReadTextFile(path, text) != kTextFileFailed && LoadFromString(std::move(text));
}

bool CULXMLData::Parse(const CString& text)
{
    return CULXMLReader(*this).Parse(text.str());
}

CString CULXMLData::BuildText(int mode) const
{
    return CULXMLWriter::BuildDocument(GetRoot(), mode != 1);
}

bool CULXMLData::SaveToString(CString& out, int mode) const
{
    if (!HasRoot())
        return false;
    out = CString(os::AnsiToUtf8(BuildText(mode).Release()));
    return true;
}

bool CULXMLData::SaveToUtf8(std::string& out, std::size_t maxBytes) const
{
    std::string text;
    if (!HasRoot() || !CULXMLWriter::AppendDocument(GetRoot(), true, maxBytes, text))
        return false;
    out = os::AnsiToUtf8(std::move(text));
    return out.size() <= maxBytes;
}

bool CULXMLData::SaveToWideString(std::u16string& out, int mode) const
{
    out.clear();
    if (!HasRoot())
        return false;
    out = os::AnsiToWide(BuildText(mode));
    return true;
}

bool CULXMLData::SaveToFile(const char* path) const
{
    CString text;
    return SaveToString(text) && WriteTextFile(path, text, kTextFileAnsi) != 0;
}

CULXMLData::CNode* CULXMLData::AddNode(CNode* parent, const char* name)
{
    CNode* owner = parent != nullptr ? parent : GetRoot();
    return owner != nullptr ? CreateNode(owner, name) : nullptr;
}

void CULXMLData::RemoveNode(CNode* node)
{
    if (node == nullptr)
        return;
    // The root goes like Clear, so that the document never lists a deleted root.
    CULList<CNode*>& owner = node->m_parent != nullptr ? node->m_parent->m_children : m_nodes;
    if (owner.Detach(node))
        delete node;
}

CULXMLData::CNode* CULXMLData::FindNode(const char* name, CNode* start) const
{
    CNode* first = start != nullptr ? start : GetRoot();
    if (first == nullptr)
        return nullptr;
    // Depth first and without recursion, so that a tree of any depth can be searched.
    std::vector<std::pair<CNode*, POSITION>> path;
    if (first->m_name.CompareNoCase(name) == 0)
        return first;
    path.emplace_back(first, first->m_children.GetHeadPosition());
    while (!path.empty())
    {
        POSITION& position = path.back().second;
        if (position == nullptr)
        {
            path.pop_back();
            continue;
        }
        CNode* child = path.back().first->m_children.GetNext(position);
        if (child->m_name.CompareNoCase(name) == 0)
            return child;
        path.emplace_back(child, child->m_children.GetHeadPosition());
    }
    return nullptr;
}

CULXMLData::CNode* CULXMLData::FindNodeByPath(const char* path, const char* delimiter,
                                              CNode* start) const
{
    const std::vector<CString> parts = SplitNodePath(path, delimiter);
    CNode* current = start;
    for (const CString& part : parts)
        if ((current = FindNode(part, current)) == nullptr)
            return nullptr;
    return parts.empty() ? nullptr : current;
}

std::vector<CString> CULXMLData::SplitNodePath(const char* path, const char* delimiter)
{
    std::vector<CString> parts;
    const CString text(path);
    const int step = CString(delimiter).GetLength();
    for (int from = 0; from <= text.GetLength();)
    {
        int to = step > 0 ? text.Find(delimiter, from) : -1;
        if (to < 0)
            to = text.GetLength();
        CString part = text.Mid(from, to - from);
        if (!part.Trim().IsEmpty())
            parts.push_back(part);
        from = to + (step > 0 ? step : 1);
    }
    return parts;
}

void CULXMLData::SetNodeName(CNode* node, const char* name)
{
    if (node != nullptr)
        node->m_name = name;
}

void CULXMLData::SetNodeText(CNode* node, const char* text)
{
    if (node != nullptr)
        node->m_text = text;
}

POSITION CULXMLData::GetFirstChildPosition(const CNode* node) const
{
    return node != nullptr ? node->m_children.GetHeadPosition() : nullptr;
}

CULXMLData::CNode* CULXMLData::GetNextChild(const CNode* node, POSITION& position) const
{
    return node != nullptr && position != nullptr ? node->m_children.GetNext(position) : nullptr;
}

bool CULXMLData::AddAttribute(CNode* node, const char* name, const char* value)
{
    return CULXMLEntryList::Of(node).Add(name, value);
}

bool CULXMLData::SetAttribute(CNode* node, const char* name, const char* value)
{
    return CULXMLEntryList::Of(node).Set(name, value);
}

CULXMLData::CEntry* CULXMLData::FindAttribute(const CNode* node, const char* name) const
{
    return CULXMLEntryList::Of(node).Find(name);
}

CString CULXMLData::GetAttribute(const CNode* node, const char* name,
                                 const char* defaultValue) const
{
    return CULXMLEntryList::Of(node).Get(name, defaultValue);
}

void CULXMLData::RemoveAttribute(CNode* node, const char* name)
{
    CULXMLEntryList::Of(node).Remove(name);
}

void CULXMLData::RemoveAttribute(CNode* node, CEntry* entry)
{
    CULXMLEntryList::Of(node).Remove(entry);
}

POSITION CULXMLData::GetFirstAttributePosition(const CNode* node) const
{
    return CULXMLEntryList::Of(node).GetFirstPosition();
}

CULXMLData::CEntry* CULXMLData::GetNextAttribute(const CNode* node, POSITION& position) const
{
    return CULXMLEntryList::Of(node).GetNext(position);
}

CString CULXMLData::GetEntryValue(const CEntry* entry, const char* defaultValue) const
{
    return entry != nullptr ? entry->m_value : CString(defaultValue);
}

void CULXMLData::SetEntryName(CEntry* entry, const char* name)
{
    if (entry != nullptr)
        entry->m_name = name;
}

void CULXMLData::SetEntryValue(CEntry* entry, const char* value)
{
    if (entry != nullptr)
        entry->m_value = value;
}

CULXMLData::CSection* CULXMLData::AddSection(CNode* node, const char* name)
{
    if (node == nullptr)
        return nullptr;
    CSection* section = new CSection;
    section->m_name = SanitizeName(name);
    node->m_sections.AddTail(section);
    return section;
}

CULXMLData::CSection* CULXMLData::FindSection(const CNode* node, const char* name) const
{
    for (POSITION position = GetFirstSectionPosition(node); position != nullptr;)
    {
        CSection* section = node->m_sections.GetNext(position);
        if (section->m_name.CompareNoCase(name) == 0)
            return section;
    }
    return nullptr;
}

bool CULXMLData::RemoveSection(CNode* node, CSection* section)
{
    if (node == nullptr || section == nullptr || !node->m_sections.Detach(section))
        return false;
    delete section;
    return true;
}

bool CULXMLData::RemoveSection(CNode* node, const char* name)
{
    return RemoveSection(node, FindSection(node, name));
}

POSITION CULXMLData::GetFirstSectionPosition(const CNode* node) const
{
    return node != nullptr ? node->m_sections.GetHeadPosition() : nullptr;
}

CULXMLData::CSection* CULXMLData::GetNextSection(const CNode* node, POSITION& position) const
{
    return node != nullptr && position != nullptr ? node->m_sections.GetNext(position) : nullptr;
}

CString CULXMLData::GetSectionName(const CSection* section) const
{
    return section != nullptr ? section->m_name : CString();
}

bool CULXMLData::AddSectionEntry(CSection* section, const char* name, const char* value)
{
    return CULXMLEntryList::Of(section).Add(name, value);
}

bool CULXMLData::SetSectionValue(CSection* section, const char* name, const char* value)
{
    return CULXMLEntryList::Of(section).Set(name, value);
}

CString CULXMLData::GetSectionValue(const CSection* section, const char* name,
                                    const char* defaultValue) const
{
    return CULXMLEntryList::Of(section).Get(name, defaultValue);
}

CULXMLData::CEntry* CULXMLData::FindSectionEntry(const CSection* section, const char* name) const
{
    return CULXMLEntryList::Of(section).Find(name);
}

void CULXMLData::RemoveSectionEntry(CSection* section, const char* name)
{
    CULXMLEntryList::Of(section).Remove(name);
}

void CULXMLData::RemoveSectionEntry(CSection* section, CEntry* entry)
{
    CULXMLEntryList::Of(section).Remove(entry);
}

bool CULXMLData::HasEntries(const CSection* section) const
{
    return CULXMLEntryList::Of(section).HasAny();
}

POSITION CULXMLData::GetFirstEntryPosition(const CSection* section) const
{
    return CULXMLEntryList::Of(section).GetFirstPosition();
}

CULXMLData::CEntry* CULXMLData::GetNextEntry(const CSection* section, POSITION& position) const
{
    return CULXMLEntryList::Of(section).GetNext(position);
}
