#include "CULXMLReader.h"

#include "XmlEntities.h"

#include <cctype>
#include <cstring>

namespace
{
const char kWhitespace[] = " \t\r\n\v\f";
const char kIrregularHeader[] = "Irregular xml header or missing end tag.";
const char kTooDeep[] = "Elements nested deeper than 32.";
const char kTooManyElements[] = "More than 16384 elements.";
const char kTooManyAttributes[] = "More than 65536 attributes.";
// Each element gives at most a start tag, a text and an end tag; comments before the root are few.
const std::size_t kMaxTokens = 3 * CULXMLReader::kMaxElements + 1024;

std::string_view TrimLeft(std::string_view text, const char* chars)
{
    const std::size_t first = text.find_first_not_of(chars);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRight(std::string_view text, const char* chars)
{
    const std::size_t last = text.find_last_not_of(chars);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text, const char* chars)
{
    return TrimRight(TrimLeft(text, chars), chars);
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

CString ToCString(std::string_view text)
{
    return CString(text.data(), static_cast<int>(text.size()));
}

std::string ToLower(std::string_view text)
{
    std::string lower(text);
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lower;
}
} // namespace

bool CULXMLReader::Parse(std::string text)
{
    m_document.m_lastError.Empty();
    m_scratch = std::move(text);
    Tokenize();
    if (m_tokens.size() > kMaxTokens)
        return Fail(kTooManyElements);
    if (!HasTokens())
        return Fail("No data to parse.");
    if (!ReadHeader())
        return Fail(kIrregularHeader);
    while (HasTokens() &&
           (Contains(TokenAt(m_first), "<?xml") || Contains(TokenAt(m_first), "<!--")))
        ++m_first;
    return !HasTokens() || BuildTree();
}

// Each character is read once and written at most once, behind the reading position, so the
// tokens take the place of the text. Runs of plain characters are moved at once.
void CULXMLReader::Tokenize()
{
    static const struct Plain
    {
        bool table[256] = {};
        Plain()
        {
            for (int ch = 0; ch < 256; ++ch)
                table[ch] = std::string_view("\r\t\n <>\"").find(static_cast<char>(ch)) ==
                            std::string_view::npos;
        }
    } kPlain;
    char* const text = &m_scratch[0];
    const std::size_t length = m_scratch.size();
    bool inTag = false;
    bool inQuotes = false;
    std::size_t start = 0;
    std::size_t written = 0;
    const auto finish = [&]()
    {
        if (written > start)
            m_tokens.push_back(
                {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(written - start)});
        start = written;
    };
    for (std::size_t read = 0; read < length && m_tokens.size() <= kMaxTokens;)
    {
        std::size_t plain = read;
        while (plain < length && kPlain.table[static_cast<unsigned char>(text[plain])])
            ++plain;
        if (plain > read)
        {
            std::memmove(text + written, text + read, plain - read);
            written += plain - read;
            read = plain;
            continue;
        }
        char ch = text[read++];
        if (ch == '\r')
            continue;
        if (ch == '\t' || ch == '\n')
            ch = ' ';
        if (ch == '<' && !inTag && !inQuotes)
        {
            finish();
            inTag = true;
        }
        // Leading spaces never make it into a token.
        if (ch != ' ' || written > start)
            text[written++] = ch;
        if (ch == '"')
            inQuotes = !inQuotes;
        else if (ch == '>' && inTag && !inQuotes)
        {
            finish();
            inTag = false;
        }
    }
    m_scratch.resize(start);
}

std::string_view CULXMLReader::TokenAt(std::size_t index) const
{
    const Token& token = m_tokens[index];
    return std::string_view(m_scratch).substr(token.begin, token.length);
}

bool CULXMLReader::ReadHeader()
{
    const std::string_view first = TokenAt(m_first);
    if (Contains(first, "<?xml"))
    {
        // A declaration alone fails before it changes anything.
        if (m_tokens.size() - m_first == 1)
            return false;
        ReadDeclaration(first);
        ++m_first;
        return true;
    }
    const std::string_view last = TokenAt(m_tokens.size() - 1);
    const auto isTag = [](std::string_view token)
    { return Contains(token, "<") && Contains(token, ">"); };
    if (!isTag(first) || !isTag(last))
        return false;
    const std::string_view opening = Trim(first, "\"<>?");
    const std::string_view closing = Trim(last, "\"<>?/");
    if (opening.empty() || closing.empty() || !StartsWith(opening, closing))
        return false;
    m_document.m_version = "1.0";
    m_document.m_encoding = "UTF-8";
    return true;
}

void CULXMLReader::ReadDeclaration(std::string_view declaration)
{
    for (std::size_t from = 0; from < declaration.size();)
    {
        std::size_t to = declaration.find(' ', from);
        if (to == std::string_view::npos)
            to = declaration.size();
        const std::string_view part = Trim(declaration.substr(from, to - from), kWhitespace);
        from = to + 1;
        const std::size_t equals = part.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string key = ToLower(part.substr(0, equals));
        const CString value = ToCString(Trim(part.substr(equals + 1), "\"<>?"));
        if (Contains(key, "version"))
            m_document.m_version = value;
        else if (Contains(key, "encoding"))
            m_document.m_encoding = value;
    }
    if (m_document.m_encoding.IsEmpty())
        m_document.m_encoding = "UTF-8";
}

bool CULXMLReader::BuildTree()
{
    for (std::size_t index = m_first; index < m_tokens.size(); ++index)
        if (!HandleToken(TokenAt(index)))
            return Refuse(TokenAt(index));
    if (!m_openNames.IsEmpty())
    {
        m_document.Clear();
        return Fail("Missing closing tag or invalid end of file.");
    }
    return true;
}

bool CULXMLReader::HandleToken(std::string_view token)
{
    if (StartsWith(token, "<!"))
        return PushOpenName(ToCString(TrimLeft(token, "<")));
    if (StartsWith(token, "!>"))
        return ToCString(TrimRight(token, ">")) == m_openNames.Pop();
    if (StartsWith(token, "</"))
        return HandleEndTag(token);
    if (StartsWith(token, "/"))
    {
        m_openNames.Pop();
        LeaveCurrentNode();
        return true;
    }
    if (StartsWith(token, "<"))
        return HandleStartTag(token);
    return HandleText(token);
}

bool CULXMLReader::HandleEndTag(std::string_view token)
{
    const CString name = ToCString(TrimRight(TrimLeft(token, "</"), ">"));
    if (name != m_openNames.Pop())
        return false;
    LeaveCurrentNode();
    return true;
}

bool CULXMLReader::HandleStartTag(std::string_view token)
{
    const bool hasAttributes = Contains(token, "=\"");
    const bool selfClosing = Contains(token, "/>");
    if (hasAttributes)
        return ScanAttributes(token, selfClosing);
    const std::string_view name = TrimRight(TrimLeft(token, "<"), selfClosing ? "/>" : ">");
    return CreateTagObject(std::string(name), selfClosing) != nullptr;
}

bool CULXMLReader::HandleText(std::string_view token)
{
    if (m_current == nullptr || !m_current->m_text.IsEmpty())
        return false;
    m_current->m_text = ToCString(DecodeXmlText(Trim(token, kWhitespace)));
    return true;
}

bool CULXMLReader::ScanAttributes(std::string_view token, bool isSection)
{
    const std::string_view body = Trim(TrimRight(TrimLeft(token, "<"), ">"), kWhitespace);
    std::string key;
    std::string value;
    bool namePending = true;
    bool inQuotes = false;
    CULList<CULXMLData::CEntry*>* pairs = nullptr;
    for (std::size_t i = 0; i < body.size(); ++i)
    {
        const char ch = body[i];
        if (inQuotes && !namePending)
        {
            // The rest of the value at once; without its closing quote it is dropped.
            const std::size_t close = body.find('"', i);
            if (close == std::string_view::npos)
                break;
            std::string_view text = body.substr(i, close - i);
            if (!value.empty())
                text = value.append(text);
            inQuotes = false;
            if (pairs == nullptr || !AddPair(*pairs, Trim(key, kWhitespace), text))
                return false;
            key.clear();
            value.clear();
            i = close;
        }
        else if (ch == ' ' && namePending)
        {
            namePending = false;
            if ((pairs = CreateTagObject(key, isSection)) == nullptr)
                return false;
            key.clear();
        }
        else if (ch == ' ')
        {
            // Outside quotes: dropped.
        }
        else if (ch == '"' && !inQuotes)
        {
            key.erase(key.find_last_not_of('=') + 1);
            inQuotes = true;
        }
        else if (ch == '"')
        {
            inQuotes = false;
            if (pairs == nullptr || !AddPair(*pairs, Trim(key, kWhitespace), value))
                return false;
            key.clear();
            value.clear();
        }
        else
            (inQuotes ? value : key) += ch;
    }
    return true;
}

bool CULXMLReader::AddPair(CULList<CULXMLData::CEntry*>& pairs, std::string_view name,
                           std::string_view value)
{
    if (++m_attributes > kMaxAttributes)
    {
        m_passedBound = kTooManyAttributes;
        return false;
    }
    pairs.AddTail(new CULXMLData::CEntry{ToCString(name), CString(DecodeXmlText(value))});
    return true;
}

// The section or node a tag opens, as the list that takes its attributes; null when refused.
CULList<CULXMLData::CEntry*>* CULXMLReader::CreateTagObject(const std::string& name, bool isSection)
{
    if (!CountElement())
        return nullptr;
    if (isSection)
    {
        if (m_current == nullptr)
            return nullptr;
        CULXMLData::CSection* section = new CULXMLData::CSection;
        section->m_name = CString(name);
        m_current->m_sections.AddTail(section);
        return &section->m_entries;
    }
    if (!PushOpenName(CString(name)))
        return nullptr;
    CULXMLData::CNode* node = m_document.CreateNode(m_current, CString(name));
    if (node == nullptr)
        return nullptr;
    m_current = node;
    return &node->m_attributes;
}

bool CULXMLReader::CountElement()
{
    if (++m_elements <= kMaxElements)
        return true;
    m_passedBound = kTooManyElements;
    return false;
}

bool CULXMLReader::PushOpenName(const CString& name)
{
    if (m_openNames.GetCount() >= kMaxDepth)
    {
        m_passedBound = kTooDeep;
        return false;
    }
    m_openNames.Push(name);
    return true;
}

void CULXMLReader::LeaveCurrentNode()
{
    if (m_current != nullptr)
        m_current = m_current->m_parent;
}

bool CULXMLReader::Fail(const char* message)
{
    m_document.m_lastError = message;
    return false;
}

bool CULXMLReader::Refuse(std::string_view token)
{
    if (m_passedBound != nullptr)
    {
        m_document.Clear();
        return Fail(m_passedBound);
    }
    CString message = "Unexpected token '" + ToCString(token) + "'";
    if (m_document.HasRoot())
        message += " at node '" + m_document.GetRoot()->m_name + "'.";
    m_document.m_lastError = message;
    m_document.Clear();
    return false;
}
