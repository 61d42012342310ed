#include "OsNumberFormat.h"

#include <langinfo.h>

namespace os
{
// The locale's own item, which unlike localeconv is read without filling a structure.
bool IsDecimalPointDot()
{
    const char* point = ::nl_langinfo(RADIXCHAR);
    return point != nullptr && point[0] == '.' && point[1] == '\0';
}
} // namespace os
