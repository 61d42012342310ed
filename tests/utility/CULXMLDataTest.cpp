#include "CULXMLData.h"

#include "TestSupport.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace
{
const char kExample[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                        "<Korvel>\r\n"
                        "\t<config\r\n"
                        "\t\tLevel=\"15\" \r\n"
                        "\t\tFormat=\"x\" \r\n"
                        "\t>\r\n"
                        "\t</config>\r\n"
                        "</Korvel>\r\n";

std::string Save(const CULXMLData& data, int mode = 0)
{
    CString text;
    EXPECT_TRUE(data.SaveToString(text, mode));
    return text.str();
}
} // namespace

TEST(CULXMLData, WritesTheSettingsExampleByteForByte)
{
    CULXMLData data;
    ASSERT_TRUE(data.CreateRoot("Korvel"));
    CULXMLData::CNode* config = data.AddNode(nullptr, "config");
    data.SetAttributeString(config, "Level", "15");
    data.SetAttributeString(config, "Format", "x");
    EXPECT_EQ(Save(data), kExample);

    CULXMLData reread;
    ASSERT_TRUE(reread.LoadFromString(kExample));
    EXPECT_EQ(Save(reread), kExample);
}

TEST(CULXMLData, WritesTextsSectionsAndChildrenInTheirPlaces)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* root = data.GetRoot();
    data.SetNodeText(root, "root text");
    CULXMLData::CSection* section = data.AddSection(root, "s");
    data.AddSectionEntry(section, "k", "v");
    data.AddSection(root, "bare");
    CULXMLData::CNode* leaf = data.AddNode(root, "leaf");
    data.SetNodeText(leaf, "t");
    CULXMLData::CNode* tagged = data.AddNode(root, "tagged");
    data.AddAttribute(tagged, "a", "1");
    data.SetNodeText(tagged, "body");
    data.AddNode(root, "empty");
    EXPECT_EQ(Save(data, 1), "<r>\r\n"
                             "\troot text\r\n"
                             "\t<s \r\n\t\tk=\"v\" \r\n\t/>\r\n"
                             "\t<bare \r\n\t/>\r\n"
                             "\t<leaf>t</leaf>\r\n"
                             "\t<tagged\r\n\t\ta=\"1\" \r\n\t>\r\nbody</tagged>\r\n"
                             "\t<empty>\r\n\t</empty>\r\n"
                             "</r>\r\n");

    CULXMLData reread;
    ASSERT_TRUE(reread.LoadFromString(Save(data).c_str())) << reread.GetLastError();
    EXPECT_STREQ(reread.GetNodeText(reread.GetRoot()), "root text");
    EXPECT_STREQ(reread.GetNodeText(reread.FindNode("tagged")), "body");
    EXPECT_STREQ(reread.GetSectionValue(reread.FindSection(reread.GetRoot(), "s"), "K", ""), "v");
    EXPECT_EQ(reread.GetChildCount(reread.GetRoot()), 3);
}

TEST(CULXMLData, SaveNeedsARoot)
{
    CULXMLData data;
    CString text = "unchanged";
    EXPECT_FALSE(data.SaveToString(text));
    EXPECT_STREQ(text, "unchanged");
    std::u16string wide = u"old";
    EXPECT_FALSE(data.SaveToWideString(wide));
    EXPECT_TRUE(wide.empty());
    EXPECT_FALSE(data.SaveToFile(kvtest::TempDir().Sub("never.xml")));
}

TEST(CULXMLData, EncodesTheTextAsUtf8OrUtf16)
{
    CULXMLData data;
    data.CreateRoot("r");
    data.SetNodeText(data.GetRoot(), "caf\xE9");
    EXPECT_EQ(Save(data, 1), "<r>caf\xC3\xA9</r>\r\n");
    std::u16string wide;
    ASSERT_TRUE(data.SaveToWideString(wide, 1));
    EXPECT_EQ(wide, u"<r>caf\u00E9</r>\r\n");

    kvtest::TempDir dir;
    const CString path = dir.Sub("doc.xml");
    ASSERT_TRUE(data.SaveToFile(path));
    EXPECT_EQ(kvtest::ReadWholeFile(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r>caf\xC3\xA9</r>\r\n");
    CULXMLData reread;
    ASSERT_TRUE(reread.LoadFromFile(path));
    EXPECT_STREQ(reread.GetNodeText(reread.GetRoot()), "caf\xC3\xA9");
}

TEST(CULXMLData, NodesAreFoundWithoutRegardToCase)
{
    CULXMLData data;
    EXPECT_EQ(data.AddNode(nullptr, "orphan"), nullptr);
    EXPECT_EQ(data.FindNode("x"), nullptr);
    ASSERT_TRUE(data.CreateRoot("my root"));
    EXPECT_FALSE(data.CreateRoot("second"));
    EXPECT_STREQ(data.GetNodeName(data.GetRoot()), "my_root");
    CULXMLData::CNode* outer = data.AddNode(nullptr, "outer");
    CULXMLData::CNode* config = data.AddNode(outer, "config");
    CULXMLData::CNode* later = data.AddNode(nullptr, "config");
    EXPECT_EQ(data.FindNode("CONFIG"), config);
    EXPECT_EQ(data.FindNode("config", later), later);
    EXPECT_EQ(data.FindNodeByPath("config\\config", "\\"), config);
    EXPECT_EQ(data.FindNodeByPath(" outer \\\\ config ", "\\"), config);
    EXPECT_EQ(data.FindNodeByPath("outer::config", "::"), config);
    EXPECT_EQ(data.FindNodeByPath("outer\\missing", "\\"), nullptr);
    EXPECT_EQ(data.FindNodeByPath(" \\ ", "\\"), nullptr);

    data.SetNodeName(config, "has space");
    EXPECT_STREQ(data.GetNodeName(config), "has space");
    EXPECT_EQ(data.GetChildCount(data.GetRoot()), 2);
    POSITION position = data.GetFirstChildPosition(data.GetRoot());
    EXPECT_EQ(data.GetNextChild(data.GetRoot(), position), outer);
    EXPECT_EQ(data.GetNextChild(data.GetRoot(), position), later);
    EXPECT_EQ(position, nullptr);
}

TEST(CULXMLData, RemovingNodesKeepsTheTreeConsistent)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* a = data.AddNode(nullptr, "a");
    data.AddNode(data.AddNode(a, "b"), "c");
    CULXMLData::CNode* d = data.AddNode(nullptr, "d");
    data.RemoveNode(a);
    EXPECT_EQ(data.FindNode("c"), nullptr);
    EXPECT_EQ(data.GetChildCount(data.GetRoot()), 1);
    EXPECT_EQ(data.FindNode("d"), d);
    data.RemoveNode(data.GetRoot());
    EXPECT_FALSE(data.HasRoot());
    EXPECT_TRUE(data.CreateRoot("again"));
}

TEST(CULXMLData, AttributesKeepTheirStoredNames)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* root = data.GetRoot();
    EXPECT_FALSE(data.SetAttribute(nullptr, "a", "b"));
    EXPECT_STREQ(data.GetAttribute(nullptr, "a", "dflt"), "dflt");
    data.SetAttribute(root, "Level", "1");
    data.SetAttribute(root, "LEVEL", "2");
    data.AddAttribute(root, "level", "3");
    EXPECT_STREQ(data.GetAttribute(root, "level", ""), "2");
    EXPECT_STREQ(data.GetEntryName(data.FindAttribute(root, "LeVeL")), "Level");
    data.RemoveAttribute(root, "LEVEL");
    EXPECT_STREQ(data.GetAttribute(root, "level", ""), "3");
    data.RemoveAttribute(root, data.FindAttribute(root, "level"));
    EXPECT_FALSE(data.HasAttributes(root));
    EXPECT_STREQ(data.GetEntryValue(nullptr, "none"), "none");
}

TEST(CULXMLData, SectionsHoldEntries)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* root = data.GetRoot();
    EXPECT_EQ(data.AddSection(nullptr, "s"), nullptr);
    CULXMLData::CSection* section = data.AddSection(root, "my section");
    EXPECT_STREQ(data.GetSectionName(section), "my_section");
    EXPECT_EQ(data.FindSection(root, "MY_SECTION"), section);
    data.SetSectionValue(section, "k", "1");
    data.SetSectionValue(section, "K", "2");
    EXPECT_STREQ(data.GetSectionValue(section, "k", ""), "2");
    EXPECT_TRUE(data.HasEntries(section));
    data.RemoveSectionEntry(section, "k");
    EXPECT_FALSE(data.HasEntries(section));
    EXPECT_TRUE(data.RemoveSection(root, "my_section"));
    EXPECT_FALSE(data.RemoveSection(root, "my_section"));
    EXPECT_FALSE(data.HasSections(root));
}

TEST(CULXMLData, TypedAttributesWriteAndReadTheirForms)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* n = data.GetRoot();
    data.SetAttributeInt(n, "i", -42);
    data.SetAttributeULong(n, "u", 4000000000ul);
    data.SetAttributeInt64(n, "l", -9000000000LL);
    data.SetAttributeDouble(n, "d", 3.14159265);
    data.SetAttributeHexDWord(n, "h", 43981);
    EXPECT_STREQ(data.GetAttribute(n, "i", ""), "-42");
    EXPECT_STREQ(data.GetAttribute(n, "u", ""), "4000000000");
    EXPECT_STREQ(data.GetAttribute(n, "l", ""), "-9000000000");
    EXPECT_STREQ(data.GetAttribute(n, "d", ""), "3.14159");
    EXPECT_STREQ(data.GetAttribute(n, "h", ""), "0000ABCD");
    EXPECT_EQ(data.GetAttributeInt(n, "i", 0), -42);
    EXPECT_EQ(data.GetAttributeULong(n, "u", 0), 4000000000ul);
    EXPECT_EQ(data.GetAttributeInt64(n, "l", 0), -9000000000LL);
    EXPECT_DOUBLE_EQ(data.GetAttributeDouble(n, "d", 0), 3.14159);
    EXPECT_EQ(data.GetAttributeHexDWord(n, "h", 0), 43981u);
    EXPECT_EQ(data.GetAttributeInt(n, "missing", 7), 7);
    EXPECT_EQ(data.GetAttributeULong(n, "missing", 4294967295ul), 4294967295ul);
    EXPECT_EQ(data.GetAttributeInt64(n, "missing", -5), -5);
    EXPECT_DOUBLE_EQ(data.GetAttributeDouble(n, "missing", 2.5), 2.5);
}

TEST(CULXMLData, NumbersAreReadLikeTheCLibrary)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* n = data.GetRoot();
    CULXMLData::CSection* s = data.AddSection(n, "s");
    const auto readULong = [&](const char* text)
    {
        data.SetAttribute(n, "v", text);
        return data.GetAttributeULong(n, "v", 99);
    };
    EXPECT_EQ(readULong("0x1F"), 31u);
    EXPECT_EQ(readULong("1F 0x"), 31u);
    EXPECT_EQ(readULong("0X1F"), 0u);
    EXPECT_EQ(readULong("  12abc"), 12u);
    EXPECT_EQ(readULong("abc"), 0u);
    EXPECT_EQ(readULong("-1"), 4294967295u);
    EXPECT_EQ(readULong("4294967296"), 4294967295u);
    EXPECT_EQ(readULong("-99999999999"), 4294967295u);
    data.SetSectionValue(s, "v", "0x1F");
    EXPECT_EQ(data.GetSectionULong(s, "v", 99), 0u);

    data.SetAttribute(n, "v", " +17x");
    EXPECT_EQ(data.GetAttributeInt(n, "v", 0), 17);
    data.SetAttribute(n, "v", "99999999999");
    EXPECT_EQ(data.GetAttributeInt(n, "v", 0), 2147483647);
    data.SetAttribute(n, "v", "-99999999999999999999");
    EXPECT_EQ(data.GetAttributeInt64(n, "v", 0), INT64_MIN);
    data.SetAttribute(n, "v", "");
    EXPECT_DOUBLE_EQ(data.GetAttributeDouble(n, "v", 1.5), 1.5);
    data.SetAttribute(n, "v", "pi");
    EXPECT_DOUBLE_EQ(data.GetAttributeDouble(n, "v", 1.5), 1.5);
}

TEST(CULXMLData, BytesAreWrittenLastByteFirst)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* n = data.GetRoot();
    const unsigned char bytes[3] = {0x01, 0xAB, 0xF0};
    data.SetAttributeBinary(n, "b", bytes, 3);
    EXPECT_STREQ(data.GetAttribute(n, "b", ""), "F0AB01");
    unsigned char back[3] = {};
    ASSERT_TRUE(data.GetAttributeBinary(n, "b", back, 3));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back), 3), std::string("\x01\xAB\xF0", 3));

    data.SetAttribute(n, "b", "f0ab01");
    unsigned char lower[3] = {};
    EXPECT_TRUE(data.GetAttributeBinary(n, "b", lower, 3));
    EXPECT_EQ(lower[2], 0xF0);
    unsigned char untouched[2] = {7, 7};
    EXPECT_FALSE(data.GetAttributeBinary(n, "b", untouched, 2));
    EXPECT_EQ(untouched[0], 7);
    data.SetAttribute(n, "h", "XYZ");
    EXPECT_EQ(data.GetAttributeHexDWord(n, "h", 5), 5u);

    CULXMLData::Bytes16 guid{};
    guid[0] = 0x10;
    guid[15] = 0xFF;
    data.SetAttributeBinary16(n, "g", guid);
    EXPECT_STREQ(data.GetAttribute(n, "g", ""), "FF000000000000000000000000000010");
    EXPECT_EQ(data.GetAttributeBinary16(n, "g", nullptr), guid);
    CULXMLData::Bytes16 fallback;
    fallback.fill(0x33);
    EXPECT_EQ(data.GetAttributeBinary16(n, "missing", &fallback), fallback);
    EXPECT_EQ(data.GetAttributeBinary16(n, "missing", nullptr), CULXMLData::Bytes16{});
}

TEST(CULXMLData, FormattedValues)
{
    CULXMLData data;
    data.CreateRoot("r");
    CULXMLData::CNode* n = data.GetRoot();
    EXPECT_TRUE(data.SetAttributeFormatted(n, "f", "%s-%03d", "id", 7));
    EXPECT_STREQ(data.GetAttribute(n, "f", ""), "id-007");
    EXPECT_TRUE(data.SetAttributeFormatted(n, "f", nullptr));
    EXPECT_EQ(data.FindAttribute(n, "f"), nullptr);
    EXPECT_FALSE(data.SetAttributeFormatted(nullptr, "f", "%d", 1));

    CULXMLData::CSection* s = data.AddSection(n, "s");
    EXPECT_TRUE(data.SetSectionFormatted(s, "f", "%u", 5u));
    EXPECT_EQ(data.GetSectionInt(s, "f", 0), 5);
    data.SetSectionDouble(s, "d", 0.5);
    data.SetSectionInt64(s, "l", 1LL << 40);
    data.SetSectionHexDWord(s, "h", 0xDEADBEEF);
    data.SetSectionString(s, "t", "text");
    EXPECT_DOUBLE_EQ(data.GetSectionDouble(s, "d", 0), 0.5);
    EXPECT_EQ(data.GetSectionInt64(s, "l", 0), 1LL << 40);
    EXPECT_EQ(data.GetSectionHexDWord(s, "h", 0), 0xDEADBEEFu);
    EXPECT_STREQ(data.GetSectionString(s, "t", ""), "text");
}

TEST(CULXMLData, ClearKeepsTheRecordedHeader)
{
    CULXMLData data;
    ASSERT_TRUE(data.LoadFromString("<?xml version=\"1.1\" encoding=\"x\"?><a></a>"));
    data.Clear();
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_STREQ(data.GetVersion(), "1.1");
    EXPECT_STREQ(data.GetEncoding(), "x");
    data.CreateRoot("b");
    EXPECT_EQ(Save(data).substr(0, 38), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
}
