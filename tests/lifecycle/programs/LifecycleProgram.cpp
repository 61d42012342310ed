// Scenarios of a whole process that uses the logging module as a shared library, started by the
// lifecycle tests. The suite root comes from KORVEL_ROOT_DIR. The exit code tells the outcome:
// 0 when the scenario went as it should.
//
//   exit N   threads log through components that come and go while main returns (application N)
//   setting [leak]  a static object's destructor stores a setting after main returned; with
//            leak a component that is never deleted stays, main returning while the watch thread
//            runs
//   soak M   8 threads log for M milliseconds while their components come and go; then writes
//            how many lines they logged to "soak-count.txt"
//   abuse F M  for M milliseconds, every 100 ms, rewrites, empties, deletes or garbles the
//            settings file F, or holds it locked for 2 s
//   levels   application "Levels" logs a typed message of each built-in level
//   write R  application "Levels" logs numbered lines until it is killed (or 20 s have passed);
//            after each line it stores the line's number in the mapped file R, which keeps the
//            number of the last accepted line when the program is killed
//
// POSIX only (where soak too writes the debugger output to "stderr.txt" in the working folder):
//   fork N   forks N times while two threads log, one of them errors and events, whose sink
//            creates a component, logs through it and destroys it; every child logs a line,
//            every other one below the master level, and ends. A child that fails or never ends
//            fails the run at once (99: it hung).
//   bus own|default  logs into the log file, then raises SIGBUS: a handler of the program's own
//               set before (own) must receive it, the default action must end the program
#include "CFile.h"
#include "OsFileMapping.h"
#include "kvlog.h"
#include "kvlog_fmt.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace
{
// Built before main, so destroyed after it: the component first, then the object using it.
CLogComponent* g_settingSlot = nullptr;
struct LastRun
{
    ~LastRun()
    {
        if (g_settingSlot != nullptr)
            g_settingSlot->LogSetSetting("LastRun", 42UL);
    }
};

// Without a leak the static component is the last one, and its destruction ends the controller
// after main returned.
int RunSetting(bool leak)
{
    static CLogComponent component("Setting", &g_settingSlot);
    static LastRun lastRun;
    component.SetApplicationName("Static Setting", 1);
    if (!leak)
        return 0;
    new CLogComponent("Leaked", nullptr); // never deleted
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    return 0;
}

std::atomic<bool> g_stop{false};
// Lines logged by the threads of SoakWorker and LogUntilStopped.
std::atomic<unsigned long> g_linesLogged{0};

void SoakWorker(int index)
{
    unsigned long count = 0;
    while (!g_stop.load())
    {
        // 50 lines a component.
        CLogComponent component(("Soak " + std::to_string(index)).c_str(), nullptr);
        for (int i = 0; i < 50 && !g_stop.load(); ++i)
        {
            if (!component.IsLevelEnabled(0x4UL))
                continue;
            component.Log(LOG_INFORMATION, "soak t=%d n=%lu", index, count++);
            ++g_linesLogged;
            if (count % 8 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

int RunExit(const char* application)
{
    CLogComponent main("Main", nullptr);
    main.SetApplicationName(application, 1);
    for (int i = 0; i < 4; ++i)
        std::thread(SoakWorker, i).detach();
    while (g_linesLogged.load() < 100)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 0;
}

int RunSoak(int milliseconds)
{
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Soak Test", 1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back(SoakWorker, i);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    g_stop = true;
    for (std::thread& thread : threads)
        thread.join();
    std::ofstream("soak-count.txt") << g_linesLogged.load();
    return 0;
}

int RunAbuse(const char* path, int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::string valid;
    while (valid.empty() && Clock::now() < end)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream file(path, std::ios::binary);
        valid.assign(std::istreambuf_iterator<char>(file), {});
    }
    for (int step = 0; Clock::now() < end; ++step)
    {
        const int kind = step % 6;
        if (kind == 2)
            std::remove(path);
        else if (kind == 5)
        {
            CFile locked;
            locked.Open(path, CFile::modeReadWrite | CFile::shareExclusive);
            std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        }
        else
            std::ofstream(path, std::ios::binary)
                << (kind == 1   ? std::string()
                    : kind == 3 ? valid.substr(0, valid.size() / 2) + "\x01<<\xff garbage &;"
                                : valid);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::ofstream(path, std::ios::binary) << valid;
    return 0;
}

int RunLevels()
{
    CLogComponent component("Levels", nullptr);
    component.SetApplicationName("Levels", 1);
    KVLOG_ERROR(&component, "{}", "red");
    KVLOG_WARNING(&component, "{}", "orange");
    KVLOG_INFORMATION(&component, "{}", "plain");
    KVLOG_SUCCESS(&component, "{}", "green");
    KVLOG_DEBUG(&component, "{}", "grey");
    return 0;
}

int WriteUntilKilled(const char* reportPath)
{
    CLogComponent component("Writer", nullptr);
    component.SetApplicationName("Levels", 1);
    CFile report;
    os::FileWindow window;
    if (!report.Open(reportPath, CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyNone) ||
        !os::ReserveFileLength(report, os::GetFileWindowAlignment()) ||
        !os::MapFileWindow(report, 0, os::GetFileWindowAlignment(), window))
        return 2;
    volatile std::uint64_t* accepted = reinterpret_cast<volatile std::uint64_t*>(window.data);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (std::uint64_t line = 1; std::chrono::steady_clock::now() < end; ++line)
    {
        component.Log(LOG_INFORMATION, "mapped line %llu", static_cast<unsigned long long>(line));
        *accepted = line;
    }
    return 3;
}

#ifndef _WIN32
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
    for (unsigned long line = 0; !g_stop.load(); ++line, ++g_linesLogged)
    {
        if (errors)
        {
            component.Log(LOG_ERROR, "%s error %lu", name, line);
            component.LogEvent(LOG_INFORMATION, "%s event %lu", name, line);
            // Each error and event makes a component, which takes the settings file.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        else
            component.Log(LOG_INFORMATION, "%s line %lu", name, line);
        // Fast enough to fork amid lines, slow enough that the syslog server keeps up on a
        // loaded machine.
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

// A child that registers a component waits for the settings file, which the parent's sink takes
// all the time, at most this long (twice the file's bounded wait and a second); one that does not
// end well after it hangs, and its alarm ends it.
const unsigned kChildHangsSeconds = 15;

// The child's exit code, 99 when it hung.
int AwaitChild(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WTERMSIG(status) == SIGALRM ? 99 : 128 + WTERMSIG(status);
}

int RunFork(int children)
{
    ChurningSink sink;
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Fork Edge", 1);
    main.SetLogInterface(&sink);
    std::thread lines(LogUntilStopped, "lines", false);
    std::thread errors(LogUntilStopped, "errors", true);
    // The forks begin once the threads log: a thread still starting may hold the C library's or
    // a sanitizer's thread bookkeeping, which a child that starts its own syslog sender needs.
    for (int waited = 0; g_linesLogged.load() < 100 && waited < 10000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    int result = 0;
    for (int i = 0; i < children && result == 0; ++i)
    {
        // What stands in the output buffer would be written by the child as well.
        std::fflush(stdout);
        const pid_t child = ::fork();
        if (child == 0)
        {
            ::alarm(kChildHangsSeconds);
            // Every other child's line stays below the master level: such a child ends
            // without a syslog line of its own.
            CLogComponent inChild("Child", nullptr);
            if (i % 2 == 0)
                inChild.Log(LOG_INFORMATION, "child %d logs", i);
            else
                inChild.Log(LOG_DEBUG, "child %d logs", i);
            std::exit(0);
        }
        result = child < 0 ? 3 : AwaitChild(child);
        if (result != 0)
            std::printf("child %d: %d\n", i, result);
    }
    g_stop = true;
    lines.join();
    errors.join();
    main.SetLogInterface(nullptr);
    return result;
}

volatile sig_atomic_t g_busErrors = 0;

void OnOwnBusError(int, siginfo_t*, void*)
{
    g_busErrors = g_busErrors + 1;
}

int RunBus(bool ownHandler)
{
    if (ownHandler)
    {
        struct sigaction action = {};
        action.sa_sigaction = &OnOwnBusError;
        action.sa_flags = SA_SIGINFO;
        ::sigaction(SIGBUS, &action, nullptr);
    }
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Soak Test", 1);
    main.Log(LOG_INFORMATION, "one line before the signal");
    ::raise(SIGBUS);
    return g_busErrors == 1 ? 0 : 1;
}
#endif
} // namespace

int main(int argc, char** argv)
{
    const std::string scenario = argc > 1 ? argv[1] : "";
    const char* first = argc > 2 ? argv[2] : "";
    const int second = argc > 3 ? std::atoi(argv[3]) : 0;
#ifndef _WIN32
    // The debugger output of these goes to a file the test reads, appended to, so that the lines
    // of forked children and of their parent do not overwrite each other.
    if (scenario == "soak" || scenario == "fork" || scenario == "bus")
    {
        std::remove("stderr.txt");
        if (std::freopen("stderr.txt", "a", stderr) == nullptr)
            return 2;
    }
#endif
    const std::map<std::string, std::function<int()>> scenarios = {
        {"exit", [&] { return RunExit(first); }},
        {"setting", [&] { return RunSetting(std::string(first) == "leak"); }},
        {"soak", [&] { return RunSoak(std::atoi(first)); }},
        {"abuse", [&] { return RunAbuse(first, second); }},
        {"levels", RunLevels},
        {"write", [&] { return WriteUntilKilled(first); }},
#ifndef _WIN32
        {"fork", [&] { return RunFork(std::atoi(first)); }},
        {"bus", [&] { return RunBus(std::string(first) == "own"); }},
#endif
    };
    const auto found = scenarios.find(scenario);
    return found != scenarios.end() ? found->second() : 2;
}
