#include "WindowsInclude.h"

#include "OsChildProcess.h"

#include <string>

namespace os
{
namespace
{
// Each argument in double quotes, with the quoting rules of the C runtime's parser.
std::string QuotedArgument(const char* argument)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char* at = argument; *at != '\0'; ++at)
    {
        if (*at == '\\')
        {
            ++backslashes;
            continue;
        }
        quoted.append(*at == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += *at;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

// In the working folder with this program's streams and console, or where this program is without
// a console when there is no folder.
bool Spawn(const char* workingFolder, const char* programPath,
           const std::vector<CString>& arguments, ChildProcess& child)
{
    child = kNoChildProcess;
    std::string commandLine = QuotedArgument(programPath);
    for (const CString& argument : arguments)
        commandLine += " " + QuotedArgument(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(programPath, &commandLine[0], nullptr, nullptr, FALSE,
                          workingFolder != nullptr ? 0 : CREATE_NO_WINDOW, nullptr, workingFolder,
                          &startup, &process))
        return false;
    if (process.hThread != nullptr)
        ::CloseHandle(process.hThread);
    child = reinterpret_cast<ChildProcess>(process.hProcess);
    return true;
}
} // namespace

bool StartChildProcess(const char* programPath, const std::vector<CString>& arguments,
                       ChildProcess& child)
{
    return Spawn(nullptr, programPath, arguments, child);
}

bool StartChildProcessIn(const char* workingFolder, const char* programPath,
                         const std::vector<CString>& arguments, ChildProcess& child)
{
    return Spawn(workingFolder, programPath, arguments, child);
}

void StopChildProcess(ChildProcess child, unsigned long milliseconds)
{
    if (child != kNoChildProcess)
        ::TerminateProcess(reinterpret_cast<HANDLE>(child), 1);
    AwaitChildProcess(child, milliseconds);
}

ChildOutcome AwaitChildProcess(ChildProcess child, unsigned long milliseconds)
{
    ChildOutcome outcome;
    if (child == kNoChildProcess)
        return outcome;
    const auto process = reinterpret_cast<HANDLE>(child);
    DWORD code = 0;
    if (::WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(process, &code))
    {
        outcome.ended = true;
        // An unhandled exception ends a process with its exception code (0xC0000005 and the like).
        outcome.normal = code < 0xC0000000u;
        outcome.exitCode = static_cast<int>(code);
    }
    else
    {
        ::TerminateProcess(process, 99);
        ::WaitForSingleObject(process, INFINITE);
    }
    ::CloseHandle(process);
    return outcome;
}
} // namespace os
