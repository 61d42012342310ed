// An application built against the installed library only.
#include <kvlog/kvlog.h>
#include <kvlog/utility.h>

#include <cstdio>

int main()
{
    CString path = "base";
    AppendPath(path, "log");
    std::printf("%s\n", path.GetString());

    // The module itself: a component logs through the shared library.
    CLogComponent* component = nullptr;
    CLogComponent logger("Consumer", &component);
    logger.Log(LOG_INFORMATION, "consumer %d", 1);
    CString target;
    GetTargetWindowsVersionString(target);
    return path.IsEmpty() || component != &logger || target.IsEmpty() ? 1 : 0;
}
