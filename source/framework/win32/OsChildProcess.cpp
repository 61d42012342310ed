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
} // namespace

bool StartChildProcess(const char* programPath, const std::vector<CString>& arguments,
                       ChildProcess& child)
{
    child = kNoChildProcess;
    std::string commandLine = QuotedArgument(programPath);
    for (const CString& argument : arguments)
        commandLine += " " + QuotedArgument(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(programPath, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread != nullptr)
        ::CloseHandle(process.hThread);
    child = reinterpret_cast<ChildProcess>(process.hProcess);
    return true;
}

void StopChildProcess(ChildProcess child, unsigned long milliseconds)
{
    if (child == kNoChildProcess)
        return;
    const auto process = reinterpret_cast<HANDLE>(child);
    ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, milliseconds);
    ::CloseHandle(process);
}
} // namespace os
