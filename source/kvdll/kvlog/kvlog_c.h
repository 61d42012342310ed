/* The logging module's C interface: plain C functions over opaque handles, for programs of any
 * compiler and language (MSVC, clang-cl, MinGW with either C runtime, C). It covers what the C++
 * interface in kvlog.h offers.
 *
 * Rules of the boundary:
 * - Only C types cross it. Texts go in as const char* (8-bit, the process code page) and come out
 *   through a buffer and its size that the caller supplies. No memory is allocated on one side
 *   and freed on the other; a component is created and destroyed by this module.
 * - Text out: a function that fills (buffer, size) returns the length of the whole text without
 *   its terminating zero, as snprintf does. It writes at most size - 1 characters and a
 *   terminating zero when size is not 0; buffer may be null when size is 0. A result of size or
 *   more therefore means the text was cut: call again with a buffer of result + 1 bytes.
 * - No exception and no C++ type crosses it. A null handle, key or format is accepted: the call
 *   then does nothing and returns its default (0, an empty text, the default passed in).
 * - All functions use the C calling convention (__cdecl on Windows, also for 32-bit programs
 *   compiled with another default convention); so do the sink functions.
 *
 * Level selector: the five arguments that every message call begins with (source file, line,
 * function, level mask, level string), supplied together by one of the KVLOG_ level macros.
 */
#ifndef KVLOG_C_H
#define KVLOG_C_H

#include "KvlogExport.h"

#include <stdarg.h>
#include <stddef.h>

#if defined(_WIN32)
#define KVLOG_CALL __cdecl
#else
#define KVLOG_CALL
#endif

/* Format checking: the module formats with the C99 printf rules (on MinGW the GNU variant, not
 * the older Microsoft one), so compilers that can check a format check it against those. */
#if defined(__MINGW32__)
#define KVLOG_C_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define KVLOG_C_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define KVLOG_C_PRINTF(f, a)
#endif
#if defined(_MSC_VER)
#include <sal.h>
#define KVLOG_C_FORMAT _In_opt_z_ _Printf_format_string_ const char*
#else
#define KVLOG_C_FORMAT const char*
#endif

#if defined(_MSC_VER) && !defined(__clang__)
#define KVLOG_FUNCTION __FUNCTION__
#else
#define KVLOG_FUNCTION __func__
#endif

/* kvlog_fmt.h gives these names to its typed C++ macros: a source file includes one of the two. */
#ifdef KVLOG_FORMATTED
#error "kvlog_c.h cannot share a source file with kvlog_fmt.h"
#endif
/* The built-in levels, each as the five arguments of the level selector. */
#define KVLOG_ERROR __FILE__, __LINE__, KVLOG_FUNCTION, 0x1UL, "Error"
#define KVLOG_WARNING __FILE__, __LINE__, KVLOG_FUNCTION, 0x2UL, "Warning"
#define KVLOG_INFORMATION __FILE__, __LINE__, KVLOG_FUNCTION, 0x4UL, "Information"
#define KVLOG_SUCCESS __FILE__, __LINE__, KVLOG_FUNCTION, 0x8UL, "Success"
#define KVLOG_DEBUG __FILE__, __LINE__, KVLOG_FUNCTION, 0x8000UL, "Debug"

#if defined(_MSC_VER) && !defined(__clang__)
#define KVLOG_C_DEBUG_BREAK() __debugbreak()
#else
#define KVLOG_C_DEBUG_BREAK() __builtin_trap()
#endif

/* Logs a failed expression and breaks only when the component's stop-on-assert setting asks for
 * it. The arguments after the expression are a printf format and its values. */
#define KVLOG_ASSERT(component, expression, ...)                                                   \
    do                                                                                             \
    {                                                                                              \
        if (!(expression) && (component) != NULL)                                                  \
        {                                                                                          \
            kvlog_log_assert((component), KVLOG_ERROR, #expression, __VA_ARGS__);                  \
            if (kvlog_stop_on_assert(component))                                                   \
                KVLOG_C_DEBUG_BREAK();                                                             \
        }                                                                                          \
    } while (0)

#ifdef __cplusplus
extern "C"
{
#endif

    /* A logger of one source component; made by kvlog_component_create only. */
    typedef struct kvlog_component kvlog_component;

    /* The application's sink. Called on the thread that logs, under the module's lock: a sink
     * function must return quickly and must not set a sink. time is "hh:mm:ss.mmm" local time. All
     * texts are valid during the call only. */
    typedef int(KVLOG_CALL* kvlog_error_written_fn)(void* context);
    typedef void(KVLOG_CALL* kvlog_log_event_fn)(void* context, const char* time,
                                                 unsigned long level, const char* level_string,
                                                 const char* message);

    /* Components. create returns null only when no memory is left; destroy accepts null. */
    KVLOG_API kvlog_component* KVLOG_CALL kvlog_component_create(const char* name);
    KVLOG_API void KVLOG_CALL kvlog_component_destroy(kvlog_component* component);

    /* Messages: plain, with a text or numeric ID (shown as a signed 32-bit number), prefixed with
     * function and line (func), asserts (logged whatever the level mask; they never stop the
     * program), and events for the sink alone. Each has a va_list twin ending in _v. */
    KVLOG_API void KVLOG_CALL kvlog_log(kvlog_component* component, const char* file,
                                        unsigned long line, const char* function,
                                        unsigned long level, const char* level_string,
                                        KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(7, 8);
    KVLOG_API void KVLOG_CALL kvlog_log_id(kvlog_component* component, const char* file,
                                           unsigned long line, const char* function,
                                           unsigned long level, const char* level_string,
                                           const char* id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9);
    KVLOG_API void KVLOG_CALL kvlog_log_id_num(kvlog_component* component, const char* file,
                                               unsigned long line, const char* function,
                                               unsigned long level, const char* level_string,
                                               unsigned long id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9);
    KVLOG_API void KVLOG_CALL kvlog_log_func(kvlog_component* component, const char* file,
                                             unsigned long line, const char* function,
                                             unsigned long level, const char* level_string,
                                             KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(7, 8);
    KVLOG_API void KVLOG_CALL kvlog_log_func_id(kvlog_component* component, const char* file,
                                                unsigned long line, const char* function,
                                                unsigned long level, const char* level_string,
                                                const char* id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9);
    KVLOG_API void KVLOG_CALL kvlog_log_func_id_num(kvlog_component* component, const char* file,
                                                    unsigned long line, const char* function,
                                                    unsigned long level, const char* level_string,
                                                    unsigned long id, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9);
    KVLOG_API void KVLOG_CALL kvlog_log_assert(kvlog_component* component, const char* file,
                                               unsigned long line, const char* function,
                                               unsigned long level, const char* level_string,
                                               const char* expression, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(8, 9);
    KVLOG_API void KVLOG_CALL kvlog_log_assert_id(kvlog_component* component, const char* file,
                                                  unsigned long line, const char* function,
                                                  unsigned long level, const char* level_string,
                                                  const char* expression, const char* id,
                                                  KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(9, 10);
    KVLOG_API void KVLOG_CALL kvlog_log_assert_id_num(kvlog_component* component, const char* file,
                                                      unsigned long line, const char* function,
                                                      unsigned long level, const char* level_string,
                                                      const char* expression, unsigned long id,
                                                      KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(9, 10);
    KVLOG_API void KVLOG_CALL kvlog_log_event(kvlog_component* component, const char* file,
                                              unsigned long line, const char* function,
                                              unsigned long level, const char* level_string,
                                              KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(7, 8);

    KVLOG_API void KVLOG_CALL kvlog_log_v(kvlog_component* component, const char* file,
                                          unsigned long line, const char* function,
                                          unsigned long level, const char* level_string,
                                          KVLOG_C_FORMAT format, va_list args) KVLOG_C_PRINTF(7, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_id_v(kvlog_component* component, const char* file,
                                             unsigned long line, const char* function,
                                             unsigned long level, const char* level_string,
                                             const char* id, KVLOG_C_FORMAT format, va_list args)
        KVLOG_C_PRINTF(8, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_id_num_v(kvlog_component* component, const char* file,
                                                 unsigned long line, const char* function,
                                                 unsigned long level, const char* level_string,
                                                 unsigned long id, KVLOG_C_FORMAT format,
                                                 va_list args) KVLOG_C_PRINTF(8, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_func_v(kvlog_component* component, const char* file,
                                               unsigned long line, const char* function,
                                               unsigned long level, const char* level_string,
                                               KVLOG_C_FORMAT format, va_list args)
        KVLOG_C_PRINTF(7, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_func_id_v(kvlog_component* component, const char* file,
                                                  unsigned long line, const char* function,
                                                  unsigned long level, const char* level_string,
                                                  const char* id, KVLOG_C_FORMAT format,
                                                  va_list args) KVLOG_C_PRINTF(8, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_func_id_num_v(kvlog_component* component, const char* file,
                                                      unsigned long line, const char* function,
                                                      unsigned long level, const char* level_string,
                                                      unsigned long id, KVLOG_C_FORMAT format,
                                                      va_list args) KVLOG_C_PRINTF(8, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_assert_v(kvlog_component* component, const char* file,
                                                 unsigned long line, const char* function,
                                                 unsigned long level, const char* level_string,
                                                 const char* expression, KVLOG_C_FORMAT format,
                                                 va_list args) KVLOG_C_PRINTF(8, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_assert_id_v(kvlog_component* component, const char* file,
                                                    unsigned long line, const char* function,
                                                    unsigned long level, const char* level_string,
                                                    const char* expression, const char* id,
                                                    KVLOG_C_FORMAT format, va_list args)
        KVLOG_C_PRINTF(9, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_assert_id_num_v(
        kvlog_component* component, const char* file, unsigned long line, const char* function,
        unsigned long level, const char* level_string, const char* expression, unsigned long id,
        KVLOG_C_FORMAT format, va_list args) KVLOG_C_PRINTF(9, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_event_v(kvlog_component* component, const char* file,
                                                unsigned long line, const char* function,
                                                unsigned long level, const char* level_string,
                                                KVLOG_C_FORMAT format, va_list args)
        KVLOG_C_PRINTF(7, 0);
    /* The older interface: no component, so the level is compared as a number. */
    KVLOG_API void KVLOG_CALL kvlog_old_write_logging_info(const char* file, unsigned long line,
                                                           const char* function,
                                                           unsigned long level,
                                                           const char* message);

    /* Hex dumps of memory with an optional message: a null format means no message, and the func
     * forms then show the function and line alone. A dump never joins a composed line. */
    KVLOG_API void KVLOG_CALL kvlog_log_dump(kvlog_component* component, const char* file,
                                             unsigned long line, const char* function,
                                             unsigned long level, const char* level_string,
                                             const void* data, unsigned long length,
                                             KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(9, 10);
    KVLOG_API void KVLOG_CALL kvlog_log_dump_id(kvlog_component* component, const char* file,
                                                unsigned long line, const char* function,
                                                unsigned long level, const char* level_string,
                                                const char* id, const void* data,
                                                unsigned long length, KVLOG_C_FORMAT format, ...)
        KVLOG_C_PRINTF(10, 11);
    KVLOG_API void KVLOG_CALL kvlog_log_dump_id_num(kvlog_component* component, const char* file,
                                                    unsigned long line, const char* function,
                                                    unsigned long level, const char* level_string,
                                                    unsigned long id, const void* data,
                                                    unsigned long length, KVLOG_C_FORMAT format,
                                                    ...) KVLOG_C_PRINTF(10, 11);
    KVLOG_API void KVLOG_CALL kvlog_log_func_dump(kvlog_component* component, const char* file,
                                                  unsigned long line, const char* function,
                                                  unsigned long level, const char* level_string,
                                                  const void* data, unsigned long length,
                                                  KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(9, 10);
    KVLOG_API void KVLOG_CALL kvlog_log_func_dump_id(kvlog_component* component, const char* file,
                                                     unsigned long line, const char* function,
                                                     unsigned long level, const char* level_string,
                                                     const char* id, const void* data,
                                                     unsigned long length, KVLOG_C_FORMAT format,
                                                     ...) KVLOG_C_PRINTF(10, 11);
    KVLOG_API void KVLOG_CALL kvlog_log_func_dump_id_num(
        kvlog_component* component, const char* file, unsigned long line, const char* function,
        unsigned long level, const char* level_string, unsigned long id, const void* data,
        unsigned long length, KVLOG_C_FORMAT format, ...) KVLOG_C_PRINTF(10, 11);
    KVLOG_API void KVLOG_CALL kvlog_log_dump_v(kvlog_component* component, const char* file,
                                               unsigned long line, const char* function,
                                               unsigned long level, const char* level_string,
                                               const void* data, unsigned long length,
                                               KVLOG_C_FORMAT format, va_list args)
        KVLOG_C_PRINTF(9, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_dump_id_v(kvlog_component* component, const char* file,
                                                  unsigned long line, const char* function,
                                                  unsigned long level, const char* level_string,
                                                  const char* id, const void* data,
                                                  unsigned long length, KVLOG_C_FORMAT format,
                                                  va_list args) KVLOG_C_PRINTF(10, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_dump_id_num_v(kvlog_component* component, const char* file,
                                                      unsigned long line, const char* function,
                                                      unsigned long level, const char* level_string,
                                                      unsigned long id, const void* data,
                                                      unsigned long length, KVLOG_C_FORMAT format,
                                                      va_list args) KVLOG_C_PRINTF(10, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_func_dump_v(kvlog_component* component, const char* file,
                                                    unsigned long line, const char* function,
                                                    unsigned long level, const char* level_string,
                                                    const void* data, unsigned long length,
                                                    KVLOG_C_FORMAT format, va_list args)
        KVLOG_C_PRINTF(9, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_func_dump_id_v(
        kvlog_component* component, const char* file, unsigned long line, const char* function,
        unsigned long level, const char* level_string, const char* id, const void* data,
        unsigned long length, KVLOG_C_FORMAT format, va_list args) KVLOG_C_PRINTF(10, 0);
    KVLOG_API void KVLOG_CALL kvlog_log_func_dump_id_num_v(
        kvlog_component* component, const char* file, unsigned long line, const char* function,
        unsigned long level, const char* level_string, unsigned long id, const void* data,
        unsigned long length, KVLOG_C_FORMAT format, va_list args) KVLOG_C_PRINTF(10, 0);

    /* Timed blocks: each open block indents later messages by two blanks. The _level forms act only
     * when the level passes the component's mask. */
    KVLOG_API void KVLOG_CALL kvlog_start_block(kvlog_component* component);
    KVLOG_API void KVLOG_CALL kvlog_end_block(kvlog_component* component);
    KVLOG_API void KVLOG_CALL kvlog_start_block_level(kvlog_component* component, const char* file,
                                                      unsigned long line, const char* function,
                                                      unsigned long level,
                                                      const char* level_string);
    KVLOG_API void KVLOG_CALL kvlog_end_block_level(kvlog_component* component, const char* file,
                                                    unsigned long line, const char* function,
                                                    unsigned long level, const char* level_string);
    /* Milliseconds of the block closed last. */
    KVLOG_API unsigned long KVLOG_CALL kvlog_get_last_block_duration(kvlog_component* component);

    /* A composed line: messages between the two calls are joined into one line. */
    KVLOG_API void KVLOG_CALL kvlog_start_line(kvlog_component* component);
    KVLOG_API void KVLOG_CALL kvlog_end_line(kvlog_component* component, const char* file,
                                             unsigned long line, const char* function);

    /* Levels. check_level returns the AND of the level and the component's mask (0 for a null
     * component); ld is the colour index of a level (its number of significant bits). */
    KVLOG_API unsigned long KVLOG_CALL kvlog_get_level(kvlog_component* component);
    KVLOG_API int KVLOG_CALL kvlog_check_level(kvlog_component* component, const char* file,
                                               unsigned long line, const char* function,
                                               unsigned long level, const char* level_string);
    KVLOG_API int KVLOG_CALL kvlog_stop_on_assert(kvlog_component* component);
    /* Stores the master level in the settings file; it takes effect at the next settings load. */
    KVLOG_API void KVLOG_CALL kvlog_set_master_level(kvlog_component* component,
                                                     unsigned long level);
    KVLOG_API unsigned long KVLOG_CALL kvlog_ld(unsigned long x);
    KVLOG_API void KVLOG_CALL kvlog_add_level_description(kvlog_component* component,
                                                          const char* file, unsigned long line,
                                                          const char* function, unsigned long level,
                                                          const char* level_string,
                                                          unsigned long colour);

    /* The application name, once per process; a second name disables logging. set_application
     * needs no component of the caller's: it names the process through a component "Application"
     * that it creates and releases at once. */
    KVLOG_API void KVLOG_CALL kvlog_set_application_name(kvlog_component* component,
                                                         const char* name, int flag);
    KVLOG_API void KVLOG_CALL kvlog_set_application(const char* name);

    /* Installs the process's sink; either function may be null, both null remove the sink. The
     * context is passed back unchanged and must stay valid while the sink is installed. */
    KVLOG_API void KVLOG_CALL kvlog_set_sink(kvlog_component* component,
                                             kvlog_error_written_fn on_error_written,
                                             kvlog_log_event_fn on_log_event, void* context);

    /* The application's own values in the settings file's "UserDefined" section; a read of a
     * missing key stores and returns the default. */
    KVLOG_API unsigned long KVLOG_CALL kvlog_get_setting(kvlog_component* component,
                                                         const char* key,
                                                         unsigned long default_value);
    KVLOG_API void KVLOG_CALL kvlog_set_setting(kvlog_component* component, const char* key,
                                                unsigned long value);
    KVLOG_API size_t KVLOG_CALL kvlog_get_setting_text(kvlog_component* component, const char* key,
                                                       const char* default_value, char* buffer,
                                                       size_t size);
    KVLOG_API void KVLOG_CALL kvlog_set_setting_text(kvlog_component* component, const char* key,
                                                     const char* value);

    /* The log file's name (empty before logging starts), and its reset: the file is emptied and
     * starts again with its header. */
    KVLOG_API size_t KVLOG_CALL kvlog_get_filename(kvlog_component* component, char* buffer,
                                                   size_t size);
    KVLOG_API void KVLOG_CALL kvlog_reset_log_file(kvlog_component* component);
    /* The system's text for an error code followed by " (code)", without line breaks; when the
     * system has no text, the text of the previous call. */
    KVLOG_API size_t KVLOG_CALL kvlog_get_last_error_string(unsigned long error_code, char* buffer,
                                                            size_t size);

    /* Windows version texts as the log file's header shows them. windows_info returns 0 when the
     * facts were not found (texts empty), else the size with its terminating zero of the longest of
     * the three texts: a result larger than the smallest buffer means a text was cut. */
    KVLOG_API size_t KVLOG_CALL kvlog_get_windows_info(char* os_name, size_t os_name_size,
                                                       char* service_pack, size_t service_pack_size,
                                                       char* build, size_t build_size,
                                                       int* is_64_bit);
    KVLOG_API size_t KVLOG_CALL kvlog_get_target_windows_version(char* buffer, size_t size);
    /* Empty when the suite's utilities program is missing. */
    KVLOG_API size_t KVLOG_CALL kvlog_get_running_windows_version(char* buffer, size_t size);

#ifdef __cplusplus
}
#endif

#endif
