// What the worst settings files within the 16 MiB cap cost to read and to save again: nesting at
// and past the bound, the most elements and attributes the reader takes, one long value, values
// made of references, and text that grows when it is written. The peak memory of one shape is the
// program's maximum resident size when only that shape runs
// (/usr/bin/time -f %M kvlog_bench --benchmark_filter='BM_SettingsFileShape/3$').
#include "BenchSupport.h"
#include "CKVXMLConfig.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace
{
const std::size_t kCap = CKVXMLConfig::kMaxFileBytes - 64;
const char kMark[] = "\xEF\xBB\xBF";

std::string Repeat(const std::string& part, std::size_t count)
{
    std::string text;
    text.reserve(part.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += part;
    return text;
}

// head, as many units as fit below the cap (at most most), tail.
std::string Fill(const std::string& head, const std::string& unit, const std::string& tail,
                 std::size_t most = kCap)
{
    const std::size_t fits = (kCap - head.size() - tail.size() - 3) / unit.size();
    return kMark + head + Repeat(unit, std::min(fits, most)) + tail;
}

struct Shape
{
    const char* name;
    std::string text;
};

Shape MakeShape(int index)
{
    const std::string name(480, 'n');
    switch (index)
    {
    case 0:
        return {"nested 250 deep", Fill("<r>", Repeat("<a>", 250) + Repeat("</a>", 250), "</r>")};
    case 1:
        return {"16383 elements 32 deep",
                Fill("<r>", Repeat("<" + name + ">", 31) + Repeat("</" + name + ">", 31), "</r>",
                     16383 / 31)};
    case 2:
        return {"65535 attributes",
                Fill("<r><c ", "a=\"" + std::string(240, 'v') + "\" ", "></c></r>", 65535)};
    case 3:
        return {"one long value", Fill("<r><c v=\"", "x", "\"></c></r>")};
    case 4:
        return {"references", Fill("<r><c v=\"", "&amp;", "\"></c></r>")};
    case 5:
        return {"& without ;", Fill("<r><c v=\"", "&", "\"></c></r>")};
    case 6:
        return {"escaped when written", Fill("<r><c v=\"", "<\t", "\"></c></r>")};
    case 7:
        return {"16383 sections",
                Fill("<r>", "<s a=\"" + std::string(1000, 'v') + "\" b=\"1\"/>", "</r>", 16383)};
    case 8:
        return {"too many elements", Fill("<r>", "<e></e>", "</r>")};
    default:
        return {"8-bit text", Fill("<r><c v=\"", "\xC4", "\"></c></r>").substr(3)};
    }
}

void BM_SettingsFileShape(benchmark::State& state)
{
    Shape shape = MakeShape(static_cast<int>(state.range(0)));
    const std::string path = bench::ScratchFolder() + "/xdb_shape.xdb";
    std::ofstream(path, std::ios::binary) << shape.text;
    const std::size_t size = shape.text.size();
    // Out of the way of the peak that the shape's reading and saving reach.
    std::string().swap(shape.text);
    int opened = 0;
    for (auto _ : state)
    {
        CKVXMLConfig config;
        opened = config.Open(path.c_str());
        config.SetString("UserDefined", "Key", "Value");
        benchmark::DoNotOptimize(config.Save());
    }
    state.SetLabel(std::string(shape.name) + (opened != 0 ? "" : " (refused)"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_SettingsFileShape)->DenseRange(0, 9)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace
