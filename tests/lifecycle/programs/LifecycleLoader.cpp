// Loads and unloads the logging module at run time, without linking it: the plugin given as the
// argument holds a component of static lifetime. While that component and its watch thread are
// alive, the module is loaded and freed once more by name; then the plugin is unloaded. Each
// unload must return at once, and the module must be gone with its watch thread soon after.
// Exit code 0 when all went so.
#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace
{
using Clock = std::chrono::steady_clock;
const auto kPrompt = std::chrono::seconds(1);
const auto kGone = std::chrono::seconds(3);

#ifdef _WIN32
const char kModuleName[] = "kvLOG.dll";
void* Load(const char* path)
{
    return ::LoadLibraryA(path);
}
void Unload(void* module)
{
    ::FreeLibrary(static_cast<HMODULE>(module));
}
void* Symbol(void* module, const char* name)
{
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}
// The watch thread holds the module until it has ended.
bool IsModuleGone()
{
    return ::GetModuleHandleA(kModuleName) == nullptr;
}
#else
const char kModuleName[] = "libkvlog.so.1";
void* Load(const char* path)
{
    return ::dlopen(path, RTLD_NOW);
}
void Unload(void* module)
{
    ::dlclose(module);
}
void* Symbol(void* module, const char* name)
{
    return ::dlsym(module, name);
}
// The module unmapped: its watch thread, which runs the module's code, cannot remain (it is
// joined before the unload; a thread left in unmapped code would crash the program).
bool IsModuleGone()
{
    void* module = ::dlopen(kModuleName, RTLD_NOW | RTLD_NOLOAD);
    if (module != nullptr)
        ::dlclose(module);
    return module == nullptr;
}
#endif
} // namespace

int main(int argc, char** argv)
{
    void* plugin = argc == 2 ? Load(argv[1]) : nullptr;
    const auto start =
        plugin != nullptr ? reinterpret_cast<void (*)()>(Symbol(plugin, "PluginStart")) : nullptr;
    if (start == nullptr)
        return 3;
    start();

    Clock::time_point begun = Clock::now();
    void* module = Load(kModuleName);
    if (module == nullptr)
        return 5;
    Unload(module);
    if (Clock::now() - begun > kPrompt)
        return 6;

    begun = Clock::now();
    Unload(plugin);
    if (Clock::now() - begun > kPrompt)
        return 7;
    while (!IsModuleGone() && Clock::now() - begun <= kPrompt + kGone)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return IsModuleGone() ? 0 : 8;
}
