#include "OsProcess.h"

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <limits.h>
#include <pthread.h>
#include <spawn.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
// Asked of the kernel once per thread and once per process; 0 until then.
thread_local DWORD t_threadId = 0;
std::atomic<DWORD> s_processId{0};

// The child of a fork is a new process, and a new thread, that inherits the parent's values.
void ForgetIdentity()
{
    t_threadId = 0;
    s_processId.store(0, std::memory_order_relaxed);
}

void ForgetIdentityAfterFork()
{
    static const int registered = ::pthread_atfork(nullptr, nullptr, ForgetIdentity);
    static_cast<void>(registered);
}
} // namespace

namespace os
{
const ApplicationNameSource kApplicationNameSource = ApplicationNameSource::kProgramFile;

DWORD GetCurrentThreadId()
{
    if (t_threadId == 0)
    {
        ForgetIdentityAfterFork();
        t_threadId = static_cast<DWORD>(::syscall(SYS_gettid));
    }
    return t_threadId;
}

DWORD GetCurrentProcessId()
{
    DWORD id = s_processId.load(std::memory_order_relaxed);
    if (id == 0)
    {
        ForgetIdentityAfterFork();
        id = static_cast<DWORD>(::getpid());
        s_processId.store(id, std::memory_order_relaxed);
    }
    return id;
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

namespace
{
class PipeEnds
{
public:
    PipeEnds() { m_ok = ::pipe2(m_fds, O_CLOEXEC) == 0; }
    PipeEnds(const PipeEnds&) = delete;
    PipeEnds& operator=(const PipeEnds&) = delete;
    ~PipeEnds()
    {
        CloseRead();
        CloseWrite();
    }
    bool Ok() const { return m_ok; }
    int Read() const { return m_fds[0]; }
    int Write() const { return m_fds[1]; }
    void CloseRead() { CloseEnd(0); }
    void CloseWrite() { CloseEnd(1); }

private:
    void CloseEnd(int index)
    {
        if (m_ok && m_fds[index] >= 0)
            ::close(m_fds[index]);
        m_fds[index] = -1;
    }
    int m_fds[2] = {-1, -1};
    bool m_ok = false;
};

bool SpawnWithOutputTo(const char* programPath, const std::vector<CString>& arguments, int writeEnd,
                       pid_t* child)
{
    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0)
        return false;
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, writeEnd, 1);
    ::posix_spawn_file_actions_adddup2(&actions, writeEnd, 2);
    std::vector<char*> argv{const_cast<char*>(programPath)};
    for (const CString& argument : arguments)
        argv.push_back(const_cast<char*>(argument.GetString()));
    argv.push_back(nullptr);
    const int result = ::posix_spawn(child, programPath, &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    return result == 0;
}
} // namespace

bool RunProgramCaptureOutput(const char* programPath, CString& output,
                             const std::vector<CString>& arguments, int* exitCode)
{
    output.Empty();
    PipeEnds pipe;
    pid_t child = 0;
    if (!pipe.Ok() || !SpawnWithOutputTo(programPath, arguments, pipe.Write(), &child))
        return false;
    pipe.CloseWrite(); // the read ends when the program's copies of the write end close
    char buffer[100];
    for (;;)
    {
        const ssize_t count = ::read(pipe.Read(), buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        output.Append(buffer, static_cast<int>(count));
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (exitCode != nullptr)
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

bool EnableTerminalColours()
{
    return ::isatty(STDOUT_FILENO) == 1;
}
} // namespace os
