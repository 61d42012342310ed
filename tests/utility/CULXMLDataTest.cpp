#include "CULXMLData.h"

#include <gtest/gtest.h>

#include <string>

TEST(CULXMLData, WritesInPlaceFindsAnyCaseAndKeepsNamesAndNumbers)
{
    CULXMLData data;
    ASSERT_TRUE(data.CreateRoot("r"));
    CULXMLData::CNode* const n = data.GetRoot();
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

    // Nothing is saved or added before the root; nodes are found without regard to case.
    CULXMLData bare;
    EXPECT_FALSE(bare.SaveToString(text));
    EXPECT_EQ(bare.AddNode(nullptr, "orphan"), nullptr);
    ASSERT_TRUE(bare.CreateRoot("my root"));
    EXPECT_FALSE(bare.CreateRoot("second"));
    EXPECT_STREQ(bare.GetNodeName(bare.GetRoot()), "my_root");
    CULXMLData::CNode* outer = bare.AddNode(nullptr, "outer");
    CULXMLData::CNode* config = bare.AddNode(outer, "config");
    CULXMLData::CNode* later = bare.AddNode(nullptr, "config");
    EXPECT_EQ(bare.FindNode("CONFIG"), config);
    EXPECT_EQ(bare.FindNode("config", later), later);
    EXPECT_EQ(bare.FindNodeByPath(" outer \\\\ config ", "\\"), config);
    EXPECT_EQ(bare.FindNodeByPath(" \\ ", "\\"), nullptr);

    // Names of attributes stay as first stored; numbers are written in their C forms and read as
    // the C library reads them.
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

    const auto readULong = [&](const char* value)
    {
        data.SetAttribute(n, "v", value);
        return data.GetAttributeULong(n, "v", 99);
    };
    EXPECT_EQ(readULong("0x1F"), 31u);
    EXPECT_EQ(readULong("1F 0x"), 31u);
    EXPECT_EQ(readULong("0X1F"), 0u);
    EXPECT_EQ(readULong("4294967296"), 4294967295u);
}
