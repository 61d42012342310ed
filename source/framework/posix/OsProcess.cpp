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
DWORD GetCurrentThreadId() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

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

bool GetModuleFileNameA(const void* module, CString& path, DWORD bufferSize)
{
    path.Empty();
    std::string file;
    if (module == nullptr)
    {
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer));
        if (length <= 0)
            return false;
        file.assign(buffer, static_cast<std::size_t>(length));
    }
    else
    {
        Dl_info info{};
        if (::dladdr(module, &info) == 0 || info.dli_fname == nullptr)
            return false;
        file = info.dli_fname;
    }
    if (file.size() >= bufferSize)
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
