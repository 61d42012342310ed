#include "CLogTemplate.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using Field = CLogTemplate::Field;

class TemplateTest : public ::testing::Test
{
protected:
    // Parses the template and renders every used field with a value of its own.
    std::string Render(const char* format)
    {
        m_template.Parse(format);
        SetText(CLogTemplate::kComponent, "Motor");
        SetText(CLogTemplate::kFile, "motor.cpp");
        SetDecimal(CLogTemplate::kLine, 17);
        SetText(CLogTemplate::kFunction, "Move");
        SetDecimal(CLogTemplate::kLevel, 3);
        SetText(CLogTemplate::kLevelString, "Information");
        SetText(CLogTemplate::kId, "ID1");
        SetText(CLogTemplate::kSpaceId, "ID1");
        SetText(CLogTemplate::kIdMessage, "ID1 msg");
        SetText(CLogTemplate::kMessage, "msg");
        SetText(CLogTemplate::kTime, "10:11:12.013");
        SetDecimal(CLogTemplate::kTimestamp, 99);
        SetText(CLogTemplate::kDateTime, "2024-01-02 10:11:12.013");
        SetDecimal(CLogTemplate::kThread, 6700);
        SetHex(CLogTemplate::kThreadX, 0x1A2C);
        return m_template.FormatLine().str();
    }
    void SetText(Field field, const char* value)
    {
        if (CLogControl::CLogString* slot = m_template.GetSlot(field))
            slot->SetText(value);
    }
    void SetDecimal(Field field, unsigned long value)
    {
        if (CLogControl::CLogString* slot = m_template.GetSlot(field))
            slot->SetDecimal(value);
    }
    void SetHex(Field field, unsigned long value)
    {
        if (CLogControl::CLogString* slot = m_template.GetSlot(field))
            slot->SetHex(value);
    }

    CLogTemplate m_template;
};

TEST_F(TemplateTest, DefaultTemplateParsesIntoItsEightElements)
{
    m_template.Parse("DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE");
    ASSERT_EQ(8, m_template.GetElementCount());
    EXPECT_EQ(&m_template.GetElement(0), m_template.GetSlot(CLogTemplate::kDateTime));
    EXPECT_EQ(" [", m_template.GetElement(1).GetText());
    EXPECT_EQ(&m_template.GetElement(2), m_template.GetSlot(CLogTemplate::kThread));
    EXPECT_EQ("] <", m_template.GetElement(3).GetText());
    ASSERT_NE(nullptr, m_template.GetElement(4).GetFormat());
    EXPECT_EQ("%-14s", *m_template.GetElement(4).GetFormat());
    EXPECT_EQ(14UL, m_template.GetElement(4).GetWidth());
    EXPECT_EQ("%-6s", *m_template.GetElement(5).GetFormat());
    EXPECT_EQ("> ", m_template.GetElement(6).GetText());
    EXPECT_EQ(nullptr, m_template.GetElement(7).GetFormat());
    EXPECT_EQ(&m_template.GetElement(7), m_template.GetSlot(CLogTemplate::kMessage));
    EXPECT_EQ(nullptr, m_template.GetSlot(CLogTemplate::kFunction));

    EXPECT_EQ("2024-01-02 10:11:12.013 [6700] <Information   ID1   > msg\n",
              Render("DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE"));
}

TEST_F(TemplateTest, EmptyAndLiteralTemplates)
{
    EXPECT_EQ("\n", Render(""));
    EXPECT_EQ(0, m_template.GetElementCount());
    EXPECT_EQ("plain text\n", Render("plain text"));
    EXPECT_EQ("plain text\n", m_template.FormatLine().str());
}

TEST_F(TemplateTest, KeywordsAreCaseSensitiveAndLongestFirst)
{
    EXPECT_EQ("datetime\n", Render("datetime"));
    EXPECT_EQ("PROmotor.cpp\n", Render("PROFILE"));
    EXPECT_EQ("2024-01-02 10:11:12.013STAMP\n", Render("DATETIMESTAMP"));
    EXPECT_EQ("Information\n", Render("LEVELSTRING"));
    EXPECT_EQ("0x1A2C\n", Render("THREADX"));
    EXPECT_EQ("6700\n", Render("THREAD"));
    EXPECT_EQ("ID1 msg|msg|ID1\n", Render("IDMESSAGE|MESSAGE|ID"));
    EXPECT_EQ("10:11:12.013 99 Move 17 3 Motor\n",
              Render("TIME TIMESTAMP FUNCTION LINE LEVEL COMPONENT"));
}

TEST_F(TemplateTest, DuplicatedKeywordIsFilledOnlyAtItsLastOccurrence)
{
    EXPECT_EQ("[] [msg]\n", Render("[MESSAGE] [MESSAGE]"));
    EXPECT_EQ("[] [ID1   ]\n", Render("[ID!6] [ID!6]"));
}

TEST_F(TemplateTest, TildeSwallowsTwoMoreCharactersOrActsAsAToken)
{
    EXPECT_EQ("a\n", Render("a~bc"));
    EXPECT_EQ("Motor!\n", Render("~01!"));
    EXPECT_EQ("x1\n", Render("x~~01~"));
}

TEST_F(TemplateTest, EscapesForAngleBrackets)
{
    EXPECT_EQ("<<>>#3D;\n", Render("#3C;#3c;#3E;#3e;#3D;"));
}

TEST_F(TemplateTest, WidthSuffixNeedsDigits)
{
    EXPECT_EQ("3!\n", Render("LEVEL!"));
    EXPECT_EQ("3:+\n", Render("LEVEL:+"));
    EXPECT_EQ("3   |\n", Render("LEVEL:4|"));
    EXPECT_EQ("  +3|\n", Render("LEVEL:+4|"));
    EXPECT_EQ("+003|\n", Render("LEVEL!+04|"));
}

TEST_F(TemplateTest, TruncationWidthShortensWithEllipsis)
{
    EXPECT_EQ("Information   |\n", Render("LEVELSTRING!14|"));
    m_template.Parse("LEVELSTRING!14|");
    m_template.GetSlot(CLogTemplate::kLevelString)->SetText("Communication error");
    EXPECT_EQ("Communicati...|\n", m_template.FormatLine().str());

    m_template.Parse("LEVELSTRING:14|");
    m_template.GetSlot(CLogTemplate::kLevelString)->SetText("Communication error");
    EXPECT_EQ("Communication error|\n", m_template.FormatLine().str());

    m_template.Parse("ID!2|");
    m_template.GetSlot(CLogTemplate::kId)->SetText("ABC");
    EXPECT_EQ("...|\n", m_template.FormatLine().str());
    m_template.GetSlot(CLogTemplate::kId)->SetText("AB");
    EXPECT_EQ("AB|\n", m_template.FormatLine().str());
    m_template.Parse("ID!1");
    m_template.GetSlot(CLogTemplate::kId)->SetText("AB");
    EXPECT_EQ("...\n", m_template.FormatLine().str());
}

TEST_F(TemplateTest, SpaceIdAlwaysCarriesItsBlank)
{
    m_template.Parse("[SPACEID][ID!6]");
    m_template.GetSlot(CLogTemplate::kSpaceId)->SetText(nullptr);
    m_template.GetSlot(CLogTemplate::kId)->SetText(nullptr);
    EXPECT_EQ("[ ][      ]\n", m_template.FormatLine().str());

    m_template.Parse("[SPACEID!6]");
    EXPECT_EQ(7UL, m_template.GetSlot(CLogTemplate::kSpaceId)->GetWidth());
    m_template.GetSlot(CLogTemplate::kSpaceId)->SetText("ABCDEFGH");
    EXPECT_EQ("[ ABC...]\n", m_template.FormatLine().str());

    m_template.Parse("[SPACEID:3]");
    m_template.GetSlot(CLogTemplate::kSpaceId)->SetText("A");
    EXPECT_EQ("[ A  ]\n", m_template.FormatLine().str());
}

TEST_F(TemplateTest, HexAndSignedDecimalWidths)
{
    m_template.Parse("THREADX:+8");
    m_template.GetSlot(CLogTemplate::kThreadX)->SetHex(0x1A2C);
    EXPECT_EQ("0x    1A2C\n", m_template.FormatLine().str());

    m_template.Parse("TIMESTAMP!12|TIMESTAMP");
    m_template.GetSlot(CLogTemplate::kTimestamp)->SetDecimal(2147483648UL);
    EXPECT_EQ("|2147483648\n", m_template.FormatLine().str());
    m_template.Parse("TIMESTAMP!12");
    m_template.GetSlot(CLogTemplate::kTimestamp)->SetDecimal(2147483648UL);
    EXPECT_EQ("-2147483648 \n", m_template.FormatLine().str());
}

TEST_F(TemplateTest, OverlongWidthsAreLimited)
{
    m_template.Parse("ID:99999999999999999999|");
    ASSERT_NE(nullptr, m_template.GetSlot(CLogTemplate::kId)->GetFormat());
    EXPECT_EQ("%-9999s", *m_template.GetSlot(CLogTemplate::kId)->GetFormat());
    m_template.GetSlot(CLogTemplate::kId)->SetText("x");
    EXPECT_EQ(9999U + 1U, m_template.FormatLine().str().size() - 1);
}

TEST_F(TemplateTest, ReparsingReplacesElementsAndSlots)
{
    m_template.Parse("FUNCTION MESSAGE");
    EXPECT_NE(nullptr, m_template.GetSlot(CLogTemplate::kFunction));
    m_template.Parse("MESSAGE");
    EXPECT_EQ(nullptr, m_template.GetSlot(CLogTemplate::kFunction));
    EXPECT_EQ(1, m_template.GetElementCount());
}
} // namespace
