#include "line/CLogTemplate.h"

#include <cctype>

namespace
{
const char kNoComponentName[] = "NotSet";

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

CLogTemplate::~CLogTemplate() = default;

void CLogTemplate::Parse(const CString& format)
{
    m_elements.clear();
    for (CLogControl::CLogString*& slot : m_slots)
        slot = nullptr;
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
    Element element{std::make_unique<CLogControl::CLogString>(), kFieldCount};
    const int tilde = text.Find('~');
    if (tilde != 0)
    {
        const int literalLength = tilde > 0 ? tilde : text.GetLength();
        element.string->Text() = text.Left(literalLength);
        text.Delete(0, literalLength);
    }
    else
    {
        const Keyword* keyword = FindToken(text.Left(kTokenLength));
        text.Delete(0, kTokenLength);
        if (keyword != nullptr)
        {
            // A repeated keyword is shown only where it occurs last.
            for (Element& earlier : m_elements)
                if (earlier.field == keyword->field)
                    earlier.field = kFieldCount;
            m_slots[keyword->field] = element.string.get();
            element.field = keyword->field;
            ReadWidthSuffix(keyword->field, *element.string, text);
        }
    }
    m_elements.push_back(std::move(element));
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

const CLineBuffer& CLogTemplate::Render(const CLogLineFields& fields)
{
    m_line.Empty();
    for (const Element& element : m_elements)
        RenderElement(element, fields);
    m_line.Append('\n');
    return m_line;
}

void CLogTemplate::RenderElement(const Element& element, const CLogLineFields& fields)
{
    const CLogControl::CLogString& string = *element.string;
    switch (element.field)
    {
    case kComponent:
        return string.RenderText(m_line,
                                 fields.component != nullptr ? fields.component : kNoComponentName);
    case kFile:
        return string.RenderText(m_line, fields.file);
    case kLine:
        return string.RenderDecimal(m_line, fields.line);
    case kFunction:
        return string.RenderText(m_line, fields.function);
    case kLevel:
        return string.RenderDecimal(m_line, fields.level);
    case kLevelString:
        return string.RenderText(m_line, fields.levelString);
    case kId:
    case kSpaceId:
        return string.RenderText(m_line, fields.id);
    case kIdMessage:
        return string.RenderMessage(m_line, fields.indent, fields.id, fields.message);
    case kMessage:
        return string.RenderMessage(m_line, fields.indent, nullptr, fields.message);
    case kTime:
        return RenderTime(string, fields.time, false);
    case kTimestamp:
        return string.RenderDecimal(m_line, fields.timestamp);
    case kDateTime:
        return RenderTime(string, fields.time, true);
    case kThread:
        return string.RenderDecimal(m_line, fields.thread);
    case kThreadX:
        return string.RenderHex(m_line, fields.thread);
    case kFieldCount:
        break;
    }
    string.RenderLiteral(m_line);
}

void CLogTemplate::RenderTime(const CLogControl::CLogString& element, const SYSTEMTIME& time,
                              bool withDate)
{
    // Only the milliseconds change within a second; they have three digits in any real time.
    const bool sameSecond =
        time.wSecond == m_renderedTime.wSecond && time.wMinute == m_renderedTime.wMinute &&
        time.wHour == m_renderedTime.wHour && time.wDay == m_renderedTime.wDay &&
        time.wMonth == m_renderedTime.wMonth && time.wYear == m_renderedTime.wYear;
    if (m_timeLength == 0 || !sameSecond || time.wMilliseconds > 999 ||
        m_renderedTime.wMilliseconds > 999)
        m_timeLength = RenderDateTime(m_timeText, time);
    else if (time.wMilliseconds != m_renderedTime.wMilliseconds)
        PutDecimal(m_timeText + m_timeLength - 3, time.wMilliseconds, 3);
    m_renderedTime = time;
    const int length = withDate ? m_timeLength : kClockTimeLength;
    element.RenderText(m_line, m_timeText + m_timeLength - length, length);
}
