// A file's version block as the version API hands it out, held for one round of queries.
#pragma once

#include <vector>

class CULVersionBlock
{
public:
    // False when the file cannot be read or has no version resource.
    bool Read(const char* path);
    bool IsRead() const { return !m_data.empty(); }
    // A value by its path in the block; false when it is missing or nothing was read.
    bool Query(const char* subBlock, void** value, unsigned* length);

private:
    std::vector<char> m_data;
};
