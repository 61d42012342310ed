#include "OsProcess.h"

#include <cstdio>
#include <dlfcn.h>
#include <fstream>
#include <iterator>
#include <limits.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace os
{
DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(::syscall(SYS_gettid));
}

DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(::getpid());
}

CString GetCommandLineA()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!raw.empty() && raw.back() == '\0')
        raw.pop_back();
    for (char& ch : raw)
        if (ch == '\0')
            ch = ' ';
    return CString(raw);
}

namespace
{
std::string ProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer));
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

// The loader names the program as it was started (often relative); libraries by full path.
std::string ModulePath(const void* module)
{
    if (module == nullptr)
        return ProgramPath();
    Dl_info info{};
    if (::dladdr(module, &info) == 0 || info.dli_fname == nullptr)
        return std::string();
    return info.dli_fname[0] == '/' ? std::string(info.dli_fname) : ProgramPath();
}
} // namespace

bool GetModuleFileNameA(const void* module, CString& path, DWORD bufferSize)
{
    path.Empty();
    const std::string file = ModulePath(module);
    if (file.empty() || file.size() >= bufferSize)
        return false;
    path = CString(file);
    return true;
}

bool RunProcessCaptureOutput(const char* commandLine, CString& output)
{
    output.Empty();
    FILE* pipe = ::popen(commandLine, "r");
    if (pipe == nullptr)
        return false;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        output.Append(buffer, static_cast<int>(count));
    return ::pclose(pipe) != -1;
}
} // namespace os
