#ifdef _WIN32
// Before the framework's headers, whose own declarations of its types defer to the system's.
#include <windows.h>
#endif

#include "TestSupport.h"

#include "CFile.h"
#include "OsEnvironment.h"
#include "OsFileSystem.h"
#include "OsProcess.h"
#include "OsTime.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace kvtest
{
CString NativePath(const char* backslashPath)
{
    CString path(backslashPath);
    path.Replace('\\', os::kPathSeparator);
    return path;
}

CString SiblingProgram(const char* name)
{
    CString self;
    if (!os::GetModuleFileNameA(nullptr, self, 4096))
        return CString();
    return self.Left(self.ReverseFind(os::kPathSeparator) + 1) + name + os::kProgramSuffix;
}

#ifndef _WIN32
bool RunWithFileSizeLimit(std::uint64_t limit,
                          const std::function<bool(const LiftLimit& lift)>& body)
{
    const auto limited = [&]
    {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limits{};
        ::getrlimit(RLIMIT_FSIZE, &limits);
        const rlimit unlimited = limits;
        limits.rlim_cur = static_cast<rlim_t>(limit);
        ::setrlimit(RLIMIT_FSIZE, &limits);
        const LiftLimit lift = [&] { ::setrlimit(RLIMIT_FSIZE, &unlimited); };
        return std::string(body(lift) ? "passed" : "");
    };
    std::string result;
    return RunInChild(limited, result, 5000) && result == "passed";
}

bool RunInChild(const std::function<std::string()>& body, std::string& text,
                int deadlineMilliseconds)
{
    text.clear();
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::close(ends[0]);
        // A blocking pipe takes the whole text in one write.
        const std::string result = body();
        ::_exit(::write(ends[1], result.data(), result.size()) < 0 ? 1 : 0);
    }
    ::close(ends[1]);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMilliseconds);
    bool ended = false;
    char buffer[4096];
    while (child > 0 && !ended && std::chrono::steady_clock::now() < deadline)
    {
        pollfd ready{ends[0], POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0)
            continue;
        const ssize_t got = ::read(ends[0], buffer, sizeof(buffer));
        ended = got <= 0;
        text.append(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    ::close(ends[0]);
    if (child > 0 && !ended)
        ::kill(child, SIGKILL);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return ended;
}
#endif

#ifdef _WIN32
namespace
{
bool Exists(const fs::path& path)
{
    return ::GetFileAttributesW(path.wstring().c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a Unix program on the Unix paths of the given paths from under Wine, which names them
// through an export of its own. Wine cannot wait for a Unix program, so done tells when it is.
bool RunUnixProgram(std::string command, const std::vector<fs::path>& paths,
                    const std::function<bool()>& done)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    for (const fs::path& path : paths)
    {
        char* unixPath = toUnix != nullptr ? toUnix(path.wstring().c_str()) : nullptr;
        if (unixPath == nullptr)
            return false;
        command += std::string(" \"") + unixPath + "\"";
        ::HeapFree(::GetProcessHeap(), 0, unixPath);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return WaitUntil(done, 2000);
}
} // namespace
#endif

bool RunningUnderWine()
{
#ifdef _WIN32
    return ::GetProcAddress(::GetModuleHandleA("ntdll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

bool MakeSymbolicLink(const char* target, const char* link, bool folder)
{
    std::error_code error;
    if (folder)
        fs::create_directory_symlink(target, link, error);
    else
        fs::create_symlink(target, link, error);
#ifdef _WIN32
    // The link shows once it is there, unless it leads nowhere, which Wine cannot tell from no
    // link at all.
    if (error)
        return RunUnixProgram("Z:\\bin\\ln -s", {target, link}, [&] { return Exists(link); });
#endif
    return !error;
}

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMilliseconds)
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string ReadWholeFile(const char* path)
{
    // On Windows a program holding a settings file keeps every reader out for a moment.
    CFile file;
    const auto openedOrGone = [&]
    {
        return file.Open(path, CFile::modeRead) ||
               os::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    };
    WaitUntil(openedOrGone, 3000);
    std::string content(static_cast<std::size_t>(file.GetLength()), '\0');
    content.resize(file.Read(&content[0], static_cast<unsigned>(content.size())));
    return content;
}

void WriteWholeFile(const char* path, const std::string& content)
{
    CFile file;
    if (file.Open(path, CFile::modeCreate | CFile::modeWrite))
        file.Write(content.data(), static_cast<unsigned>(content.size()));
}

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    const fs::path path = fs::temp_directory_path() /
                          ("kvlog-test-" + std::to_string(os::GetCurrentProcessId()) + "-" +
                           std::to_string(os::GetTickCount()) + "-" + std::to_string(counter++));
    fs::create_directories(path);
    m_path = CString(path.string());
    m_path.Replace(os::kForeignSeparator, os::kPathSeparator);
}

TempDir::~TempDir()
{
    const fs::path path(m_path.GetString());
#ifdef _WIN32
    // Wine's removal of a folder follows the system's links in it (and loops on one that leads
    // nowhere), so the system removes it.
    if (RunUnixProgram("Z:\\bin\\rm -rf", {path}, [&] { return !Exists(path); }))
        return;
#endif
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

CString TempDir::Sub(const char* relative) const
{
    return m_path + CString(os::kPathSeparator) + NativePath(relative);
}

CString TempDir::MakeFile(const char* relative, const std::string& content) const
{
    const CString path = Sub(relative);
    fs::create_directories(fs::path(path.GetString()).parent_path());
    WriteWholeFile(path, content);
    return path;
}

CString TempDir::MakeDir(const char* relative) const
{
    const CString path = Sub(relative);
    fs::create_directories(fs::path(path.GetString()));
    return path;
}

void TempDir::RemoveFile(const char* path)
{
    os::DeleteFileA(path);
}

TempSuite::TempSuite() : m_rootVariable("KORVEL_ROOT_DIR", Path())
{
    MakeFile("ctrl\\RVT.exe");
    MakeDir("log");
    MakeDir("work");
}

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : m_name(name)
{
    std::vector<char> buffer(32768);
    const DWORD length =
        os::GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    m_wasSet = length > 0 && length < buffer.size();
    m_oldValue.assign(buffer.data(), m_wasSet ? length : 0);
    os::SetEnvironmentVariableA(name, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    os::SetEnvironmentVariableA(m_name.c_str(), m_wasSet ? m_oldValue.c_str() : nullptr);
}
} // namespace kvtest
