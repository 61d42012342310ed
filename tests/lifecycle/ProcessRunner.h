// Starts a scenario program and waits for it with a deadline of its own, so that a hang fails
// the test within seconds.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kvtest
{
struct ProcessOutcome
{
    bool ended = false;  // false: still running at the deadline (then killed)
    bool normal = false; // ended by returning or exit, not by a signal or a crash
    int exitCode = -1;
};

// A started program; Wait ends it by force when the deadline passes.
class ProcessRun
{
public:
    ProcessRun(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingFolder);
    ProcessRun(const ProcessRun&) = delete;
    ProcessRun& operator=(const ProcessRun&) = delete;
    ~ProcessRun();

    ProcessOutcome Wait(int deadlineMilliseconds);

private:
    ProcessOutcome m_outcome;
    std::intptr_t m_process = 0;
};

// Sets keys of the "config" section of a scenario program's settings file before it starts.
void WriteConfigSettings(const std::string& settingsFile,
                         const std::vector<std::pair<const char*, std::string>>& values);
// The file name that a plugin built beside this program has.
std::string PluginBesideThis(const char* name);
} // namespace kvtest
