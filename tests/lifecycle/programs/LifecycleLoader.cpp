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
// The platform's calls on modules.
struct Modules
{
    static constexpr const char* kName = "kvLOG.dll";
    static void* Load(const char* path) { return ::LoadLibraryA(path); }
    static void Unload(void* module) { ::FreeLibrary(static_cast<HMODULE>(module)); }
    static void* Symbol(void* module, const char* name)
    {
        return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
    }
    // The watch thread holds the module until it has ended.
    static bool IsGone() { return ::GetModuleHandleA(kName) == nullptr; }
};
#else
struct Modules
{
    static constexpr const char* kName = "libkvlog.so.1";
    static void* Load(const char* path) { return ::dlopen(path, RTLD_NOW); }
    static void Unload(void* module) { ::dlclose(module); }
    static void* Symbol(void* module, const char* name) { return ::dlsym(module, name); }
    // The module unmapped: its watch thread, which runs the module's code, cannot remain (it is
    // joined before the unload; a thread left in unmapped code would crash the program).
    static bool IsGone()
    {
        void* module = ::dlopen(kName, RTLD_NOW | RTLD_NOLOAD);
        if (module != nullptr)
            ::dlclose(module);
        return module == nullptr;
    }
};
#endif
} // namespace

int main(int argc, char** argv)
{
    void* plugin = argc == 2 ? Modules::Load(argv[1]) : nullptr;
    void* start = plugin != nullptr ? Modules::Symbol(plugin, "PluginStart") : nullptr;
    if (start == nullptr)
        return 3;
    reinterpret_cast<void (*)()>(start)();

    Clock::time_point begun = Clock::now();
    void* module = Modules::Load(Modules::kName);
    if (module == nullptr)
        return 5;
    Modules::Unload(module);
    if (Clock::now() - begun > kPrompt)
        return 6;

    begun = Clock::now();
    Modules::Unload(plugin);
    if (Clock::now() - begun > kPrompt)
        return 7;
    while (!Modules::IsGone() && Clock::now() - begun <= kPrompt + kGone)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Modules::IsGone() ? 0 : 8;
}
