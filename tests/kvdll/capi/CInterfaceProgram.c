/* A plain C program that logs through the C interface, natively and as a Windows program. It
 * checks what the interface returns; RunInSuite.cmake checks the log file it leaves. */
#include "kvlog_c.h"

#include <stdio.h>
#include <string.h>

static int g_failures = 0;

static void Check(int holds, int line, const char* condition)
{
    if (holds)
        return;
    fprintf(stderr, "%s(%d): failed: %s\n", __FILE__, line, condition);
    ++g_failures;
}
#define CHECK(condition) Check((condition) != 0, __LINE__, #condition)

struct SinkRecord
{
    int errorsWritten, events;
    unsigned long eventLevel;
    char eventText[64];
};

static int KVLOG_CALL OnErrorWritten(void* context)
{
    ++((struct SinkRecord*)context)->errorsWritten;
    return 0;
}

static void KVLOG_CALL OnLogEvent(void* context, const char* time, unsigned long level,
                                  const char* levelString, const char* message)
{
    struct SinkRecord* record = (struct SinkRecord*)context;
    ++record->events;
    record->eventLevel = level;
    snprintf(record->eventText, sizeof record->eventText, "%s|%s|%d", levelString, message,
             (int)strlen(time));
}

static void LogMessages(kvlog_component* motor)
{
    static const unsigned char bytes[] = {0x41, 0x42, 0x43, 0x00, 0xFF};
    kvlog_log(motor, KVLOG_INFORMATION, "axis %d at %.1f mm", 2, 12.5);
    kvlog_log_id_num(motor, KVLOG_INFORMATION, 4294967295UL, "numeric ID");
    kvlog_log_func(motor, KVLOG_SUCCESS, "homed after %zu tries", (size_t)3);
    kvlog_log(motor, KVLOG_DEBUG, "debug is off by default");
    /* A new settings file stops on asserts, so the macro sees a true expression only. */
    KVLOG_ASSERT(motor, 1 + 1 == 2, "arithmetic %s", "holds");
    kvlog_log_assert(motor, KVLOG_ERROR, "1 + 1 == 3", "arithmetic %s", "broke");
    kvlog_log_dump(motor, KVLOG_INFORMATION, bytes, sizeof bytes, "dump of %d bytes",
                   (int)sizeof bytes);
    kvlog_log_func_dump_id(motor, KVLOG_INFORMATION, "DMP", bytes, 2, NULL);

    kvlog_start_block(motor);
    kvlog_log(motor, KVLOG_INFORMATION, "inside a block");
    kvlog_end_block(motor);

    kvlog_start_line(motor);
    kvlog_log(motor, KVLOG_WARNING, "composed ");
    kvlog_log_id(motor, KVLOG_INFORMATION, "LINE", "of two");
    kvlog_end_line(motor, __FILE__, __LINE__, KVLOG_FUNCTION);
}

static void CheckLevelsAndSink(kvlog_component* motor)
{
    struct SinkRecord record = {0};
    kvlog_set_sink(motor, OnErrorWritten, OnLogEvent, &record);
    kvlog_log_event(motor, KVLOG_DEBUG, "event %d", 5);
    kvlog_log(motor, KVLOG_ERROR, "an error for the sink");
    kvlog_set_sink(motor, NULL, NULL, NULL);
    kvlog_log(motor, KVLOG_ERROR, "an error after the sink left");
    CHECK(record.events == 1 && record.eventLevel == 0x8000UL && record.errorsWritten == 1);
    CHECK(strcmp(record.eventText, "Debug|event 5|12") == 0);

    CHECK(kvlog_check_level(motor, KVLOG_WARNING) == 2);
    CHECK(kvlog_check_level(motor, KVLOG_DEBUG) == 0);
    CHECK(kvlog_get_level(motor) == 15 && kvlog_stop_on_assert(motor) == 1);
    CHECK(kvlog_ld(0x8000UL) == 16);
}

static void CheckTexts(kvlog_component* motor)
{
    char buffer[8], name[260];
    const size_t nameLength = kvlog_get_filename(motor, name, sizeof name);
    CHECK(nameLength == strlen(name) && nameLength >= 17);
    CHECK(strcmp(name + nameLength - 17, "log_C_Program.htm") == 0);

    CHECK(kvlog_get_setting(motor, "Count", 7) == 7);
    kvlog_set_setting(motor, "Count", 9);
    CHECK(kvlog_get_setting(motor, "Count", 7) == 9);
    /* Too small a buffer: the text is cut, the result is the whole length. */
    CHECK(kvlog_get_setting_text(motor, "Owner", "nobody at all", buffer, 4) == 13 &&
          strcmp(buffer, "nob") == 0);
    CHECK(kvlog_get_setting_text(motor, "Owner", "other", NULL, 0) == 13);
    kvlog_set_setting_text(motor, "Owner", "me");
    CHECK(kvlog_get_setting_text(motor, "Owner", "other", buffer, sizeof buffer) == 2);
    CHECK(strcmp(buffer, "me") == 0);

    /* The system's text, one line, ends with the code. */
    CHECK(kvlog_get_last_error_string(2, name, sizeof name) == strlen(name) && strlen(name) > 4 &&
          strcmp(name + strlen(name) - 4, " (2)") == 0 && strpbrk(name, "\r\n") == NULL);
    CHECK(kvlog_get_target_windows_version(name, sizeof name) == strlen(name) && name[0] != 0);
}

static void CheckNullHandle(void)
{
    char buffer[4] = "abc";
    kvlog_log(NULL, KVLOG_ERROR, "nowhere");
    kvlog_log_dump(NULL, KVLOG_ERROR, buffer, 1, NULL);
    kvlog_component_destroy(NULL);
    CHECK(kvlog_get_setting(NULL, "Count", 5) == 5);
    CHECK(kvlog_get_setting_text(NULL, "Owner", "dflt", buffer, sizeof buffer) == 4);
    CHECK(strcmp(buffer, "dfl") == 0);
    CHECK(kvlog_get_filename(NULL, buffer, sizeof buffer) == 0 && buffer[0] == 0);
}

int main(void)
{
    kvlog_set_application("C Program");
    kvlog_component* const motor = kvlog_component_create("Motor");
    CHECK(motor != NULL);
    kvlog_log(motor, KVLOG_INFORMATION, "before the reset");
    kvlog_reset_log_file(motor);
    LogMessages(motor);
    CheckLevelsAndSink(motor);
    CheckTexts(motor);
    CheckNullHandle();
    kvlog_component_destroy(motor);
    return g_failures == 0 ? 0 : 1;
}
