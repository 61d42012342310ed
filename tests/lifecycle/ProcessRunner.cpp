#ifdef _WIN32
// The system's declarations first: the framework's own declarations of the same types defer.
#include <windows.h>
#endif

#include "ProcessRunner.h"

#include "CKVXMLConfig.h"
#include "TestSupport.h"

#include <algorithm>
#include <chrono>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kvtest
{
void WriteConfigSettings(const std::string& settingsFile,
                         const std::vector<std::pair<const char*, std::string>>& values)
{
    CKVXMLConfig settings;
    settings.Open(settingsFile.c_str());
    for (const auto& value : values)
        settings.SetString("config", value.first, value.second.c_str());
    settings.Save();
}

std::string PluginBesideThis(const char* name)
{
    const CString program = SiblingProgram(name);
    const bool windows = program.Right(4).CompareNoCase(".exe") == 0;
    return windows ? (program.Left(program.GetLength() - 4) + ".dll").str() : program.str() + ".so";
}

ProcessRun::~ProcessRun()
{
    Wait(0);
}

#ifdef _WIN32
ProcessRun::ProcessRun(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingFolder)
{
    std::string commandLine = "\"" + program + "\"";
    for (const std::string& argument : arguments)
        commandLine += " \"" + argument + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.c_str(), &startup, &process))
        return;
    ::CloseHandle(process.hThread);
    m_process = reinterpret_cast<std::intptr_t>(process.hProcess);
}

ProcessOutcome ProcessRun::Wait(int deadlineMilliseconds)
{
    if (m_process == 0)
        return m_outcome;
    HANDLE process = reinterpret_cast<HANDLE>(m_process);
    m_process = 0;
    if (::WaitForSingleObject(process, static_cast<DWORD>(deadlineMilliseconds)) == WAIT_OBJECT_0)
    {
        DWORD code = 0;
        ::GetExitCodeProcess(process, &code);
        m_outcome.ended = true;
        // An unhandled exception ends a process with its exception code (0xC0000005 and the like).
        m_outcome.normal = code < 0xC0000000u;
        m_outcome.exitCode = static_cast<int>(code);
    }
    else
    {
        ::TerminateProcess(process, 99);
        ::WaitForSingleObject(process, INFINITE);
    }
    ::CloseHandle(process);
    return m_outcome;
}
#else
ProcessRun::ProcessRun(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingFolder)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0 && ::chdir(workingFolder.c_str()) == 0)
        ::execv(program.c_str(), argv.data());
    if (child == 0)
        ::_exit(127);
    m_process = std::max(child, 0);
}

ProcessOutcome ProcessRun::Wait(int deadlineMilliseconds)
{
    if (m_process == 0)
        return m_outcome;
    const pid_t child = static_cast<pid_t>(m_process);
    m_process = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMilliseconds);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return m_outcome;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_outcome.ended = true;
    m_outcome.normal = WIFEXITED(status);
    m_outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_outcome;
}
#endif
} // namespace kvtest
