#ifdef _WIN32
// The system's declarations first: the framework's own declarations of the same types defer.
#include <windows.h>
#endif

#include "ProcessRunner.h"

#include "OsProcess.h"
#include "PathOperations.h"

#include <chrono>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kvtest
{
namespace
{
std::string Beside(const std::string& fileName)
{
    CString self;
    if (!os::GetModuleFileNameA(nullptr, self, 4096))
        return std::string();
    CString path = GetPathDirectory(self);
    return AppendPath(path, fileName.c_str()).str();
}

bool IsWindowsProgram()
{
    CString self;
    os::GetModuleFileNameA(nullptr, self, 4096);
    return self.Right(4).CompareNoCase(".exe") == 0;
}
} // namespace

std::string ProgramBesideThis(const char* name)
{
    return Beside(std::string(name) + (IsWindowsProgram() ? ".exe" : ""));
}

std::string PluginBesideThis(const char* name)
{
    return Beside(std::string(name) + (IsWindowsProgram() ? ".dll" : ".so"));
}

#ifdef _WIN32
ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingFolder, int deadlineMilliseconds)
{
    ProcessOutcome outcome;
    std::string commandLine = "\"" + program + "\"";
    for (const std::string& argument : arguments)
        commandLine += " \"" + argument + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.c_str(), &startup, &process))
        return outcome;
    outcome.started = true;
    ::CloseHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(deadlineMilliseconds)) ==
        WAIT_OBJECT_0)
    {
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        outcome.ended = true;
        // An unhandled exception ends a process with its exception code (0xC0000005 and the like).
        outcome.normal = code < 0xC0000000u;
        outcome.exitCode = static_cast<int>(code);
    }
    else
    {
        ::TerminateProcess(process.hProcess, 99);
        ::WaitForSingleObject(process.hProcess, INFINITE);
    }
    ::CloseHandle(process.hProcess);
    return outcome;
}
#else
ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingFolder, int deadlineMilliseconds)
{
    ProcessOutcome outcome;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return outcome;
    if (child == 0)
    {
        if (::chdir(workingFolder.c_str()) == 0)
            ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    outcome.started = true;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMilliseconds);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return outcome;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    outcome.ended = true;
    outcome.normal = WIFEXITED(status);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}
#endif
} // namespace kvtest
