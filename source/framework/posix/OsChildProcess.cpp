#include "OsChildProcess.h"

#include <cerrno>
#include <chrono>
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
// In the working folder with this program's streams, or where this program is with the streams on
// the null device when there is no folder.
bool Spawn(const char* workingFolder, const char* programPath,
           const std::vector<CString>& arguments, ChildProcess& child)
{
    child = kNoChildProcess;
    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0)
        return false;
    if (workingFolder != nullptr &&
        ::posix_spawn_file_actions_addchdir_np(&actions, workingFolder) != 0)
    {
        ::posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    for (int stream = 0; stream < 3 && workingFolder == nullptr; ++stream)
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
        ::kill(static_cast<pid_t>(child), SIGTERM);
    AwaitChildProcess(child, milliseconds);
}

ChildOutcome AwaitChildProcess(ChildProcess child, unsigned long milliseconds)
{
    ChildOutcome outcome;
    if (child == kNoChildProcess)
        return outcome;
    const auto process = static_cast<pid_t>(child);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    const timespec step{0, 2 * 1000 * 1000};
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(process, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        ::nanosleep(&step, nullptr);
    // A child reaped already (or none of this program's) gets no signal: its number may be
    // another program's by now.
    if (ended < 0)
        return outcome;
    if (ended != process)
    {
        ::kill(process, SIGKILL);
        while (::waitpid(process, &status, 0) < 0 && errno == EINTR)
        {
        }
        return outcome;
    }
    outcome.ended = true;
    outcome.normal = WIFEXITED(status);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}
} // namespace os
