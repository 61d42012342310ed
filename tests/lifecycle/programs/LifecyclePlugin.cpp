// A plugin with a component of static lifetime: loading the plugin builds it, unloading the
// plugin destroys it (with the loader lock held on Windows).
#include "kvlog.h"

#ifdef _WIN32
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{
CLogComponent* g_pluginSlot = nullptr;
CLogComponent g_plugin("Plugin", &g_pluginSlot);
} // namespace

// Names the process and logs a line, so that the watch thread runs.
PLUGIN_EXPORT void PluginStart()
{
    g_plugin.SetApplicationName("Plugin Test", 1);
    g_plugin.Log(LOG_INFORMATION, "plugin started");
}
