#include "line/CLogTemplate.h"

#include <cctype>

namespace
{
enum ValueKind
{
    kStringValue,
    kDecimalValue,
    kHexValue,
    kSpacedStringValue
};

struct Keyword
{
    const char* name;
    const char* token;
    CLogTemplate::Field field;
    ValueKind kind;
};

// In replacement order: a keyword is replaced before every keyword it contains.
const Keyword kKeywords[] = {
    {"COMPONENT", "~01", CLogTemplate::kComponent, kStringValue},
    {"FILE", "~02", CLogTemplate::kFile, kStringValue},
    {"LINE", "~03", CLogTemplate::kLine, kDecimalValue},
    {"FUNCTION", "~04", CLogTemplate::kFunction, kStringValue},
    {"LEVELSTRING", "~05", CLogTemplate::kLevelString, kStringValue},
    {"LEVEL", "~06", CLogTemplate::kLevel, kDecimalValue},
    {"IDMESSAGE", "~09", CLogTemplate::kIdMessage, kStringValue},
    {"MESSAGE", "~10", CLogTemplate::kMessage, kStringValue},
    {"SPACEID", "~07", CLogTemplate::kSpaceId, kSpacedStringValue},
    {"ID", "~08", CLogTemplate::kId, kStringValue},
    {"DATETIME", "~11", CLogTemplate::kDateTime, kStringValue},
    {"TIMESTAMP", "~12", CLogTemplate::kTimestamp, kDecimalValue},
    {"TIME", "~13", CLogTemplate::kTime, kStringValue},
    {"THREADX", "~15", CLogTemplate::kThreadX, kHexValue},
    {"THREAD", "~14", CLogTemplate::kThread, kDecimalValue},
};

const int kTokenLength = 3;

const Keyword* FindToken(const CString& token)
{
    for (const Keyword& keyword : kKeywords)
        if (token == keyword.token)
            return &keyword;
    return nullptr;
}

ValueKind KindOf(CLogTemplate::Field field)
{
    for (const Keyword& keyword : kKeywords)
        if (keyword.field == field)
            return keyword.kind;
    return kStringValue;
}

// The decimal value of the digits, saturated at the largest width a field may ask for.
unsigned long WidthOf(const CString& digits)
{
    unsigned long width = 0;
    for (int i = 0; i < digits.GetLength() && width <= CLogTemplate::kMaxFieldWidth; ++i)
        width = width * 10 + static_cast<unsigned long>(digits[i] - '0');
    return width < CLogTemplate::kMaxFieldWidth ? width : CLogTemplate::kMaxFieldWidth;
}

void BuildWidthFormat(CString& format, ValueKind kind, char flag, const CString& digits)
{
    static const char* const kConversions[] = {"%%%c%ss", "%%%c%sd", "0x%%%c%sX", " %%%c%ss"};
    format.Format(kConversions[kind], flag, digits.GetString());
}
} // namespace

CLogTemplate::~CLogTemplate()
{
    Clear();
}

void CLogTemplate::Clear()
{
    for (int i = 0; i < m_elements.GetSize(); ++i)
        delete m_elements[i];
    m_elements.RemoveAll();
    for (CLogControl::CLogString*& slot : m_slots)
        slot = nullptr;
}

void CLogTemplate::Parse(const CString& format)
{
    Clear();
    CString text = format;
    ReplaceEscapesAndKeywords(text);
    while (!text.IsEmpty())
        TakeElement(text);
}

void CLogTemplate::ReplaceEscapesAndKeywords(CString& text)
{
    text.Replace("#3C;", "<");
    text.Replace("#3c;", "<");
    text.Replace("#3E;", ">");
    text.Replace("#3e;", ">");
    for (const Keyword& keyword : kKeywords)
        text.Replace(keyword.name, keyword.token);
}

void CLogTemplate::TakeElement(CString& text)
{
    auto element = std::make_unique<CLogControl::CLogString>();
    const int tilde = text.Find('~');
    if (tilde != 0)
    {
        const int literalLength = tilde > 0 ? tilde : text.GetLength();
        element->Text() = text.Left(literalLength);
        text.Delete(0, literalLength);
    }
    else
    {
        const Keyword* keyword = FindToken(text.Left(kTokenLength));
        text.Delete(0, kTokenLength);
        if (keyword != nullptr)
        {
            m_slots[keyword->field] = element.get();
            ReadWidthSuffix(keyword->field, *element, text);
        }
    }
    m_elements.Add(element.release());
}

void CLogTemplate::ReadWidthSuffix(Field field, CLogControl::CLogString& element, CString& text)
{
    const ValueKind kind = KindOf(field);
    const char mark = text[0];
    int digitsStart = 1;
    char flag = '-';
    if (text[1] == '+' || text[1] == '-')
    {
        flag = text[1];
        digitsStart = 2;
    }
    int digitsEnd = digitsStart;
    while (std::isdigit(static_cast<unsigned char>(text[digitsEnd])))
        ++digitsEnd;
    const bool hasSuffix = (mark == ':' || mark == '!') && digitsEnd > digitsStart;
    if (!hasSuffix)
    {
        if (kind == kSpacedStringValue)
            element.SetFormat(" %s", 0);
        return;
    }
    CString digits = text.Mid(digitsStart, digitsEnd - digitsStart);
    const unsigned long width = WidthOf(digits);
    if (width == CLogTemplate::kMaxFieldWidth)
        digits.Format("%lu", width);
    text.Delete(0, digitsEnd);
    CString format;
    BuildWidthFormat(format, kind, flag, digits);
    unsigned long truncation = mark == '!' ? width : 0;
    if (kind == kSpacedStringValue && mark == '!') // the blank counts, so "!0" keeps it alone
        ++truncation;
    element.SetFormat(format, truncation);
}

const CString& CLogTemplate::FormatLine()
{
    m_line.Empty();
    for (int i = 0; i < m_elements.GetSize(); ++i)
        m_line += m_elements[i]->Truncated();
    m_line += '\n';
    return m_line;
}
