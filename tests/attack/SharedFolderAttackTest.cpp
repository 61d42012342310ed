// Another account plays against a program that shares the log folder with it: it plants pipes,
// links, folders and files of its own at the names that the program and kvlogctl open. Natively
// the victim runs in a child under an account of its own (uid 23456) and the attacker's plants
// belong to a third one (uid 12345), which needs root; without root the rows that need accounts
// are skipped. Windows (Wine) runs one account: there the victim runs in this process and only
// the rows without accounts and pipes run.
#include "CKvlogctl.h"
#include "InstallationFacts.h"
#include "OsDebugOutput.h"
#include "OsFileSystem.h"
#include "PathOperations.h"
#include "TestSupport.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
namespace fs = std::filesystem;

const unsigned kAttacker = 12345;
const unsigned kVictim = 23456;
const unsigned kTeam = 34567; // the group of the accounts that share a log folder on purpose

// A suite installation whose log folder every account can write (sticky), or, for a team, one
// that only the team's accounts can write; the victim keeps a file of its own outside it.
class Scene
{
public:
    explicit Scene(bool teamFolder) : m_teamFolder(teamFolder)
    {
        m_dir.MakeFile("ctrl\\RVT.exe");
        m_dir.MakeDir("log");
        m_dir.MakeFile("home\\notes.txt", "precious");
        Own("", 0, 0, 0755);
        Own("home", kVictim, kVictim, 0700);
        Own("home/notes.txt", kVictim, kVictim, 0600);
        Own("log", 0, teamFolder ? kTeam : 0, teamFolder ? 02775 : 01777);
    }

    CString Root() const { return m_dir.Path(); }
    CString LogPath(const char* name) const
    {
        return NormalizePath(m_dir.Sub(CString("log\\") + name));
    }
    CString Home() const { return m_dir.Sub("home"); }

    void File(const char* name, const char* content, unsigned owner, unsigned mode)
    {
        const CString path = m_dir.MakeFile(CString("log\\") + name, content);
        Own(CString("log/") + name, owner, m_teamFolder ? kTeam : owner, mode);
        // The victim's own files and a team's files are its to write.
        if (owner == kAttacker && !m_teamFolder)
            m_planted.emplace_back(path, content);
    }
    void Folder(const char* name, unsigned owner)
    {
        m_dir.MakeDir(CString("log\\") + name);
        Own(CString("log/") + name, owner, owner, 0755);
    }
    void Link(const char* name, const CString& target, bool folder)
    {
        m_refusedPlant |= !kvtest::MakeSymbolicLink(target, LogPath(name), folder);
        Own(CString("log/") + name, kAttacker, kAttacker, 0);
    }
    void HardLink(const char* name, const CString& target)
    {
        std::error_code error;
        fs::create_hard_link(target.GetString(), LogPath(name).GetString(), error);
        m_refusedPlant |= static_cast<bool>(error);
    }
    void Pipe(const char* name)
    {
#ifdef _WIN32
        (void)name;
        m_refusedPlant = true;
#else
        ::mkfifo(LogPath(name), 0666);
        Own(CString("log/") + name, kAttacker, kAttacker, 0666);
#endif
    }

    // The platform would not make a plant (Wine and symbolic links).
    bool RefusedPlant() const
    {
        return m_refusedPlant;
    }
    void ExpectUntouched(const char* what) const
    {
        EXPECT_EQ("precious", kvtest::ReadWholeFile(m_dir.Sub("home\\notes.txt"))) << what;
        for (const auto& planted : m_planted)
            EXPECT_EQ(planted.second, kvtest::ReadWholeFile(planted.first)) << what;
    }

private:
    void Own(const CString& relative, unsigned owner, unsigned group, unsigned mode) const
    {
#ifdef _WIN32
        (void)relative, (void)owner, (void)group, (void)mode;
#else
        const CString path = m_dir.Sub(relative);
        if (::geteuid() == 0)
            ::lchown(path, owner, group);
        if (mode != 0)
            ::chmod(path, mode);
#endif
    }

    kvtest::TempDir m_dir;
    bool m_teamFolder;
    std::vector<std::pair<CString, std::string>> m_planted;
    bool m_refusedPlant = false;
};

enum Needs
{
    kAnyAccount,   // links, hard links and folders: refused whoever planted them
    kPipes,        // POSIX only
    kAccounts,     // files of other accounts: root, and never under Wine's one account
    kTeamAccounts, // the same, in a folder that only a team's accounts can write
};

// Where the victim's start or kvlogctl's command is refused, the notice names the path below the
// log folder with the reason; the output holds every part of expected and none of absent (both
// split at '|').
struct Attack
{
    const char* what;
    Needs needs;
    std::function<void(Scene&)> plant;
    const char* kvlogctl; // "": the victim program starts; else the arguments after "--root ROOT"
    const char* refusedName;
    DWORD refusal;
    const char* expected;
    const char* absent;
};

const char kOwnSettings[] =
    "<Korvel><config Level=\"7\" Filename=\"sub/notes.txt\"></config></Korvel>";
const char kPlantedSettings[] = "<Korvel><config Level=\"1\" OutputDevice=\"6\" "
                                "SyslogServer=\"127.0.0.1:5514\"></config></Korvel>";
const char kLog[] = "log_Victim.htm";
const char kXdb[] = "xdb_Victim.xdb";

const Attack kAttacks[] = {
    {"a pipe at the log file", kPipes, [](Scene& s) { s.Pipe(kLog); }, "", kLog,
     os::kErrorNotRegularFile, "LogFile not active|victim line", ""},
    {"a pipe at the settings file", kPipes, [](Scene& s) { s.Pipe(kXdb); }, "", kXdb,
     os::kErrorNotRegularFile, "MasterLevel: 15\n|LogFileName: file://", ""},
    {"a pipe at the new content of the settings file", kPipes,
     [](Scene& s)
     {
         s.File(kXdb, kOwnSettings, kVictim, 0644);
         s.Folder("sub", kVictim);
         s.Pipe("xdb_Victim.xdb.new");
     },
     "", nullptr, 0, "MasterLevel: 7\n", ""},
    {"a link at the log file to the victim's file", kAnyAccount,
     [](Scene& s) { s.Link(kLog, s.Home() + "/notes.txt", false); }, "", kLog,
     os::kErrorLinkOnTheWay, "LogFile not active", ""},
    {"a link at a folder on the way to the victim's folder", kAnyAccount,
     [](Scene& s)
     {
         s.File(kXdb, kOwnSettings, kVictim, 0644);
         s.Link("sub", s.Home(), true);
     },
     "", "sub/notes.txt", os::kErrorLinkOnTheWay, "MasterLevel: 7\n|LogFile not active", ""},
    {"a hard link at the log file to the victim's file", kAnyAccount,
     [](Scene& s) { s.HardLink(kLog, s.Home() + "/notes.txt"); }, "", kLog, os::kErrorSeveralNames,
     "LogFile not active", ""},
    {"a settings file of another account that sends every line away", kAccounts,
     [](Scene& s) { s.File(kXdb, kPlantedSettings, kAttacker, 0666); }, "", kXdb,
     os::kErrorForeignOwner, "MasterLevel: 15\n|Output: 2 (|LogFileName: file://", "Syslog:"},
    {"a log file of another account that every account can write", kAccounts,
     [](Scene& s) { s.File(kLog, "theirs", kAttacker, 0666); }, "", kLog, os::kErrorForeignOwner,
     "LogFile not active|victim line", ""},
    {"a settings file of the victim's own that every account can write", kAccounts,
     [](Scene& s) { s.File(kXdb, kOwnSettings, kVictim, 0666); }, "", kXdb, os::kErrorWritableByAll,
     "MasterLevel: 15\n", ""},
    {"a folder of another account on the way", kAccounts,
     [](Scene& s)
     {
         s.File(kXdb, kOwnSettings, kVictim, 0644);
         s.Folder("sub", kAttacker);
     },
     "", "sub/notes.txt", os::kErrorForeignOwner, "MasterLevel: 7\n|LogFile not active", ""},
    {"a folder at the log file", kAnyAccount, [](Scene& s) { s.Folder(kLog, kAttacker); }, "", kLog,
     os::kErrorFolderAtName, "LogFile not active|victim line", ""},
    {"a folder at the settings file", kAnyAccount, [](Scene& s) { s.Folder(kXdb, kAttacker); }, "",
     kXdb, os::kErrorFolderAtName, "MasterLevel: 15\n|LogFileName: file://", ""},
    {"a folder at the new content of the settings file", kAnyAccount,
     [](Scene& s)
     {
         s.File(kXdb, kOwnSettings, kVictim, 0644);
         s.Folder("sub", kVictim);
         s.Folder("xdb_Victim.xdb.new", kAttacker);
     },
     "", nullptr, 0, "MasterLevel: 7\n|LogFileName: file://", ""},
    {"a team's folder: a colleague's settings and log file are obeyed", kTeamAccounts,
     [](Scene& s)
     {
         s.File(kXdb, "<Korvel><config Level=\"7\"></config></Korvel>", kAttacker, 0664);
         s.File(kLog, "", kAttacker, 0664);
     },
     "", nullptr, 0, "MasterLevel: 7\n|LogFileName: file://", "not read|Logfile \""},
    {"kvlogctl show: a pipe at the settings file", kPipes, [](Scene& s) { s.Pipe(kXdb); },
     "show Victim", kXdb, os::kErrorNotRegularFile, "", ""},
    {"kvlogctl set: a settings file of another account", kAccounts,
     [](Scene& s) { s.File(kXdb, kPlantedSettings, kAttacker, 0666); }, "set Victim Level 3", kXdb,
     os::kErrorForeignOwner, "", ""},
    {"kvlogctl list: a settings file of another account", kAccounts,
     [](Scene& s) { s.File(kXdb, kPlantedSettings, kAttacker, 0666); }, "list", nullptr, 0,
     "Victim  (it belongs to another account", ""},
    {"kvlogctl tail: a pipe at the log file", kPipes,
     [](Scene& s)
     {
         s.File(kXdb, "<Korvel><config/></Korvel>", kVictim, 0644);
         s.Pipe(kLog);
     },
     "tail Victim --seconds 0", kLog, os::kErrorNotRegularFile, "", ""},
};

std::vector<std::string> Split(const char* text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        parts.push_back(part);
    return parts;
}

// The debugger output of a victim program's start and first line, or kvlogctl's output.
std::string RunVictim(const Scene& scene, const char* kvlogctl)
{
    SetSuiteRootDir(scene.Root());
    std::string output;
    if (*kvlogctl != '\0')
    {
        std::ostringstream text;
        std::vector<std::string> arguments = {"--root", scene.Root().str()};
        for (const std::string& argument : Split(kvlogctl, ' '))
            arguments.push_back(argument);
        CKvlogctl(text, text).Run(arguments);
        output = text.str();
    }
    else
    {
        os::DebugOutputCapture capture;
        CLogComponent* slot = nullptr;
        auto main = std::make_unique<CLogComponent>("Main", &slot);
        main->SetApplicationName("Victim", 1);
        main->Log(LOG_ERROR, "victim line");
        output = capture.GetText().str();
        main.reset();
        CLogControl::DestroyInstance();
    }
    ResetSuiteRootCache();
    return output;
}

#ifndef _WIN32
bool BecomeVictim()
{
    const gid_t groups[] = {kTeam};
    return ::setgroups(1, groups) == 0 && ::setresgid(kVictim, kVictim, kVictim) == 0 &&
           ::setresuid(kVictim, kVictim, kVictim) == 0;
}
#endif

// The victim's output; false when it did not end in time (an open blocked).
bool Play(const Scene& scene, const Attack& attack, std::string& output)
{
#ifdef _WIN32
    output = RunVictim(scene, attack.kvlogctl);
    return true;
#else
    const bool asRoot = ::geteuid() == 0;
    return kvtest::RunInChild(
        [&]
        {
            if (asRoot && !BecomeVictim())
                return std::string("the victim's account could not be taken");
            return RunVictim(scene, attack.kvlogctl);
        },
        output, 15000);
#endif
}

// The line that names the refused path names the reason too, and only one line does.
int NoticesOf(const std::string& output, const CString& path, DWORD refusal)
{
    const std::string reason = os::GetErrorText(refusal).str();
    int notices = 0;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
    {
        const std::size_t at = line.find(path.str());
        if (at != std::string::npos && line.find(reason, at) != std::string::npos)
            ++notices;
    }
    return notices;
}

const char* SkipReason(Needs needs)
{
#ifdef _WIN32
    if (needs == kPipes)
        return "no pipe can be planted in a Windows folder";
    if (needs >= kAccounts)
        return "Wine runs every program under one account";
#else
    if (needs >= kAccounts && ::geteuid() != 0)
        return "files of other accounts need root to be planted";
#endif
    return nullptr;
}
} // namespace

TEST(SharedFolderAttackTest, NothingPlantedInTheLogFolderBlocksRedirectsOrCommandsTheVictim)
{
    int played = 0;
    for (const Attack& attack : kAttacks)
    {
        if (const char* reason = SkipReason(attack.needs))
        {
            std::cout << "skipped: " << attack.what << ": " << reason << "\n";
            continue;
        }
        Scene scene(attack.needs == kTeamAccounts);
        attack.plant(scene);
        if (scene.RefusedPlant())
        {
            std::cout << "skipped: " << attack.what << ": the platform makes no such plant\n";
            continue;
        }
        ++played;
        std::string output;
        ASSERT_TRUE(Play(scene, attack, output)) << attack.what << ": the victim blocked";
        SCOPED_TRACE(std::string(attack.what) + "\n" + output);
        if (attack.refusedName != nullptr)
        {
            EXPECT_EQ(1, NoticesOf(output, scene.LogPath(attack.refusedName), attack.refusal))
                << "notices naming the path and the reason";
        }
        for (const std::string& expected : Split(attack.expected, '|'))
            EXPECT_NE(std::string::npos, output.find(expected)) << expected;
        for (const std::string& absent : Split(attack.absent, '|'))
            EXPECT_EQ(std::string::npos, output.find(absent)) << absent;
        scene.ExpectUntouched(attack.what);
    }
    if (played == 0)
        GTEST_SKIP() << "no attack can be played here";
}
