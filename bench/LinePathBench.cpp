// Accepted lines to a file, side by side: kvlog (plain text and HTML, crash-safe and with its
// default device flush, and copied into a mapped file), spdlog from the system's package (a flush
// after every line, and buffered), and a reference that formats with snprintf and writes each line
// with one write(2) under a mutex. Every benchmark runs with 1 and 2 threads; items per second are
// lines.
#include "BenchSupport.h"
#include "kvlog.h"

#include <benchmark/benchmark.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
const int kAxis = 3;
const double kPosition = 12.5;
const int kSpeed = 250;

// Lines to a file: kvlog's controller with one component, set up by the first thread.
class KvlogFile
{
public:
    KvlogFile(const char* fileName, unsigned long linesPerFlush, bool mapped)
    {
        bench::UseScratchSuite();
        m_component = std::make_unique<CLogComponent>("Bench", nullptr);
        m_component->SetApplicationName("Bench", 1);
        m_path = bench::ScratchFolder() + "/" + fileName;
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
        CLogControlTestPeer::OpenLogFile(bench::ScratchFolder().c_str(), fileName, linesPerFlush,
                                         mapped);
    }
    ~KvlogFile()
    {
        m_component.reset();
        CLogControl::DestroyInstance();
        std::remove(m_path.c_str());
    }
    CLogComponent& Component() { return *m_component; }

private:
    std::unique_ptr<CLogComponent> m_component;
    std::string m_path;
};

std::unique_ptr<KvlogFile> g_kvlog;

void RunKvlog(benchmark::State& state, const char* fileName, unsigned long linesPerFlush,
              bool mapped = false)
{
    if (state.thread_index() == 0)
        g_kvlog = std::make_unique<KvlogFile>(fileName, linesPerFlush, mapped);
    for (auto _ : state)
    {
        CLogComponent& component = g_kvlog->Component();
        component.Log(LOG_INFORMATION, bench::kMessageFormat, kAxis, kPosition, kSpeed);
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0)
        g_kvlog.reset();
}

// "FileLinesToFlush" 0: every line is handed to the system before the call returns, the device
// is flushed only on close.
void BM_KvlogText(benchmark::State& state)
{
    RunKvlog(state, "kvlog.txt", 0);
}
void BM_KvlogHtml(benchmark::State& state)
{
    RunKvlog(state, "kvlog.htm", 0);
}
// The defaults: HTML, device flush every 100 lines.
void BM_KvlogHtmlDefaults(benchmark::State& state)
{
    RunKvlog(state, "kvlog_defaults.htm", 100);
}

// "FileMapping" 1: every line is copied into a shared mapping of the file, which a killed process
// does not lose either; the device is flushed only on close.
void BM_KvlogMappedText(benchmark::State& state)
{
    RunKvlog(state, "kvlog_mapped.txt", 0, true);
}
void BM_KvlogMappedHtml(benchmark::State& state)
{
    RunKvlog(state, "kvlog_mapped.htm", 0, true);
}

std::shared_ptr<spdlog::logger> g_spdlog;

void RunSpdlog(benchmark::State& state, bool flushEveryLine)
{
    const std::string path = bench::ScratchFolder() + "/spdlog.txt";
    if (state.thread_index() == 0)
    {
        auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(path, true);
        g_spdlog = std::make_shared<spdlog::logger>("bench", sink);
        // The same fields and length as kvlog's default line.
        g_spdlog->set_pattern("%Y-%m-%d %H:%M:%S.%e [%t] <%-20l> %v",
                              spdlog::pattern_time_type::local);
        g_spdlog->set_level(spdlog::level::info);
        g_spdlog->flush_on(flushEveryLine ? spdlog::level::trace : spdlog::level::off);
    }
    for (auto _ : state)
        g_spdlog->info("Moving axis {} to position {:.3f} mm at speed {}", kAxis, kPosition,
                       kSpeed);
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0)
    {
        g_spdlog.reset();
        std::remove(path.c_str());
    }
}

void BM_SpdlogFlushEveryLine(benchmark::State& state)
{
    RunSpdlog(state, true);
}
void BM_SpdlogBuffered(benchmark::State& state)
{
    RunSpdlog(state, false);
}

int g_referenceFile = -1;
std::mutex g_referenceLock;

long ThreadId()
{
    thread_local const long id = ::syscall(SYS_gettid);
    return id;
}

// The simple logger anyone writes: the line by snprintf on the caller's stack, then one write(2)
// under a mutex, so that the line is in the system's hands when the call returns.
void ReferenceLine(const char* levelName)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    char line[512];
    const int length = std::snprintf(
        line, sizeof(line),
        "%04d-%02d-%02d %02d:%02d:%02d.%03ld [%ld] <%-14s%-6s> Moving axis %d to position %.3f mm "
        "at speed %d\r\n",
        local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
        local.tm_sec, now.tv_nsec / 1000000, ThreadId(), levelName, "", kAxis, kPosition, kSpeed);
    std::lock_guard<std::mutex> lock(g_referenceLock);
    benchmark::DoNotOptimize(::write(g_referenceFile, line, static_cast<size_t>(length)));
}

void BM_ReferenceWrite(benchmark::State& state)
{
    const std::string path = bench::ScratchFolder() + "/reference.txt";
    if (state.thread_index() == 0)
        g_referenceFile = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (auto _ : state)
        ReferenceLine("Information");
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0)
    {
        ::close(g_referenceFile);
        std::remove(path.c_str());
    }
}
} // namespace

BENCHMARK(BM_KvlogText)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_KvlogHtml)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_KvlogHtmlDefaults)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_KvlogMappedText)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_KvlogMappedHtml)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_SpdlogFlushEveryLine)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_SpdlogBuffered)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_ReferenceWrite)->Threads(1)->Threads(2)->UseRealTime();
