// The controller's log file. No file is opened yet, so lines never reach this point
// (the dispatch only writes while a file is open).
#include "CLogControl.h"

void CLogControl::WriteFileLine(const CString& /*formattedLine*/, unsigned long /*colour*/) {}

void CLogControl::CloseLogFile()
{
    m_logFileOpen = 0;
}
