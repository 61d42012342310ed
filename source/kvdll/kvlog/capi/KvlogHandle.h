// What a C handle points to: a component of the module's own making.
#pragma once

#include "kvlog.h"
#include "kvlog_c.h"

struct kvlog_component final : CLogComponent
{
    explicit kvlog_component(const char* name) : CLogComponent(name, nullptr) {}
};
