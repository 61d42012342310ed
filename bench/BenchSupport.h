// Shared set-up of the benchmarks: a peer that reaches the controller's fields, a suite
// installation in a scratch folder, and the one message every line benchmark logs.
#pragma once

#include "controller/CLogControl.h"

#include <string>

class CLogControlTestPeer
{
public:
    static void SetOutputDevices(unsigned long devices)
    {
        CLogControl::PeekInstance()->m_outputDevices = devices;
    }
    // Opens the log file with the given lines between device flushes (0: never flushed), mapped
    // or written. The size limit is the largest there is, so that no run empties its file and
    // writes a new header (spdlog's file has no limit).
    static void OpenLogFile(const char* folder, const char* name, unsigned long linesPerFlush,
                            bool mapped = false)
    {
        CLogControl* controller = CLogControl::PeekInstance();
        controller->m_linesPerFlush = linesPerFlush;
        controller->m_maxLogFileSize = 0xFFFFFFFFUL;
        controller->m_fileMapping = mapped ? 1 : 0;
        controller->OpenLogFile(folder, name);
    }
};

namespace bench
{
// The folder that benchmark files go to: KVLOG_BENCH_DIR, or a folder below the working folder,
// so that the files land on the disk under test and not on a memory file system.
std::string ScratchFolder();
// A suite installation inside the scratch folder, so that the settings file stays out of the way.
void UseScratchSuite();

// 48 characters once formatted; with the default template the line is 104 bytes long.
constexpr const char* kMessageFormat = "Moving axis %d to position %.3f mm at speed %d";
} // namespace bench
