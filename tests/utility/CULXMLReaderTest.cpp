#include "CULXMLData.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// Loads the text into a fresh document and returns the last error ("" on success).
struct Loaded
{
    explicit Loaded(const std::string& text) : ok(data.LoadFromString(CString(text))) {}
    CULXMLData data;
    bool ok;
    CString Error() const { return data.GetLastError(); }
};

std::string Repeat(const std::string& part, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += part;
    return text;
}

void ExpectFailure(const std::string& text, const char* message)
{
    Loaded loaded(text);
    EXPECT_FALSE(loaded.ok) << text;
    EXPECT_STREQ(loaded.Error(), message) << text;
    EXPECT_FALSE(loaded.data.HasRoot()) << text;
}
} // namespace

TEST(CULXMLReader, AcceptsTheDialectsVariations)
{
    Loaded spaced("<?xml version=\"2.0\" encoding=\"latin\"?>\n<!-- one -->\n<!-- two -->"
                  "<r>\n\n\t <e k = \"v 1\"  j=\"<w>/=\"></e>   <t>  some text  </t></r>");
    ASSERT_TRUE(spaced.ok) << spaced.Error();
    EXPECT_STREQ(spaced.Error(), "");
    EXPECT_STREQ(spaced.data.GetVersion(), "2.0");
    EXPECT_STREQ(spaced.data.GetEncoding(), "latin");
    const CULXMLData::CNode* e = spaced.data.FindNode("e");
    EXPECT_STREQ(spaced.data.GetAttribute(e, "k", "-"), "v 1");
    EXPECT_STREQ(spaced.data.GetAttribute(e, "j", "-"), "<w>/=");
    EXPECT_STREQ(spaced.data.GetNodeText(spaced.data.FindNode("t")), "some text");

    Loaded noEncoding("<?xml version=\"1.1\" encoding=\"\"?><a></a>");
    ASSERT_TRUE(noEncoding.ok);
    EXPECT_STREQ(noEncoding.data.GetEncoding(), "UTF-8");
}

TEST(CULXMLReader, ReadsSectionsWithAndWithoutEntries)
{
    Loaded loaded("<a>\r\n\t<s \r\n\t\tx=\"1\" \r\n\t\ty=\"two words\" \r\n\t/>\r\n"
                  "\t<empty \r\n\t/>\r\n\t<plain/>\r\n</a>");
    ASSERT_TRUE(loaded.ok) << loaded.Error();
    const CULXMLData& data = loaded.data;
    CULXMLData::CNode* root = data.GetRoot();
    POSITION position = data.GetFirstSectionPosition(root);
    CULXMLData::CSection* s = data.GetNextSection(root, position);
    EXPECT_STREQ(data.GetSectionName(s), "s");
    EXPECT_STREQ(data.GetSectionValue(s, "y", ""), "two words");
    // The written space, the line end and the TAB of the closing line all stay in the name.
    EXPECT_STREQ(data.GetSectionName(data.GetNextSection(root, position)), "empty   ");
    EXPECT_STREQ(data.GetSectionName(data.GetNextSection(root, position)), "plain");
}

TEST(CULXMLReader, KeepsNamesAsWrittenButSanitisesNodeNames)
{
    Loaded loaded("<Root ><Child></Child><My Node></My Node></Root >");
    ASSERT_TRUE(loaded.ok) << loaded.Error();
    EXPECT_STREQ(loaded.data.GetNodeName(loaded.data.GetRoot()), "Root_");
    EXPECT_NE(loaded.data.FindNode("my_node"), nullptr);
    ExpectFailure("<?xml?><A></a>", "Unexpected token '</a>' at node 'A'.");
    // A text "!>" must close the name "<!" put on top of the stack.
    ExpectFailure("<a><<!>!>x></a>", "Unexpected token '!>x>' at node 'a'.");
}

TEST(CULXMLReader, ReportsEachFailureWithItsMessage)
{
    // Text after the last tag never becomes a token.
    ExpectFailure("just text, no tags >", "No data to parse.");
    ExpectFailure(kDeclaration, "Irregular xml header or missing end tag.");
    // Without a declaration the first and the last tag must already match.
    ExpectFailure("<a><b></b>", "Irregular xml header or missing end tag.");
    ExpectFailure(std::string(kDeclaration) + "<a></b>", "Unexpected token '</b>' at node 'a'.");
    ExpectFailure("<a/>", "Unexpected token '<a/>'");
    ExpectFailure(std::string(kDeclaration) + "<a><b></b>",
                  "Missing closing tag or invalid end of file.");
    ExpectFailure(std::string(kDeclaration) + "<a></a><b></b>",
                  "Unexpected token '<b>' at node 'a'.");
    ExpectFailure("<a>x<c/>y</a>", "Unexpected token 'y' at node 'a'.");
    ExpectFailure("<a><!-- note --></a>", "Unexpected token '</a>' at node 'a'.");
    ExpectFailure("<a=\"1\" b=\"2\"></a=\"1\">", "Unexpected token '<a=\"1\" b=\"2\">'");
}

TEST(CULXMLReader, RefusedLoadsTouchNothingButTheMessage)
{
    CULXMLData data;
    ASSERT_TRUE(data.LoadFromString("<?xml version=\"3\"?><a></a>"));
    EXPECT_FALSE(data.LoadFromString("<b></b>"));
    EXPECT_STREQ(data.GetNodeName(data.GetRoot()), "a");
    data.Clear();
    EXPECT_FALSE(data.LoadFromString("<?xml version=\"9\"?>"));
    EXPECT_STREQ(data.GetVersion(), "3");
    EXPECT_TRUE(data.LoadFromString("<?xml?><!-- only a comment -->"));
    EXPECT_FALSE(data.HasRoot());
    EXPECT_STREQ(data.GetLastError(), "");
}

TEST(CULXMLReader, WhitespaceAndQuotesInValuesAndTexts)
{
    Loaded loaded("<a v=\"x\ty\r\nz\">\n  line\tone\r\n  </a>");
    ASSERT_TRUE(loaded.ok);
    EXPECT_STREQ(loaded.data.GetAttribute(loaded.data.GetRoot(), "v", ""), "x y z");
    EXPECT_STREQ(loaded.data.GetNodeText(loaded.data.GetRoot()), "line one");

    // A lone quote in the text hides the end tag, so the root is never closed.
    ExpectFailure("<a>say \"hi</a>", "Missing closing tag or invalid end of file.");
    Loaded paired("<a>say \"<b>\" ok</a>");
    ASSERT_TRUE(paired.ok);
    EXPECT_STREQ(paired.data.GetNodeText(paired.data.GetRoot()), "say \"<b>\" ok");
}

// A document past a bound is refused as soon as it passes it, whatever follows.
TEST(CULXMLReader, NestingAndCountsAreBounded)
{
    const auto nested = [](int depth) { return Repeat("<n>", depth) + Repeat("</n>", depth); };
    const struct
    {
        std::string text;
        const char* error;
    } rows[] = {
        {nested(32), ""},
        {nested(33), "Elements nested deeper than 32."},
        {"<r>" + Repeat("<!a>", 32) + "</r>", "Elements nested deeper than 32."},
        {"<r>" + Repeat("<e/>", 16383) + "</r>", ""},
        {"<r>" + Repeat("<e/>", 16384) + "</r>", "More than 16384 elements."},
        {"<r>" + Repeat("<e></e>", 16384) + "</r>", "More than 16384 elements."},
        {"<r>" + Repeat("</e>", 60000) + "</r>", "More than 16384 elements."},
        {"<r " + Repeat("a=\"\" ", 65536) + "></r>", ""},
        {"<r " + Repeat("a=\"\" ", 65537) + "></r>", "More than 65536 attributes."},
        {"<r><s " + Repeat("a=\"\" ", 65537) + "/></r>", "More than 65536 attributes."},
    };
    for (const auto& row : rows)
    {
        Loaded loaded(row.text);
        EXPECT_STREQ(loaded.Error(), row.error) << row.text.substr(0, 40);
        EXPECT_EQ(loaded.ok, *row.error == '\0');
    }
}

TEST(CULXMLReader, SurvivesHostileInput)
{
    const char bytes[] = "\0<a>\xff\x01\"<\0>\0</a>\x80";
    Loaded zeros(std::string(bytes, sizeof(bytes) - 1));
    EXPECT_FALSE(zeros.data.HasRoot());
    ExpectFailure("<", "No data to parse.");

    // A tower of empty names far deeper than any recursion could take is refused at once.
    const int depth = 1000;
    Loaded deep(kDeclaration + Repeat("<>", depth) + Repeat("</>", depth));
    EXPECT_STREQ(deep.Error(), "Elements nested deeper than 32.");
}
