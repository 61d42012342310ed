#include "CULXMLData.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// Loads the text into a fresh document.
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
} // namespace

TEST(CULXMLReader, AcceptsTheDialectsVariationsAndARefusalKeepsTheDocument)
{
    Loaded spaced("<?xml version=\"2.0\"?>\n<!-- one -->\n<!-- two -->"
                  "<r>\n\n\t <e k = \"v 1\"  j=\"<w>/=\"></e>   <t>  some text  </t>"
                  "<v v=\"x\ty\r\nz\">\n  line\tone\r\n  </v>"
                  "<q>say \"<b>\" ok</q></r>");
    ASSERT_TRUE(spaced.ok) << spaced.Error();
    CULXMLData& data = spaced.data;
    const CULXMLData::CNode* e = data.FindNode("e");
    EXPECT_STREQ(data.GetAttribute(e, "k", "-"), "v 1");
    EXPECT_STREQ(data.GetAttribute(e, "j", "-"), "<w>/=");
    EXPECT_STREQ(data.GetNodeText(data.FindNode("t")), "some text");
    // Whitespace in values and texts shrinks to single blanks; quotes pair up in texts.
    EXPECT_STREQ(data.GetAttribute(data.FindNode("v"), "v", ""), "x y z");
    EXPECT_STREQ(data.GetNodeText(data.FindNode("v")), "line one");
    EXPECT_STREQ(data.GetNodeText(data.FindNode("q")), "say \"<b>\" ok");

    // A refused load touches nothing but the message.
    EXPECT_FALSE(data.LoadFromString("<b></b>"));
    EXPECT_STREQ(data.GetNodeName(data.GetRoot()), "r");
    data.Clear();
    EXPECT_TRUE(data.LoadFromString("<?xml?><!-- only a comment -->"));
    EXPECT_FALSE(data.HasRoot());
    EXPECT_STREQ(data.GetLastError(), "");
}

// A refused document leaves no root; one past a bound is refused as soon as it passes it,
// whatever follows.
TEST(CULXMLReader, EachFailureHasItsMessage)
{
    const auto nested = [](int depth) { return Repeat("<n>", depth) + Repeat("</n>", depth); };
    const struct
    {
        std::string text;
        const char* error;
    } rows[] = {
        // Text after the last tag never becomes a token.
        {"just text, no tags >", "No data to parse."},
        {std::string("\0<a>\xff\x01\"<\0>\0</a>\x80", 16),
         "Irregular xml header or missing end tag."},
        {kDeclaration, "Irregular xml header or missing end tag."},
        // Without a declaration the first and the last tag must already match.
        {"<a><b></b>", "Irregular xml header or missing end tag."},
        {kDeclaration + "<a></b>", "Unexpected token '</b>' at node 'a'."},
        {"<a/>", "Unexpected token '<a/>'"},
        {kDeclaration + "<a><b></b>", "Missing closing tag or invalid end of file."},
        // A lone quote in the text hides the end tag, so the root is never closed.
        {"<a>say \"hi</a>", "Missing closing tag or invalid end of file."},
        {kDeclaration + "<a></a><b></b>", "Unexpected token '<b>' at node 'a'."},
        {"<a>x<c/>y</a>", "Unexpected token 'y' at node 'a'."},
        {"<a><!-- note --></a>", "Unexpected token '</a>' at node 'a'."},
        {nested(32), ""},
        {nested(33), "Elements nested deeper than 32."},
        // A tower of empty names far deeper than any recursion could take.
        {kDeclaration + Repeat("<>", 1000) + Repeat("</>", 1000),
         "Elements nested deeper than 32."},
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
        SCOPED_TRACE(row.text.substr(0, 40));
        Loaded loaded(row.text);
        EXPECT_STREQ(loaded.Error(), row.error);
        EXPECT_EQ(loaded.ok, *row.error == '\0');
        EXPECT_EQ(loaded.data.HasRoot(), *row.error == '\0');
    }
}
