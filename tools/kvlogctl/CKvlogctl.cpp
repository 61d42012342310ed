#include "CKvlogctl.h"

#include "CFile.h"
#include "CHtmlLogDecoder.h"
#include "CLogFollower.h"
#include "CSettingsCheck.h"
#include "InstallationFacts.h"
#include "LevelText.h"
#include "OsFileSystem.h"
#include "OsProcess.h"
#include "OsTime.h"
#include "PathOperations.h"
#include "XmlNames.h"
#include "settings/SettingRules.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

namespace
{
const char kConfig[] = "config";
const char kUserDefined[] = "UserDefined";
const unsigned kPollMilliseconds = 200;
const unsigned long kMaxKeptFiles = 99;

bool IsOption(const std::string& argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

// The application whose settings file has this name ("xdb_Motor_Test.xdb"), or "".
CString ApplicationOfFile(const CString& fileName)
{
    const int nameLength = fileName.GetLength() - 8;
    if (nameLength < 1 || fileName.Left(4).CompareNoCase("xdb_") != 0 ||
        fileName.Right(4).CompareNoCase(".xdb") != 0)
        return CString();
    return fileName.Mid(4, nameLength);
}

// The component sections of a settings document.
std::vector<const CULXMLData::CNode*> Components(const CULXMLData& document)
{
    std::vector<const CULXMLData::CNode*> components;
    const CULXMLData::CNode* root = document.GetRoot();
    for (POSITION position = document.GetFirstChildPosition(root); position != nullptr;)
    {
        const CULXMLData::CNode* node = document.GetNextChild(root, position);
        if (node->m_name.CompareNoCase(kConfig) != 0 &&
            node->m_name.CompareNoCase(kUserDefined) != 0)
            components.push_back(node);
    }
    return components;
}

bool IsLevelKey(const CString& key)
{
    return key.CompareNoCase("Level") == 0 || key.CompareNoCase("_Level") == 0;
}

CString DescribeValue(const CString& key, const CString& value)
{
    unsigned long mask = 0;
    if (IsLevelKey(key) && ParseSettingNumber(value, mask))
        return value + "  " + DescribeLevel(mask);
    return value;
}

// The earlier files kept of the log file, by number.
std::vector<CString> KeptFiles(const CString& logFile)
{
    std::vector<CString> kept;
    for (unsigned long number = 1; number <= kMaxKeptFiles; ++number)
        if (FileExists(NumberedFileName(logFile, number)))
            kept.push_back(GetPathFileName(NumberedFileName(logFile, number)));
    return kept;
}

CString LevelOf(const CULXMLData& document, const CULXMLData::CNode* node, const char* key)
{
    unsigned long mask = 0;
    const CString value = document.GetAttribute(node, key, "");
    return ParseSettingNumber(value, mask) ? DescribeLevel(mask) : "\"" + value + "\"";
}
} // namespace

const char* CKvlogctl::HelpText()
{
    return "Usage: kvlogctl [--root DIR] COMMAND [ARGUMENTS]\n"
           "\n"
           "Shows and changes the logging of the suite's programs through their settings files\n"
           "and follows their log files. A running program applies a change within about a "
           "second.\n"
           "\n"
           "Commands:\n"
           "  list [ROOT]                   the applications of a suite root with their "
           "components\n"
           "                                and levels\n"
           "  show APP                      the settings of one application\n"
           "  level APP [COMPONENT] LEVEL   sets the master level, or the level of a component\n"
           "  set APP KEY VALUE             sets a key of the application's \"config\" section\n"
           "  tail [OPTIONS] APP            follows the application's log file as terminal text\n"
           "      -n LINES                  lines shown from before (default 10)\n"
           "      --seconds N               stops after N seconds (default: never)\n"
           "      --color, --no-color       colours on or off (default: on for a terminal)\n"
           "      --kept N                  shows the N-th earlier file kept (\"FileBackups\")\n"
           "  check APP                     what the library would refuse or ignore in the\n"
           "                                application's settings file\n"
           "\n"
           "LEVEL is a number, hexadecimal (0x8000) or decimal (32768), or level names joined\n"
           "by \"|\": Error, Warning, Information, Success, Debug; All and None stand for every\n"
           "level and none. Example: kvlogctl level Viewer Motor \"Error|Warning|Debug\"\n"
           "\n"
           "The suite root is DIR of --root, else found as the library finds it:\n"
           "KORVEL_ROOT_DIR, the suite around this program, or the user's data folder.\n"
           "APP is the application's name as its settings file \"xdb_APP.xdb\" shows it.\n"
           "\n"
           "Exit codes: 0 success, 1 failure, 2 bad usage.\n";
}

int CKvlogctl::Run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> rest = arguments;
    if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h" || rest[0] == "help"))
    {
        m_out << HelpText();
        return kSuccess;
    }
    if (rest.size() >= 2 && rest[0] == "--root")
    {
        m_root = NormalizePath(rest[1].c_str());
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    if (rest.empty())
        return Usage("no command given");
    const std::string command = rest[0];
    rest.erase(rest.begin());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end())
    {
        m_out << HelpText();
        return kSuccess;
    }
    if (command == "list")
        return List(rest);
    if (command == "show")
        return Show(rest);
    if (command == "level")
        return Level(rest);
    if (command == "set")
        return Set(rest);
    if (command == "tail")
        return Tail(rest);
    if (command == "check")
        return Check(rest);
    return Usage(CString("unknown command \"") + command.c_str() + "\"");
}

int CKvlogctl::Fail(const CString& message)
{
    m_err << "kvlogctl: " << message.GetString() << "\n";
    return kFailure;
}

int CKvlogctl::Usage(const CString& message)
{
    m_err << "kvlogctl: " << message.GetString() << "\n"
          << "Try \"kvlogctl --help\".\n";
    return kBadUsage;
}

CString CKvlogctl::LogFolder() const
{
    CString folder = m_root.IsEmpty() ? GetSuiteRootDir() : m_root;
    return AppendPath(folder, "log");
}

bool CKvlogctl::OpenSettings(const char* application, CKVXMLConfig& settings)
{
    const CString path = GetSettingsFilePath(LogFolder(), application);
    // Whatever stands at the name (a pipe, a folder, a link) is left to the settings database,
    // which says why it does not take it.
    if (os::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
    {
        Fail(CString("no settings file for \"") + application + "\": " + path + " does not exist");
        return false;
    }
    if (settings.Open(path) == 0)
    {
        Fail(path + ": " + settings.GetLastError());
        return false;
    }
    return true;
}

int CKvlogctl::SaveSettings(CKVXMLConfig& settings, const CString& what)
{
    if (settings.Save() == 0)
        return Fail(settings.GetPath() + ": could not be written (another program holds it, or "
                                         "it is read-only)");
    m_out << what.GetString() << "\n";
    return kSuccess;
}

int CKvlogctl::List(const std::vector<std::string>& arguments)
{
    if (arguments.size() > 1)
        return Usage("list takes at most one suite root");
    if (arguments.size() == 1)
        m_root = NormalizePath(arguments[0].c_str());
    const CString folder = LogFolder();
    const DWORD attributes = os::GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return Fail(folder + ": no such log folder");
    std::vector<CString> files = os::ListFolderFiles(folder);
    std::sort(files.begin(), files.end(),
              [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    m_out << "Log folder: " << folder.GetString() << "\n";
    for (const CString& file : files)
    {
        const CString application = ApplicationOfFile(file);
        if (application.IsEmpty())
            continue;
        CKVXMLConfig settings;
        CString path = folder;
        if (settings.Open(AppendPath(path, file)) == 0)
        {
            m_out << application.GetString() << "  (" << settings.GetLastError().GetString()
                  << ")\n";
            continue;
        }
        const CULXMLData& document = settings.GetDocument();
        const CULXMLData::CNode* config = document.FindNode(kConfig);
        m_out << application.GetString() << "  " << LevelOf(document, config, "Level").GetString()
              << "\n";
        for (const CULXMLData::CNode* component : Components(document))
            m_out << "    " << DecodeXmlName(component->m_name.GetString()) << "  "
                  << LevelOf(document, component, "_Level").GetString() << "\n";
        const std::vector<CString> kept = KeptFiles(LogFilePath(settings, application));
        if (!kept.empty())
            m_out << "  kept log files:";
        for (const CString& name : kept)
            m_out << " " << name.GetString();
        if (!kept.empty())
            m_out << "\n";
    }
    return kSuccess;
}

int CKvlogctl::Show(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1)
        return Usage("show takes one application");
    CKVXMLConfig settings;
    if (!OpenSettings(arguments[0].c_str(), settings))
        return kFailure;
    const CULXMLData& document = settings.GetDocument();
    m_out << "Settings file: " << settings.GetPath().GetString() << "\n";
    const CULXMLData::CNode* root = document.GetRoot();
    for (POSITION position = document.GetFirstChildPosition(root); position != nullptr;)
    {
        const CULXMLData::CNode* node = document.GetNextChild(root, position);
        m_out << "[" << node->m_name.GetString() << "]\n";
        for (POSITION at = document.GetFirstAttributePosition(node); at != nullptr;)
        {
            const CULXMLData::CEntry* entry = document.GetNextAttribute(node, at);
            m_out << "    " << entry->m_name.GetString() << " = "
                  << DescribeValue(entry->m_name, entry->m_value).GetString() << "\n";
        }
    }
    return kSuccess;
}

int CKvlogctl::Level(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2 && arguments.size() != 3)
        return Usage("level takes an application, optionally a component, and a level");
    unsigned long mask = 0;
    if (!ParseLevel(arguments.back().c_str(), mask))
        return Usage(CString("not a level: \"") + arguments.back().c_str() + "\"");
    CKVXMLConfig settings;
    if (!OpenSettings(arguments[0].c_str(), settings))
        return kFailure;
    CString section = kConfig;
    CString key = "Level";
    if (arguments.size() == 3)
    {
        // The component's own name, as the list shows it, or its section's name in the file.
        const CString stored(EncodeXmlName(arguments[1]).c_str());
        const CString shown = CULXMLData::SanitizeName(arguments[1].c_str());
        CString known;
        for (const CULXMLData::CNode* component : Components(settings.GetDocument()))
        {
            if (component->m_name.CompareNoCase(stored) == 0 ||
                (section == kConfig && component->m_name.CompareNoCase(shown) == 0))
                section = component->m_name;
            known += (known.IsEmpty() ? "" : ", ") +
                     CString(DecodeXmlName(component->m_name.GetString()).c_str());
        }
        if (section == kConfig)
            return Fail(CString("no component \"") + arguments[1].c_str() + "\" in " +
                        arguments[0].c_str() + " (components: " + known + ")");
        key = "_Level";
    }
    settings.SetDWord(section, key, mask);
    return SaveSettings(settings, "[" + section + "] " + key + " = " + DescribeLevel(mask));
}

int CKvlogctl::Set(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 3)
        return Usage("set takes an application, a key and a value");
    CString key = arguments[1].c_str();
    CString value = arguments[2].c_str();
    const CSettingKey* known = CSettingKey::Find(CSettingKey::kConfig, key);
    if (known != nullptr)
        key = known->GetName();
    else
    {
        const CString nearMiss = CSettingsCheck::NearMiss(key, CSettingKey::kConfig);
        if (!nearMiss.IsEmpty())
            return Fail("unknown key \"" + key + "\": did you mean \"" + nearMiss + "\"?");
        m_err << "kvlogctl: note: \"" << key.GetString()
              << "\" is no key of the library's; it is written all the same\n";
    }
    // Level names are written as their mask; any other text is the table's to judge.
    unsigned long mask = 0;
    if (key == "Level" && ParseLevel(value, mask))
        value.Format("%lu", mask);
    // A value that the library would refuse is refused; an unknown key is the caller's choice.
    CString problem;
    if (known != nullptr && !known->Check(value, problem))
        return Fail("[config] " + problem + "; nothing written");
    CKVXMLConfig settings;
    if (!OpenSettings(arguments[0].c_str(), settings))
        return kFailure;
    settings.SetString(kConfig, key, value);
    return SaveSettings(settings, "[config] " + key + " = " + DescribeValue(key, value));
}

int CKvlogctl::Check(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1)
        return Usage("check takes one application");
    CKVXMLConfig settings;
    if (!OpenSettings(arguments[0].c_str(), settings))
        return kFailure;
    const std::vector<CString> findings = CSettingsCheck::Check(settings.GetDocument());
    for (const CString& finding : findings)
        m_out << settings.GetPath().GetString() << ": " << finding.GetString() << "\n";
    if (!findings.empty())
        return kFailure;
    m_out << settings.GetPath().GetString() << ": no problems\n";
    return kSuccess;
}

int CKvlogctl::Tail(const std::vector<std::string>& arguments)
{
    TailOptions options;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if ((argument == "-n" || argument == "--seconds" || argument == "--kept") &&
            i + 1 < arguments.size())
        {
            char* end = nullptr;
            const long number = std::strtol(arguments[++i].c_str(), &end, 10);
            if (*end != '\0' || number < 0 || arguments[i].empty())
                return Usage(CString("not a count: \"") + arguments[i].c_str() + "\"");
            (argument == "-n"       ? options.history
             : argument == "--kept" ? options.kept
                                    : options.seconds) = number;
        }
        else if (argument == "--color" || argument == "--no-color")
            options.colour = argument == "--color" ? 1 : 0;
        else if (IsOption(argument))
            return Usage(CString("unknown option \"") + argument.c_str() + "\"");
        else
            names.push_back(argument);
    }
    if (names.size() != 1)
        return Usage("tail takes one application");
    CKVXMLConfig settings;
    if (!OpenSettings(names[0].c_str(), settings))
        return kFailure;
    CString fileName = LogFileName(settings, names[0].c_str());
    settings.Close();
    // A kept file no longer changes: its lines are shown, not followed.
    if (options.kept > 0)
    {
        fileName = NumberedFileName(fileName, static_cast<unsigned long>(options.kept));
        options.seconds = 0;
    }
    const CString folder = LogFolder();
    CString path = folder;
    AppendPath(path, fileName);
    CFile file;
    if (!file.OpenBeneath(folder, fileName, CFile::modeRead | CFile::shareDenyNone))
        return Fail(path + ": " + os::GetErrorText(file.GetLastError()));
    file.Close();
    if (options.colour < 0)
        options.colour = os::EnableTerminalColours() ? 1 : 0;
    Follow(folder, fileName, options);
    return kSuccess;
}

// The library writes into the default file when it refuses the name.
CString CKvlogctl::LogFileName(CKVXMLConfig& settings, const char* application)
{
    CString fileName = settings.GetString(kConfig, "Filename", "");
    CString problem;
    if (fileName.IsEmpty() ||
        !CSettingKey::Find(CSettingKey::kConfig, "Filename")->Check(fileName, problem))
        fileName = GetDefaultLogFileName(application);
    return NormalizePath(fileName);
}

CString CKvlogctl::LogFilePath(CKVXMLConfig& settings, const char* application) const
{
    CString path = LogFolder();
    return AppendPath(path, LogFileName(settings, application));
}

void CKvlogctl::Follow(const CString& folder, const CString& fileName, const TailOptions& options)
{
    CString path = folder;
    AppendPath(path, fileName);
    const bool html = fileName.Find(".htm") > 0;
    CLogFollower follower(folder, fileName);
    CHtmlLogDecoder decoder(html);
    // The lines already there: only the last ones are shown.
    std::deque<CString> earlier;
    bool first = true;
    const DWORD start = os::GetTickCount();
    for (;;)
    {
        std::vector<CString> lines;
        bool restarted = false;
        follower.Poll(lines, restarted);
        if (restarted)
        {
            decoder.Restart();
            m_out << "-- " << path.GetString() << " started again --\n";
        }
        for (const CString& physical : lines)
        {
            CHtmlLogDecoder::Line line;
            if (!decoder.Decode(physical, line))
                continue;
            const CString text = options.colour != 0 ? CHtmlLogDecoder::Colourize(line) : line.text;
            if (!first)
            {
                m_out << text.GetString() << "\n";
                continue;
            }
            earlier.push_back(text);
            if (static_cast<long>(earlier.size()) > options.history)
                earlier.pop_front();
        }
        for (const CString& text : earlier)
            m_out << text.GetString() << "\n";
        earlier.clear();
        first = false;
        m_out.flush();
        if (options.seconds >= 0 &&
            os::GetTickCount() - start >= static_cast<DWORD>(options.seconds) * 1000)
            return;
        os::Sleep(kPollMilliseconds);
    }
}
