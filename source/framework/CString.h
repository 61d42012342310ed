// 8-bit text with the familiar ATL string interface. Positions and lengths are ints; a position
// outside the text is clamped rather than rejected, so no call can read out of bounds.
#pragma once

#include <cstdarg>
#include <string>
#include <utility>

#if defined(__GNUC__)
#define KV_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define KV_PRINTF_FORMAT(fmt, args)
#endif

class CString
{
public:
    CString() = default;
    CString(const char* text);
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    CString(const std::string& text) : m_text(text) {}
    CString(std::string&& text) : m_text(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    // Hands the text over without a copy and is left empty.
    std::string Release() { return std::move(m_text); }

    // Out-of-range indexes read as '\0' and writes to them are ignored.
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);

    // A null format, or one the C library rejects, gives an empty text.
    void Format(const char* format, ...) KV_PRINTF_FORMAT(2, 3);
    void AppendFormat(const char* format, ...) KV_PRINTF_FORMAT(2, 3);
    void FormatV(const char* format, va_list args);
    void AppendFormatV(const char* format, va_list args);

    CString& operator=(const char* text);
    CString& operator=(char ch);
    CString& operator+=(const CString& text);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);
    void Append(const char* text, int length);

    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* chars) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    CString& MakeLower();
    CString& MakeUpper();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(const char* chars);
    CString& TrimLeft();
    CString& TrimLeft(const char* chars);
    CString& TrimLeft(char ch);
    CString& TrimRight();
    CString& TrimRight(const char* chars);
    CString& TrimRight(char ch);

    // Both return the number of replacements; an empty search text replaces nothing.
    int Replace(char oldChar, char newChar);
    int Replace(const char* oldText, const char* newText);
    int Remove(char ch);
    int Insert(int index, const char* text);
    int Insert(int index, char ch);
    int Delete(int index, int count = 1);
    CString Tokenize(const char* delimiters, int& start) const;

    // Writable storage of at least minLength characters plus a terminating zero; the text ends
    // at ReleaseBuffer's length, or at the first zero byte when that length is negative.
    char* GetBuffer(int minLength);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

private:
    int ClampIndex(int index) const;

    std::string m_text;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const char* right);
CString operator+(const char* left, const CString& right);
CString operator+(const CString& left, char right);
CString operator+(char left, const CString& right);

bool operator==(const CString& left, const CString& right);
bool operator==(const CString& left, const char* right);
bool operator==(const char* left, const CString& right);
bool operator!=(const CString& left, const CString& right);
bool operator!=(const CString& left, const char* right);
bool operator!=(const char* left, const CString& right);
bool operator<(const CString& left, const CString& right);
