#include "capi/CLogComponentForwarder.h"

#include "CSingleLock.h"

void CLogComponentForwarder::Message(CLogComponent& component, const char* file, unsigned long line,
                                     const char* function, unsigned long level,
                                     const char* levelString, const char* id, MessageKind kind,
                                     const char* expression, const char* format, va_list args)
{
    if (kind != kAssertMessage && !component.IsLevelEnabled(level))
        return;
    component.hlpLogV(file, line, function, level, levelString, id,
                      static_cast<CLogComponent::MessageKind>(kind), expression, format, args);
}

void CLogComponentForwarder::NumberedMessage(CLogComponent& component, const char* file,
                                             unsigned long line, const char* function,
                                             unsigned long level, const char* levelString,
                                             unsigned long id, MessageKind kind,
                                             const char* expression, const char* format,
                                             va_list args)
{
    if (kind != kAssertMessage && !component.IsLevelEnabled(level))
        return;
    // The ID text lives in the component: it is written and used under one lock.
    CSingleLock lock(&component.m_lock, true);
    Message(component, file, line, function, level, levelString, component.hlpFormatId(id), kind,
            expression, format, args);
}

void CLogComponentForwarder::Dump(CLogComponent& component, const char* file, unsigned long line,
                                  const char* function, unsigned long level,
                                  const char* levelString, const char* id, const void* data,
                                  unsigned long length, bool prefixed, const char* format,
                                  va_list args)
{
    if (!component.IsLevelEnabled(level))
        return;
    CSingleLock lock(&component.m_lock, true);
    component.hlpDumpV(file, line, function, level, levelString, id, data, length, prefixed, format,
                       args);
}

void CLogComponentForwarder::NumberedDump(CLogComponent& component, const char* file,
                                          unsigned long line, const char* function,
                                          unsigned long level, const char* levelString,
                                          unsigned long id, const void* data, unsigned long length,
                                          bool prefixed, const char* format, va_list args)
{
    CSingleLock lock(&component.m_lock, true);
    Dump(component, file, line, function, level, levelString, component.hlpFormatId(id), data,
         length, prefixed, format, args);
}

void CLogComponentForwarder::Event(CLogComponent& component, unsigned long level,
                                   const char* levelString, const char* format, va_list args)
{
    component.hlpEventV(level, levelString, format, args);
}
