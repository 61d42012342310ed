#include "output/CLogFile.h"

#include "OsCodePage.h"
#include "OsDebugOutput.h"
#include "OsFileMapping.h"
#include "OsFileSystem.h"
#include "PathOperations.h"
#include "controller/LogBanner.h"
#include "line/LogFormatting.h"
#include "output/LogFileEmblem.h"

#include <cstdint>
#include <cstring>

namespace
{
const char* const kDocumentHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
    "<html>\r\n"
    "\t<head>\r\n"
    "\t\t<meta http-equiv=\"content-type\" content=\"text/html; charset=";
// The declared charset is the one the text is in, which the platform tells.
const char* const kDocumentHeadAfterCharset =
    "\">\r\n"
    "\t\t<title>Korvel Logfile</title>\r\n"
    "\t\t<meta content=\"False\" name=\"vs_snapToGrid\">\r\n"
    "\t\t<meta content=\"False\" name=\"vs_showGrid\">\r\n"
    "\t\t<style type=\"text/css\">\r\n"
    "\t\t    body, body * {\r\n"
    "\t\t        font-family: Courier, Lucida Console, Consolas, monospace;\r\n"
    "\t\t        font-size: 13px;\r\n"
    "\t\t    }\r\n"
    "\t\t    .header {\r\n"
    "\t\t    }\r\n"
    "\t\t    .header th {\r\n"
    "\t\t        text-align: right;\r\n"
    "\t\t        font-weight: bold;\r\n"
    "\t\t        padding-right: 1em;\r\n"
    "\t\t    }\r\n"
    "\t\t    .log {\r\n"
    "\t\t        margin: 2em 0;\r\n"
    "\t\t    }\r\n"
    "\t\t    .logLine {\r\n"
    "\t\t    }\r\n"
    "\t\t</style>\r\n"
    "\t</head>\r\n"
    "\t<body>\r\n"
    "\t\t<img width=117 height=20 alt=\"\" style=\"float: right; margin: 1em;\" "
    "src=\"data:image/png;base64,";
const char* const kDocumentHeadEnd = "\" />\r\n"
                                     "\t\t<table class=\"header\">";
const char* const kTableEnd = "</table>\r\n<pre class=\"log\">\r\n";
const char* const kFooter = "\t\t</pre>\r\n\t</body>\r\n</html>\r\n";
const char* const kSuiteVersion = "3.74.0720";
const char* const kNotRegistered = "<span style=\"color: red;\">?\?\? not registered ?\?\?</span>";
const char* const kRestartRefused =
    "kvlog: the log file cannot be emptied; it keeps its lines and grows past its size limit\n";
const char* const kLinesLost =
    "kvlog: the log file takes no lines (disk full?); they go to the debugger output until it "
    "takes them again\n";
const char* const kMappedByParent =
    "kvlog: the log file is mapped by the parent process; the lines "
    "of this forked process go to the debugger output\n";
const char* const kCannotMap = "kvlog: the log file cannot be mapped; its lines are written to "
                               "it until it is opened again or reset\n";
const char* const kCannotGrowMapped =
    "kvlog: the mapped log file cannot grow (disk full or file size limit); its lines are "
    "written to it until it is opened again or reset\n";
} // namespace

bool CLogFile::IsHtmlName(const char* path)
{
    return NormalizePath(path).Find(".htm") > 0;
}

bool CLogFile::IsJsonName(const char* path)
{
    return CString(path).Right(6).CompareNoCase(".jsonl") == 0;
}

bool CLogFile::Open(const char* path)
{
    return Open(GetPathDirectory(path), GetPathFileName(path));
}

bool CLogFile::Open(const char* folder, const char* name)
{
    Close();
    m_folder = folder;
    m_name = name;
    m_path = folder;
    AppendPath(m_path, name);
    m_json = IsJsonName(m_path);
    m_html = !m_json && IsHtmlName(m_path);
    m_leftToParent = false;
    m_linesUntilFlush = m_linesToFlush;
    return Start(false);
}

// Opens the file, writes its header and reports a failure once: trying the same again says
// nothing new.
bool CLogFile::Start(bool truncated)
{
    const DWORD error = OpenFile();
    if (error != 0 && (error != m_failure || m_path != m_failedPath))
    {
        WriteBanner(LogBanner::kCouldNotOpenLogfile);
        CString reason;
        reason.Format("Logfile \"%s\": %s\n", m_path.GetString(),
                      os::GetErrorText(error).GetString());
        os::OutputDebugStringA(reason);
    }
    m_failedPath = m_path;
    m_failure = error;
    if (error != 0)
        return false;
    m_open = true;
    m_restartRefused = false;
    m_writeFailing = false;
    m_writingInsteadReported = false;
    m_fileSizeLimit = os::GetFileSizeLimit();
    m_size = 0;
    StartMapping();
    WriteHeader(truncated);
    return true;
}

// The file is emptied only once it is claimed, so that no program empties it under another's
// mapped window. With kept files the program claims it alone, so that it keeps only its own.
DWORD CLogFile::OpenFile()
{
    DWORD error = OpenAndClaim();
    if (error == 0 && m_kept.GetCount() > 0 && m_file.GetLength() > 0)
    {
        m_file.Close();
        KeepFile();
        error = OpenAndClaim();
    }
    if (error != 0 || m_file.SetLength(0))
        return error;
    error = m_file.GetLastError();
    m_file.Close();
    return error != 0 ? error : 1;
}

DWORD CLogFile::OpenAndClaim()
{
    const unsigned flags =
        CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite | CFile::shareDenyNone;
    if (!m_file.OpenBeneath(m_folder, m_name, flags))
        return m_file.GetLastError() != 0 ? m_file.GetLastError() : 1;
    DWORD error = 0;
    bool claimed = false;
    if (m_kept.GetCount() > 0)
        claimed = os::ClaimFileAlone(m_file, error);
    else
        claimed = m_mapping ? os::ClaimFileForMapping(m_file, error)
                            : os::ClaimFileForWriting(m_file, error);
    if (claimed)
        return 0;
    m_file.Close();
    return error != 0 ? error : 1;
}

// A file that cannot be renamed is emptied instead; one notice tells of a run of such failures.
void CLogFile::KeepFile()
{
    DWORD error = 0;
    const bool kept = m_kept.Keep(m_path, error);
    if (!kept && !m_keepRefused)
    {
        CString notice;
        notice.Format("kvlog: the log file \"%s\" cannot be kept (%s); it is emptied instead\n",
                      m_path.GetString(), os::GetErrorText(error).GetString());
        os::OutputDebugStringA(notice);
    }
    m_keepRefused = !kept;
}

void CLogFile::LeaveToParent()
{
    m_leftToParent = true;
    m_fileSizeLimit = os::GetFileSizeLimit();
    m_flusher.LeaveToParent();
    m_mapped.LeaveToParent();
}

void CLogFile::StartMapping()
{
    if (!m_mapping || m_leftToParent || m_mapped.Start(m_file, m_size))
        return;
    m_file.Seek(static_cast<std::int64_t>(m_size), CFile::begin);
    WriteInsteadOfMapping(kCannotMap);
}

// Stopping the mapping cuts the file to its true end, where the writing goes on.
void CLogFile::WriteInsteadOfMapping(const char* notice)
{
    m_mapped.Stop();
    m_size = m_mapped.GetEnd();
    if (!m_writingInsteadReported)
        os::OutputDebugStringA(notice);
    m_writingInsteadReported = true;
}

bool CLogFile::Put(const char* text, int length)
{
    if (m_mapped.IsStarted())
    {
        // The child of a fork cannot know where the parent's lines end.
        if (m_leftToParent)
            return false;
        if (m_mapped.Write(text, static_cast<std::size_t>(length)))
        {
            m_size = m_mapped.GetEnd();
            return true;
        }
        WriteInsteadOfMapping(kCannotGrowMapped);
    }
    return PutWritten(text, length);
}

bool CLogFile::PutWritten(const char* text, int length)
{
    // A write past the limit would raise SIGXFSZ, which ends a program that does not handle it;
    // the limit counts as a full disk instead.
    if (m_fileSizeLimit != UINT64_MAX &&
        GetWritePosition() + static_cast<std::uint64_t>(length) > m_fileSizeLimit)
        return false;
    unsigned appended = 0;
    if (m_file.Write(text, static_cast<unsigned>(length), appended))
    {
        m_size += static_cast<std::uint64_t>(length);
        return true;
    }
    CutTornWrite(appended);
    return false;
}

std::uint64_t CLogFile::GetWritePosition()
{
    // A child shares its position with the parent, which moves it.
    if (!m_leftToParent)
        return m_size;
    const std::int64_t position = m_file.Seek(0, CFile::current);
    return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

// A write that fails part-way (disk full) is cut back to the last whole line, so the file never
// holds a torn line. Only the bytes it appended go, and only while they are the file's last: the
// parent of a forked child, or another program writing the file, may have written behind them.
void CLogFile::CutTornWrite(unsigned appended)
{
    if (appended == 0)
        return;
    const std::uint64_t end = m_file.GetLength();
    const std::int64_t position = m_file.Seek(0, CFile::current);
    if (position >= 0 && static_cast<std::uint64_t>(position) == end &&
        m_file.SetLength(end - appended))
        m_file.Seek(static_cast<std::int64_t>(end - appended), CFile::begin);
    else
        m_size += appended;
}

void CLogFile::Close()
{
    if (!m_open)
        return;
    // Written without a CString: at a Windows process end nothing may allocate.
    if (m_html && !m_leftToParent)
        Put(kFooter, static_cast<int>(std::strlen(kFooter)));
    m_flusher.Stop();
    m_mapped.Stop();
    // A child's lines are the parent's to flush, at its next flush or its close.
    if (!m_leftToParent)
        m_file.Flush();
    m_file.Close();
    m_open = false;
}

void CLogFile::Reset()
{
    if (m_open)
        Restart(false);
}

// A file that cannot be emptied (Windows refuses while another process maps it) keeps its old
// lines: the header is not written over them, and the size limit is not tried again until the
// file is reset or opened anew, so that not every later line pays for a failing restart.
void CLogFile::Restart(bool truncated)
{
    if (m_leftToParent)
        return;
    if (m_kept.GetCount() > 0)
    {
        // The file ends as at its closing, and is kept.
        Close();
        Start(truncated);
        return;
    }
    // Windows shortens no file while it is mapped.
    const bool mapped = m_mapped.IsStarted();
    m_mapped.Stop();
    m_file.Flush();
    if (!m_file.SetLength(0))
    {
        // A mapping's end is exact; a direct write's may have been lost with a failed write.
        if (!mapped)
        {
            m_file.SeekToEnd();
            m_size = m_file.GetLength();
        }
        StartMapping();
        if (!m_restartRefused)
            os::OutputDebugStringA(kRestartRefused);
        m_restartRefused = true;
        return;
    }
    m_restartRefused = false;
    m_size = 0;
    m_file.Seek(0, CFile::begin);
    StartMapping();
    WriteHeader(truncated);
}

bool CLogFile::WriteLine(const char* formattedLine, unsigned long colour)
{
    return WriteLine(formattedLine, static_cast<int>(std::strlen(formattedLine)), colour);
}

bool CLogFile::WriteLine(const char* formattedLine, int length, unsigned long colour)
{
    if (!BeginEntry())
        return false;
    if (length > 0 && formattedLine[length - 1] == '\n')
        --length;
    if (m_html)
        AppendHtmlEntry(formattedLine, length, colour);
    else
        m_entry.Append(formattedLine, length);
    m_entry.Append("\r\n", 2);
    return EndEntry();
}

// JSON Lines end each line with LF alone.
bool CLogFile::WriteLine(const CJsonLineFields& fields)
{
    if (!BeginEntry())
        return false;
    m_jsonRenderer.Render(fields, m_entry);
    m_entry.Append('\n');
    return EndEntry();
}

// A restart that keeps the file may fail to open the new one.
bool CLogFile::BeginEntry()
{
    if (m_open && !m_restartRefused && m_size > m_maxFileSize)
        Restart(true);
    m_entry.Empty();
    return m_open;
}

bool CLogFile::EndEntry()
{
    // The whole entry in one write: the line is in the system's hands when the call returns.
    if (!WriteEntry())
        return false;
    if (--m_linesUntilFlush == 0)
    {
        m_linesUntilFlush = m_linesToFlush;
        if (m_mapped.IsStarted())
            m_flusher.Flush(&CMappedLogWriter::FlushToDevice, &m_mapped);
        else
            m_flusher.Flush(m_file);
    }
    return true;
}

bool CLogFile::WriteEntry()
{
    if (Put(m_entry.GetData(), m_entry.GetLength()))
    {
        m_writeFailing = false;
        return true;
    }
    if (!m_writeFailing)
        os::OutputDebugStringA(m_leftToParent && m_mapped.IsStarted() ? kMappedByParent
                                                                      : kLinesLost);
    m_writeFailing = true;
    return false;
}

void CLogFile::AppendHtmlEntry(const char* text, int length, unsigned long colour)
{
    static const char kOpen[] = "<span class=\"logLine\"";
    static const char kColour[] = " style=\"color: #";
    static const char kClose[] = "</span>";
    m_entry.Append(kOpen, static_cast<int>(sizeof(kOpen)) - 1);
    if (colour != 0)
    {
        m_entry.Append(kColour, static_cast<int>(sizeof(kColour)) - 1);
        char digits[24];
        m_entry.Append(digits, static_cast<int>(PutHex(digits, colour, 6) - digits));
        m_entry.Append('"');
    }
    m_entry.Append('>');
    const char* run = text;
    const char* const end = text + length;
    while (const char* less =
               static_cast<const char*>(std::memchr(run, '<', static_cast<std::size_t>(end - run))))
    {
        m_entry.Append(run, static_cast<int>(less - run));
        m_entry.Append("&lt;", 4);
        run = less + 1;
    }
    m_entry.Append(run, static_cast<int>(end - run));
    m_entry.Append(kClose, static_cast<int>(sizeof(kClose)) - 1);
}

void CLogFile::WriteHeaderRow(const char* label, const char* value, bool tableForm)
{
    if (!m_open || m_json)
        return;
    CString row;
    if (!m_html)
        row.Format("%s %s\r\n", label, value);
    else if (tableForm)
        row.Format("<tr><th>%s</th><td>%s</td></tr>\r\n", label, value);
    else
        row.Format("<div><strong>%s</strong> %s</div>\r\n", label, value);
    Write(row);
}

void CLogFile::WriteLevelRow(bool tableForm)
{
    CString level;
    level.Format("0x%08lX", m_masterLevel);
    WriteHeaderRow("Level:", level, tableForm);
}

void CLogFile::WriteHeader(bool truncated)
{
    if (m_json)
        return;
    if (m_html)
        Write(CString(kDocumentHead) + os::GetTextCharsetName() + kDocumentHeadAfterCharset +
              kLogFileEmblemBase64 + kDocumentHeadEnd);
    const CString version(kSuiteVersion);
    CString versionText;
    versionText.Format("%s (Build %s)", version.Left(4).GetString(), version.Mid(5, 4).GetString());
    WriteHeaderRow("KRVT Version:", versionText, true);
    WriteHeaderRow("KRVTC RootDir:", m_facts.GetSuiteRootDir(), true);
    WriteHeaderRow("Executable:", m_facts.GetExecutable(), true);
    const CString control = m_facts.GetActiveXControl();
    WriteHeaderRow("ActiveX Control:", control.IsEmpty() ? CString(kNotRegistered) : control, true);
    WriteHeaderRow("Logfile created at:", m_facts.GetCreationTime(), true);
    if (truncated)
        WriteHeaderRow("Truncation info:", "log file reset due to exceeded size", true);
    WriteLevelRow(true);
    WritePlatformRows();
    if (m_html)
        Write(kTableEnd);
}

void CLogFile::WritePlatformRows()
{
    const CString target = m_facts.GetTargetPlatform();
    const CString running = m_facts.GetRunningPlatform();
    if (!running.IsEmpty() && running != target)
    {
        WriteHeaderRow("Compat. Platform:", target, true);
        WriteHeaderRow("Running Platform:", running, true);
    }
    else
        WriteHeaderRow("Platform:", target, true);
}

void CLogFile::Write(const CString& text)
{
    // A failed write (disk full, lost handle) has no remedy here; the next line tries again.
    Put(text.GetString(), text.GetLength());
}
