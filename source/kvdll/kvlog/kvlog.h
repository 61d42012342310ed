// The application's interface to the logging module: one CLogComponent per source component,
// the level macros that supply the level selector, and the application's sink.
//
// Level selector (S): the five leading arguments of every message call, supplied together by one
// of the level macros below: source file, line, function, level mask, level string.
#pragma once

#include "KvlogExport.h"
#include "WindowsVersion.h"
#include "framework/CMutex.h"
#include "framework/CString.h"

#include <atomic>

class CLogControlComponent;

// Receives log traffic of the application's own. The module holds it without owning it.
class KVLOG_API CLogInterface
{
public:
    CLogInterface();
    CLogInterface(const CLogInterface& other);
    CLogInterface(CLogInterface&& other) noexcept;
    CLogInterface& operator=(const CLogInterface& other);
    CLogInterface& operator=(CLogInterface&& other) noexcept;

    // Called right after a line of level 1 (Error) was written to the log file.
    virtual int OnErrorWritten() = 0;
    // Called for every LogEvent; time is "hh:mm:ss.mmm" local time.
    virtual void OnLogEvent(const CString& time, unsigned long level, const CString& levelString,
                            const CString& message) = 0;

protected:
    // The module never deletes a sink, so no virtual destructor is needed.
    ~CLogInterface() = default;
};

// The slots through which the controller pushes a component's effective settings.
class KVLOG_API CLogComponentInterface
{
public:
    CLogComponentInterface();
    CLogComponentInterface(const CLogComponentInterface& other);
    CLogComponentInterface(CLogComponentInterface&& other) noexcept;
    CLogComponentInterface& operator=(const CLogComponentInterface& other);
    CLogComponentInterface& operator=(CLogComponentInterface&& other) noexcept;

    virtual void hlpSetLevel(unsigned long level) = 0;
    virtual void hlpSetStopOnAssert(int stop) = 0;
    // Takes the colours only when exactly 32 are given.
    virtual void hlpSetLevelColors(unsigned long* colours, unsigned long count) = 0;

protected:
    ~CLogComponentInterface() = default;
};

class KVLOG_API CLogComponent : public CLogComponentInterface
{
public:
    enum
    {
        kColourCount = 32,
        kIdTextSize = 127
    };

    // The owner slot receives this object and is reset to null by the destructor; null is
    // accepted and then simply not written.
    CLogComponent(const char* name, CLogComponent** ownerSlot);
    CLogComponent(const CLogComponent&) = delete;
    CLogComponent& operator=(const CLogComponent&) = delete;
    // Virtual: applications derive from components and hold them through std::unique_ptr.
    virtual ~CLogComponent();

    void Log(const char* file, unsigned long line, const char* function, unsigned long level,
             const char* levelString, const char* format, ...) KV_PRINTF_FORMAT(7, 8);
    void LogID(const char* file, unsigned long line, const char* function, unsigned long level,
               const char* levelString, const char* id, const char* format, ...)
        KV_PRINTF_FORMAT(8, 9);
    void LogID(const char* file, unsigned long line, const char* function, unsigned long level,
               const char* levelString, unsigned long id, const char* format, ...)
        KV_PRINTF_FORMAT(8, 9);
    void LogFunc(const char* file, unsigned long line, const char* function, unsigned long level,
                 const char* levelString, const char* format, ...) KV_PRINTF_FORMAT(7, 8);
    void LogFuncID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, const char* id, const char* format, ...)
        KV_PRINTF_FORMAT(8, 9);
    void LogFuncID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, unsigned long id, const char* format, ...)
        KV_PRINTF_FORMAT(8, 9);
    // A finished text, logged as it stands (a null id means none): the typed {} calls of
    // kvlog_fmt.h end here, so their text is never formatted a second time.
    void LogText(const char* file, unsigned long line, const char* function, unsigned long level,
                 const char* levelString, const char* id, const char* text);
    void LogText(const char* file, unsigned long line, const char* function, unsigned long level,
                 const char* levelString, unsigned long id, const char* text);
    // Asserts are logged whatever the level mask; they never stop the program themselves.
    void LogAssert(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, const char* expression, const char* format, ...)
        KV_PRINTF_FORMAT(8, 9);
    void LogAssertID(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString, const char* expression,
                     const char* id, const char* format, ...) KV_PRINTF_FORMAT(9, 10);
    void LogAssertID(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString, const char* expression,
                     unsigned long id, const char* format, ...) KV_PRINTF_FORMAT(9, 10);
    // Goes to the application's sink only, whatever the levels and output devices say.
    void LogEvent(const char* file, unsigned long line, const char* function, unsigned long level,
                  const char* levelString, const char* format, ...) KV_PRINTF_FORMAT(7, 8);
    // The older interface: no component, so the controller compares the level as a number.
    static void OldWriteLoggingInfo(const char* file, unsigned long line, const char* function,
                                    unsigned long level, const char* message);

    unsigned long GetLevel();
    // The level test of every entry point, inline for the LOG_MESSAGE macros: one relaxed read.
    bool IsLevelEnabled(unsigned long level) const
    {
        return (level & m_levelMask.load(std::memory_order_relaxed)) != 0;
    }
    // The level mask of a level selector, at compile time.
    static constexpr unsigned long LevelOf(const char*, unsigned long, const char*,
                                           unsigned long level, const char*)
    {
        return level;
    }
    // The AND of the level and the component's mask, not just 0 or 1.
    int LogCheckLevel(const char* file, unsigned long line, const char* function,
                      unsigned long level, const char* levelString);
    int LogStopOnAssert();
    // Stores the master level in the settings file; it takes effect at the next settings load.
    void LogSetMasterLevel(unsigned long level);
    // Number of significant bits of the low 32 bits of x: the colour index of a level.
    static unsigned long ld(unsigned long x);
    static unsigned long GetLevelNumberFromMacro(const char* file, unsigned long line,
                                                 const char* function, unsigned long level,
                                                 const char* levelString);
    static const char* GetLevelStringFromMacro(const char* file, unsigned long line,
                                               const char* function, unsigned long level,
                                               const char* levelString);
    void AddLevelDescription(const char* file, unsigned long line, const char* function,
                             unsigned long level, const char* levelString, unsigned long colour);
    // Names the whole process; a second name disables logging.
    void SetApplicationName(const char* name, int flag);
    void SetLogInterface(CLogInterface* sink);

    // Hex dumps of memory with an optional message: a null format means no message, and the Func
    // forms then show the function and line alone. A dump never joins a composed line.
    void LogDump(const char* file, unsigned long line, const char* function, unsigned long level,
                 const char* levelString, const void* data, unsigned long length,
                 const char* format, ...) KV_PRINTF_FORMAT(9, 10);
    void LogDumpID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, const char* id, const void* data, unsigned long length,
                   const char* format, ...) KV_PRINTF_FORMAT(10, 11);
    void LogDumpID(const char* file, unsigned long line, const char* function, unsigned long level,
                   const char* levelString, unsigned long id, const void* data,
                   unsigned long length, const char* format, ...) KV_PRINTF_FORMAT(10, 11);
    void LogFuncDump(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString, const void* data,
                     unsigned long length, const char* format, ...) KV_PRINTF_FORMAT(9, 10);
    void LogFuncDumpID(const char* file, unsigned long line, const char* function,
                       unsigned long level, const char* levelString, const char* id,
                       const void* data, unsigned long length, const char* format, ...)
        KV_PRINTF_FORMAT(10, 11);
    void LogFuncDumpID(const char* file, unsigned long line, const char* function,
                       unsigned long level, const char* levelString, unsigned long id,
                       const void* data, unsigned long length, const char* format, ...)
        KV_PRINTF_FORMAT(10, 11);

    // Timed blocks: each open block indents later messages by two blanks. The forms with a level
    // selector act only when the level passes this component's mask.
    void LogStartBlock();
    void LogEndBlock();
    void LogStartBlock(const char* file, unsigned long line, const char* function,
                       unsigned long level, const char* levelString);
    void LogEndBlock(const char* file, unsigned long line, const char* function,
                     unsigned long level, const char* levelString);
    // Milliseconds of the block closed last; 0 without a controller.
    unsigned long LogGetLastBlockDuration();

    // A composed line: messages between the two calls are joined into one line that carries the
    // level and level string of the latest message and its latest ID.
    void LogStartLine();
    void LogEndLine(const char* file, unsigned long line, const char* function);

    // The application's own values in the settings file's "UserDefined" section; a read of a
    // missing key stores and returns the default.
    unsigned long LogGetSetting(const char* key, unsigned long defaultValue);
    void LogSetSetting(const char* key, unsigned long value);
    CString LogGetSetting(const char* key, const char* defaultValue);
    void LogSetSetting(const char* key, const char* value);
    // The log file's name; empty without a controller.
    CString LogGetFilename();
    // Empties the log file and starts it again with its header.
    void LogResetLogFile();
    // The system's text for an error code followed by " (code)", without line breaks. When the
    // system has no text, the text of the previous call. Valid until the next call from any
    // thread.
    static const char* LogGetLastErrorString(unsigned long errorCode);

protected:
    // The colour that a message of the level carries: entry ld(level) of the colour table.
    unsigned long hlpColourOf(unsigned long level) const;

private:
    // The C interface forwards its va_list calls to the same members the variadic calls use.
    friend class CLogComponentForwarder;

    enum MessageKind
    {
        kPlainMessage,
        kFunctionMessage,
        kAssertMessage
    };

    void hlpSetLevel(unsigned long level) override;
    void hlpSetStopOnAssert(int stop) override;
    void hlpSetLevelColors(unsigned long* colours, unsigned long count) override;

    const char* hlpFormatId(unsigned long id);
    // Appends "function(line)" to the prefixed message.
    void hlpAppendPlace(const char* function, unsigned long line);
    void hlpLogV(const char* file, unsigned long line, const char* function, unsigned long level,
                 const char* levelString, const char* id, MessageKind kind, const char* expression,
                 const char* format, va_list args);
    const char* hlpFormatV(const char* format, va_list args);
    void hlpEventV(unsigned long level, const char* levelString, const char* format, va_list args);
    const char* hlpBuildMessage(const char* function, unsigned long line, MessageKind kind,
                                const char* expression, const char* text);
    void hlpLogMapper(const char* file, unsigned long line, const char* function,
                      unsigned long level, const char* levelString, const char* id,
                      const char* message);
    // False when no larger buffer can be had.
    bool hlpIncreaseBuffer(unsigned long neededSize);
    // Marks the end of a message that no memory was left to hold whole.
    const char* hlpMarkCut();
    void hlpDumpV(const char* file, unsigned long line, const char* function, unsigned long level,
                  const char* levelString, const char* id, const void* data, unsigned long length,
                  bool prefixed, const char* format, va_list args);
    void hlpLogDumpMapper(const char* file, unsigned long line, const char* function,
                          unsigned long level, const char* levelString, const char* id,
                          const void* data, unsigned long length, const char* message);

    CLogControlComponent* m_registration = nullptr;
    CLogComponent** m_ownerSlot;
    // Read before the lock by the level test; the controller stores it without the lock.
    std::atomic<unsigned long> m_levelMask{0xFFFFFFFFUL};
    std::atomic<int> m_stopOnAssert{0};
    char* m_messageBuffer = nullptr;
    unsigned long m_messageBufferSize = 0;
    char m_idText[kIdTextSize] = {};
    CString m_prefixedMessage;
    std::atomic<unsigned long> m_levelColours[kColourCount];
    int m_composing = 0;
    unsigned long m_composedLevel = 0;
    CString m_composedLevelString;
    CString m_composedId;
    CString m_composedText;
    CMutex m_lock;
};

// The built-in levels, each as the five arguments of the level selector.
#define LOG_ERROR __FILE__, __LINE__, __func__, 0x1UL, "Error"
#define LOG_WARNING __FILE__, __LINE__, __func__, 0x2UL, "Warning"
#define LOG_INFORMATION __FILE__, __LINE__, __func__, 0x4UL, "Information"
#define LOG_SUCCESS __FILE__, __LINE__, __func__, 0x8UL, "Success"
#define LOG_DEBUG __FILE__, __LINE__, __func__, 0x8000UL, "Debug"

// Names the application through a component of its own that lives until the program ends, so
// that the settings stay watched even before the program's own components exist.
#define LOG_SETAPPLICATION(Name)                                                                   \
    do                                                                                             \
    {                                                                                              \
        static CLogComponent* kvlogApplicationSlot = nullptr;                                      \
        static CLogComponent kvlogApplication("Application", &kvlogApplicationSlot);               \
        kvlogApplication.SetApplicationName((Name), 1);                                            \
    } while (0)

#if defined(__GNUC__)
#define KVLOG_DEBUG_BREAK() __builtin_trap()
#else
#define KVLOG_DEBUG_BREAK() __debugbreak()
#endif

// Logs a failed expression through a component pointer and breaks only when the component's
// stop-on-assert setting asks for it. The arguments after the expression are a printf format
// and its values.
#define LOG_ASSERT(ComponentPointer, Expression, ...)                                              \
    do                                                                                             \
    {                                                                                              \
        if (!(Expression) && (ComponentPointer) != nullptr)                                        \
        {                                                                                          \
            (ComponentPointer)->LogAssert(LOG_ERROR, #Expression, __VA_ARGS__);                    \
            if ((ComponentPointer)->LogStopOnAssert())                                             \
                KVLOG_DEBUG_BREAK();                                                               \
        }                                                                                          \
    } while (0)

// Calls for hot loops: the level is tested inline in the caller, so a filtered call costs one
// relaxed read and no call at all. The format is checked at compile time like that of the member
// functions. A null component pointer logs nothing.
#define KVLOG_IF_ENABLED(ComponentPointer, Mask, Call)                                             \
    do                                                                                             \
    {                                                                                              \
        CLogComponent* const kvlogComponent = (ComponentPointer);                                  \
        if (kvlogComponent != nullptr && kvlogComponent->IsLevelEnabled(Mask))                     \
            kvlogComponent->Call;                                                                  \
    } while (0)
#define LOG_MESSAGE(ComponentPointer, Level, ...)                                                  \
    KVLOG_IF_ENABLED(ComponentPointer, CLogComponent::LevelOf(Level), Log(Level, __VA_ARGS__))
#define LOG_MESSAGE_ID(ComponentPointer, Level, Id, ...)                                           \
    KVLOG_IF_ENABLED(ComponentPointer, CLogComponent::LevelOf(Level), LogID(Level, Id, __VA_ARGS__))
#define LOG_FUNC_MESSAGE(ComponentPointer, Level, ...)                                             \
    KVLOG_IF_ENABLED(ComponentPointer, CLogComponent::LevelOf(Level), LogFunc(Level, __VA_ARGS__))
#define LOG_DUMP_MESSAGE(ComponentPointer, Level, Data, Length, ...)                               \
    KVLOG_IF_ENABLED(ComponentPointer, CLogComponent::LevelOf(Level),                              \
                     LogDump(Level, Data, Length, __VA_ARGS__))
