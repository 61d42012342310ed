// An application built against the installed library only.
#include <kvlog/kvlog.h>
#include <kvlog/utility.h>

#include <cstdio>
#include <memory>

int main()
{
    CString path = "base";
    AppendPath(path, "log");
    std::printf("%s\n", path.GetString());

    // The module itself: a component, held the way applications often hold one, logs through the
    // shared library.
    CLogComponent* component = nullptr;
    auto logger = std::make_unique<CLogComponent>("Consumer", &component);
    logger->Log(LOG_INFORMATION, "consumer %d", 1);
    const bool registered = component == logger.get();
    logger.reset();
    CString target;
    GetTargetWindowsVersionString(target);
    return path.IsEmpty() || !registered || component != nullptr || target.IsEmpty() ? 1 : 0;
}
