// Cost of reading and writing a settings document of typical size, and of a hex dump.
#include "CULXMLData.h"
#include "line/CHexDumpFormatter.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
// A document shaped like a settings file: a config section and one section per component.
CString SettingsDocument(int components)
{
    CString text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<xdb>\r\n";
    text +=
        "\t<config Level=\"15\" OutputDevice=\"3\" Filename=\"\" MaxLogFileSize=\"1048576\"/>\r\n";
    for (int i = 0; i < components; ++i)
        text.AppendFormat("\t<Component%d _Level=\"4294967295\" _Version=\"1\" _StopOnAssert=\"0\" "
                          "Error=\"16711680\" Warning=\"16750848\" Information=\"0\"/>\r\n",
                          i);
    text += "</xdb>\r\n";
    return text;
}

void BM_ParseSettingsDocument(benchmark::State& state)
{
    const CString text = SettingsDocument(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        CULXMLData document;
        benchmark::DoNotOptimize(document.LoadFromString(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.GetLength());
}
BENCHMARK(BM_ParseSettingsDocument)->Arg(4)->Arg(64);

void BM_WriteSettingsDocument(benchmark::State& state)
{
    CULXMLData document;
    document.LoadFromString(SettingsDocument(static_cast<int>(state.range(0))));
    CString out;
    for (auto _ : state)
        benchmark::DoNotOptimize(document.SaveToString(out));
}
BENCHMARK(BM_WriteSettingsDocument)->Arg(4)->Arg(64);

void BM_HexDump(benchmark::State& state)
{
    const std::vector<unsigned char> data(static_cast<std::size_t>(state.range(0)), 0x5A);
    CHexDumpFormatter formatter;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            formatter.Format(data.data(), static_cast<unsigned long>(data.size()), "frame"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_HexDump)->Arg(64)->Arg(4096);
} // namespace
