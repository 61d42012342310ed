#include "BenchSupport.h"

#include "InstallationFacts.h"

#include <cstdlib>
#include <sys/stat.h>

namespace bench
{
std::string ScratchFolder()
{
    const char* chosen = std::getenv("KVLOG_BENCH_DIR");
    std::string folder = chosen != nullptr && *chosen != '\0' ? chosen : "bench-files";
    ::mkdir(folder.c_str(), 0755);
    return folder;
}

void UseScratchSuite()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const std::string root = ScratchFolder() + "/suite";
    ::mkdir(root.c_str(), 0755);
    ::mkdir((root + "/ctrl").c_str(), 0755);
    ::mkdir((root + "/log").c_str(), 0755);
    if (FILE* marker = std::fopen((root + "/ctrl/RVT.exe").c_str(), "w"))
        std::fclose(marker);
    SetSuiteRootDir(root.c_str());
}
} // namespace bench
