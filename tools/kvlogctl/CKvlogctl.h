// The operator tool's commands over the settings and log files of the suite's programs. Every
// read and write of a settings file goes through the suite's settings database, with the
// exclusive opens and retries that the library uses, so a running program applies a change at
// its next check of the file, within about a second.
#pragma once

#include "CKVXMLConfig.h"
#include "CString.h"

#include <ostream>
#include <string>
#include <vector>

class CKvlogctl
{
public:
    enum ExitCode
    {
        kSuccess = 0,
        kFailure = 1,
        kBadUsage = 2
    };

    CKvlogctl(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // The arguments after the program's name.
    int Run(const std::vector<std::string>& arguments);

    static const char* HelpText();

private:
    struct TailOptions
    {
        long history = 10;
        // -1: until interrupted.
        long seconds = -1;
        // -1: when standard output is a terminal.
        int colour = -1;
        // 0: the log file itself; else the number of a kept file.
        long kept = 0;
    };

    int List(const std::vector<std::string>& arguments);
    int Show(const std::vector<std::string>& arguments);
    int Level(const std::vector<std::string>& arguments);
    int Set(const std::vector<std::string>& arguments);
    int Tail(const std::vector<std::string>& arguments);
    int Check(const std::vector<std::string>& arguments);
    void Follow(const CString& folder, const CString& fileName, const TailOptions& options);

    CString LogFolder() const;
    // The application's log file as its settings name it, in the log folder.
    static CString LogFileName(CKVXMLConfig& settings, const char* application);
    CString LogFilePath(CKVXMLConfig& settings, const char* application) const;
    // Opens the application's existing settings file; on failure says why and returns false.
    bool OpenSettings(const char* application, CKVXMLConfig& settings);
    int SaveSettings(CKVXMLConfig& settings, const CString& what);
    int Fail(const CString& message);
    int Usage(const CString& message);

    std::ostream& m_out;
    std::ostream& m_err;
    CString m_root;
};
