#include "WindowsInclude.h"

#include "OsProcess.h"

#include <vector>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

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

// The process handle is handed out when asked for (the caller closes it), else closed.
bool StartWithOutputTo(const char* programPath, const std::vector<CString>& arguments,
                       HANDLE writeEnd, HANDLE* processOut)
{
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> storage(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &size))
        return false;
    HANDLE inherited[] = {writeEnd};
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nullptr;
    startup.StartupInfo.hStdOutput = writeEnd;
    startup.StartupInfo.hStdError = writeEnd;
    startup.lpAttributeList = attributes;
    PROCESS_INFORMATION process{};
    std::vector<char> commandLine = QuotedCommandLine(programPath, arguments);
    const bool started =
        ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                    sizeof(inherited), nullptr, nullptr) &&
        ::CreateProcessA(programPath, commandLine.data(), nullptr, nullptr, TRUE,
                         DETACHED_PROCESS | NORMAL_PRIORITY_CLASS | EXTENDED_STARTUPINFO_PRESENT,
                         nullptr, nullptr, &startup.StartupInfo, &process);
    ::DeleteProcThreadAttributeList(attributes);
    if (!started)
        return false;
    ::CloseHandle(process.hThread);
    if (processOut != nullptr)
        *processOut = process.hProcess;
    else
        ::CloseHandle(process.hProcess);
    return true;
}
} // namespace

// The write end of the pipe is inherited by this program alone: the handle list keeps it from a
// process that another thread starts at the same moment, whose end would otherwise be awaited.
// The read ends when the program's output closes; the program itself is not waited for, so a
// program that closes its output and lingers holds nobody up. No console either: a console made
// for the program (even hidden) may keep a copy of its output handles.
bool RunProgramCaptureOutput(const char* programPath, CString& output,
                             const std::vector<CString>& arguments, int* exitCode)
{
    output.Empty();
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    // Only a caller that asks for the exit code waits for the program to end.
    HANDLE process = nullptr;
    const bool started = StartWithOutputTo(programPath, arguments, writeEnd,
                                           exitCode != nullptr ? &process : nullptr);
    ::CloseHandle(writeEnd); // the read fails once the program's copy of the write end closes
    char buffer[4096];
    DWORD count = 0;
    while (started && ::ReadFile(readEnd, buffer, sizeof(buffer), &count, nullptr) && count > 0)
        output.Append(buffer, static_cast<int>(count));
    ::CloseHandle(readEnd);
    if (!started)
        return false;
    if (exitCode != nullptr)
    {
        DWORD code = 0;
        ::WaitForSingleObject(process, INFINITE);
        *exitCode = ::GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
        ::CloseHandle(process);
    }
    return true;
}

bool EnableTerminalColours()
{
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output == INVALID_HANDLE_VALUE || !::GetConsoleMode(output, &mode))
        return false;
    return ::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
} // namespace os
