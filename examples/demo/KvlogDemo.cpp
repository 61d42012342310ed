// The demo program: names itself, logs through three source components at several levels, and
// shows where this installation of the suite keeps its files. "kvlog_demo SECONDS" goes on
// running the sequence five times a second for that long, a running program to try kvlogctl on.
#include "InstallationFacts.h"
#include "kvlog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{
CLogComponent* g_motor = nullptr;
CLogComponent* g_camera = nullptr;
CLogComponent* g_sequencer = nullptr;

void RunSequence()
{
    g_sequencer->Log(LOG_INFORMATION, "sequence %s started with %d steps", "calibration", 3);
    for (unsigned long step = 1; step <= 3; ++step)
    {
        g_motor->LogID(LOG_DEBUG, step, "moving axis to %.1f mm", 12.5 * static_cast<double>(step));
        g_camera->LogFunc(LOG_INFORMATION, "frame %lu captured", step);
    }
    g_camera->LogID(LOG_WARNING, "CAM-17", "exposure at its limit");
    g_motor->Log(LOG_ERROR, "axis %d lost its reference", 2);
    LOG_ASSERT(g_motor, g_motor->GetLevel() != 0, "motor logging switched off");
    g_sequencer->Log(LOG_SUCCESS, "sequence finished");
}
} // namespace

int main(int argc, char** argv)
{
    CLogComponent motor("Motor", &g_motor);
    CLogComponent camera("Camera", &g_camera);
    CLogComponent sequencer("Sequencer", &g_sequencer);
    sequencer.SetApplicationName("Demo", 1);

    RunSequence();
    const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        RunSequence();
    }

    std::printf("Suite root: %s\n", GetSuiteRootDir().GetString());
    std::printf("Log folder: %s\n", GetSuiteLogDir().GetString());
    std::printf("Ctrl folder: %s\n", GetSuiteCtrlDir().GetString());
    return 0;
}
