#include "OsSystemInfo.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace os
{
bool GetVersionRecord(bool, OsVersionRecord&)
{
    return false;
}

bool GetUnshimmedVersion(OsVersionRecord&)
{
    return false;
}

WORD GetNativeProcessorArchitecture()
{
    struct utsname names
    {
    };
    if (::uname(&names) != 0)
        return 0xFFFF;
    const std::string machine = names.machine;
    if (machine == "x86_64")
        return 9;
    if (machine == "aarch64")
        return 12;
    if (machine == "ia64")
        return 6;
    return 0;
}

bool GetProductInfo(DWORD, DWORD, DWORD*)
{
    return false;
}

int GetSystemMetrics(int)
{
    return 0;
}

namespace
{
// The PRETTY_NAME of os-release, without its quotes; "" when there is none.
std::string DistributionName()
{
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"})
    {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);)
        {
            if (line.rfind("PRETTY_NAME=", 0) != 0)
                continue;
            std::string value = line.substr(12);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return std::string();
}
} // namespace

CString GetKernelDescription()
{
    struct utsname names
    {
    };
    if (::uname(&names) != 0)
        return CString();
    std::string text = std::string(names.sysname) + " " + names.release + " " + names.machine;
    const std::string distribution = DistributionName();
    if (!distribution.empty())
        text += " (" + distribution + ")";
    return CString(text);
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

bool SpawnWithOutputTo(const char* programPath, int writeEnd, pid_t* child)
{
    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0)
        return false;
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, writeEnd, 1);
    ::posix_spawn_file_actions_adddup2(&actions, writeEnd, 2);
    char* const argv[] = {const_cast<char*>(programPath), nullptr};
    const int result = ::posix_spawn(child, programPath, &actions, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    return result == 0;
}
} // namespace

bool RunProgramCaptureOutput(const char* programPath, CString& output)
{
    output.Empty();
    PipeEnds pipe;
    pid_t child = 0;
    if (!pipe.Ok() || !SpawnWithOutputTo(programPath, pipe.Write(), &child))
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
    return true;
}
} // namespace os
