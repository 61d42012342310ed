// Another account plays against a program that shares the log folder with it, and the settings
// file is put under attack.
//
// Shared folder: the other account plants pipes, links, folders and files of its own at the names
// that the program and kvlogctl open. Natively the victim runs in a child under an account of its
// own (uid 23456) and the attacker's plants belong to a third one (uid 12345), which needs root;
// without root the rows that need accounts are skipped. Windows (Wine) runs one account: there the
// victim runs in this process and only the rows without accounts and pipes run.
//
// Settings file: errors that waiting cannot clear, files that cannot be read, another program
// holding the file, and programs killed while they save. Each victim runs in a forked child, under
// the victim's account where a row needs one (root is needed to take it, or the row is skipped),
// and a child that does not end in time fails its row. POSIX only: Wine models neither accounts
// nor kills, and the rows that hold on Windows are the ones of the settings tests.
#include "CKVXMLConfig.h"
#include "CKvlogctl.h"
#include "InstallationFacts.h"
#include "OsChildProcess.h"
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
#include <fcntl.h>
#include <grp.h>
#include <random>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#endif

namespace
{
const unsigned kAttacker = 12345, kVictim = 23456;
const unsigned kTeam = 34567; // the group of the accounts that share a log folder on purpose
const char kXdb[] = "xdb_Victim.xdb";
const char kSettings[] = "log/xdb_Victim.xdb";
const char kLog[] = "log_Victim.htm";
// Files of other accounts need root to be planted, and Wine runs every program under one account.
#ifdef _WIN32
const bool kAccounts = false;
#else
const bool kAccounts = ::geteuid() == 0;
#endif
const char kOwnSettings[] =
    "<Korvel><config Level=\"7\" Filename=\"sub/notes.txt\"></config></Korvel>";

// The victim program: started on a suite installation, its debugger output captured.
class Victim
{
public:
    explicit Victim(const CString& root)
    {
        SetSuiteRootDir(root);
        m_main = std::make_unique<CLogComponent>("Main", &m_slot);
        m_main->SetApplicationName("Victim", 1);
    }
    ~Victim()
    {
        m_main.reset();
        CLogControl::DestroyInstance();
        ResetSuiteRootCache();
    }
    CLogComponent& Main() { return *m_main; }
    int Count(const char* part) const { return kvtest::CountOf(Output(), part); }
    std::string Output() const { return m_capture.GetText().str(); }

private:
    os::DebugOutputCapture m_capture;
    CLogComponent* m_slot = nullptr;
    std::unique_ptr<CLogComponent> m_main;
};

// A suite installation whose log folder is owned, shared and moded as a row asks; the victim
// keeps a file of its own outside it. Owners are set where this process may (root). The plants
// below the log folder return the site, to plant on.
class Site
{
public:
    Site(unsigned owner, unsigned group, unsigned mode)
    {
        m_dir.MakeFile("home\\notes.txt", "precious");
        Own("", 0, 0, 0755);
        Own("home", kVictim, kVictim, 0700);
        Own("home/notes.txt", kVictim, kVictim, 0600);
        Own("log", owner, group, mode);
    }

    const CString& Root() const { return m_dir.Path(); }
    std::string Path(const char* relative) const { return m_dir.Sub(relative).str(); }
    CString LogPath(const char* name) const
    {
        return NormalizePath(m_dir.Sub(CString("log\\") + name));
    }
    CString Home() const { return m_dir.Sub("home"); }
    std::string Stored() const { return kvtest::ReadWholeFile(Path(kSettings).c_str()); }
    bool Holds(const char* text) const { return Stored().find(text) != std::string::npos; }
    // The platform would not make a plant (Wine: pipes and symbolic links), or no other account's.
    bool RefusedPlant() const { return m_refusedPlant; }

    Site& File(const char* name, const std::string& content, unsigned owner, unsigned group,
               unsigned mode)
    {
        const CString path = m_dir.MakeFile(CString("log\\") + name, content);
        m_refusedPlant |= owner == kAttacker && !kAccounts;
        // Another account's file in a folder that is no team's is the victim's to leave alone.
        if (owner == kAttacker && group != kTeam)
            m_planted.emplace_back(path, content);
        return Own(CString("log/") + name, owner, group, mode);
    }
    Site& Settings(unsigned owner, unsigned group, unsigned mode)
    {
        return File(kXdb, "<Korvel><config Level=\"7\"></config></Korvel>", owner, group, mode);
    }
    Site& OwnSettings(const char* content = kOwnSettings)
    {
        return File(kXdb, content, kVictim, kVictim, 0644);
    }
    // A folder that only a team's accounts can write, where they keep files for each other.
    Site& Team() { return Own("log", 0, kTeam, 02775); }
    Site& Folder(const char* name, unsigned owner)
    {
        m_dir.MakeDir(CString("log\\") + name);
        m_refusedPlant |= owner == kAttacker && !kAccounts;
        return Own(CString("log/") + name, owner, owner, 0755);
    }
    Site& Link(const char* name, const CString& target, bool folder)
    {
        m_refusedPlant |= !kvtest::MakeSymbolicLink(target, LogPath(name), folder);
        return Own(CString("log/") + name, kAttacker, kAttacker, 0);
    }
    Site& Pipe(const char* name)
    {
#ifdef _WIN32
        (void)name;
        m_refusedPlant = true;
        return *this;
#else
        ::mkfifo(LogPath(name), 0666);
        return Own(CString("log/") + name, kAttacker, kAttacker, 0666);
#endif
    }

    void ExpectUntouched() const
    {
        EXPECT_EQ("precious", kvtest::ReadWholeFile(m_dir.Sub("home\\notes.txt")));
        for (const auto& planted : m_planted)
            EXPECT_EQ(planted.second, kvtest::ReadWholeFile(planted.first));
    }
#ifndef _WIN32
    // A file system of the victim's own for the log folder, with room for little more than one
    // file.
    bool MountSmallLogFolder() const
    {
        const std::string options =
            "size=64k,mode=0755,uid=" + std::to_string(kVictim) + ",gid=" + std::to_string(kVictim);
        return ::mount("tmpfs", Path("log").c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    Site& RemountReadOnly()
    {
        EXPECT_EQ(0,
                  ::mount("tmpfs", Path("log").c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr));
        return *this;
    }
#endif

private:
    Site& Own(const CString& relative, unsigned owner, unsigned group, unsigned mode)
    {
#ifndef _WIN32
        const CString path = m_dir.Sub(relative);
        if ((kAccounts && ::lchown(path, owner, group) != 0) ||
            (mode != 0 && ::chmod(path, mode) != 0))
            ADD_FAILURE() << relative.GetString();
#else
        (void)relative, (void)owner, (void)group, (void)mode;
#endif
        return *this;
    }

    kvtest::TempSuite m_dir;
    std::vector<std::pair<CString, std::string>> m_planted;
    bool m_refusedPlant = false;
};

// Where the victim's start or kvlogctl's command is refused, the notice names the path below the
// log folder with the reason; the output holds every part of expected and none of absent (both
// split at '|').
struct Attack
{
    const char* what;
    std::function<void(Site&)> plant;
    const char* kvlogctl; // "": the victim program starts; else the arguments after "--root ROOT"
    const char* refusedName;
    DWORD refusal;
    const char* expected;
    const char* absent;
};

void PlantSettings(Site& s)
{
    s.File(kXdb,
           "<Korvel><config Level=\"1\" OutputDevice=\"6\" SyslogServer=\"127.0.0.1:5514\">"
           "</config></Korvel>",
           kAttacker, kAttacker, 0666);
}

const Attack kAttacks[] = {
    {"a pipe at the log file", [](Site& s) { s.Pipe(kLog); }, "", kLog, os::kErrorNotRegularFile,
     "LogFile not active|victim line", ""},
    {"a pipe at the settings file", [](Site& s) { s.Pipe(kXdb); }, "", kXdb,
     os::kErrorNotRegularFile, "MasterLevel: 15\n|LogFileName: file://", ""},
    {"a link at the log file to the victim's file",
     [](Site& s) { s.Link(kLog, s.Home() + "/notes.txt", false); }, "", kLog,
     os::kErrorLinkOnTheWay, "LogFile not active", ""},
    {"a link at a folder on the way to the victim's folder",
     [](Site& s) { s.OwnSettings().Link("sub", s.Home(), true); }, "", "sub/notes.txt",
     os::kErrorLinkOnTheWay, "MasterLevel: 7\n|LogFile not active", ""},
    {"a pipe at the new content of the settings file",
     [](Site& s) { s.OwnSettings().Folder("sub", kVictim).Pipe("xdb_Victim.xdb.new"); }, "",
     nullptr, 0, "MasterLevel: 7\n", ""},
    {"a folder at the log file", [](Site& s) { s.Folder(kLog, kVictim); }, "", kLog,
     os::kErrorFolderAtName, "LogFile not active|victim line", ""},
    {"a folder at the settings file", [](Site& s) { s.Folder(kXdb, kVictim); }, "", kXdb,
     os::kErrorFolderAtName, "MasterLevel: 15\n|LogFileName: file://", ""},
    {"a folder at the new content of the settings file",
     [](Site& s) { s.OwnSettings().Folder("sub", kVictim).Folder("xdb_Victim.xdb.new", kVictim); },
     "", nullptr, 0, "MasterLevel: 7\n|LogFileName: file://", ""},
    {"a settings file of another account that sends every line away", PlantSettings, "", kXdb,
     os::kErrorForeignOwner, "MasterLevel: 15\n|Output: 2 (|LogFileName: file://", "Syslog:"},
    {"a log file of another account that every account can write",
     [](Site& s) { s.File(kLog, "theirs", kAttacker, kAttacker, 0666); }, "", kLog,
     os::kErrorForeignOwner, "LogFile not active|victim line", ""},
    {"a folder of another account on the way",
     [](Site& s) { s.OwnSettings().Folder("sub", kAttacker); }, "", "sub/notes.txt",
     os::kErrorForeignOwner, "MasterLevel: 7\n|LogFile not active", ""},
    {"a team's folder: a colleague's settings and log file are obeyed",
     [](Site& s)
     { s.Team().Settings(kAttacker, kTeam, 0664).File(kLog, "", kAttacker, kTeam, 0664); },
     "", nullptr, 0, "MasterLevel: 7\n|LogFileName: file://", "not read|Logfile \""},
    {"kvlogctl show: a pipe at the settings file", [](Site& s) { s.Pipe(kXdb); }, "show Victim",
     kXdb, os::kErrorNotRegularFile, "", ""},
    {"kvlogctl set: a settings file of another account", PlantSettings, "set Victim Level 3", kXdb,
     os::kErrorForeignOwner, "", ""},
    {"kvlogctl list: a settings file of another account", PlantSettings, "list", nullptr, 0,
     "Victim  (it belongs to another account", ""},
    {"kvlogctl tail: a pipe at the log file",
     [](Site& s) { s.OwnSettings("<Korvel><config/></Korvel>").Pipe(kLog); },
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
std::string RunVictim(Site& scene, const char* kvlogctl)
{
    if (*kvlogctl == '\0')
    {
        Victim victim(scene.Root());
        victim.Main().Log(LOG_ERROR, "victim line");
        return victim.Output();
    }
    std::ostringstream text;
    std::vector<std::string> arguments = Split(kvlogctl, ' ');
    arguments.insert(arguments.begin(), {"--root", scene.Root().str()});
    CKvlogctl(text, text).Run(arguments);
    return text.str();
}

#ifndef _WIN32
// What body returns in a forked child under the account, or why the child failed.
std::string InChild(unsigned account, const std::function<std::string()>& body)
{
    const gid_t groups[] = {kTeam};
    std::string result;
    // The mark after the body's text tells a crash from a success.
    const auto marked = [&]
    {
        ::umask(022);
        if (account != 0 &&
            (::setgroups(1, groups) != 0 || ::setresgid(account, account, account) != 0 ||
             ::setresuid(account, account, account) != 0))
            return std::string("cannot become the account");
        return body() + ".";
    };
    if (!kvtest::RunInChild(marked, result, 30000))
        return "the program did not end in time: " + result;
    if (result.empty() || result.back() != '.')
        return "the child failed: " + result;
    result.pop_back();
    return result;
}

std::string Check(bool holds, const std::string& what)
{
    return holds ? std::string() : what + "; ";
}
#endif

// The line that names the refused path names the reason too, and only one line does.
int NoticesOf(const std::string& output, const CString& path, DWORD refusal)
{
    const std::string reason = os::GetErrorText(refusal).str();
    int notices = 0;
    for (const std::string& line : Split(output.c_str(), '\n'))
    {
        const std::size_t at = line.find(path.str());
        notices += at != std::string::npos && line.find(reason, at) != std::string::npos ? 1 : 0;
    }
    return notices;
}

} // namespace

TEST(SharedFolderAttackTest, NothingPlantedInTheLogFolderBlocksRedirectsOrCommandsTheVictim)
{
    for (const Attack& attack : kAttacks)
    {
        Site scene(0, 0, 01777);
        attack.plant(scene);
        if (scene.RefusedPlant())
        {
            std::cout << "skipped: " << attack.what << "\n";
            continue;
        }
        // The victim's output, natively from a child under the victim's account, so that an open
        // that blocks fails the row.
#ifdef _WIN32
        const std::string output = RunVictim(scene, attack.kvlogctl);
#else
        const std::string output =
            InChild(kAccounts ? kVictim : 0, [&] { return RunVictim(scene, attack.kvlogctl); });
#endif
        SCOPED_TRACE(std::string(attack.what) + "\n" + output);
        // One notice names the path and the reason.
        EXPECT_TRUE(attack.refusedName == nullptr ||
                    NoticesOf(output, scene.LogPath(attack.refusedName), attack.refusal) == 1);
        for (const std::string& expected : Split(attack.expected, '|'))
            EXPECT_NE(std::string::npos, output.find(expected)) << expected;
        for (const std::string& absent : Split(attack.absent, '|'))
            EXPECT_EQ(std::string::npos, output.find(absent)) << absent;
        scene.ExpectUntouched();
    }
}

#ifndef _WIN32
namespace
{
// An error that waiting cannot clear ends the save at once with one notice; the value stays in
// force, and goes into the file with the next save that succeeds once the cause is gone.
TEST(SettingsStoreAttack, SavesThatCannotSucceedFailAtOnceAndKeepTheValueOthersKeepTheOwner)
{
    if (!kAccounts)
        GTEST_SKIP() << "the rows need accounts";
    const struct
    {
        const char* what;
        unsigned folderOwner, folderGroup, folderMode;
        bool ownFileSystem;
        std::function<void(Site&)> arrange;
        const char* notice;
        std::function<void(Site&)> heal; // as the victim; null: the cause stays
    } rows[] = {
        {"a read-only settings file", kVictim, kVictim, 0755, false,
         [](Site& s) { s.Settings(kVictim, kVictim, 0444); }, "the file is read-only",
         [](Site& s) { ::chmod(s.Path(kSettings).c_str(), 0644); }},
        {"a rename refused: a colleague's file in a sticky team folder", 0, kTeam, 03775, false,
         [](Site& s) { s.Settings(kAttacker, kTeam, 0664); },
         "cannot rename xdb_Victim.xdb.new: Operation not permitted", nullptr},
        {"a folder the program may not write", kVictim, kVictim, 0555, false,
         [](Site& s) { s.Settings(kVictim, kVictim, 0644); },
         "cannot create xdb_Victim.xdb.new: Permission denied",
         [](Site& s) { ::chmod(s.Path("log").c_str(), 0755); }},
        {"a full disk", 0, 0, 0755, true,
         [](Site& s)
         { s.OwnSettings().File("filler", std::string(60 * 1024, 'x'), kVictim, kVictim, 0644); },
         "No space left on device", [](Site& s) { std::filesystem::remove(s.Path("log/filler")); }},
        {"a read-only file system", 0, 0, 0755, true,
         [](Site& s) { s.Settings(kVictim, kVictim, 0644).RemountReadOnly(); },
         "read-only: Read-only file system", nullptr},
        {"another account's pipe at the new content's name", 0, kTeam, 01777, false,
         [](Site& s) { s.Settings(kVictim, kVictim, 0644).Pipe("xdb_Victim.xdb.new"); },
         "cannot remove xdb_Victim.xdb.new", nullptr},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        Site site(row.folderOwner, row.folderGroup, row.folderMode);
        if (row.ownFileSystem && !site.MountSmallLogFolder())
        {
            std::printf("skipped: %s (no file system of its own)\n", row.what);
            continue;
        }
        row.arrange(site);
        const auto play = [&]
        {
            Victim victim(site.Root());
            for (unsigned long speed = 41; speed <= 43; ++speed)
                victim.Main().LogSetSetting("Speed", speed);
            const std::string failures =
                Check(victim.Main().LogGetSetting("Speed", 0UL) == 43, "not kept") +
                Check(victim.Count("not written: ") == 1 && victim.Count(row.notice) == 1,
                      "not one notice: " + victim.Output()) +
                Check(victim.Count("MasterLevel: 7") == 1, "settings not read");
            if (row.heal != nullptr)
            {
                row.heal(site);
                victim.Main().LogSetSetting("Other", 1UL);
            }
            return failures;
        };
        EXPECT_EQ("", InChild(kVictim, play));
        // Once the cause went, the next save stores the value kept; else the file stays as it was.
        EXPECT_TRUE(site.Holds(row.heal == nullptr ? "Level=\"7\"" : "Speed=\"43\""));
        ::umount2(site.Path("log").c_str(), MNT_DETACH); // before the site removes its folders
    }
    // A save that succeeds gives the new file the owner, group and permissions of the one it
    // replaces, whatever the saver's own mask and account: a team's file saved by its owner, and
    // the owner's file saved by root.
    for (const auto& [group, mode, saver] :
         {std::make_tuple(kTeam, 0600U, kVictim), std::make_tuple(kVictim, 0640U, 0U)})
    {
        SCOPED_TRACE(saver);
        Site site(kVictim, kTeam, 0775);
        site.Settings(kVictim, group, mode);
        const auto save = [&]
        {
            ::umask(0);
            Victim(site.Root()).Main().LogSetSetting("Speed", 1UL);
            return std::string();
        };
        EXPECT_EQ("", InChild(saver, save));
        struct stat info = {};
        ASSERT_EQ(0, ::stat(site.Path(kSettings).c_str(), &info));
        EXPECT_EQ(std::make_tuple(kVictim, group, mode),
                  std::make_tuple(info.st_uid, info.st_gid, info.st_mode & 07777));
        EXPECT_TRUE(site.Holds("Speed=\"1\""));
    }
}

// Another program holds the file far longer than the wait: the settings calls give up after the
// wait with one notice, and meanwhile the program's other threads log on, for no settings call
// holds the controller lock while it waits.
TEST(SettingsStoreAttack, AHeldOrUnreadableFileStallsNothingAndIsNamedOncePerChange)
{
    Site site(0, 0, 0755);
    site.Settings(0, 0, 0644);
    const auto play = [&]
    {
        Victim victim(site.Root());
        CLogComponent worker("Worker", nullptr);
        // Another open of the file is another holder to flock, as another program's is.
        const int held = ::open(site.Path(kSettings).c_str(), O_RDONLY);
        ::flock(held, LOCK_EX);
        std::atomic<bool> stored{false};
        std::atomic<int> linesBeforeStored{0};
        std::thread logger(
            [&]
            {
                for (int i = 0; i < 1000; ++i)
                {
                    worker.Log(LOG_ERROR, "line %d", i);
                    linesBeforeStored += stored ? 0 : 1;
                }
            });
        victim.Main().LogSetSetting("Speed", 42UL);
        stored = true;
        logger.join();
        victim.Main().LogSetSetting("Speed", 43UL);
        ::close(held);
        victim.Main().LogSetSetting("Other", 1UL);
        return Check(linesBeforeStored == 1000, "the lines waited for the settings call") +
               Check(victim.Count("not read: the file was held by another program") == 1,
                     "not one notice: " + victim.Output());
    };
    EXPECT_EQ("", InChild(0, play));
    EXPECT_TRUE(site.Holds("Speed=\"43\""));

    // A file that cannot be read is named once per state of its directory entry, however much the
    // watch, registrations and saves touch it meanwhile, and is read again once it changes.
    const struct
    {
        std::function<void(Site&)> arrange;
        std::function<void(Site&)> change;
        const char* reason;
    } rows[] = {
        {[](Site& s) { s.File(kXdb, "<Korvel><config>", 0, 0, 0644); },
         [](Site& s) { s.File(kXdb, "<Korvel><config></Korvel>", 0, 0, 0644); },
         "Irregular xml header"},
        {[](Site& s) { s.Folder(kXdb, 0); },
         [](Site& s) { s.File("xdb_Victim.xdb/inside", "", 0, 0, 0644); },
         "a folder stands at the file's name"},
    };
    const auto churn = [](Victim& victim)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        for (unsigned long i = 0; std::chrono::steady_clock::now() < end; ++i)
        {
            CLogComponent passing("Passing", nullptr);
            victim.Main().LogSetSetting("Count", i);
            victim.Main().LogGetSetting("Speed", 5UL);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.reason);
        Site scene(0, 0, 0755);
        row.arrange(scene);
        const auto watch = [&]
        {
            Victim victim(scene.Root());
            churn(victim);
            const std::string failures =
                Check(victim.Count("not read: ") == 1 && victim.Count(row.reason),
                      "not one notice before the change: " + victim.Output());
            row.change(scene);
            churn(victim);
            return failures + Check(victim.Count("not read: ") == 2,
                                    "not one more after it: " + victim.Output());
        };
        EXPECT_EQ("", InChild(0, watch));
    }
}

// Programs killed at any moment of their first start or of a save leave either no file (before
// the first one) or a whole one, never an empty or a cut one. What a kill left beside it keeps
// no later program from saving, and names and values that are no UTF-8 (here Latin-1) are taken
// as the file reads back: one section and one entry across starts, and an edit of the file
// reaches the component.
TEST(SettingsStoreAttack, KillsDuringSavesLeaveAWholeFileThatLaterStartsKeep)
{
    Site site(0, 0, 0755);
    const CString peer = kvtest::SiblingProgram("kvlog_settings_peer");
    std::mt19937 random(20261206);
    int whole = 0;
    for (int kill = 0; kill < 60; ++kill)
    {
        // The first half kills first starts, the second half saves of a file that exists.
        if (kill < 30)
            std::filesystem::remove(site.Path(kSettings));
        else if (kill == 30)
            site.Settings(0, 0, 0644);
        os::ChildProcess program = os::kNoChildProcess;
        ASSERT_TRUE(
            os::StartChildProcess(peer, {site.Root(), "Victim", "k", "100000", "0"}, program));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
        os::AwaitChildProcess(program, 0); // kills it
        if (!std::filesystem::exists(site.Path(kSettings)) && kill < 30)
            continue;
        CKVXMLConfig file;
        EXPECT_EQ(1, file.Open(site.Path(kSettings).c_str())) << "kill " << kill;
        ++whole;
    }
    EXPECT_GE(whole, 30);

    const char kKey[] = "Gr\xF6\xDF";
    const auto start = [&](unsigned long level)
    {
        Victim victim(site.Root());
        CLogComponent axis("Achse \xC4", nullptr);
        victim.Main().LogSetSetting(kKey, "\xC4");
        return Check(victim.Main().LogGetSetting(kKey, "") == CString("\xC3\x84"), "value") +
               Check(axis.GetLevel() == level, "level");
    };
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ("", InChild(0, [&] { return start(7); })) << "start " << run;
    const std::string file = site.Stored();
    EXPECT_EQ(1, kvtest::CountOf(file, "<Achse_\xC3\x84\r\n")) << file;
    EXPECT_EQ(1, kvtest::CountOf(file, "Gr\xC3\xB6\xC3\x9F=\"\xC3\x84\"")) << file;
    CKVXMLConfig edit;
    ASSERT_EQ(1, edit.Open(site.Path(kSettings).c_str()));
    edit.SetString("Achse \xC3\x84", "_Level", "1");
    ASSERT_EQ(1, edit.Save());
    edit.Close();
    EXPECT_EQ("", InChild(0, [&] { return start(1); }));
}
} // namespace
#endif
