// Scenarios of a whole process that uses the logging module as a shared library, started by the
// lifecycle tests. The suite root comes from KORVEL_ROOT_DIR. The exit code tells the outcome:
// 0 when the scenario went as it should.
//
//   exit     threads log through their own components while main returns
//   setting  a static object's destructor stores a setting after main returned
//   leak     a component that is never deleted, main returning while the watch thread runs
//   fork     forks while a thread logs; every child logs a line and ends (POSIX)
#include "kvlog.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace
{
const int kWorkers = 4;
std::atomic<int> g_workersLogging{0};

void Worker(int index)
{
    CLogComponent component(("Worker " + std::to_string(index)).c_str(), nullptr);
    g_workersLogging.fetch_add(1);
    for (unsigned long line = 0;; ++line)
        component.Log(LOG_INFORMATION, "worker %d line %lu", index, line);
}

int RunExit()
{
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Exit Test", 1);
    for (int i = 0; i < kWorkers; ++i)
        std::thread(Worker, i).detach();
    while (g_workersLogging.load() < kWorkers)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 0;
}

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

int RunSetting()
{
    static CLogComponent component("Setting", &g_settingSlot);
    static LastRun lastRun;
    component.SetApplicationName("Static Setting", 1);
    return 0;
}

int RunLeak()
{
    auto* leaked = new CLogComponent("Leaked", nullptr);
    leaked->SetApplicationName("Leak Test", 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    return 0;
}

#ifndef _WIN32
int WaitForChild(pid_t child)
{
    for (int waited = 0; waited < 5000; ++waited)
    {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return 99; // hung
}

int RunFork()
{
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Fork Test", 1);
    std::thread(Worker, 0).detach();
    while (g_workersLogging.load() < 1)
        std::this_thread::yield();
    for (int i = 0; i < 40; ++i)
    {
        const pid_t child = ::fork();
        if (child < 0)
            return 3;
        if (child == 0)
        {
            CLogComponent inChild("Child", nullptr);
            inChild.Log(LOG_INFORMATION, "child %d logs", i);
            std::exit(0);
        }
        const int result = WaitForChild(child);
        if (result != 0)
            return result;
    }
    return 0;
}
#endif
} // namespace

int main(int argc, char** argv)
{
    const std::string scenario = argc > 1 ? argv[1] : "";
    if (scenario == "exit")
        return RunExit();
    if (scenario == "setting")
        return RunSetting();
    if (scenario == "leak")
        return RunLeak();
#ifndef _WIN32
    if (scenario == "fork")
        return RunFork();
#endif
    return 2;
}
