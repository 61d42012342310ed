// A header-only C++ interface over the C interface of kvlog_c.h, for C++ programs of any compiler
// (MSVC, clang-cl, MinGW with either C runtime). It offers the class and method names of
// kvlog.h's CLogComponent in namespace kvlog, but only C types cross into the module: texts come
// back as std::string made on the caller's side, and no exception leaves or enters the module.
// A program switches from kvlog.h by including this header and naming kvlog::CLogComponent.
#pragma once

#include "kvlog_c.h"

#include <cstdarg>
#include <string>

namespace kvlog
{
// Receives log traffic of the application's own; the module holds it without owning it. The
// texts are valid during the call only. An exception thrown here ends at the module's border.
class CLogInterface
{
public:
    virtual int OnErrorWritten() = 0;
    virtual void OnLogEvent(const char* time, unsigned long level, const char* levelString,
                            const char* message) = 0;

protected:
    ~CLogInterface() = default;
};

namespace detail
{
// Reads a text of any length through a function that fills (buffer, size) as snprintf does.
template <class Read> std::string ReadText(Read read)
{
    std::string text(128, '\0');
    for (;;)
    {
        const std::size_t length = read(&text[0], text.size());
        if (length < text.size())
        {
            text.resize(length);
            return text;
        }
        text.resize(length + 1);
    }
}

inline int KVLOG_CALL ErrorWritten(void* context)
{
    try
    {
        return static_cast<CLogInterface*>(context)->OnErrorWritten();
    }
    catch (...)
    {
        return 0;
    }
}

inline void KVLOG_CALL LogEvent(void* context, const char* time, unsigned long level,
                                const char* levelString, const char* message)
{
    try
    {
        static_cast<CLogInterface*>(context)->OnLogEvent(time, level, levelString, message);
    }
    catch (...)
    {
    }
}
} // namespace detail

// Each variadic member hands its arguments to the C interface's va_list twin.
#define KVLOG_WRAP_VARIADIC(twin, ...)                                                             \
    va_list args;                                                                                  \
    va_start(args, format);                                                                        \
    twin(m_handle, __VA_ARGS__, args);                                                             \
    va_end(args)

class CLogComponent
{
public:
    // The owner slot receives this object and is reset to null by the destructor; null is
    // accepted and then simply not written.
    CLogComponent(const char* name, CLogComponent** ownerSlot)
        : m_handle(kvlog_component_create(name)), m_ownerSlot(ownerSlot)
    {
        if (m_ownerSlot != nullptr)
            *m_ownerSlot = this;
    }
    CLogComponent(const CLogComponent&) = delete;
    CLogComponent& operator=(const CLogComponent&) = delete;
    ~CLogComponent()
    {
        if (m_ownerSlot != nullptr)
            *m_ownerSlot = nullptr;
        kvlog_component_destroy(m_handle);
    }

    void Log(const char* file, unsigned long line, const char* function, unsigned long level,
             const char* levelString, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(7, 8)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_v, file, line, function, level, levelString, format);
    }
    void LogID(const char* file, unsigned long line, const char* function, unsigned long level,
               const char* levelString, const char* id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_id_v, file, line, function, level, levelString, id, format);
    }
    void LogID(const char* file, unsigned long line, const char* function, unsigned long level,
               const char* levelString, unsigned long id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_id_num_v, file, line, function, level, levelString, id,
                            format);
    }
    void LogFunc(const char* file, unsigned long line, const char* function, unsigned long level,
                 const char* levelString, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(7, 8)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_func_v, file, line, function, level, levelString, format);
    }
    void LogFuncID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, const char* id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_func_id_v, file, line, function, level, levelString, id,
                            format);
    }
    void LogFuncID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, unsigned long id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_func_id_num_v, file, line, function, level, levelString, id,
                            format);
    }
    // Asserts are logged whatever the level mask; they never stop the program themselves.
    void LogAssert(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, const char* expression, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_assert_v, file, line, function, level, levelString,
                            expression, format);
    }
    void LogAssertID(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString, const char* expression,
                     const char* id, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(9, 10)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_assert_id_v, file, line, function, level, levelString,
                            expression, id, format);
    }
    void LogAssertID(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString, const char* expression,
                     unsigned long id, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(9, 10)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_assert_id_num_v, file, line, function, level, levelString,
                            expression, id, format);
    }
    // Goes to the application's sink only, whatever the levels and output devices say.
    void LogEvent(const char* file, unsigned long line, const char* function, unsigned long level,
                  const char* levelString, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(7, 8)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_event_v, file, line, function, level, levelString, format);
    }
    static void OldWriteLoggingInfo(const char* file, unsigned long line, const char* function,
                                    unsigned long level, const char* message)
    {
        kvlog_old_write_logging_info(file, line, function, level, message);
    }

    unsigned long GetLevel() { return kvlog_get_level(m_handle); }
    bool IsLevelEnabled(unsigned long level) { return (level & GetLevel()) != 0; }
    static constexpr unsigned long LevelOf(const char*, unsigned long, const char*,
                                           unsigned long level, const char*)
    {
        return level;
    }
    // The AND of the level and the component's mask, not just 0 or 1.
    int LogCheckLevel(const char* file, unsigned long line, const char* function,
                      unsigned long level, const char* levelString)
    {
        return kvlog_check_level(m_handle, file, line, function, level, levelString);
    }
    int LogStopOnAssert() { return kvlog_stop_on_assert(m_handle); }
    // Stores the master level in the settings file; it takes effect at the next settings load.
    void LogSetMasterLevel(unsigned long level) { kvlog_set_master_level(m_handle, level); }
    static unsigned long ld(unsigned long x) { return kvlog_ld(x); }
    static unsigned long GetLevelNumberFromMacro(const char*, unsigned long, const char*,
                                                 unsigned long level, const char*)
    {
        return level;
    }
    static const char* GetLevelStringFromMacro(const char*, unsigned long, const char*,
                                               unsigned long, const char* levelString)
    {
        return levelString;
    }
    void AddLevelDescription(const char* file, unsigned long line, const char* function,
                             unsigned long level, const char* levelString, unsigned long colour)
    {
        kvlog_add_level_description(m_handle, file, line, function, level, levelString, colour);
    }
    // Names the whole process; a second name disables logging.
    void SetApplicationName(const char* name, int flag)
    {
        kvlog_set_application_name(m_handle, name, flag);
    }
    // The sink must outlive its installation; null removes it.
    void SetLogInterface(CLogInterface* sink)
    {
        if (sink == nullptr)
            kvlog_set_sink(m_handle, nullptr, nullptr, nullptr);
        else
            kvlog_set_sink(m_handle, &detail::ErrorWritten, &detail::LogEvent, sink);
    }

    // Hex dumps of memory with an optional message: a null format means no message.
    void LogDump(const char* file, unsigned long line, const char* function, unsigned long level,
                 const char* levelString, const void* data, unsigned long length,
                 KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(9, 10)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_dump_v, file, line, function, level, levelString, data,
                            length, format);
    }
    void LogDumpID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, const char* id, const void* data, unsigned long length,
                   KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(10, 11)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_dump_id_v, file, line, function, level, levelString, id, data,
                            length, format);
    }
    void LogDumpID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, unsigned long id, const void* data,
                   unsigned long length, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(10, 11)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_dump_id_num_v, file, line, function, level, levelString, id,
                            data, length, format);
    }
    void LogFuncDump(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString, const void* data,
                     unsigned long length, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(9, 10)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_func_dump_v, file, line, function, level, levelString, data,
                            length, format);
    }
    void LogFuncDumpID(const char* file, unsigned long line, const char* function,
                       unsigned long level, const char* levelString, const char* id,
                       const void* data, unsigned long length, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(10, 11)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_func_dump_id_v, file, line, function, level, levelString, id,
                            data, length, format);
    }
    void LogFuncDumpID(const char* file, unsigned long line, const char* function,
                       unsigned long level, const char* levelString, unsigned long id,
                       const void* data, unsigned long length, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(10, 11)
    {
        KVLOG_WRAP_VARIADIC(kvlog_log_func_dump_id_num_v, file, line, function, level, levelString,
                            id, data, length, format);
    }

    // Timed blocks: each open block indents later messages by two blanks.
    void LogStartBlock() { kvlog_start_block(m_handle); }
    void LogEndBlock() { kvlog_end_block(m_handle); }
    void LogStartBlock(const char* file, unsigned long line, const char* function,
                       unsigned long level, const char* levelString)
    {
        kvlog_start_block_level(m_handle, file, line, function, level, levelString);
    }
    void LogEndBlock(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString)
    {
        kvlog_end_block_level(m_handle, file, line, function, level, levelString);
    }
    unsigned long LogGetLastBlockDuration() { return kvlog_get_last_block_duration(m_handle); }

    // A composed line: messages between the two calls are joined into one line.
    void LogStartLine() { kvlog_start_line(m_handle); }
    void LogEndLine(const char* file, unsigned long line, const char* function)
    {
        kvlog_end_line(m_handle, file, line, function);
    }

    // The application's own values in the settings file's "UserDefined" section.
    unsigned long LogGetSetting(const char* key, unsigned long defaultValue)
    {
        return kvlog_get_setting(m_handle, key, defaultValue);
    }
    void LogSetSetting(const char* key, unsigned long value)
    {
        kvlog_set_setting(m_handle, key, value);
    }
    std::string LogGetSetting(const char* key, const char* defaultValue)
    {
        return detail::ReadText(
            [&](char* buffer, std::size_t size)
            { return kvlog_get_setting_text(m_handle, key, defaultValue, buffer, size); });
    }
    void LogSetSetting(const char* key, const char* value)
    {
        kvlog_set_setting_text(m_handle, key, value);
    }
    std::string LogGetFilename()
    {
        return detail::ReadText([&](char* buffer, std::size_t size)
                                { return kvlog_get_filename(m_handle, buffer, size); });
    }
    void LogResetLogFile() { kvlog_reset_log_file(m_handle); }
    static std::string LogGetLastErrorString(unsigned long errorCode)
    {
        return detail::ReadText([&](char* buffer, std::size_t size)
                                { return kvlog_get_last_error_string(errorCode, buffer, size); });
    }

private:
    kvlog_component* m_handle;
    CLogComponent** m_ownerSlot;
};

#undef KVLOG_WRAP_VARIADIC

// The Windows version texts of WindowsVersion.h.
inline int GetWindowsInfo(std::string& osName, std::string& servicePack, std::string& build,
                          int& is64Bit)
{
    std::size_t size = 64;
    for (;;)
    {
        osName.assign(size, '\0');
        servicePack.assign(size, '\0');
        build.assign(size, '\0');
        const std::size_t needed = kvlog_get_windows_info(&osName[0], size, &servicePack[0], size,
                                                          &build[0], size, &is64Bit);
        if (needed <= size)
        {
            osName.resize(osName.find('\0'));
            servicePack.resize(servicePack.find('\0'));
            build.resize(build.find('\0'));
            return needed != 0 ? 1 : 0;
        }
        size = needed;
    }
}
inline int GetTargetWindowsVersionString(std::string& text)
{
    text = detail::ReadText([](char* buffer, std::size_t size)
                            { return kvlog_get_target_windows_version(buffer, size); });
    return 1;
}
// 0, leaving text alone, when the suite's utilities program is missing.
inline int GetRunningWindowsVersionString(std::string& text)
{
    std::string running =
        detail::ReadText([](char* buffer, std::size_t size)
                         { return kvlog_get_running_windows_version(buffer, size); });
    if (running.empty())
        return 0;
    text.swap(running);
    return 1;
}
} // namespace kvlog

// The level macros and the assert of kvlog.h; a program that includes both keeps kvlog.h's.
#ifndef LOG_ERROR
#define LOG_ERROR KVLOG_ERROR
#define LOG_WARNING KVLOG_WARNING
#define LOG_INFORMATION KVLOG_INFORMATION
#define LOG_SUCCESS KVLOG_SUCCESS
#define LOG_DEBUG KVLOG_DEBUG
#endif

#ifndef LOG_SETAPPLICATION
#define LOG_SETAPPLICATION(Name) kvlog_set_application(Name)
#endif

#ifndef LOG_ASSERT
#define LOG_ASSERT(ComponentPointer, Expression, ...)                                              \
    do                                                                                             \
    {                                                                                              \
        if (!(Expression) && (ComponentPointer) != nullptr)                                        \
        {                                                                                          \
            (ComponentPointer)->LogAssert(LOG_ERROR, #Expression, __VA_ARGS__);                    \
            if ((ComponentPointer)->LogStopOnAssert())                                             \
                KVLOG_C_DEBUG_BREAK();                                                             \
        }                                                                                          \
    } while (0)
#endif
