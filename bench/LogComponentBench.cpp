// Cost of a formatted line that reaches the debugger output (captured in memory, emptied now and
// then so that it stays small).
#include "BenchSupport.h"
#include "OsDebugOutput.h"
#include "kvlog.h"

#include <benchmark/benchmark.h>

namespace
{

void BM_FormattedLineToDebuggerOutput(benchmark::State& state)
{
    CLogComponent component("Bench", nullptr);
    component.SetApplicationName("Bench", 1);
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
    os::DebugOutputCapture capture;
    int lines = 0;
    for (auto _ : state)
    {
        component.LogID(LOG_INFORMATION, 7UL, "axis %d at %.2f mm", 3, 12.5);
        if (++lines % 1024 == 0)
            capture.Clear();
    }
    CLogControl::DestroyInstance();
}
BENCHMARK(BM_FormattedLineToDebuggerOutput);
} // namespace
