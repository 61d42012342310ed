#include "OsThread.h"

#include <atomic>

namespace os
{
namespace
{
std::atomic<bool> g_processEnding{false};
} // namespace

void SetProcessEnding()
{
    g_processEnding.store(true);
}

bool IsProcessEnding()
{
    return g_processEnding.load();
}
} // namespace os
