// A second program on the same settings file as the logging tests: it names itself after the
// tests' application, so that it loads their file, prints what it found there, and stores a new
// master level for the tests' program to pick up.
//
// Arguments: suite root folder, application name, master level to store.
#include "InstallationFacts.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4 || !SetSuiteRootDir(argv[1]))
        return 2;
    CLogComponent* slot = nullptr;
    CLogComponent peer("Peer", &slot);
    peer.SetApplicationName(argv[2], 1);
    std::printf("Speed=%lu Level=%lu\n", peer.LogGetSetting("Speed", 0UL),
                CLogControl::PeekInstance()->GetMasterLevel());
    peer.LogSetMasterLevel(std::strtoul(argv[3], nullptr, 0));
    return 0;
}
