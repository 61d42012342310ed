// Helpers shared by the test programs.
#pragma once

#include "CString.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kvtest
{
// A path written with backslashes, in the separator of the platform under test.
CString NativePath(const char* backslashPath);

// Polls the condition until it holds or the deadline passes; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);

// A program built beside this test program, with the same extension ("" when it cannot be told).
CString SiblingProgram(const char* name);

// How often part stands in text, overlapping places counted.
int CountOf(const std::string& text, const std::string& part);

std::string ReadWholeFile(const char* path);
void WriteWholeFile(const char* path, const std::string& content);

#ifndef _WIN32
// Runs body in a forked child whose file size limit is limit bytes, with SIGXFSZ ignored, so that
// a write past it fails as on a full disk; body may call lift to take the limit away again. True
// when the child's body returned true within the deadline.
using LiftLimit = std::function<void()>;
bool RunWithFileSizeLimit(std::uint64_t limit,
                          const std::function<bool(const LiftLimit& lift)>& body);
// Runs body in a forked child and hands back the text it returned. False when the child had not
// ended by the deadline (it is killed then), so that a call that blocks fails the test instead
// of stalling it.
bool RunInChild(const std::function<std::string()>& body, std::string& text,
                int deadlineMilliseconds = 10000);
#endif

// True in a Windows program that Wine runs.
bool RunningUnderWine();

// A symbolic link at link to target (a file or a folder); false where none can be made. Wine's
// Windows call makes none, so there it is the system's own link, which Wine follows.
bool MakeSymbolicLink(const char* target, const char* link, bool folder);

// A fresh folder below the system's temporary folder, removed with its contents at the end.
class TempDir
{
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const CString& Path() const { return m_path; }
    // The path of an entry below the folder; the relative part may use backslashes.
    CString Sub(const char* relative) const;
    // Creates the file (and its folders) with the given content and returns its path.
    CString MakeFile(const char* relative, const std::string& content = std::string()) const;
    CString MakeDir(const char* relative) const;
    static void RemoveFile(const char* path);

private:
    CString m_path;
};

// Sets an environment variable (null removes it) and restores the old state at the end.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const char* value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::string m_name;
    std::string m_oldValue;
    bool m_wasSet;
};

// A scratch suite installation, its marker program and its log and work folders made, that
// KORVEL_ROOT_DIR names.
class TempSuite : public TempDir
{
public:
    TempSuite();

private:
    ScopedEnvironment m_rootVariable;
};
} // namespace kvtest
