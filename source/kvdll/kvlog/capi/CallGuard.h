// Every C entry point runs its call through these: a null handle gets the default, and no
// exception leaves the module.
#pragma once

#include "capi/KvlogHandle.h"

namespace kvlog_capi
{
template <class Result, class Call> Result Guarded(Result fallback, Call call) noexcept
{
    try
    {
        return call();
    }
    catch (...)
    {
        return fallback;
    }
}

template <class Call> void Guarded(Call call) noexcept
{
    try
    {
        call();
    }
    catch (...)
    {
    }
}

template <class Result, class Call>
Result WithComponent(kvlog_component* component, Result fallback, Call call) noexcept
{
    if (component == nullptr)
        return fallback;
    return Guarded(fallback, [&] { return call(*component); });
}

template <class Call> void WithComponent(kvlog_component* component, Call call) noexcept
{
    if (component != nullptr)
        Guarded([&] { call(*component); });
}
} // namespace kvlog_capi
