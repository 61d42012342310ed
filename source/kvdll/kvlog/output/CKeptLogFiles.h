// The earlier files of a log file, each under the file's name with a number before its extension
// ("log_App.1.htm"): keeping the file makes it number 1, number 1 becomes number 2, and so on up
// to the number kept, whose file is replaced. Every rename stays inside the file's folder and
// moves only a regular file with one link (os::MoveFileInFolder).
#pragma once

#include "FrameworkTypes.h"

class CKeptLogFiles
{
public:
    static const unsigned long kMaxCount = 99;

    // Counts above kMaxCount keep kMaxCount; 0 keeps nothing.
    void SetCount(unsigned long count) { m_count = count < kMaxCount ? count : kMaxCount; }
    unsigned long GetCount() const { return m_count; }
    // Moves the kept files one number up and the closed file at the path to number 1. A kept
    // file that cannot be moved stays where it is. False, with the system's error code, when the
    // file itself could not be moved; it then stays as well.
    bool Keep(const char* path, DWORD& error) const;

private:
    unsigned long m_count = 0;
};
