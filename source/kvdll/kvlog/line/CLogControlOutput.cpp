// The road of a line inside the controller: filter, render the template's fields, join, dispatch.
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
const char kNoComponentName[] = "NotSet";
const char kBlockIndent[] = "  ";
} // namespace

void CLogControl::OutputLine(CLogControlComponent* record, const char* file, unsigned long line,
                             const char* function, unsigned long level, const char* levelString,
                             const char* id, unsigned long colour, const char* message)
{
    // The first line may open the log file, whose header needs the running platform.
    if (!m_headerFacts.IsRunningPlatformKnown())
        m_headerFacts.PrepareRunningPlatform();
    CSingleLock lock(&m_lock, true);
    if (m_closed || m_loggingDisabled != 0)
        return;
    if (m_applicationName.IsEmpty())
        ApplyDefaultApplicationName(DetectApplicationName());
    if (!PassesFilter(record, level))
        return;
    RenderFields(record, file, line, function, level, levelString, id, message);
    DispatchLine(FormatLine(), level, colour);
    if ((m_outputDevices & kOutputSyslog) != 0)
        SendToSyslog(record, file, line, function, level, levelString, id, message);
}

void CLogControl::OutputDump(CLogControlComponent* record, const char* file, unsigned long line,
                             const char* function, unsigned long level, const char* levelString,
                             const char* id, const void* data, unsigned long length,
                             unsigned long colour, const char* message)
{
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

void CLogControl::RenderFields(const CLogControlComponent* record, const char* file,
                               unsigned long line, const char* function, unsigned long level,
                               const char* levelString, const char* id, const char* message)
{
    const CLogTemplate& fields = *m_template;
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kComponent))
        slot->SetText(record != nullptr ? record->GetName().GetString() : kNoComponentName);
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kFile))
        slot->SetText(file);
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kLine))
        slot->SetDecimal(line);
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kFunction))
        slot->SetText(function);
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kLevel))
        slot->SetDecimal(LevelNumberFromMask(level));
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kLevelString))
        slot->SetText(levelString);
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kId))
        slot->SetText(id);
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kSpaceId))
        slot->SetText(id);
    RenderMessageFields(id, message);
    RenderTimeFields();
}

void CLogControl::RenderMessageFields(const char* id, const char* message)
{
    CLogString* idMessage = m_template->GetSlot(CLogTemplate::kIdMessage);
    CLogString* plainMessage = m_template->GetSlot(CLogTemplate::kMessage);
    m_scratch.Empty();
    for (unsigned long depth = 0; depth < m_blockDepth; ++depth)
        m_scratch += kBlockIndent;
    const int indentLength = m_scratch.GetLength();
    if (idMessage != nullptr)
    {
        if (id != nullptr)
        {
            m_scratch += id;
            m_scratch += ' ';
        }
        m_scratch += message;
        idMessage->SetText(m_scratch);
    }
    if (plainMessage != nullptr)
    {
        m_scratch.Delete(indentLength, m_scratch.GetLength() - indentLength);
        m_scratch += message;
        plainMessage->SetText(m_scratch);
    }
}

const CString& CLogControl::FormatClockTime()
{
    os::GetLocalTime(&m_localTime);
    m_scratch.Empty();
    AppendClockTime(m_scratch, m_localTime);
    return m_scratch;
}

void CLogControl::RenderTimeFields()
{
    const CLogTemplate& fields = *m_template;
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kTime))
        slot->SetText(FormatClockTime());
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kTimestamp))
        slot->SetDecimal(os::GetTickCount());
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kDateTime))
    {
        os::GetLocalTime(&m_localTime);
        m_scratch.Empty();
        AppendDateTime(m_scratch, m_localTime);
        slot->SetText(m_scratch);
    }
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kThreadX))
        slot->SetHex(os::GetCurrentThreadId());
    if (CLogString* slot = fields.GetSlot(CLogTemplate::kThread))
        slot->SetDecimal(os::GetCurrentThreadId());
}

void CLogControl::DispatchLine(const CString& formattedLine, unsigned long level,
                               unsigned long colour)
{
    const bool toDebugger = (m_outputDevices & kOutputDebugger) != 0;
    if (toDebugger)
        os::OutputDebugStringA(formattedLine);
    if ((m_outputDevices & kOutputFile) == 0 || !m_logFile.IsOpen())
        return;
    // A line the file cannot take (disk full) is not lost: the debugger output gets it instead.
    if (!WriteFileLine(formattedLine, colour) && !toDebugger)
        os::OutputDebugStringA(formattedLine);
    if (m_sink != nullptr && level == 1)
        m_sink->OnErrorWritten();
}
