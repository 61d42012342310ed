#include "OsNumberFormat.h"

#include <clocale>

namespace os
{
bool IsDecimalPointDot()
{
    const char* point = std::localeconv()->decimal_point;
    return point != nullptr && point[0] == '.' && point[1] == '\0';
}
} // namespace os
