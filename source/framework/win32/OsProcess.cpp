#include "WindowsInclude.h"

#include "OsProcess.h"

#include <vector>

namespace os
{
const ApplicationNameSource kApplicationNameSource = ApplicationNameSource::kCommandLine;

DWORD GetCurrentThreadId()
{
    return ::GetCurrentThreadId();
}

DWORD GetCurrentProcessId()
{
    return ::GetCurrentProcessId();
}

CString GetCommandLineA()
{
    return CString(::GetCommandLineA());
}

bool GetModuleFileNameA(const void* module, CString& path, DWORD bufferSize)
{
    path.Empty();
    HMODULE handle = nullptr;
    if (module != nullptr && !::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                                   static_cast<LPCSTR>(module), &handle))
        return false;
    std::vector<char> buffer(bufferSize + 1u, '\0');
    const DWORD length = ::GetModuleFileNameA(handle, buffer.data(), bufferSize);
    if (length == 0 || length >= bufferSize)
        return false;
    path = CString(buffer.data(), static_cast<int>(length));
    return true;
}

namespace
{
// The command line of the program and its arguments, each in quotes.
std::vector<char> QuotedCommandLine(const char* programPath, const std::vector<CString>& arguments)
{
    CString line = "\"" + CString(programPath) + "\"";
    for (const CString& argument : arguments)
        line += " \"" + argument + "\"";
    return std::vector<char>(line.GetString(), line.GetString() + line.GetLength() + 1);
}
} // namespace

bool RunProgramCaptureOutput(const char* programPath, CString& output,
                             const std::vector<CString>& arguments)
{
    output.Empty();
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::vector<char> commandLine = QuotedCommandLine(programPath, arguments);
    const BOOL started = ::CreateProcessA(programPath, commandLine.data(), nullptr, nullptr, TRUE,
                                          CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS, nullptr,
                                          nullptr, &startup, &process);
    ::CloseHandle(writeEnd); // the read fails once the program's copy of the write end closes
    char buffer[4096];
    DWORD count = 0;
    while (started && ::ReadFile(readEnd, buffer, sizeof(buffer), &count, nullptr) && count > 0)
        output.Append(buffer, static_cast<int>(count));
    ::CloseHandle(readEnd);
    if (!started)
        return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
} // namespace os
