#include "line/CLogTemplate.h"

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
        const std::pair<Field, const char*> texts[] = {
            {CLogTemplate::kComponent, "Motor"},
            {CLogTemplate::kFile, "motor.cpp"},
            {CLogTemplate::kFunction, "Move"},
            {CLogTemplate::kLevelString, "Information"},
            {CLogTemplate::kId, "ID1"},
            {CLogTemplate::kSpaceId, "ID1"},
            {CLogTemplate::kIdMessage, "ID1 msg"},
            {CLogTemplate::kMessage, "msg"},
            {CLogTemplate::kTime, "10:11:12.013"},
            {CLogTemplate::kDateTime, "2024-01-02 10:11:12.013"}};
        for (const auto& text : texts)
            if (CLogControl::CLogString* slot = m_template.GetSlot(text.first))
                slot->SetText(text.second);
        const std::pair<Field, unsigned long> numbers[] = {{CLogTemplate::kLine, 17},
                                                           {CLogTemplate::kLevel, 3},
                                                           {CLogTemplate::kTimestamp, 99},
                                                           {CLogTemplate::kThread, 6700}};
        for (const auto& number : numbers)
            if (CLogControl::CLogString* slot = m_template.GetSlot(number.first))
                slot->SetDecimal(number.second);
        if (CLogControl::CLogString* slot = m_template.GetSlot(CLogTemplate::kThreadX))
            slot->SetHex(0x1A2C);
        return m_template.FormatLine().str();
    }
    // Parses the template and renders it with one text field set.
    std::string RenderText(const char* format, Field field, const char* text)
    {
        m_template.Parse(format);
        m_template.GetSlot(field)->SetText(text);
        return m_template.FormatLine().str();
    }

    CLogTemplate m_template;
};

TEST_F(TemplateTest, DefaultTemplateParsesIntoItsEightElements)
{
    m_template.Parse("DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE");
    EXPECT_EQ(8, m_template.GetElementCount());
    EXPECT_EQ("2024-01-02 10:11:12.013 [6700] <Information   ID1   > msg\n",
              Render("DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE"));
}

TEST_F(TemplateTest, RenderedTemplates)
{
    const std::pair<const char*, const char*> rows[] = {
        {"", "\n"},
        // Keywords are case-sensitive and the longest match wins.
        {"datetime", "datetime\n"},
        {"PROFILE", "PROmotor.cpp\n"},
        {"DATETIMESTAMP", "2024-01-02 10:11:12.013STAMP\n"},
        {"THREADX", "0x1A2C\n"},
        {"IDMESSAGE|MESSAGE|ID", "ID1 msg|msg|ID1\n"},
        {"TIME TIMESTAMP FUNCTION LINE LEVEL COMPONENT", "10:11:12.013 99 Move 17 3 Motor\n"},
        // A repeated keyword is filled only at its last occurrence.
        {"[MESSAGE] [MESSAGE]", "[] [msg]\n"},
        // A tilde swallows the two characters after it, or stands for itself at the end.
        {"a~bc", "a\n"},
        {"~01!", "Motor!\n"},
        {"x~~01~", "x1\n"},
        {"#3C;#3c;#3E;#3e;#3D;", "<<>>#3D;\n"},
        // A width suffix needs digits.
        {"LEVEL!", "3!\n"},
        {"LEVEL:4|", "3   |\n"},
        {"LEVEL!+04|", "+003|\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.second, Render(row.first)) << row.first;
}

TEST_F(TemplateTest, TruncationWidthShortensWithEllipsis)
{
    const Field level = CLogTemplate::kLevelString;
    EXPECT_EQ("Communicati...|\n", RenderText("LEVELSTRING!14|", level, "Communication error"));
    EXPECT_EQ("Communication error|\n",
              RenderText("LEVELSTRING:14|", level, "Communication error"));
    EXPECT_EQ("...|\n", RenderText("ID!2|", CLogTemplate::kId, "ABC"));
    m_template.GetSlot(CLogTemplate::kId)->SetText("AB");
    EXPECT_EQ("AB|\n", m_template.FormatLine().str());
    EXPECT_EQ("...\n", RenderText("ID!1", CLogTemplate::kId, "AB"));
}

TEST_F(TemplateTest, SpaceIdAlwaysCarriesItsBlank)
{
    m_template.Parse("[SPACEID][ID!6]");
    m_template.GetSlot(CLogTemplate::kSpaceId)->SetText(nullptr);
    m_template.GetSlot(CLogTemplate::kId)->SetText(nullptr);
    EXPECT_EQ("[ ][      ]\n", m_template.FormatLine().str());

    EXPECT_EQ("[ ABC...]\n", RenderText("[SPACEID!6]", CLogTemplate::kSpaceId, "ABCDEFGH"));
    EXPECT_EQ("[ A  ]\n", RenderText("[SPACEID:3]", CLogTemplate::kSpaceId, "A"));
    // "!0" still counts the blank: a width of 1, and any ID is cut.
    EXPECT_EQ("[...]\n", RenderText("[SPACEID!0]", CLogTemplate::kSpaceId, "A"));
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

TEST_F(TemplateTest, OverlongWidthsAreLimitedAndReparsingReplacesSlots)
{
    m_template.Parse("ID:99999999999999999999|");
    m_template.GetSlot(CLogTemplate::kId)->SetText("x");
    EXPECT_EQ(9999U + 1U, m_template.FormatLine().str().size() - 1);

    m_template.Parse("FUNCTION MESSAGE");
    EXPECT_NE(nullptr, m_template.GetSlot(CLogTemplate::kFunction));
    m_template.Parse("MESSAGE");
    EXPECT_EQ(nullptr, m_template.GetSlot(CLogTemplate::kFunction));
    EXPECT_EQ(1, m_template.GetElementCount());
}
} // namespace
