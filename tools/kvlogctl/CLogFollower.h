// Follows a log file that its program keeps writing: each poll hands out the lines completed since
// the last one. The program empties the file and starts it again past its size limit or on a
// reset; a file shorter than what was read, or whose bytes before the read position changed,
// counts as started again and is read from its beginning. Reading stops at the first NUL byte,
// which no line holds: a mapped file has zeros past its last line while it is open.
#pragma once

#include "CString.h"

#include <cstdint>
#include <string>
#include <vector>

class CLogFollower
{
public:
    // The file name lies below the folder, which other accounts may share (CFile::OpenBeneath).
    CLogFollower(const char* folder, const char* name) : m_folder(folder), m_name(name) {}

    // The complete lines added since the last poll, without their line ends. restarted tells
    // that the file began again, so these lines come from its beginning. False when the file
    // cannot be read now (it may come back).
    bool Poll(std::vector<CString>& lines, bool& restarted);

private:
    // How many bytes before the read position are remembered to notice a new file.
    static constexpr std::size_t kWitnessBytes = 64;

    bool ReadRange(std::uint64_t from, std::uint64_t to, std::string& bytes) const;

    CString m_folder;
    CString m_name;
    std::uint64_t m_offset = 0;
    std::string m_witness;
};
