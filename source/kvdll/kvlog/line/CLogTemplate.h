// The parsed line template: the ordered elements, one slot per keyword naming the element that
// shows it, and the line joined from the elements. Parsed once per change of the template,
// rendered for every line; the caller holds the controller's lock.
#pragma once

#include "CArray.h"
#include "line/CLogString.h"

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
    // The element that shows the keyword, or null when the template does not use it.
    CLogControl::CLogString* GetSlot(Field field) const { return m_slots[field]; }
    // Joins the elements, each truncated to its width, and ends the line with one LF.
    const CString& FormatLine();

    int GetElementCount() const { return m_elements.GetSize(); }
    const CLogControl::CLogString& GetElement(int index) const { return *m_elements[index]; }

private:
    void Clear();
    static void ReplaceEscapesAndKeywords(CString& text);
    // Removes the element's first part from the text and appends the element.
    void TakeElement(CString& text);
    void ReadWidthSuffix(Field field, CLogControl::CLogString& element, CString& text);

    CArray<CLogControl::CLogString*> m_elements;
    CLogControl::CLogString* m_slots[kFieldCount] = {};
    CString m_line;
};
