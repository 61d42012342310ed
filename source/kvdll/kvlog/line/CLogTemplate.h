// The parsed line template: the ordered elements, one slot per keyword naming the element that
// shows it, and the line rendered from the elements. Parsed once per change of the template,
// rendered for every line straight into one buffer; the caller holds the controller's lock.
#pragma once

#include "FrameworkTypes.h"
#include "line/CLineBuffer.h"
#include "line/CLogString.h"
#include "line/LogFormatting.h"

#include <memory>
#include <vector>

// The values of one line; the template reads those of the fields it shows.
struct CLogLineFields
{
    // Null for a line of no component, which COMPONENT shows as "NotSet".
    const char* component = nullptr;
    const char* file = nullptr;
    unsigned long line = 0;
    const char* function = nullptr;
    // The level as LEVEL shows it.
    unsigned long level = 0;
    const char* levelString = nullptr;
    const char* id = nullptr;
    const char* message = nullptr;
    // Blanks before the message.
    unsigned long indent = 0;
    SYSTEMTIME time = {};
    unsigned long timestamp = 0;
    unsigned long thread = 0;
};

class CLogTemplate
{
public:
    // The keywords in slot order.
    enum Field
    {
        kComponent,
        kFile,
        kLine,
        kFunction,
        kLevel,
        kLevelString,
        kId,
        kSpaceId,
        kIdMessage,
        kMessage,
        kTime,
        kTimestamp,
        kDateTime,
        kThread,
        kThreadX,
        kFieldCount
    };
    // Widths beyond this are taken as this, so that no field can ask for gigabytes of blanks.
    static const unsigned long kMaxFieldWidth = 9999;

    CLogTemplate() = default;
    CLogTemplate(const CLogTemplate&) = delete;
    CLogTemplate& operator=(const CLogTemplate&) = delete;
    ~CLogTemplate();

    // Replaces all elements and slots by those of the template; any text parses.
    void Parse(const CString& format);
    // True when the template shows the keyword.
    bool Uses(Field field) const { return m_slots[field] != nullptr; }
    // Renders the elements, each cut to its width, and ends the line with one LF. The line stays
    // valid until the next rendering or parsing.
    const CLineBuffer& Render(const CLogLineFields& fields);

    int GetElementCount() const { return static_cast<int>(m_elements.size()); }
    const CLogControl::CLogString& GetElement(int index) const { return *m_elements[index].string; }

private:
    // An element and the field it shows; kFieldCount for literal texts and for a keyword that a
    // later one of the same name replaced, which shows nothing.
    struct Element
    {
        std::unique_ptr<CLogControl::CLogString> string;
        Field field;
    };

    static void ReplaceEscapesAndKeywords(CString& text);
    // Removes the element's first part from the text and appends the element.
    void TakeElement(CString& text);
    void ReadWidthSuffix(Field field, CLogControl::CLogString& element, CString& text);
    void RenderElement(const Element& element, const CLogLineFields& fields);
    // The date and time, or only the time, of the fields.
    void RenderTime(const CLogControl::CLogString& element, const SYSTEMTIME& time, bool withDate);

    std::vector<Element> m_elements;
    CLogControl::CLogString* m_slots[kFieldCount] = {};
    CLineBuffer m_line;
    // The date and time last rendered; the milliseconds are written anew for each line, the rest
    // once a second.
    SYSTEMTIME m_renderedTime = {};
    char m_timeText[kMaxDateTimeLength] = {};
    int m_timeLength = 0;
};
