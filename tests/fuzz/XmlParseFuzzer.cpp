// Hands arbitrary bytes to the XML reader. Any input must give a defined result: on failure the
// document has no root and a message; on success the tree can be searched and written.
#include "CULXMLData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 24))
        return 0;
    CULXMLData document;
    const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const bool loaded = document.LoadFromString(text);
    if (loaded != document.GetLastError().IsEmpty())
        std::abort();
    if (!loaded && document.HasRoot())
        std::abort();
    if (document.HasRoot())
    {
        document.FindNodeByPath("a\\b", "\\");
        CString written;
        if (!document.SaveToString(written))
            std::abort();
    }
    return 0;
}
