// The cost of a call whose level is filtered out: kvlog's exported calls, its inline printf and
// {} macros, spdlog's filtered call, and a bare out-of-line varargs function that only tests a
// mask.
#include "BenchSupport.h"
#include "kvlog.h"
#include "kvlog_fmt.h"

#include <benchmark/benchmark.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <atomic>
#include <cstdarg>

std::atomic<unsigned long> g_bareMask{0x1};

// Out of line and not inlined, as a call into a module would be.
__attribute__((noinline)) void BareFilteredCall(unsigned long level, const char* format, ...)
{
    if ((level & g_bareMask.load(std::memory_order_relaxed)) == 0)
        return;
    va_list args;
    va_start(args, format);
    benchmark::DoNotOptimize(format);
    va_end(args);
}

namespace
{
// Runs the call on a component whose mask lets Error alone through. The pointer is hidden from
// the optimiser, so that the inline level test is made in every round.
template <typename Call> void RunFiltered(benchmark::State& state, Call call)
{
    CLogComponent component("Bench", nullptr);
    static_cast<CLogComponentInterface&>(component).hlpSetLevel(0x1);
    CLogComponent* pointer = &component;
    benchmark::DoNotOptimize(pointer);
    for (auto _ : state)
        call(pointer);
    CLogControl::DestroyInstance();
}

void BM_FilteredKvlogCall(benchmark::State& state)
{
    RunFiltered(state, [](CLogComponent* component)
                { component->Log(LOG_DEBUG, bench::kMessageFormat, 3, 12.5, 250); });
}
BENCHMARK(BM_FilteredKvlogCall);

void BM_FilteredKvlogIdCall(benchmark::State& state)
{
    RunFiltered(state, [](CLogComponent* component)
                { component->LogID(LOG_DEBUG, "AX-3", bench::kMessageFormat, 3, 12.5, 250); });
}
BENCHMARK(BM_FilteredKvlogIdCall);

void BM_FilteredKvlogMacro(benchmark::State& state)
{
    RunFiltered(state, [](CLogComponent* component)
                { LOG_MESSAGE(component, LOG_DEBUG, bench::kMessageFormat, 3, 12.5, 250); });
}
BENCHMARK(BM_FilteredKvlogMacro);

void BM_FilteredKvlogFmtMacro(benchmark::State& state)
{
    RunFiltered(state,
                [](CLogComponent* component) {
                    KVLOG_DEBUG(component, "Moving axis {} to position {:.3f} mm at speed {}", 3,
                                12.5, 250);
                });
}
BENCHMARK(BM_FilteredKvlogFmtMacro);

void BM_FilteredSpdlogCall(benchmark::State& state)
{
    auto logger = std::make_shared<spdlog::logger>("filtered",
                                                   std::make_shared<spdlog::sinks::null_sink_mt>());
    logger->set_level(spdlog::level::info);
    for (auto _ : state)
        logger->debug("Moving axis {} to position {:.3f} mm at speed {}", 3, 12.5, 250);
}
BENCHMARK(BM_FilteredSpdlogCall);

void BM_FilteredBareCall(benchmark::State& state)
{
    for (auto _ : state)
        BareFilteredCall(0x8000UL, bench::kMessageFormat, 3, 12.5, 250);
}
BENCHMARK(BM_FilteredBareCall);
} // namespace
