// The demo program: shows where this installation of the suite keeps its files.
#include "InstallationFacts.h"

#include <cstdio>

int main()
{
    std::printf("Suite root: %s\n", GetSuiteRootDir().GetString());
    std::printf("Log folder: %s\n", GetSuiteLogDir().GetString());
    std::printf("Ctrl folder: %s\n", GetSuiteCtrlDir().GetString());
    return 0;
}
