// The log file of a process: an HTML document (plain text when the name holds no ".htm" after its
// first character) with a head, a table of installation and platform facts, one span per line in
// the line's colour, and a footer; or, for a name ending in ".jsonl", one JSON object per line
// (CJsonLineRenderer) and nothing else. It starts anew at each opening, past its size limit and on
// a reset: emptied, or renamed to a kept file when earlier files are kept. Flushed every so many
// lines.
// Not thread-safe: the controller calls it under its lock.
#pragma once

#include "CFile.h"
#include "CString.h"
#include "FrameworkTypes.h"
#include "line/CLineBuffer.h"
#include "output/CJsonLineRenderer.h"
#include "output/CKeptLogFiles.h"
#include "output/CLogFileFlusher.h"
#include "output/CLogHeaderFacts.h"
#include "output/CMappedLogWriter.h"

#include <cstdint>

class CLogFile
{
public:
    // The facts are not owned and must outlive the file.
    explicit CLogFile(CLogHeaderFacts& facts) : m_facts(facts) {}
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;
    // Closes the file with its footer.
    ~CLogFile() { Close(); }

    // Closes an open file first, then creates, empties or keeps (renames) the file name below the
    // folder and writes its header. The folder is shared with other accounts: nothing at the name or on its
    // way may redirect or block the open (CFile::OpenBeneath). On failure the "Could not open or
    // create Logfile" banner and the path with the reason go to the debugger output, once for
    // failures of the same file for the same reason in a row.
    bool Open(const char* folder, const char* name);
    // The same with the folder that holds the file.
    bool Open(const char* path);
    // Footer (HTML), flush and close; nothing when no file is open.
    void Close();
    // Starts the open file anew (emptied or kept) with a new header, without the truncation row.
    void Reset();
    // One entry per formatted line (its final LF is dropped), written in one piece, so that a
    // crash of the host program loses no line already logged. False when the file did not take
    // the line (no file open, disk full); the first such line of a run of failures sends one
    // notice to the debugger output.
    bool WriteLine(const char* formattedLine, int length, unsigned long colour);
    bool WriteLine(const char* formattedLine, unsigned long colour);
    // The line of a JSON file, ended by LF alone.
    bool WriteLine(const CJsonLineFields& fields);
    // The "Level:" row with the master level; the non-table form lands between the log lines.
    void WriteLevelRow(bool tableForm);
    void WriteHeaderRow(const char* label, const char* value, bool tableForm);
    // In the child of a fork: the file stays the parent's, which goes on writing it, so the child
    // adds lines but neither empties it nor writes its footer.
    void LeaveToParent();

    bool IsOpen() const { return m_open; }
    bool IsHtml() const { return m_html; }
    bool IsJson() const { return m_json; }
    const CString& GetPath() const { return m_path; }
    DWORD GetLinesUntilFlush() const { return m_linesUntilFlush; }
    const CLogFileFlusher& GetFlusher() const { return m_flusher; }

    void SetMaxFileSize(DWORD bytes) { m_maxFileSize = bytes; }
    // Takes effect at the next flush or opening. 0 means: flush after 2^32 lines.
    void SetLinesToFlush(DWORD lines) { m_linesToFlush = lines; }
    void SetMasterLevel(unsigned long level) { m_masterLevel = level; }
    // Lines copied into a mapping of the file (CMappedLogWriter) instead of written; takes effect
    // at the next opening. Where the system maps no file, or the mapped file cannot grow, lines
    // are written as usual (one notice) until the next opening or reset tries the mapping again.
    void SetMapping(bool mapping) { m_mapping = mapping; }
    // With a count of 1 or more the file is renamed instead of emptied, at its opening, at the
    // size limit and on a reset (CKeptLogFiles), and only a program that holds the file alone
    // opens it.
    void SetKeptFiles(unsigned long count) { m_kept.SetCount(count); }
    bool IsMapped() const { return m_mapped.IsStarted(); }

    static bool IsHtmlName(const char* path);
    // Ends in ".jsonl", in any case.
    static bool IsJsonName(const char* path);

private:
    void WriteHeader(bool truncated);
    void WritePlatformRows();
    void Restart(bool truncated);
    // The line as a span in its colour, with "<" as "&lt;", in one pass into the entry.
    void AppendHtmlEntry(const char* text, int length, unsigned long colour);
    void Write(const CString& text);
    // The size limit, then an empty entry; false when no file is open (any more).
    bool BeginEntry();
    // Writes the entry and counts it towards the next flush.
    bool EndEntry();
    bool WriteEntry();
    // Opens the file at the folder and name, writes its header and reports a failure.
    bool Start(bool truncated);
    // The open, beneath the folder, which for a mapping empties the file only once this process
    // holds it, and keeps it first when files are kept; 0 or the system's error code.
    DWORD OpenFile();
    DWORD OpenAndClaim();
    void KeepFile();
    void StartMapping();
    void WriteInsteadOfMapping(const char* notice);
    // Hands the bytes to the mapping or to the system and keeps the file's size, so that the size
    // limit asks the system nothing. Nothing of text stays in the file when it is refused.
    bool Put(const char* text, int length);
    bool PutWritten(const char* text, int length);
    // Where the next write lands.
    std::uint64_t GetWritePosition();
    void CutTornWrite(unsigned appended);

    CLogHeaderFacts& m_facts;
    CFile m_file;
    CMappedLogWriter m_mapped;
    CLogFileFlusher m_flusher;
    CString m_folder;
    CString m_name;
    CString m_path;
    // The last opening that failed and was reported, so that trying it again says nothing new.
    CString m_failedPath;
    DWORD m_failure = 0;
    bool m_open = false;
    bool m_html = false;
    bool m_json = false;
    bool m_restartRefused = false;
    bool m_leftToParent = false;
    bool m_writeFailing = false;
    bool m_mapping = false;
    bool m_keepRefused = false;
    bool m_writingInsteadReported = false;
    // Read at each opening and restart (and in the child of a fork), not at each line.
    std::uint64_t m_fileSizeLimit = UINT64_MAX;
    DWORD m_maxFileSize = 100000000;
    DWORD m_linesToFlush = 100;
    DWORD m_linesUntilFlush = 0;
    std::uint64_t m_size = 0;
    unsigned long m_masterLevel = 15;
    CLineBuffer m_entry;
    CJsonLineRenderer m_jsonRenderer;
    CKeptLogFiles m_kept;
};
