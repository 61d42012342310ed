// One log line as one JSON object (the entry of a ".jsonl" log file), in UTF-8 whatever the
// process code page:
//   {"time":"2026-12-06T09:14:03.482113+01:00","severity_text":"Information",
//    "severity_number":9,"application":"Motor_Test","process_id":4711,"thread_id":4712,
//    "component":"Motion","id":null,"file":"motion.cpp","line":42,"function":"Home",
//    "block_depth":0,"body":"homing axis 1"}
// A text of the program that is no well-formed UTF-8 keeps each foreign byte as the character of
// the same number (ISO 8859-1), escaped as "\u00XX", as the settings files read such bytes.
#pragma once

#include "OsCodePage.h"
#include "OsTime.h"
#include "line/CLineBuffer.h"

#include <cstddef>

// The facts of one line; a null text is written as null.
struct CJsonLineFields
{
    os::PreciseLocalTime time;
    // The mask, which chooses the severity number.
    unsigned long level = 0;
    const char* levelString = nullptr;
    const char* application = nullptr;
    unsigned long processId = 0;
    unsigned long thread = 0;
    const char* component = nullptr;
    const char* id = nullptr;
    const char* file = nullptr;
    unsigned long line = 0;
    const char* function = nullptr;
    unsigned long blockDepth = 0;
    // The message without the block indentation.
    const char* message = nullptr;
};

class CJsonLineRenderer
{
public:
    // Appends the object, without a line end, to the buffer; allocates only while the buffer or
    // the conversion storage grows.
    void Render(const CJsonLineFields& fields, CLineBuffer& out);

    // The OpenTelemetry log data model's numbers: Error 17, Warning 13, Information 9,
    // Success 10, Debug 5, every other level 1.
    static unsigned SeverityNumber(unsigned long level);

private:
    void AppendText(CLineBuffer& out, const char* name, const char* text);

    os::Utf8Conversion m_conversion;
};
