#include "KvlogTestFixture.h"
#include "line/CHexDumpFormatter.h"

#include <string>

namespace
{
class DumpsTest : public KvlogTest
{
protected:
    // The dump of m_bytes in one row after the heading, or below a message in indented rows.
    std::string Dump(bool below) const
    {
        const std::string heading = "Dump: 0x" + CHexDumpFormatter::FormatAddress(m_bytes).str();
        const std::string cells = "0x68, 0x69, " + std::string(14 * 6, ' ') + "hi\n";
        return below ? "\r\n\t\t\t" + heading + "[2] ->\r\n\t\t\t" + cells
                     : heading + "[2] ->\t" + cells;
    }

    const unsigned char m_bytes[2] = {'h', 'i'};
};
} // namespace

// The six dump members carry their messages and IDs. A composed line comes out whole at its end,
// after a dump made inside it; without messages, or started again, what was composed gives no
// line. A block's start and end each pass the level test on their own.
TEST_F(DumpsTest, DumpsComposedLinesAndBlocks)
{
    StartLogging("LEVELSTRING|ID|MESSAGE");
    m_first->LogDump(LOG_ERROR, m_bytes, 2, "n=%d", 5);
    m_first->LogDumpID(LOG_ERROR, "A7", m_bytes, 2, nullptr);
    m_first->LogDumpID(LOG_ERROR, 42ul, m_bytes, 2, "x");
    m_first->LogFuncDump("f.cpp", 12, "Read", 1, "Error", m_bytes, 2, nullptr);
    m_first->LogFuncDumpID("f.cpp", 12, "Read", 1, "Error", "B", m_bytes, 2, "got %s", "it");

    m_first->LogStartLine();
    m_first->LogID(LOG_WARNING, "first", "a");
    m_first->LogDump(LOG_ERROR, m_bytes, 2, "dump");
    m_first->Log(LOG_INFORMATION, "b");
    m_first->LogEndLine("f.cpp", 1, "f");
    m_first->LogStartLine();
    static_cast<CLogComponentInterface&>(*m_first).hlpSetLevel(0x3);
    m_first->Log(LOG_INFORMATION, "masked by the component");
    m_first->LogEndLine("f.cpp", 1, "f");
    m_first->LogDump(LOG_INFORMATION, m_bytes, 2, "masked by the component");
    m_first->LogStartLine();
    m_first->Log(LOG_ERROR, "lost");
    m_first->LogStartLine();
    m_first->Log(LOG_ERROR, "kept");
    m_first->LogEndLine("f.cpp", 1, "f");

    m_first->LogStartBlock(LOG_DEBUG);
    m_first->LogStartBlock(LOG_ERROR);
    m_first->LogStartBlock();
    m_first->Log(LOG_ERROR, "x");
    m_first->LogEndBlock();
    m_first->LogEndBlock(LOG_DEBUG);
    EXPECT_EQ(1u, CLogControlTestPeer::GetBlockDepth());
    m_first->LogEndBlock(LOG_WARNING);
    EXPECT_EQ(0u, CLogControlTestPeer::GetBlockDepth());
    EXPECT_EQ("Error||n=5" + Dump(true) + "Error|A7|" + Dump(false) + "Error|42|x" + Dump(true) +
                  "Error||Read(12)" + Dump(true) + "Error|B|Read(12) got it" + Dump(true) +
                  "Error||dump" + Dump(true) + "Information|first|ab\nError||kept\nError||    x\n",
              Output());
}
