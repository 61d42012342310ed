#include "WindowsInclude.h"

#include "OsProcess.h"

#include <vector>

namespace os
{
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
class ScopedHandle
{
public:
    ScopedHandle() = default;
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Close(); }
    void Close()
    {
        if (m_handle != nullptr)
            ::CloseHandle(m_handle);
        m_handle = nullptr;
    }
    HANDLE* Out() { return &m_handle; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};
} // namespace

bool RunProcessCaptureOutput(const char* commandLine, CString& output)
{
    output.Empty();
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    ScopedHandle readEnd;
    ScopedHandle writeEnd;
    if (!::CreatePipe(readEnd.Out(), writeEnd.Out(), &inherit, 0))
        return false;
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::vector<char> command(commandLine, commandLine + lstrlenA(commandLine) + 1);
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &process))
        return false;
    writeEnd.Close(); // the pipe ends when the child's copy of the write end closes

    char buffer[4096];
    DWORD count = 0;
    while (::ReadFile(readEnd.Get(), buffer, sizeof(buffer), &count, nullptr) && count > 0)
        output.Append(buffer, static_cast<int>(count));
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
} // namespace os
