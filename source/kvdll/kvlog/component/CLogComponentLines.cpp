// The block, composed-line, settings and log-file members of CLogComponent.
#include "OsFileSystem.h"
#include "controller/CLineLock.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

void CLogComponent::LogStartBlock()
{
    CLineLock lock(m_lock);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->StartBlock();
}

void CLogComponent::LogEndBlock()
{
    CLineLock lock(m_lock);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->EndBlock();
}

void CLogComponent::LogStartBlock(const char*, unsigned long, const char*, unsigned long level,
                                  const char*)
{
    if (!IsLevelEnabled(level))
        return;
    CLineLock lock(m_lock);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->StartBlock();
}

void CLogComponent::LogEndBlock(const char*, unsigned long, const char*, unsigned long level,
                                const char*)
{
    if (!IsLevelEnabled(level))
        return;
    CLineLock lock(m_lock);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->EndBlock();
}

unsigned long CLogComponent::LogGetLastBlockDuration()
{
    CLogControl* controller = CLogControl::PeekInstance();
    return controller != nullptr ? controller->GetLastBlockDuration() : 0;
}

void CLogComponent::LogStartLine()
{
    CLineLock lock(m_lock);
    m_composing = 1;
    m_composedLevel = 0;
    m_composedLevelString.Empty();
    m_composedId.Empty();
    m_composedText.Empty();
}

void CLogComponent::LogEndLine(const char* file, unsigned long line, const char* function)
{
    CLineLock lock(m_lock);
    m_composing = 0;
    try
    {
        // Level 0, when nothing was appended, passes no filter and so gives no line.
        hlpLogMapper(file, line, function, m_composedLevel, m_composedLevelString, m_composedId,
                     m_composedText);
    }
    catch (...)
    {
    }
    m_composedLevel = 0;
    m_composedLevelString.Empty();
    m_composedId.Empty();
    m_composedText.Empty();
}

unsigned long CLogComponent::LogGetSetting(const char* key, unsigned long defaultValue)
{
    CLineLock lock(m_lock);
    CLogControl* controller = CLogControl::PeekInstance();
    return controller != nullptr ? controller->LogGetSetting(key, defaultValue) : defaultValue;
}

void CLogComponent::LogSetSetting(const char* key, unsigned long value)
{
    CLineLock lock(m_lock);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->LogSetSetting(key, value);
}

CString CLogComponent::LogGetSetting(const char* key, const char* defaultValue)
{
    CLineLock lock(m_lock);
    CLogControl* controller = CLogControl::PeekInstance();
    return controller != nullptr ? controller->LogGetSetting(key, defaultValue)
                                 : CString(defaultValue);
}

void CLogComponent::LogSetSetting(const char* key, const char* value)
{
    CLineLock lock(m_lock);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->LogSetSetting(key, value);
}

CString CLogComponent::LogGetFilename()
{
    CLogControl* controller = CLogControl::PeekInstance();
    return controller != nullptr ? controller->GetFilename() : CString();
}

void CLogComponent::LogResetLogFile()
{
    CLineLock lock(m_lock);
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->ResetLogFile();
}

const char* CLogComponent::LogGetLastErrorString(unsigned long errorCode)
{
    static CString errorText;
    try
    {
        const CString systemText = os::GetErrorText(static_cast<DWORD>(errorCode));
        if (!systemText.IsEmpty())
        {
            errorText.Format("%s (%d)", systemText.GetString(),
                             static_cast<int>(static_cast<unsigned int>(errorCode)));
            errorText.Remove('\r');
            errorText.Remove('\n');
        }
    }
    catch (...)
    {
    }
    return errorText.GetString();
}
