// A program that logs into a mapped log file ("FileMapping" 1 in the settings file the test
// prepares), started by the lifecycle tests. The suite root comes from KORVEL_ROOT_DIR.
//
//   write REPORT  logs numbered lines until it is killed (or 20 s have passed); after each line
//                 it stores the line's number in the mapped file REPORT, which keeps the number
//                 of the last accepted line when the program is killed
//   close         logs one line and ends normally
#include "CFile.h"
#include "OsFileMapping.h"
#include "kvlog.h"

#include <chrono>
#include <cstdint>
#include <cstring>

namespace
{
const char kApplication[] = "Mapped Kill";

int WriteUntilKilled(CLogComponent& component, const char* reportPath)
{
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
} // namespace

int main(int argc, char** argv)
{
    CLogComponent component("Writer", nullptr);
    component.SetApplicationName(kApplication, 1);
    if (argc == 3 && std::strcmp(argv[1], "write") == 0)
        return WriteUntilKilled(component, argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "close") == 0)
    {
        component.Log(LOG_INFORMATION, "closing line");
        return 0;
    }
    return 1;
}
