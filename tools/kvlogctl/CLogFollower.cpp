#include "CLogFollower.h"

#include "CFile.h"

#include <algorithm>
#include <cstdint>

bool CLogFollower::ReadRange(std::uint64_t from, std::uint64_t to, std::string& bytes) const
{
    CFile file;
    if (!file.OpenBeneath(m_folder, m_name, CFile::modeRead | CFile::shareDenyNone))
        return false;
    const std::uint64_t end = std::min<std::uint64_t>(to, file.GetLength());
    bytes.clear();
    if (end <= from)
        return true;
    bytes.resize(static_cast<std::size_t>(end - from));
    if (file.Seek(static_cast<std::int64_t>(from), CFile::begin) < 0)
        return false;
    bytes.resize(file.Read(&bytes[0], static_cast<unsigned>(bytes.size())));
    return true;
}

bool CLogFollower::Poll(std::vector<CString>& lines, bool& restarted)
{
    lines.clear();
    restarted = false;
    std::string witness;
    if (!ReadRange(m_offset - m_witness.size(), m_offset, witness))
        return false;
    if (witness != m_witness)
    {
        restarted = m_offset != 0;
        m_offset = 0;
        m_witness.clear();
    }
    std::string added;
    if (!ReadRange(m_offset, UINT64_MAX, added))
        return false;
    // A mapped file holds zeros past its last line, and a line being copied may show its end
    // before its middle: what follows the first NUL waits for the next poll.
    added.resize(std::min(added.find('\0'), added.size()));
    const std::size_t complete = added.rfind('\n');
    if (complete == std::string::npos)
        return true;
    std::size_t start = 0;
    for (std::size_t end; start <= complete && (end = added.find('\n', start)) != std::string::npos;
         start = end + 1)
    {
        std::size_t length = end - start;
        if (length > 0 && added[end - 1] == '\r')
            --length;
        lines.emplace_back(added.substr(start, length));
    }
    m_offset += complete + 1;
    const std::string tail = m_witness + added.substr(0, complete + 1);
    m_witness = tail.substr(tail.size() - std::min<std::size_t>(kWitnessBytes, tail.size()));
    return true;
}
