// Prints the running operating system's version on one line, in the form of the log file's
// target string: on Windows the version as the system reports it without compatibility settings;
// on Linux the distribution, machine and kernel. No line end follows, so that the log file's
// header can compare the text with its own target string as it is.
#include "windowsversion/CSystemWindowsFacts.h"
#include "windowsversion/CWindowsVersionDetector.h"

#include <cstdio>
#include <cstring>

namespace
{
const char kHelpText[] =
    "Usage: rvtutilities [--help]\n"
    "\n"
    "Prints the running operating system's version on one line, without a line end: on\n"
    "Windows the version as the system reports it without compatibility settings, on Linux\n"
    "the distribution, machine and kernel. The header of a log file of the suite shows it in\n"
    "its \"Platform:\" row, from the suite's ctrl folder (on Windows as RVTUtilities.exe).\n"
    "\n"
    "Exit codes: 0 success, 2 bad usage.\n";
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
    {
        const bool help = std::strcmp(argv[1], "--help") == 0;
        std::fputs(kHelpText, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    CSystemWindowsFacts facts(CSystemWindowsFacts::kUnshimmed);
    std::fputs(CWindowsVersionDetector(facts).GetTargetVersionString(), stdout);
    return 0;
}
