// The road of a line inside the controller: filter, render the template, dispatch.
#include "controller/CLogControl.h"

#include "CSingleLock.h"
#include "OsDebugOutput.h"
#include "OsProcess.h"
#include "OsTime.h"
#include "kvlog.h"
#include "line/CLogTemplate.h"
#include "line/LogFormatting.h"
#include "settings/CLogControlComponent.h"

namespace
{
// Blanks per open block before the message.
const unsigned long kBlockIndent = 2;

// The clock and the thread are read only for the fields that the template shows.
void ReadVaryingFields(const CLogTemplate& shown, CLogLineFields& fields)
{
    if (shown.Uses(CLogTemplate::kTime) || shown.Uses(CLogTemplate::kDateTime))
        os::GetLocalTime(&fields.time);
    if (shown.Uses(CLogTemplate::kTimestamp))
        fields.timestamp = os::GetTickCount();
    if (shown.Uses(CLogTemplate::kThread) || shown.Uses(CLogTemplate::kThreadX))
        fields.thread = os::GetCurrentThreadId();
}
} // namespace

void CLogControl::OutputLine(CLogControlComponent* record, const char* file, unsigned long line,
                             const char* function, unsigned long level, const char* levelString,
                             const char* id, unsigned long colour, const char* message)
{
    // The first line may open the log file, whose header needs the running platform.
    if (!m_headerFacts.IsRunningPlatformKnown())
        m_headerFacts.PrepareRunningPlatform();
    PrepareForFirstLine();
    CSingleLock lock(&m_lock, true);
    if (m_closed || m_loggingDisabled != 0)
        return;
    if (!PassesFilter(record, level))
        return;
    CLogLineFields fields;
    fields.component = record != nullptr ? record->GetName().GetString() : nullptr;
    fields.file = file;
    fields.line = line;
    fields.function = function;
    fields.level = LevelNumberFromMask(level);
    fields.levelString = levelString;
    fields.id = id;
    fields.message = message;
    fields.indent = m_blockDepth * kBlockIndent;
    ReadVaryingFields(*m_template, fields);
    DispatchLine(m_template->Render(fields), fields, level, colour);
    if ((m_outputDevices & kOutputSyslog) != 0)
        SendToSyslog(record, file, line, function, level, levelString, id, message);
}

void CLogControl::OutputDump(CLogControlComponent* record, const char* file, unsigned long line,
                             const char* function, unsigned long level, const char* levelString,
                             const char* id, const void* data, unsigned long length,
                             unsigned long colour, const char* message)
{
    PrepareForFirstLine();
    CSingleLock lock(&m_lock, true);
    if (m_closed)
        return;
    FormatHexDump(data, length, message);
    OutputLine(record, file, line, function, level, levelString, id, colour, m_dumpText);
}

unsigned long CLogControl::LevelNumberFromMask(unsigned long mask)
{
    const bool singleBit = (mask & (mask - 1)) == 0;
    if (mask == 0)
        return 1;
    return singleBit ? CLogComponent::ld(mask) : mask;
}

bool CLogControl::PassesFilter(const CLogControlComponent* record, unsigned long level) const
{
    if (m_outputDevices == 0)
        return false;
    if ((level & m_masterLevel) != 0)
        return true;
    // Lines of no component compare their level as a number (the older interface).
    return record == nullptr && level < m_masterLevel;
}

const CString& CLogControl::FormatClockTime()
{
    os::GetLocalTime(&m_localTime);
    m_scratch.Empty();
    AppendClockTime(m_scratch, m_localTime);
    return m_scratch;
}

void CLogControl::DispatchLine(const CLineBuffer& formattedLine, const CLogLineFields& fields,
                               unsigned long level, unsigned long colour)
{
    const bool toDebugger = (m_outputDevices & kOutputDebugger) != 0;
    if (toDebugger)
        os::OutputDebugLine(formattedLine.GetString(), colour);
    if ((m_outputDevices & kOutputFile) == 0)
        return;
    // A line the file cannot take (not open, refused, disk full) is not lost: the debugger
    // output gets it instead.
    const bool open = m_logFile.IsOpen();
    if ((!open || !WriteFileLine(formattedLine, fields, level, colour)) && !toDebugger)
        os::OutputDebugLine(formattedLine.GetString(), colour);
    if (open && m_sink != nullptr && level == 1)
        m_sink->OnErrorWritten();
}
