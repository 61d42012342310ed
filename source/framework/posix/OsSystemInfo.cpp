#include "OsSystemInfo.h"

#include <fstream>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>

namespace os
{
bool GetVersionRecord(bool, OsVersionRecord&)
{
    return false;
}

bool GetUnshimmedVersion(OsVersionRecord&)
{
    return false;
}

WORD GetNativeProcessorArchitecture()
{
    struct utsname names
    {
    };
    if (::uname(&names) != 0)
        return 0xFFFF;
    const std::string machine = names.machine;
    if (machine == "x86_64")
        return 9;
    if (machine == "aarch64")
        return 12;
    if (machine == "ia64")
        return 6;
    return 0;
}

bool GetProductInfo(DWORD, DWORD, DWORD*)
{
    return false;
}

int GetSystemMetrics(int)
{
    return 0;
}

namespace
{
// The PRETTY_NAME of os-release, without its quotes; "" when there is none.
std::string DistributionName()
{
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"})
    {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);)
        {
            if (line.rfind("PRETTY_NAME=", 0) != 0)
                continue;
            std::string value = line.substr(12);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return std::string();
}
} // namespace

bool GetKernelFacts(KernelFacts& facts)
{
    struct utsname names
    {
    };
    if (::uname(&names) != 0)
        return false;
    facts.distribution = CString(DistributionName());
    facts.machine = names.machine;
    facts.kernelName = names.sysname;
    facts.kernelRelease = names.release;
    return true;
}
} // namespace os
