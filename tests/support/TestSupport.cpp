#ifdef _WIN32
// Before the framework's headers, whose own declarations of its types defer to the system's.
#include <windows.h>
#endif

#include "TestSupport.h"

#include "OsEnvironment.h"
#include "OsFileSystem.h"
#include "OsProcess.h"
#include "OsTime.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
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
    const int folderEnd = self.ReverseFind(os::kPathSeparator);
    const int dot = self.ReverseFind('.');
    CString program = self.Left(folderEnd + 1) + name;
    return dot > folderEnd ? program + self.Mid(dot) : program;
}

#ifndef _WIN32
bool RunWithFileSizeLimit(std::uint64_t limit,
                          const std::function<bool(const LiftLimit& lift)>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limits{};
        ::getrlimit(RLIMIT_FSIZE, &limits);
        const rlim_t unlimited = limits.rlim_cur;
        limits.rlim_cur = static_cast<rlim_t>(limit);
        ::setrlimit(RLIMIT_FSIZE, &limits);
        const LiftLimit lift = [&]
        {
            limits.rlim_cur = unlimited;
            ::setrlimit(RLIMIT_FSIZE, &limits);
        };
        ::_exit(body(lift) ? 0 : 1);
    }
    int status = -1;
    return child > 0 && WaitUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; }) &&
           WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
        const std::string result = body();
        for (std::size_t done = 0; done < result.size();)
        {
            const ssize_t written = ::write(ends[1], result.data() + done, result.size() - done);
            if (written <= 0)
                break;
            done += static_cast<std::size_t>(written);
        }
        ::_exit(0);
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
// Wine names a Windows path's Unix path through an export of its own; "" elsewhere.
std::string UnixPathUnderWine(const fs::path& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    char* unixPath = toUnix != nullptr ? toUnix(path.wstring().c_str()) : nullptr;
    const std::string result = unixPath != nullptr ? unixPath : "";
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

// Runs a Unix program from under Wine; Wine cannot wait for one, so done tells when it is.
bool RunUnixProgram(std::string command, const std::function<bool()>& done)
{
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

bool MakeUnixLink(const fs::path& target, const fs::path& link)
{
    const std::string from = UnixPathUnderWine(target);
    const std::string at = UnixPathUnderWine(link);
    // The link shows once it is there, unless it leads nowhere, which Wine cannot tell from no
    // link at all.
    return !from.empty() && !at.empty() &&
           RunUnixProgram(
               "Z:\\bin\\ln -s \"" + from + "\" \"" + at + "\"", [&]
               { return ::GetFileAttributesW(link.wstring().c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// Wine's removal of a folder follows the system's links in it (and loops on one that leads
// nowhere), so the system removes it.
bool RemoveUnderWine(const fs::path& folder)
{
    const std::string unixPath = UnixPathUnderWine(folder);
    return !unixPath.empty() &&
           RunUnixProgram("Z:\\bin\\rm -rf \"" + unixPath + "\"",
                          [&] {
                              return ::GetFileAttributesW(folder.wstring().c_str()) ==
                                     INVALID_FILE_ATTRIBUTES;
                          });
}
} // namespace
#endif

bool MakeSymbolicLink(const char* target, const char* link, bool folder)
{
    std::error_code error;
    if (folder)
        fs::create_directory_symlink(target, link, error);
    else
        fs::create_symlink(target, link, error);
#ifdef _WIN32
    if (error)
        return MakeUnixLink(target, link);
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
    std::ifstream in;
    WaitUntil(
        [&]
        {
            std::error_code error;
            in.open(path, std::ios::binary);
            return in.is_open() || !fs::exists(fs::path(path), error);
        },
        3000);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const char* path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    const std::string name =
        "kvlog-test-" + std::to_string(os::GetTickCount()) + "-" + std::to_string(counter++) + "-" +
        std::to_string(std::hash<std::thread::id>()(std::this_thread::get_id()) % 100000);
    fs::path path = fs::temp_directory_path() / name;
    fs::create_directories(path);
    m_path = CString(path.string());
    m_path.Replace(os::kForeignSeparator, os::kPathSeparator);
}

TempDir::~TempDir()
{
#ifdef _WIN32
    if (RemoveUnderWine(fs::path(m_path.GetString())))
        return;
#endif
    std::error_code ignored;
    fs::remove_all(fs::path(m_path.GetString()), ignored);
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
    std::error_code ignored;
    fs::remove(fs::path(path), ignored);
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
    if (m_wasSet)
        m_oldValue.assign(buffer.data(), length);
    os::SetEnvironmentVariableA(name, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    os::SetEnvironmentVariableA(m_name.c_str(), m_wasSet ? m_oldValue.c_str() : nullptr);
}
} // namespace kvtest
