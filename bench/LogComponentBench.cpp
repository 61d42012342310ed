// Cost of a message that the component's mask filters, and of a formatted line that reaches the
// debugger output (captured in memory, emptied now and then so that it stays small).
#include "OsDebugOutput.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

#include <benchmark/benchmark.h>

class CLogControlTestPeer
{
public:
    static void SetOutputDevices(unsigned long devices)
    {
        CLogControl::PeekInstance()->m_outputDevices = devices;
    }
};

namespace
{
void BM_FilteredMessage(benchmark::State& state)
{
    CLogComponent component("Bench", nullptr);
    static_cast<CLogComponentInterface&>(component).hlpSetLevel(0x1);
    for (auto _ : state)
        component.Log(LOG_DEBUG, "value %d", 42);
    CLogControl::DestroyInstance();
}
BENCHMARK(BM_FilteredMessage);

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
