// Prints the running operating system's version on one line: on Windows the version as the system
// reports it without compatibility settings, in the form of the log file's target string; on other
// systems the kernel and the distribution. No line end follows, so that the log file's header can
// compare the text with its own target string as it is.
#include "OsSystemInfo.h"
#include "windowsversion/CSystemWindowsFacts.h"
#include "windowsversion/CWindowsVersionDetector.h"

#include <cstdio>

int main()
{
    CString text = os::GetKernelDescription();
    if (text.IsEmpty())
    {
        CSystemWindowsFacts facts(CSystemWindowsFacts::kUnshimmed);
        text = CWindowsVersionDetector(facts).GetTargetVersionString();
    }
    std::fputs(text, stdout);
    return 0;
}
