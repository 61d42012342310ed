#include "InstallationFacts.h"

#include "CULRegistry.h"
#include "PathOperations.h"

#include <mutex>

namespace
{
const char kActiveXClassId[] = "{6F1D2A90-3B4C-4E5D-8A7B-1C2D3E4F5A6B}";
const char kActiveXFileName[] = "Q5300.ocx";
const char kMarkerFile[] = "RVT.exe";
const char kCtrlFolder[] = "ctrl";

// Guarded so that concurrent first callers compute the root once; later calls only copy it.
struct SuiteRootCache
{
    std::mutex mutex;
    bool computed = false;
    CString root;
};

SuiteRootCache& Cache()
{
    static SuiteRootCache cache;
    return cache;
}

bool IsAutoDetectValue(const CString& value)
{
    return !value.IsEmpty() && value != "0" && value != "false" && value != "FALSE";
}

CString ComputeSuiteRoot()
{
    CString dataFolder = GetEnvironmentValue("ALLUSERSPROFILE");
    AppendPath(dataFolder, "korvel");
    const CString detectedProgram = ValidateSuiteRoot(GetFullPath(GetModuleDirectory()));
    const CString detectedControl = ValidateSuiteRoot(NormalizePath(GetActiveXControlDir()));
    const CString fromVariable =
        ValidateSuiteRoot(NormalizePath(GetEnvironmentValue("KORVEL_ROOT_DIR")));

    CString root = NormalizePath(dataFolder);
    if (!detectedProgram.IsEmpty())
        root = detectedProgram;
    else if (!detectedControl.IsEmpty())
        root = detectedControl;
    if (!fromVariable.IsEmpty() && !IsAutoDetectEnabled())
        root = fromVariable;
    return root;
}
} // namespace

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
    return IsAutoDetectValue(GetEnvironmentValue("KORVEL_ROOT_DIR_AUTO_DETECT"));
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

CString GetActiveXControlPath()
{
    CString keyPath;
    keyPath.Format("CLSID\\%s\\InprocServer32", kActiveXClassId);
    CULRegistry registry;
    CString value;
    if (!registry.Open(HKEY_CLASSES_ROOT, keyPath, KEY_READ, "\\") ||
        !registry.GetString(nullptr, value))
        return CString();
    return value;
}

CString GetActiveXControlDir()
{
    const CString file = GetActiveXControlPath();
    if (GetPathFileName(file).CompareNoCase(kActiveXFileName) != 0)
        return CString();
    return GetPathDirectory(NormalizePath(file));
}
