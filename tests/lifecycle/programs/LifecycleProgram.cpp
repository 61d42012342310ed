// Scenarios of a whole process that uses the logging module as a shared library, started by the
// lifecycle tests. The suite root comes from KORVEL_ROOT_DIR. The exit code tells the outcome:
// 0 when the scenario went as it should.
//
//   exit N   threads log through their own components while main returns (application N)
//   setting  a static object's destructor stores a setting after main returned
//   leak     a component that is never deleted, main returning while the watch thread runs
//   fork     forks while a thread logs; every child logs a line and ends (POSIX)
//   soak M   8 threads log for M milliseconds while their components come and go; then writes
//            how many lines each logged to "soak-counts.txt"
//   linger   prints a line, closes its output and stays for 8 s
//   abuse F M  for M milliseconds, every 100 ms, rewrites, empties, deletes or garbles the
//            settings file F, or holds it locked for 2 s
//   levels   application "Levels" logs a typed message of each built-in level
#ifdef _WIN32
// The system's declarations first: the framework's own declarations of the same types defer.
#include <windows.h>
#endif

#include "CFile.h"
#include "kvlog.h"
#include "kvlog_fmt.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

int RunExit(const char* application)
{
    CLogComponent main("Main", nullptr);
    main.SetApplicationName(application, 1);
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

std::atomic<bool> g_soakEnds{false};

void SoakWorker(int index, unsigned long* logged)
{
    const int kLinesPerComponent = 50;
    unsigned long count = 0;
    while (!g_soakEnds.load())
    {
        CLogComponent component(("Soak " + std::to_string(index)).c_str(), nullptr);
        for (int i = 0; i < kLinesPerComponent && !g_soakEnds.load(); ++i)
        {
            if (!component.IsLevelEnabled(0x4UL))
                continue;
            component.Log(LOG_INFORMATION, "soak t=%d n=%lu", index, count++);
            if (count % 8 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    *logged = count;
}

int RunSoak(int milliseconds)
{
    const int kThreads = 8;
    CLogComponent main("Main", nullptr);
    main.SetApplicationName("Soak Test", 1);
    unsigned long logged[kThreads] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back(SoakWorker, i, &logged[i]);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    g_soakEnds = true;
    for (std::thread& thread : threads)
        thread.join();
    std::ofstream counts("soak-counts.txt");
    for (int i = 0; i < kThreads; ++i)
        counts << logged[i] << "\n";
    return 0;
}

void WriteFile(const char* path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

int RunLinger()
{
    std::fputs("lingering\n", stdout);
    std::fflush(stdout);
#ifdef _WIN32
    // The C library's descriptors do not own the handles they were given at start.
    ::CloseHandle(::GetStdHandle(STD_OUTPUT_HANDLE));
    ::CloseHandle(::GetStdHandle(STD_ERROR_HANDLE));
#else
    std::fclose(stdout);
    std::fclose(stderr);
#endif
    std::this_thread::sleep_for(std::chrono::seconds(8));
    return 0;
}

int RunAbuse(const char* path, int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::string valid;
    while (valid.empty() && Clock::now() < end)
    {
        std::ostringstream content;
        content << std::ifstream(path, std::ios::binary).rdbuf();
        valid = content.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (int step = 0; Clock::now() < end; ++step)
    {
        switch (step % 6)
        {
        case 0:
        case 4:
            WriteFile(path, valid);
            break;
        case 1:
            WriteFile(path, std::string());
            break;
        case 2:
            std::remove(path);
            break;
        case 3:
            WriteFile(path, valid.substr(0, valid.size() / 2) + "\x01<<\xff garbage &;");
            break;
        default:
        {
            CFile locked;
            locked.Open(path, CFile::modeReadWrite | CFile::shareExclusive);
            std::this_thread::sleep_for(std::chrono::milliseconds(2000));
            break;
        }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    WriteFile(path, valid);
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
} // namespace

int main(int argc, char** argv)
{
    const std::string scenario = argc > 1 ? argv[1] : "";
    if (scenario == "exit" && argc == 3)
        return RunExit(argv[2]);
    if (scenario == "setting")
        return RunSetting();
    if (scenario == "leak")
        return RunLeak();
    if (scenario == "linger")
        return RunLinger();
    if (scenario == "soak" && argc == 3)
        return RunSoak(std::atoi(argv[2]));
    if (scenario == "abuse" && argc == 4)
        return RunAbuse(argv[2], std::atoi(argv[3]));
    if (scenario == "levels")
        return RunLevels();
#ifndef _WIN32
    if (scenario == "fork")
        return RunFork();
#endif
    return 2;
}
