// The settings file under attack: errors that waiting cannot clear, files that cannot be read,
// another program holding the file, and programs killed while they save. Each victim runs in a
// forked child, under an account of its own where a row needs one (uid 23457; root is needed to
// make it, or the row is skipped), and a child that does not end in time fails its row. POSIX
// only: Wine models neither accounts nor kills, and the rows that hold on Windows are the ones of
// the settings tests.
#ifndef _WIN32
#include "CKVXMLConfig.h"
#include "InstallationFacts.h"
#include "OsDebugOutput.h"
#include "TestSupport.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <random>
#include <signal.h>
#include <string>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace
{
const unsigned kVictim = 23457;
const unsigned kOther = 12346;
const unsigned kTeam = 34568;
const char kSettings[] = "log/xdb_Victim.xdb";
const char kOwnFile[] = "<Korvel><config Level=\"7\"></config></Korvel>";

// A suite installation of its own whose log folder is owned, shared and moded as a row asks.
class Site
{
public:
    Site(unsigned owner, unsigned group, unsigned mode)
    {
        m_dir.MakeFile("ctrl\\RVT.exe");
        m_dir.MakeDir("log");
        Own("log", owner, group, mode);
        ::chmod(m_dir.Path(), 0755);
    }
    ~Site() { ::umount2(Path("log").c_str(), MNT_DETACH); }
    std::string Path(const char* relative) const { return m_dir.Sub(relative).str(); }
    const CString& Root() const { return m_dir.Path(); }
    std::string Stored() const { return kvtest::ReadWholeFile(Path(kSettings).c_str()); }
    bool Holds(const char* text) const { return Stored().find(text) != std::string::npos; }
    bool File(const char* relative, const std::string& content, unsigned owner, unsigned group,
              unsigned mode) const
    {
        kvtest::WriteWholeFile(Path(relative).c_str(), content);
        return Own(relative, owner, group, mode);
    }
    bool Settings(unsigned owner, unsigned group, unsigned mode) const
    {
        return File(kSettings, kOwnFile, owner, group, mode);
    }
    bool Own(const char* relative, unsigned owner, unsigned group, unsigned mode) const
    {
        if (::lchown(Path(relative).c_str(), owner, group) == 0 &&
            ::chmod(Path(relative).c_str(), mode) == 0)
            return true;
        ADD_FAILURE() << relative;
        return false;
    }
    // A file system of the victim's own for the log folder, with room for little more than one
    // file.
    bool MountSmallLogFolder() const
    {
        const std::string options =
            "size=64k,mode=0755,uid=" + std::to_string(kVictim) + ",gid=" + std::to_string(kVictim);
        return ::mount("tmpfs", Path("log").c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    bool RemountReadOnly() const
    {
        return ::mount("tmpfs", Path("log").c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    kvtest::TempDir m_dir;
};

bool Become(unsigned account)
{
    const gid_t groups[] = {kTeam};
    return account == 0 ||
           (::setgroups(1, groups) == 0 && ::setresgid(account, account, account) == 0 &&
            ::setresuid(account, account, account) == 0);
}

// What body returns in a forked child under the account ("" for success), or why it failed.
std::string InChild(unsigned account, const std::function<std::string()>& body)
{
    std::string result;
    // The mark after the body's text tells a crash from a success.
    if (!kvtest::RunInChild(
            [&]
            {
                ::umask(022);
                return Become(account) ? body() + "." : std::string("cannot become the account");
            },
            result, 30000))
        return "the program did not end in time: " + result;
    return result == "." ? std::string() : "the child failed: " + result;
}

// The victim program of one row: started on the site, its debugger output captured.
class Victim
{
public:
    explicit Victim(const Site& site)
    {
        SetSuiteRootDir(site.Root());
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
    int Count(const char* part) const { return kvtest::CountOf(m_capture.GetText().str(), part); }
    std::string Output() const { return m_capture.GetText().str(); }

private:
    os::DebugOutputCapture m_capture;
    CLogComponent* m_slot = nullptr;
    std::unique_ptr<CLogComponent> m_main;
};

std::string Check(bool holds, const std::string& what)
{
    return holds ? std::string() : what + "; ";
}

bool CanPlayAccounts()
{
    return ::geteuid() == 0;
}

// An error that waiting cannot clear ends the save at once with one notice; the value stays in
// force, and goes into the file with the next save that succeeds once the cause is gone.
TEST(SettingsStoreAttack, SavesThatCannotSucceedFailAtOnceAndKeepTheValue)
{
    if (!CanPlayAccounts())
        GTEST_SKIP() << "the rows need accounts";
    const char kNew[] = "log/xdb_Victim.xdb.new";
    const struct
    {
        const char* what;
        unsigned folderOwner, folderGroup, folderMode;
        std::function<bool(const Site&)> arrange; // false: the row cannot be played here
        const char* notice;
        std::function<void(const Site&)> heal; // as the victim; null: the cause stays
    } rows[] = {
        {"a read-only settings file", kVictim, kVictim, 0755,
         [](const Site& s) { return s.Settings(kVictim, kVictim, 0444); }, "the file is read-only",
         [](const Site& s) { ::chmod(s.Path(kSettings).c_str(), 0644); }},
        {"a rename refused: a colleague's file in a sticky team folder", 0, kTeam, 03775,
         [](const Site& s) { return s.Settings(kOther, kTeam, 0664); },
         "cannot rename xdb_Victim.xdb.new: Operation not permitted", nullptr},
        {"a folder the program may not write", kVictim, kVictim, 0555,
         [](const Site& s) { return s.Settings(kVictim, kVictim, 0644); },
         "cannot create xdb_Victim.xdb.new: Permission denied",
         [](const Site& s) { ::chmod(s.Path("log").c_str(), 0755); }},
        {"a full disk", 0, 0, 0755,
         [](const Site& s)
         {
             return s.MountSmallLogFolder() && s.Settings(kVictim, kVictim, 0644) &&
                    s.File("log/filler", std::string(60 * 1024, 'x'), kVictim, kVictim, 0644);
         },
         "No space left on device",
         [](const Site& s) { std::filesystem::remove(s.Path("log/filler")); }},
        {"a read-only file system", 0, 0, 0755,
         [](const Site& s) {
             return s.MountSmallLogFolder() && s.Settings(kVictim, kVictim, 0644) &&
                    s.RemountReadOnly();
         },
         "read-only: Read-only file system", nullptr},
        {"another account's folder at the new content's name", 0, kTeam, 01777,
         [&](const Site& s)
         {
             std::filesystem::create_directory(s.Path(kNew));
             return s.Settings(kVictim, kVictim, 0644) && s.Own(kNew, kOther, kOther, 0755);
         },
         "cannot remove xdb_Victim.xdb.new", nullptr},
        {"another account's pipe at the new content's name", 0, kTeam, 01777,
         [&](const Site& s)
         {
             ::mkfifo(s.Path(kNew).c_str(), 0666);
             return s.Settings(kVictim, kVictim, 0644) && s.Own(kNew, kOther, kOther, 0666);
         },
         "cannot remove xdb_Victim.xdb.new", nullptr},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        const Site site(row.folderOwner, row.folderGroup, row.folderMode);
        if (!row.arrange(site))
        {
            std::printf("skipped: %s (no file system of its own)\n", row.what);
            continue;
        }
        const auto play = [&]
        {
            Victim victim(site);
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
    }
}

// A save gives the new file the owner, group and permissions of the one it replaces, whatever
// the saver's own mask and account.
TEST(SettingsStoreAttack, SavesKeepTheFilesOwnerAndPermissions)
{
    if (!CanPlayAccounts())
        GTEST_SKIP() << "the rows need accounts";
    const struct
    {
        const char* what;
        unsigned folderGroup, owner, group, mode, saver;
        mode_t mask;
    } rows[] = {
        {"0600 under the mask 000", kVictim, kVictim, kVictim, 0600, kVictim, 0},
        {"a team's 0640 file saved by its owner", kTeam, kVictim, kTeam, 0640, kVictim, 022},
        {"the victim's file saved by root", kVictim, kVictim, kVictim, 0600, 0, 0},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        const Site site(kVictim, row.folderGroup, 0775);
        site.Settings(row.owner, row.group, row.mode);
        const auto save = [&]
        {
            ::umask(row.mask);
            Victim(site).Main().LogSetSetting("Speed", 1UL);
            return std::string();
        };
        EXPECT_EQ("", InChild(row.saver, save));
        struct stat info
        {
        };
        ASSERT_EQ(0, ::stat(site.Path(kSettings).c_str(), &info));
        EXPECT_EQ(std::make_tuple(row.owner, row.group, row.mode),
                  std::make_tuple(info.st_uid, info.st_gid, info.st_mode & 07777));
        EXPECT_TRUE(site.Holds("Speed=\"1\""));
    }
}

// Another program holds the file far longer than the wait: the settings calls give up after the
// wait with one notice, and meanwhile the program's other threads log on, for no settings call
// holds the controller lock while it waits.
TEST(SettingsStoreAttack, AHeldFileStallsNeitherTheCallNorTheOtherThreads)
{
    const Site site(0, 0, 0755);
    site.Settings(0, 0, 0644);
    const auto play = [&]
    {
        Victim victim(site);
        CLogComponent worker("Worker", nullptr);
        const pid_t holder = ::fork();
        if (holder == 0)
        {
            ::flock(::open(site.Path(kSettings).c_str(), O_RDONLY), LOCK_EX);
            ::pause();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
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
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        victim.Main().LogSetSetting("Other", 1UL);
        return Check(linesBeforeStored == 1000, "the lines waited for the settings call") +
               Check(victim.Count("not read: the file was held by another program") == 1,
                     "not one notice: " + victim.Output());
    };
    EXPECT_EQ("", InChild(0, play));
    EXPECT_TRUE(site.Holds("Speed=\"43\""));
}

// A file that cannot be read is named once per state of its directory entry, however much the
// watch, registrations and saves touch it meanwhile, and is read again once it changes.
TEST(SettingsStoreAttack, AnUnreadableFileIsNamedOncePerChange)
{
    const struct
    {
        const char* what;
        std::function<void(const Site&)> arrange;
        std::function<void(const Site&)> change;
        const char* reason;
    } rows[] = {
        {"a malformed file",
         [](const Site& s) { s.File(kSettings, "<Korvel><config>", 0, 0, 0644); },
         [](const Site& s) { s.File(kSettings, "<Korvel><config></Korvel>", 0, 0, 0644); },
         "Irregular xml header"},
        {"a file over 16 MiB",
         [](const Site& s)
         {
             s.Settings(0, 0, 0644);
             std::filesystem::resize_file(s.Path(kSettings), CKVXMLConfig::kMaxFileBytes + 1);
         },
         [](const Site& s)
         { std::filesystem::resize_file(s.Path(kSettings), CKVXMLConfig::kMaxFileBytes + 2); },
         "larger than 16 MiB"},
        {"a folder at its name",
         [](const Site& s) { std::filesystem::create_directory(s.Path(kSettings)); },
         [](const Site& s) { s.File("log/xdb_Victim.xdb/inside", "", 0, 0, 0644); },
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
        SCOPED_TRACE(row.what);
        const Site site(0, 0, 0755);
        row.arrange(site);
        const auto play = [&]
        {
            Victim victim(site);
            churn(victim);
            const std::string failures =
                Check(victim.Count("not read: ") == 1 && victim.Count(row.reason),
                      "not one notice before the change: " + victim.Output());
            row.change(site);
            churn(victim);
            return failures + Check(victim.Count("not read: ") == 2,
                                    "not one more after it: " + victim.Output());
        };
        EXPECT_EQ("", InChild(0, play));
    }
}

// Programs killed at any moment of their first start or of a save leave either no file (before
// the first one) or a whole one, never an empty or a cut one; what a kill left beside it does
// not keep the next program from saving.
TEST(SettingsStoreAttack, KillsDuringSavesLeaveAWholeFile)
{
    const Site site(0, 0, 0755);
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
        const pid_t program = ::fork();
        if (program == 0)
        {
            ::execl(peer, peer.GetString(), site.Root().GetString(), "Victim", "k", "100000", "0",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
        ::kill(program, SIGKILL);
        ::waitpid(program, nullptr, 0);
        if (!std::filesystem::exists(site.Path(kSettings)) && kill < 30)
            continue;
        CKVXMLConfig file;
        EXPECT_EQ(1, file.Open(site.Path(kSettings).c_str())) << "kill " << kill;
        ++whole;
    }
    EXPECT_GE(whole, 30);
    const auto save = [&]
    {
        Victim(site).Main().LogSetSetting("After", 1UL);
        return std::string();
    };
    EXPECT_EQ("", InChild(0, save));
    EXPECT_TRUE(site.Holds("After=\"1\""));
}

// A name or value that is no UTF-8 (here Latin-1) is taken as the file reads back: one section
// and one entry across starts, and an edit of the file reaches the component.
TEST(SettingsStoreAttack, TextThatIsNoUtf8KeepsOneSectionAndEntry)
{
    const Site site(0, 0, 0755);
    const char kKey[] = "Gr\xF6\xDF"
                        "e";
    const auto start = [&](unsigned long expectedLevel)
    {
        return InChild(0,
                       [&]
                       {
                           Victim victim(site);
                           CLogComponent axis("Achse \xC4", nullptr);
                           victim.Main().LogSetSetting(kKey, "\xC4");
                           return Check(victim.Main().LogGetSetting(kKey, "") ==
                                            CString("\xC3\x84"),
                                        "value") +
                                  Check(axis.GetLevel() == expectedLevel, "level");
                       });
    };
    for (int run = 0; run < 4; ++run)
        EXPECT_EQ("", start(15)) << "start " << run;
    const std::string file = site.Stored();
    EXPECT_EQ(1, kvtest::CountOf(file, "<Achse_\xC3\x84\r\n")) << file;
    EXPECT_EQ(1, kvtest::CountOf(file, "Gr\xC3\xB6\xC3\x9F"
                                       "e=\"\xC3\x84\""))
        << file;
    CKVXMLConfig edit;
    ASSERT_EQ(1, edit.Open(site.Path(kSettings).c_str()));
    edit.SetString("Achse \xC3\x84", "_Level", "1");
    ASSERT_EQ(1, edit.Save());
    edit.Close();
    EXPECT_EQ("", start(1));
}
} // namespace
#endif
