// A second program on the same settings file as the logging tests: it names itself after the
// tests' application, so that it loads their file, prints what it found there, and stores a new
// master level for the tests' program to pick up.
//
// Arguments: suite root folder, application name, master level to store; or suite root folder,
// application name, key prefix, count, start: from the start (milliseconds of the system clock
// since its epoch) on, stores the values 0 to count-1 under prefix0, prefix1, ...
#include "InstallationFacts.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if ((argc != 4 && argc != 6) || !SetSuiteRootDir(argv[1]))
        return 2;
    CLogComponent peer("Peer", nullptr);
    peer.SetApplicationName(argv[2], 1);
    if (argc == 6)
    {
        std::this_thread::sleep_until(std::chrono::system_clock::time_point(
            std::chrono::milliseconds(std::strtoll(argv[5], nullptr, 10))));
        const unsigned long count = std::strtoul(argv[4], nullptr, 10);
        for (unsigned long i = 0; i < count; ++i)
            peer.LogSetSetting((std::string(argv[3]) + std::to_string(i)).c_str(), i);
        return 0;
    }
    std::printf("Speed=%lu Level=%lu\n", peer.LogGetSetting("Speed", 0UL),
                CLogControl::PeekInstance()->GetMasterLevel());
    peer.LogSetMasterLevel(std::strtoul(argv[3], nullptr, 0));
    return 0;
}
