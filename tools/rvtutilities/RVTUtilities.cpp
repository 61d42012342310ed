// Prints the running operating system's version on one line, in the form of the log file's
// target string: on Windows the version as the system reports it without compatibility settings;
// on Linux the distribution, machine and kernel. No line end follows, so that the log file's
// header can compare the text with its own target string as it is.
#include "windowsversion/CSystemWindowsFacts.h"
#include "windowsversion/CWindowsVersionDetector.h"

#include <cstdio>

int main()
{
    CSystemWindowsFacts facts(CSystemWindowsFacts::kUnshimmed);
    std::fputs(CWindowsVersionDetector(facts).GetTargetVersionString(), stdout);
    return 0;
}
