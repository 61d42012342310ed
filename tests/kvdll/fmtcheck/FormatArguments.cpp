// Compiled once per case by CheckFormatArguments.cmake: case 0 must compile, each other case
// differs from it in one call and must be refused by the compiler.
#include "kvlog_fmt.h"

#include <string>

struct NoFormatter
{
};

void LogMove(CLogComponent* log, const std::string& axis, double millimetres)
{
#if KVLOG_CASE == 0
    KVLOG_ERROR(log, "{} moved {:.2f} mm", axis, millimetres);
    KVLOG_ERROR_ID(log, 7, "{}", sizeof(NoFormatter));
#elif KVLOG_CASE == 1 // a text where a number is due
    KVLOG_ERROR(log, "{} moved {:.2f} mm", millimetres, axis);
#elif KVLOG_CASE == 2 // an argument missing
    KVLOG_ERROR(log, "{} moved {:.2f} mm", axis);
#elif KVLOG_CASE == 3 // a brace not closed
    KVLOG_ERROR(log, "{ moved {:.2f} mm", axis, millimetres);
#elif KVLOG_CASE == 4 // a type that has no formatter
    KVLOG_ERROR_ID(log, 7, "{}", NoFormatter{});
#endif
}
