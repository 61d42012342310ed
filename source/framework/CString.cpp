#include "CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace
{
const char kWhitespace[] = " \t\r\n\v\f";

bool IsInSet(char ch, const char* chars)
{
    return ch != '\0' && chars != nullptr && std::strchr(chars, ch) != nullptr;
}

// Formats into a fresh text; the text is empty when the format is null or rejected. Short
// results, the common case, take one pass through a stack buffer.
std::string FormatToString(const char* format, va_list args)
{
    if (format == nullptr)
        return std::string();
    char shortBuffer[256];
    va_list attempt;
    va_copy(attempt, args);
    const int length = std::vsnprintf(shortBuffer, sizeof(shortBuffer), format, attempt);
    va_end(attempt);
    if (length <= 0)
        return std::string();
    if (static_cast<std::size_t>(length) < sizeof(shortBuffer))
        return std::string(shortBuffer, static_cast<std::size_t>(length));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
    return text;
}
} // namespace

CString::CString(const char* text) : m_text(text != nullptr ? text : "") {}

CString::CString(const char* text, int length)
{
    if (text != nullptr && length > 0)
        m_text.assign(text, static_cast<std::size_t>(length));
}

CString::CString(char ch, int repeat)
{
    if (repeat > 0)
        m_text.assign(static_cast<std::size_t>(repeat), ch);
}

int CString::ClampIndex(int index) const
{
    return std::clamp(index, 0, GetLength());
}

char CString::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_text[static_cast<std::size_t>(index)] : '\0';
}

void CString::SetAt(int index, char ch)
{
    if (index >= 0 && index < GetLength())
        m_text[static_cast<std::size_t>(index)] = ch;
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    m_text = FormatToString(format, args);
}

void CString::AppendFormatV(const char* format, va_list args)
{
    m_text += FormatToString(format, args);
}

CString& CString::operator=(const char* text)
{
    m_text = text != nullptr ? text : "";
    return *this;
}

CString& CString::operator=(char ch)
{
    m_text.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const CString& text)
{
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text != nullptr)
        m_text += text;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_text += ch;
    return *this;
}

void CString::Append(const char* text, int length)
{
    if (text != nullptr && length > 0)
        m_text.append(text, static_cast<std::size_t>(length));
}

int CString::Compare(const char* text) const
{
    const int result = std::strcmp(GetString(), text != nullptr ? text : "");
    return (result > 0) - (result < 0);
}

int CString::CompareNoCase(const char* text) const
{
    const unsigned char* left = reinterpret_cast<const unsigned char*>(GetString());
    const unsigned char* right =
        reinterpret_cast<const unsigned char*>(text != nullptr ? text : "");
    for (;; ++left, ++right)
    {
        const int a = std::tolower(*left);
        const int b = std::tolower(*right);
        if (a != b)
            return a < b ? -1 : 1;
        if (a == 0)
            return 0;
    }
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const std::size_t found = m_text.find(ch, static_cast<std::size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::Find(const char* text, int start) const
{
    if (text == nullptr || start < 0 || start > GetLength())
        return -1;
    const std::size_t found = m_text.find(text, static_cast<std::size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::ReverseFind(char ch) const
{
    const std::size_t found = m_text.rfind(ch);
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::FindOneOf(const char* chars) const
{
    if (chars == nullptr || *chars == '\0')
        return -1;
    const std::size_t found = m_text.find_first_of(chars);
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

CString CString::Left(int count) const
{
    return CString(m_text.substr(0, static_cast<std::size_t>(ClampIndex(count))));
}

CString CString::Mid(int first) const
{
    return CString(m_text.substr(static_cast<std::size_t>(ClampIndex(first))));
}

CString CString::Mid(int first, int count) const
{
    const int from = ClampIndex(first);
    const int length = std::clamp(count, 0, GetLength() - from);
    return CString(m_text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(length)));
}

CString CString::Right(int count) const
{
    const int length = ClampIndex(count);
    return CString(m_text.substr(static_cast<std::size_t>(GetLength() - length)));
}

CString& CString::MakeLower()
{
    for (char& ch : m_text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return *this;
}

CString& CString::MakeUpper()
{
    for (char& ch : m_text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_text.begin(), m_text.end());
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(const char* chars)
{
    return TrimRight(chars).TrimLeft(chars);
}

CString& CString::TrimLeft()
{
    return TrimLeft(kWhitespace);
}

CString& CString::TrimLeft(const char* chars)
{
    std::size_t first = 0;
    while (first < m_text.size() && IsInSet(m_text[first], chars))
        ++first;
    m_text.erase(0, first);
    return *this;
}

CString& CString::TrimLeft(char ch)
{
    const char chars[2] = {ch, '\0'};
    return TrimLeft(chars);
}

CString& CString::TrimRight()
{
    return TrimRight(kWhitespace);
}

CString& CString::TrimRight(const char* chars)
{
    std::size_t end = m_text.size();
    while (end > 0 && IsInSet(m_text[end - 1], chars))
        --end;
    m_text.erase(end);
    return *this;
}

CString& CString::TrimRight(char ch)
{
    const char chars[2] = {ch, '\0'};
    return TrimRight(chars);
}

int CString::Replace(char oldChar, char newChar)
{
    int count = 0;
    for (char& ch : m_text)
    {
        if (ch == oldChar)
        {
            ch = newChar;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* oldText, const char* newText)
{
    if (oldText == nullptr || *oldText == '\0')
        return 0;
    const std::string replacement = newText != nullptr ? newText : "";
    const std::size_t oldLength = std::strlen(oldText);
    std::string result;
    int count = 0;
    std::size_t from = 0;
    for (std::size_t found; (found = m_text.find(oldText, from)) != std::string::npos;)
    {
        result.append(m_text, from, found - from);
        result += replacement;
        from = found + oldLength;
        ++count;
    }
    result.append(m_text, from, std::string::npos);
    m_text.swap(result);
    return count;
}

int CString::Remove(char ch)
{
    const std::size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, const char* text)
{
    if (text != nullptr)
        m_text.insert(static_cast<std::size_t>(ClampIndex(index)), text);
    return GetLength();
}

int CString::Insert(int index, char ch)
{
    m_text.insert(static_cast<std::size_t>(ClampIndex(index)), 1, ch);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index >= 0 && index < GetLength() && count > 0)
        m_text.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    return GetLength();
}

CString CString::Tokenize(const char* delimiters, int& start) const
{
    if (start < 0 || start >= GetLength())
    {
        start = -1;
        return CString();
    }
    std::size_t from = static_cast<std::size_t>(start);
    while (from < m_text.size() && IsInSet(m_text[from], delimiters))
        ++from;
    if (from >= m_text.size())
    {
        start = -1;
        return CString();
    }
    std::size_t to = from;
    while (to < m_text.size() && !IsInSet(m_text[to], delimiters))
        ++to;
    start = static_cast<int>(to < m_text.size() ? to + 1 : to);
    return CString(m_text.substr(from, to - from));
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_text.resize(static_cast<std::size_t>(minLength));
    return &m_text[0];
}

char* CString::GetBufferSetLength(int length)
{
    m_text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        m_text.resize(std::strlen(m_text.c_str()));
    else if (static_cast<std::size_t>(newLength) <= m_text.size())
        m_text.resize(static_cast<std::size_t>(newLength));
}

CString operator+(const CString& left, const CString& right)
{
    return CString(left) += right;
}
CString operator+(const CString& left, const char* right)
{
    return CString(left) += right;
}
CString operator+(const char* left, const CString& right)
{
    return CString(left) += right;
}
CString operator+(const CString& left, char right)
{
    return CString(left) += right;
}
CString operator+(char left, const CString& right)
{
    return CString(left) += right;
}

bool operator==(const CString& left, const CString& right)
{
    return left.str() == right.str();
}
bool operator==(const CString& left, const char* right)
{
    return left.Compare(right) == 0;
}
bool operator==(const char* left, const CString& right)
{
    return right.Compare(left) == 0;
}
bool operator!=(const CString& left, const CString& right)
{
    return !(left == right);
}
bool operator!=(const CString& left, const char* right)
{
    return !(left == right);
}
bool operator!=(const char* left, const CString& right)
{
    return !(right == left);
}
bool operator<(const CString& left, const CString& right)
{
    return left.str() < right.str();
}
