// An application built against the installed library only.
#include <kvlog/kvlog.h>
#include <kvlog/utility.h>

#include <cstdio>

int main()
{
    CString path = "base";
    AppendPath(path, "log");
    std::printf("%s\n", path.GetString());
    return path.IsEmpty() ? 1 : 0;
}
