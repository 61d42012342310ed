// The one definition of the module's export macro.
#pragma once

#if defined(_WIN32)
#if defined(KVLOG_BUILDING_MODULE)
#define KVLOG_API __declspec(dllexport)
#else
#define KVLOG_API __declspec(dllimport)
#endif
#else
#define KVLOG_API __attribute__((visibility("default")))
#endif
