// The C interface apart from messages and dumps: components, levels, blocks, composed lines,
// application name, sink, settings, the log file and the Windows version texts.
#include "WindowsVersion.h"
#include "capi/CLogSinkAdapter.h"
#include "capi/CallGuard.h"
#include "capi/TextOut.h"

#include <new>

using kvlog_capi::CopyOut;
using kvlog_capi::Guarded;
using kvlog_capi::WithComponent;

kvlog_component* kvlog_component_create(const char* name)
{
    return Guarded<kvlog_component*>(nullptr,
                                     [&] { return new (std::nothrow) kvlog_component(name); });
}

void kvlog_component_destroy(kvlog_component* component)
{
    Guarded([&] { delete component; });
}

void kvlog_start_block(kvlog_component* component)
{
    WithComponent(component, [](CLogComponent& target) { target.LogStartBlock(); });
}

void kvlog_end_block(kvlog_component* component)
{
    WithComponent(component, [](CLogComponent& target) { target.LogEndBlock(); });
}

void kvlog_start_block_level(kvlog_component* component, const char* file, unsigned long line,
                             const char* function, unsigned long level, const char* levelString)
{
    WithComponent(component, [&](CLogComponent& target)
                  { target.LogStartBlock(file, line, function, level, levelString); });
}

void kvlog_end_block_level(kvlog_component* component, const char* file, unsigned long line,
                           const char* function, unsigned long level, const char* levelString)
{
    WithComponent(component, [&](CLogComponent& target)
                  { target.LogEndBlock(file, line, function, level, levelString); });
}

unsigned long kvlog_get_last_block_duration(kvlog_component* component)
{
    return WithComponent(component, 0UL,
                         [](CLogComponent& target) { return target.LogGetLastBlockDuration(); });
}

void kvlog_start_line(kvlog_component* component)
{
    WithComponent(component, [](CLogComponent& target) { target.LogStartLine(); });
}

void kvlog_end_line(kvlog_component* component, const char* file, unsigned long line,
                    const char* function)
{
    WithComponent(component,
                  [&](CLogComponent& target) { target.LogEndLine(file, line, function); });
}

unsigned long kvlog_get_level(kvlog_component* component)
{
    return WithComponent(component, 0UL, [](CLogComponent& target) { return target.GetLevel(); });
}

int kvlog_check_level(kvlog_component* component, const char* file, unsigned long line,
                      const char* function, unsigned long level, const char* levelString)
{
    return WithComponent(component, 0,
                         [&](CLogComponent& target) {
                             return target.LogCheckLevel(file, line, function, level, levelString);
                         });
}

int kvlog_stop_on_assert(kvlog_component* component)
{
    return WithComponent(component, 0,
                         [](CLogComponent& target) { return target.LogStopOnAssert(); });
}

void kvlog_set_master_level(kvlog_component* component, unsigned long level)
{
    WithComponent(component, [&](CLogComponent& target) { target.LogSetMasterLevel(level); });
}

unsigned long kvlog_ld(unsigned long x)
{
    return CLogComponent::ld(x);
}

void kvlog_add_level_description(kvlog_component* component, const char* file, unsigned long line,
                                 const char* function, unsigned long level, const char* levelString,
                                 unsigned long colour)
{
    WithComponent(component,
                  [&](CLogComponent& target) {
                      target.AddLevelDescription(file, line, function, level, levelString, colour);
                  });
}

void kvlog_set_application_name(kvlog_component* component, const char* name, int flag)
{
    WithComponent(component, [&](CLogComponent& target) { target.SetApplicationName(name, flag); });
}

void kvlog_set_application(const char* name)
{
    // A component that outlived main() in this module would be destroyed at module unload,
    // after the system has ended the watch thread; so this one is released at once. The name
    // stays with the controller.
    kvlog_component* application = kvlog_component_create("Application");
    kvlog_set_application_name(application, name, 1);
    kvlog_component_destroy(application);
}

void kvlog_set_sink(kvlog_component* component, kvlog_error_written_fn onErrorWritten,
                    kvlog_log_event_fn onLogEvent, void* context)
{
    WithComponent(
        component, [&](CLogComponent& target)
        { CLogSinkAdapter::Instance().Install(target, onErrorWritten, onLogEvent, context); });
}

unsigned long kvlog_get_setting(kvlog_component* component, const char* key,
                                unsigned long defaultValue)
{
    if (key == nullptr)
        return defaultValue;
    return WithComponent(component, defaultValue,
                         [&](CLogComponent& target)
                         { return target.LogGetSetting(key, defaultValue); });
}

void kvlog_set_setting(kvlog_component* component, const char* key, unsigned long value)
{
    if (key != nullptr)
        WithComponent(component, [&](CLogComponent& target) { target.LogSetSetting(key, value); });
}

size_t kvlog_get_setting_text(kvlog_component* component, const char* key, const char* defaultValue,
                              char* buffer, size_t size)
{
    const char* fallback = defaultValue != nullptr ? defaultValue : "";
    if (key == nullptr || component == nullptr)
        return CopyOut(fallback, buffer, size);
    return Guarded(
        CopyOut(nullptr, buffer, size),
        [&] { return CopyOut(component->LogGetSetting(key, fallback).GetString(), buffer, size); });
}

void kvlog_set_setting_text(kvlog_component* component, const char* key, const char* value)
{
    if (key == nullptr || value == nullptr)
        return;
    WithComponent(component, [&](CLogComponent& target) { target.LogSetSetting(key, value); });
}

size_t kvlog_get_filename(kvlog_component* component, char* buffer, size_t size)
{
    return Guarded(CopyOut(nullptr, buffer, size),
                   [&]
                   {
                       return CopyOut(component != nullptr ? component->LogGetFilename().GetString()
                                                           : nullptr,
                                      buffer, size);
                   });
}

void kvlog_reset_log_file(kvlog_component* component)
{
    WithComponent(component, [](CLogComponent& target) { target.LogResetLogFile(); });
}

size_t kvlog_get_last_error_string(unsigned long errorCode, char* buffer, size_t size)
{
    return Guarded(
        CopyOut(nullptr, buffer, size),
        [&] { return CopyOut(CLogComponent::LogGetLastErrorString(errorCode), buffer, size); });
}

size_t kvlog_get_windows_info(char* osName, size_t osNameSize, char* servicePack,
                              size_t servicePackSize, char* build, size_t buildSize, int* is64Bit)
{
    CString name, pack, number;
    int wide = 0;
    const int found = Guarded(0, [&] { return GetWindowsInfo(name, pack, number, wide); });
    if (is64Bit != nullptr)
        *is64Bit = found != 0 ? wide : 0;
    if (found == 0)
    {
        // Also after a failure half-way, nothing of the facts goes out.
        name.Empty();
        pack.Empty();
        number.Empty();
    }
    const size_t lengths[] = {CopyOut(name, osName, osNameSize),
                              CopyOut(pack, servicePack, servicePackSize),
                              CopyOut(number, build, buildSize)};
    size_t longest = 0;
    for (size_t length : lengths)
        longest = length > longest ? length : longest;
    return found != 0 ? longest + 1 : 0;
}

size_t kvlog_get_target_windows_version(char* buffer, size_t size)
{
    return Guarded(CopyOut(nullptr, buffer, size),
                   [&]
                   {
                       CString text;
                       GetTargetWindowsVersionString(text);
                       return CopyOut(text, buffer, size);
                   });
}

size_t kvlog_get_running_windows_version(char* buffer, size_t size)
{
    return Guarded(CopyOut(nullptr, buffer, size),
                   [&]
                   {
                       CString text;
                       return CopyOut(GetRunningWindowsVersionString(text) != 0 ? text.GetString()
                                                                                : nullptr,
                                      buffer, size);
                   });
}
