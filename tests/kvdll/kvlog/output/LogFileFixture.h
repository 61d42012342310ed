// A log file in a folder of the test's own, with the header facts of a made-up installation, the
// same on every machine, for tests that compare a log file's bytes.
#pragma once

#include "TestSupport.h"
#include "output/CLogFile.h"

#include <gtest/gtest.h>

#include <string>

class LogFileFixture : public ::testing::Test
{
public:
    static constexpr char kFooter[] = "\t\t</pre>\r\n\t</body>\r\n</html>\r\n";

protected:
    class CFixedHeaderFacts : public CLogHeaderFacts
    {
    public:
        CString GetSuiteRootDir() override { return "C:\\suite"; }
        CString GetExecutable() override { return "C:\\suite\\ctrl\\app.exe"; }
        CString GetActiveXControl() override { return control; }
        CString GetCreationTime() override { return "Tuesday, March 14, 1995 12:41:29"; }
        CString GetTargetPlatform() override { return target; }
        CString GetRunningPlatform() override { return running; }

        CString control = "C:\\suite\\ctrl\\Q5300.ocx";
        CString target = "Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045";
        CString running;
    };

    std::string Contents(const char* name) const { return kvtest::ReadWholeFile(dir.Sub(name)); }
    // The text after the header table, up to the end of the file; none in a plain text file.
    std::string Body(const char* name) const
    {
        const std::string text = Contents(name);
        const std::size_t at = text.find("<pre class=\"log\">\r\n");
        return at == std::string::npos ? std::string() : text.substr(at + 19);
    }

    kvtest::TempDir dir;
    CFixedHeaderFacts facts;
    CLogFile file{facts};
};
