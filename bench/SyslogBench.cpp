// Cost to the logging thread of a line that also goes to syslog: formatting the message and
// queuing it, while the sender thread sends datagrams to a loopback port nobody reads.
#include "BenchSupport.h"
#include "CKVXMLConfig.h"
#include "kvlog.h"

#include <benchmark/benchmark.h>

namespace
{
void BM_LineToSyslogQueue(benchmark::State& state)
{
    bench::UseScratchSuite();
    CLogComponent component("Bench", nullptr);
    component.SetApplicationName("Bench Syslog", 1);
    CLogControl* controller = CLogControl::PeekInstance();
    {
        CKVXMLConfig settings;
        settings.Open(controller->GetSettingsFileName());
        settings.SetString("config", "OutputDevice", "4");
        settings.SetString("config", "SyslogServer", "127.0.0.1:9");
        settings.Save();
    }
    controller->LoadSettings();
    for (auto _ : state)
        component.LogID(LOG_INFORMATION, 7UL, bench::kMessageFormat, 3, 12.5, 40);
    CLogControl::DestroyInstance();
}
BENCHMARK(BM_LineToSyslogQueue)->UseRealTime();
} // namespace
