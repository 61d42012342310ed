// Turns one log line into a syslog message of the standard's current format: header, the line's
// facts as one structured-data element, and the message text in UTF-8 without a byte-order mark.
#pragma once

#include "CString.h"

#include <cstddef>
#include <string>

// The facts of one line that the message carries; null texts are sent as empty values.
struct CSyslogFields
{
    const char* component = nullptr;
    const char* file = nullptr;
    unsigned long line = 0;
    const char* function = nullptr;
    unsigned long level = 0; // the mask, which chooses the severity
    unsigned long levelNumber = 0;
    const char* levelString = nullptr;
    const char* id = nullptr;
    unsigned long thread = 0;
    const char* message = nullptr;
};

class CSyslogFormatter
{
public:
    enum : std::size_t
    {
        // Largest message sent, notes included: the default limit of common collectors.
        kMaxMessageBytes = 8192,
        // Room kept free for the notes the sender may add (drops, reconnects).
        kNoteReserveBytes = 64,
        // Longest structured-data value, before escaping.
        kMaxValueBytes = 255
    };

    // The identity every message carries. The facility is 0 to 23.
    void SetIdentity(const char* applicationName, const char* hostName, unsigned long facility);

    // Writes the message into out, reusing its storage, and returns the offset of the "]" that
    // closes the structured-data element, where the sender inserts its notes.
    std::size_t Format(const CSyslogFields& fields, std::string& out) const;

    // Error 3, Warning 4, Success 5, Information 6, every other level 7.
    static unsigned SeverityFromLevel(unsigned long level);

private:
    std::string m_appName;
    std::string m_hostName;
    unsigned long m_facility = 1;
};
