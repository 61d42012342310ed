#include "CULXMLData.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// A document holding nothing but the root "r".
class CULXMLDataWithRoot : public ::testing::Test
{
protected:
    CULXMLData data;
    CULXMLData::CNode* const n = data.CreateRoot("r") ? data.GetRoot() : nullptr;
};
} // namespace

TEST_F(CULXMLDataWithRoot, WritesTextsSectionsAndChildrenInTheirPlaces)
{
    data.AddSectionEntry(data.AddSection(n, "s"), "k", "v");
    data.SetNodeText(data.AddNode(n, "leaf"), "t");
    CULXMLData::CNode* tagged = data.AddNode(n, "tagged");
    data.AddAttribute(tagged, "a", "1");
    data.SetNodeText(tagged, "body");
    data.AddNode(n, "empty");
    const std::string written = "<r>\r\n"
                                "\t<s \r\n\t\tk=\"v\" \r\n\t/>\r\n"
                                "\t<leaf>t</leaf>\r\n"
                                "\t<tagged\r\n\t\ta=\"1\" \r\n\t>\r\nbody</tagged>\r\n"
                                "\t<empty>\r\n\t</empty>\r\n"
                                "</r>\r\n";
    CString text;
    ASSERT_TRUE(data.SaveToString(text, 1));
    EXPECT_EQ(text.str(), written);
}

TEST(CULXMLData, NothingIsSavedOrAddedBeforeTheRootAndNodesAreFoundWithoutRegardToCase)
{
    CULXMLData data;
    CString text;
    EXPECT_FALSE(data.SaveToString(text));
    EXPECT_EQ(data.AddNode(nullptr, "orphan"), nullptr);
    ASSERT_TRUE(data.CreateRoot("my root"));
    EXPECT_FALSE(data.CreateRoot("second"));
    EXPECT_STREQ(data.GetNodeName(data.GetRoot()), "my_root");
    CULXMLData::CNode* outer = data.AddNode(nullptr, "outer");
    CULXMLData::CNode* config = data.AddNode(outer, "config");
    CULXMLData::CNode* later = data.AddNode(nullptr, "config");
    EXPECT_EQ(data.FindNode("CONFIG"), config);
    EXPECT_EQ(data.FindNode("config", later), later);
    EXPECT_EQ(data.FindNodeByPath(" outer \\\\ config ", "\\"), config);
    EXPECT_EQ(data.FindNodeByPath(" \\ ", "\\"), nullptr);
}

// Names of attributes stay as first stored; numbers are written in their C forms and read as the
// C library reads them.
TEST_F(CULXMLDataWithRoot, StoredNamesAndNumbers)
{
    data.SetAttribute(n, "Level", "1");
    data.SetAttribute(n, "LEVEL", "2");
    data.AddAttribute(n, "level", "3");
    EXPECT_STREQ(data.GetAttribute(n, "level", ""), "2");
    EXPECT_STREQ(data.GetEntryName(data.FindAttribute(n, "LeVeL")), "Level");

    data.SetAttributeULong(n, "u", 4000000000ul);
    data.SetAttributeInt64(n, "l", -9000000000LL);
    data.SetAttributeDouble(n, "d", 3.14159265);
    data.SetAttributeHexDWord(n, "h", 43981);
    EXPECT_TRUE(data.SetAttributeFormatted(n, "f", "%s-%03d", "id", 7));
    EXPECT_EQ(data.GetAttribute(n, "u", "") + "|" + data.GetAttribute(n, "l", "") + "|" +
                  data.GetAttribute(n, "d", "") + "|" + data.GetAttribute(n, "h", "") + "|" +
                  data.GetAttribute(n, "f", ""),
              "4000000000|-9000000000|3.14159|0000ABCD|id-007");

    const auto readULong = [&](const char* text)
    {
        data.SetAttribute(n, "v", text);
        return data.GetAttributeULong(n, "v", 99);
    };
    EXPECT_EQ(readULong("0x1F"), 31u);
    EXPECT_EQ(readULong("1F 0x"), 31u);
    EXPECT_EQ(readULong("0X1F"), 0u);
    EXPECT_EQ(readULong("4294967296"), 4294967295u);
}
