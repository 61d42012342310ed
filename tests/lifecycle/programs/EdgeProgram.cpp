// Scenarios at the edges of a process with the outputs its settings file turns on, started by the
// lifecycle tests. The suite root comes from KORVEL_ROOT_DIR and the settings file is the
// test's. The debugger output goes to "stderr.txt" in the working folder. The exit code tells the
// outcome: 0 when the scenario went as it should.
//
//   fork N MS   forks N times while two threads log, one of them errors and events, whose sink
//               creates a component, logs through it and destroys it; every child logs a line,
//               every other one below the master level, and ends. More than one child in 40
//               that needs more than MS milliseconds fails the run (97: a wait in the children;
//               a few slow ones are the machine's doing), a child that never ends fails it at
//               once (99).
//   threads MS  four threads log for MS milliseconds
//   bus own|default  logs into the log file, then raises SIGBUS: a handler of the program's own
//               set before (own) must receive it, the default action must end the program
#include "kvlog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

std::atomic<bool> g_stop{false};

// Components made and destroyed from inside the callbacks, under the logging component's lock.
class ChurningSink : public CLogInterface
{
public:
    int OnErrorWritten() override
    {
        Churn("an error");
        return 0;
    }
    void OnLogEvent(const CString&, unsigned long, const CString&, const CString&) override
    {
        Churn("an event");
    }

private:
    static void Churn(const char* cause)
    {
        CLogComponent made("Sink", nullptr);
        made.Log(LOG_INFORMATION, "sink logs after %s", cause);
    }
};

void LogUntilStopped(const char* name, bool errors)
{
    CLogComponent component(name, nullptr);
    for (unsigned long line = 0; !g_stop.load(); ++line)
    {
        if (errors)
        {
            component.Log(LOG_ERROR, "%s error %lu", name, line);
            component.LogEvent(LOG_INFORMATION, "%s event %lu", name, line);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        else
            component.Log(LOG_INFORMATION, "%s line %lu", name, line);
        // Fast enough to fork amid lines, slow enough that the syslog server keeps up on a
        // loaded machine.
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

// Nanoseconds that a task has waited for a processor (/proc/.../schedstat); 0 when unknown.
std::chrono::nanoseconds ProcessorWait(const std::string& task)
{
    std::ifstream schedstat("/proc/" + task + "/schedstat");
    unsigned long long running = 0;
    unsigned long long waiting = 0;
    schedstat >> running >> waiting;
    return std::chrono::nanoseconds(schedstat ? waiting : 0);
}

// The child's exit code, 99 when it did not end. Its time counts from the fork to its end, less
// the time it waited for a processor that other programs kept busy.
int AwaitChild(pid_t child, Clock::time_point begun, std::chrono::nanoseconds& time)
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread watchdog(
        [&]
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (!ended.wait_for(lock, std::chrono::seconds(5), [&] { return done; }))
                ::kill(child, SIGKILL);
        });
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT);
    time = Clock::now() - begun - ProcessorWait(std::to_string(child));
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    ended.notify_one();
    watchdog.join();
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return 99;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunFork(int children, int limitMilliseconds)
{
    ChurningSink sink;
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Fork Edge", 1);
    main.SetLogInterface(&sink);
    std::thread lines(LogUntilStopped, "lines", false);
    std::thread errors(LogUntilStopped, "errors", true);
    int result = 0;
    std::chrono::nanoseconds slowest{0};
    int slowChildren = 0;
    for (int i = 0; i < children && result == 0; ++i)
    {
        // What stands in the output buffer would be written by the child as well.
        std::fflush(stdout);
        const Clock::time_point begun = Clock::now();
        const pid_t child = ::fork();
        if (child == 0)
        {
            // Every other child's line stays below the master level: such a child ends
            // without a syslog line of its own.
            CLogComponent inChild("Child", nullptr);
            if (i % 2 == 0)
                inChild.Log(LOG_INFORMATION, "child %d logs", i);
            else
                inChild.Log(LOG_DEBUG, "child %d logs", i);
            std::exit(0);
        }
        std::chrono::nanoseconds time{0};
        result = child < 0 ? 3 : AwaitChild(child, begun, time);
        if (time > std::chrono::milliseconds(limitMilliseconds))
            ++slowChildren;
        if (result == 0 && slowChildren > children / 40)
            result = 97;
        slowest = std::max(slowest, time);
        if (result != 0)
            std::printf("child %d: %d\n", i, result);
    }
    std::printf(
        "slowest child: %ld ms\n",
        static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(slowest).count()));
    g_stop = true;
    lines.join();
    errors.join();
    main.SetLogInterface(nullptr);
    return result;
}

int RunThreads(int milliseconds)
{
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Shortened Log", 1);
    std::vector<std::thread> threads;
    for (const char* name : {"one", "two", "three", "four"})
        threads.emplace_back(LogUntilStopped, name, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    g_stop = true;
    for (std::thread& thread : threads)
        thread.join();
    return 0;
}
volatile std::sig_atomic_t g_busErrors = 0;

void OnOwnBusError(int, siginfo_t*, void*)
{
    g_busErrors = g_busErrors + 1;
}

int RunBus(bool ownHandler)
{
    if (ownHandler)
    {
        struct sigaction action
        {
        };
        action.sa_sigaction = &OnOwnBusError;
        action.sa_flags = SA_SIGINFO;
        ::sigaction(SIGBUS, &action, nullptr);
    }
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Shortened Log", 1);
    main.Log(LOG_INFORMATION, "one line before the signal");
    ::raise(SIGBUS);
    return g_busErrors == 1 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    const int output = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    if (output < 0 || ::dup2(output, STDERR_FILENO) < 0)
        return 2;
    ::close(output);
    const std::string scenario = argc > 1 ? argv[1] : "";
    if (scenario == "fork" && argc == 4)
        return RunFork(std::atoi(argv[2]), std::atoi(argv[3]));
    if (scenario == "threads" && argc == 3)
        return RunThreads(std::atoi(argv[2]));
    if (scenario == "bus" && argc == 3)
        return RunBus(std::string(argv[2]) == "own");
    return 2;
}
