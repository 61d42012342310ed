#include "InstallationFacts.h"

#include "CULRegistry.h"
#include "OsDebugOutput.h"
#include "OsEnvironment.h"
#include "OsFileSystem.h"
#include "PathOperations.h"

#include <mutex>

namespace
{
const char kActiveXClassId[] = "{6F1D2A90-3B4C-4E5D-8A7B-1C2D3E4F5A6B}";
const char kActiveXFileName[] = "Q5300.ocx";
const char kMarkerFile[] = "RVT.exe";
const char kCtrlFolder[] = "ctrl";
const char kRootVariable[] = "KORVEL_ROOT_DIR";
const char kAutoDetectVariable[] = "KORVEL_ROOT_DIR_AUTO_DETECT";

// Guarded so that concurrent first callers compute the root once; later calls only copy it.
struct SuiteRootCache
{
    std::mutex mutex;
    bool computed = false;
    CString root;
};

// Never destroyed: threads that still create components while the process ends read it after the
// static destructors ran.
SuiteRootCache& Cache()
{
    static SuiteRootCache& cache = *new SuiteRootCache;
    return cache;
}

bool IsAutoDetectValue(const CString& value)
{
    return !value.IsEmpty() && value != "0" && value != "false" && value != "FALSE";
}

bool IsFolder(const char* path)
{
    const DWORD attributes = os::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void ReportRootVariablePassedOver(const CString& value, const CString& reason)
{
    CString text;
    text.Format("%s \"%s\" passed over: %s\n", kRootVariable, value.GetString(),
                reason.GetString());
    os::OutputDebugStringA(text);
}

// Why a KORVEL_ROOT_DIR that did not validate is no root.
CString InvalidRootReason(const CString& folder)
{
    if (os::GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES)
        return "no such folder";
    if (!IsFolder(folder))
        return "not a folder";
    CString marker;
    marker.Format("it holds no %s%c%s", kCtrlFolder, os::kPathSeparator, kMarkerFile);
    return marker;
}

// The control's server file in one view of the registry (0: the process's own), or "".
CString ReadControlServer(DWORD view)
{
    CString keyPath;
    keyPath.Format("CLSID\\%s\\InprocServer32", kActiveXClassId);
    CULRegistry registry;
    CString value;
    if (!registry.Open(HKEY_CLASSES_ROOT, keyPath, KEY_READ | view, "\\") ||
        !registry.GetString(nullptr, value))
        return CString();
    return value;
}

CString ComputeSuiteRoot()
{
    const CString detectedProgram = ValidateSuiteRoot(GetFullPath(GetModuleDirectory()));
    const CString detectedControl = ValidateSuiteRoot(NormalizePath(GetActiveXControlDir()));
    const CString variable = GetEnvironmentValue(kRootVariable);
    const CString fromVariable = ValidateSuiteRoot(NormalizePath(variable));

    CString root = GetSuiteDataFolder();
    if (!detectedProgram.IsEmpty())
        root = detectedProgram;
    else if (!detectedControl.IsEmpty())
        root = detectedControl;
    if (fromVariable.IsEmpty())
    {
        if (!CString(variable).Trim().IsEmpty())
            ReportRootVariablePassedOver(variable, InvalidRootReason(NormalizePath(variable)));
    }
    else if (!IsAutoDetectEnabled())
        root = fromVariable;
    else if (fromVariable != root)
        ReportRootVariablePassedOver(variable, CString(kAutoDetectVariable) + " is set");
    return root;
}

// Each missing folder of the path, the outermost first.
bool CreatePrivateFolders(const CString& path)
{
    if (IsFolder(path))
        return true;
    const CString parent = GetPathDirectory(path);
    if (!parent.IsEmpty() && parent != path)
        CreatePrivateFolders(parent);
    return os::CreatePrivateDirectory(path) || IsFolder(path);
}
} // namespace

void PrepareSuiteRootCache()
{
    Cache();
}

bool TryLockSuiteRootCacheForFork()
{
    return Cache().mutex.try_lock();
}

void UnlockSuiteRootCacheAfterFork()
{
    Cache().mutex.unlock();
}

CString GetSuiteRootDir()
{
    SuiteRootCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    if (!cache.computed)
    {
        cache.root = ComputeSuiteRoot();
        cache.computed = true;
    }
    return cache.root;
}

bool SetSuiteRootDir(const char* candidate)
{
    const CString root = ValidateSuiteRoot(candidate);
    if (root.IsEmpty())
        return false;
    SuiteRootCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.root = root;
    cache.computed = true;
    return true;
}

void ResetSuiteRootCache()
{
    SuiteRootCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.root.Empty();
    cache.computed = false;
}

CString ValidateSuiteRoot(const char* candidate)
{
    CString trimmed(candidate);
    if (trimmed.Trim().IsEmpty())
        return CString();
    CString folder = NormalizePath(candidate);
    CString marker = folder;
    AppendPath(marker, kCtrlFolder);
    if (FileExists(AppendPath(marker, kMarkerFile)))
        return GetFullPath(folder);
    CString inCtrl = folder;
    if (GetPathFileName(folder) == kCtrlFolder && FileExists(AppendPath(inCtrl, kMarkerFile)))
        return GetFullPath(AppendPath(folder, ".."));
    return CString();
}

bool IsAutoDetectEnabled()
{
    return IsAutoDetectValue(GetEnvironmentValue(kAutoDetectVariable));
}

CString GetSuiteCtrlDir()
{
    CString path = GetSuiteRootDir();
    return AppendPath(path, kCtrlFolder);
}

CString GetSuiteLogDir()
{
    CString path = GetSuiteRootDir();
    return AppendPath(path, "log");
}

CString GetSettingsFilePath(const char* logFolder, const char* application)
{
    CString path(logFolder);
    AppendPath(path, "xdb_" + ReplaceSpaces(application));
    return AppendExtension(path, "xdb");
}

CString GetDefaultLogFileName(const char* application)
{
    return "log_" + ReplaceSpaces(application) + ".htm";
}

CString GetSuiteDataFolder()
{
    CString folder = os::GetDataFolderParent();
    return NormalizePath(AppendPath(folder, "korvel"));
}

bool PrepareSuiteLogDir()
{
    const CString logFolder = GetSuiteLogDir();
    if (IsFolder(logFolder))
        return true;
    const CString root = GetSuiteRootDir();
    // A relative root (no home folder at all) would put folders wherever the program runs.
    if (!os::kDataFolderIsUsers || root != GetSuiteDataFolder() || GetFullPath(root) != root)
        return false;
    return CreatePrivateFolders(logFolder);
}

CString GetActiveXControlPath()
{
    // An in-process control for 32-bit programs registers in the 32-bit view, so a 64-bit
    // process also looks there when its own view has none; a 32-bit process sees its own view.
    const CString path = ReadControlServer(0);
    if (!path.IsEmpty() || sizeof(void*) < 8)
        return path;
    return ReadControlServer(KEY_WOW64_32KEY);
}

CString GetActiveXControlDir()
{
    const CString file = GetActiveXControlPath();
    if (GetPathFileName(file).CompareNoCase(kActiveXFileName) != 0)
        return CString();
    return GetPathDirectory(NormalizePath(file));
}
