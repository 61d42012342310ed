// The module's static objects: loading the module constructs them with no effect; unloading it
// deletes the controller, whatever components still exist.
#include "controller/CLogControl.h"

namespace
{
class CLogControlHolder
{
public:
    CLogControlHolder() = default;
    CLogControlHolder(const CLogControlHolder&) = delete;
    CLogControlHolder& operator=(const CLogControlHolder&) = delete;
    ~CLogControlHolder() { CLogControl::DestroyInstance(); }
};

CLogControlHolder g_controlHolder;
} // namespace
