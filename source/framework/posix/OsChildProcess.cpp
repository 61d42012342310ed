#include "OsChildProcess.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace os
{
namespace
{
bool HasEnded(pid_t child)
{
    int status = 0;
    return ::waitpid(child, &status, WNOHANG) == child;
}
} // namespace

bool StartChildProcess(const char* programPath, const std::vector<CString>& arguments,
                       ChildProcess& child)
{
    child = kNoChildProcess;
    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0)
        return false;
    for (int stream = 0; stream < 3; ++stream)
        ::posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                           stream == 0 ? O_RDONLY : O_WRONLY, 0);
    std::vector<char*> argv{const_cast<char*>(programPath)};
    for (const CString& argument : arguments)
        argv.push_back(const_cast<char*>(argument.GetString()));
    argv.push_back(nullptr);
    pid_t process = 0;
    const int result =
        ::posix_spawn(&process, programPath, &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        return false;
    child = static_cast<ChildProcess>(process);
    return true;
}

void StopChildProcess(ChildProcess child, unsigned long milliseconds)
{
    if (child == kNoChildProcess)
        return;
    const auto process = static_cast<pid_t>(child);
    ::kill(process, SIGTERM);
    const timespec step{0, 10 * 1000 * 1000};
    for (unsigned long waited = 0; waited < milliseconds; waited += 10)
    {
        if (HasEnded(process))
            return;
        ::nanosleep(&step, nullptr);
    }
    ::kill(process, SIGKILL);
    int status = 0;
    while (::waitpid(process, &status, 0) < 0 && errno == EINTR)
    {
    }
}
} // namespace os
