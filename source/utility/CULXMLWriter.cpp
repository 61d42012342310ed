#include "CULXMLWriter.h"

#include "XmlEntities.h"

#include <limits>
#include <vector>

namespace
{
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
const std::size_t kReservedCharacters = 131072;
// A long value is escaped in pieces of this size, so that the bound is checked between them.
const std::size_t kEscapeSlice = 65536;
} // namespace

CString CULXMLWriter::BuildDocument(const CULXMLData::CNode* root, bool withDeclaration)
{
    std::string text;
    AppendDocument(root, withDeclaration, std::numeric_limits<std::size_t>::max(), text);
    return CString(std::move(text));
}

bool CULXMLWriter::AppendDocument(const CULXMLData::CNode* root, bool withDeclaration,
                                  std::size_t maxBytes, std::string& out)
{
    if (root == nullptr)
        return true;
    out.reserve(out.size() + kReservedCharacters);
    if (withDeclaration)
        out += kDeclaration;
    return CULXMLWriter(out, maxBytes).WriteTree(root);
}

bool CULXMLWriter::WriteTree(const CULXMLData::CNode* root)
{
    struct Frame
    {
        const CULXMLData::CNode* node;
        int depth;
        POSITION next;
    };
    std::vector<Frame> open;
    const CULXMLData::CNode* node = root;
    int depth = 0;
    for (;;)
    {
        if (IsFull())
            return false;
        OpenElement(node, depth);
        if (!node->m_children.IsEmpty())
            open.push_back({node, depth, node->m_children.GetHeadPosition()});
        else
            CloseElement(node, depth);
        while (!open.empty() && open.back().next == nullptr)
        {
            CloseElement(open.back().node, open.back().depth);
            open.pop_back();
        }
        if (open.empty())
            return !IsFull();
        node = open.back().node->m_children.GetNext(open.back().next);
        depth = open.back().depth + 1;
    }
}

void CULXMLWriter::OpenElement(const CULXMLData::CNode* node, int depth)
{
    const bool hasChildren = !node->m_children.IsEmpty();
    Tabs(depth);
    m_out += '<';
    m_out += node->m_name.str();
    if (!node->m_attributes.IsEmpty())
        WritePairs(node->m_attributes, depth + 1, ">\r\n");
    else
        m_out += node->m_text.IsEmpty() || hasChildren ? ">\r\n" : ">";
    if (!node->m_text.IsEmpty())
    {
        if (hasChildren)
            Tabs(depth + 1);
        Escaped(node->m_text.str());
        if (hasChildren)
            m_out += "\r\n";
    }
    for (POSITION position = node->m_sections.GetHeadPosition(); position != nullptr;)
    {
        const CULXMLData::CSection* section = node->m_sections.GetNext(position);
        Tabs(depth + 1);
        m_out += '<';
        m_out += section->m_name.str();
        m_out += ' ';
        WritePairs(section->m_entries, depth + 2, "/>\r\n");
    }
}

void CULXMLWriter::CloseElement(const CULXMLData::CNode* node, int depth)
{
    // A text-only element closes on its text's line.
    if (!node->m_children.IsEmpty() || node->m_text.IsEmpty())
        Tabs(depth);
    m_out += "</";
    m_out += node->m_name.str();
    m_out += ">\r\n";
}

void CULXMLWriter::WritePairs(const CULList<CULXMLData::CEntry*>& pairs, int level,
                              const char* closing)
{
    for (POSITION position = pairs.GetHeadPosition(); position != nullptr && !IsFull();)
    {
        const CULXMLData::CEntry* pair = pairs.GetNext(position);
        m_out += "\r\n";
        Tabs(level);
        m_out += pair->m_name.str();
        m_out += "=\"";
        Escaped(pair->m_value.str());
        m_out += "\" ";
    }
    m_out += "\r\n";
    Tabs(level - 1);
    m_out += closing;
}

void CULXMLWriter::Escaped(std::string_view text)
{
    for (std::size_t from = 0; from < text.size() && !IsFull(); from += kEscapeSlice)
        AppendEscapedXmlText(m_out, text.substr(from, kEscapeSlice));
}

void CULXMLWriter::Tabs(int count)
{
    if (count > 0)
        m_out.append(static_cast<std::size_t>(count), '\t');
}
