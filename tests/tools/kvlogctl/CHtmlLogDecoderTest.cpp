#include "CHtmlLogDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// The decoded lines of a file's physical lines, each as "#RRGGBB text" or "text".
std::vector<std::string> DecodeAll(CHtmlLogDecoder& decoder, const std::vector<const char*>& lines)
{
    std::vector<std::string> shown;
    for (const char* physical : lines)
    {
        CHtmlLogDecoder::Line line;
        if (!decoder.Decode(physical, line))
            continue;
        CString text;
        if (line.colour >= 0)
            text.Format("#%06lX ", static_cast<unsigned long>(line.colour));
        shown.push_back((text + line.text).str());
    }
    return shown;
}
} // namespace

TEST(CHtmlLogDecoderTest, HeadIsDroppedRowsAndLinesAreText)
{
    CHtmlLogDecoder decoder(true);
    const std::vector<const char*> file = {
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">",
        "\t\t    body, body * {",
        "\t\t<img src=\"data:image/png;base64,iVBO\" />",
        "\t\t<table class=\"header\"><tr><th>KRVT Version:</th><td>3.74 (Build 0720)</td></tr>",
        "<tr><th>ActiveX Control:</th><td><span style=\"color: red;\">?\?\? not registered "
        "?\?\?</span></td></tr>",
        "</table>",
        "<pre class=\"log\">",
        "<span class=\"logLine\" style=\"color: #FF0000\">&lt;Error&gt; a&lt;b>c &amp;</span>",
        "<span class=\"logLine\">dump 1",
        "  0x00 0x01",
        "  0x02</span>",
        "<div><strong>Level:</strong> 0x0000800F</div>",
        "<span class=\"logLine\" style=\"color: #009900\"></span>",
        "\t\t</pre>",
        "\t</body>",
        "</html>"};
    const std::vector<std::string> expected = {"KRVT Version: 3.74 (Build 0720)",
                                               "ActiveX Control: ?\?\? not registered ?\?\?",
                                               "#FF0000 <Error> a<b>c &",
                                               "dump 1",
                                               "  0x00 0x01",
                                               "  0x02",
                                               "Level: 0x0000800F",
                                               "#009900 "};
    EXPECT_EQ(expected, DecodeAll(decoder, file));

    // After a restart the head comes again and is dropped again.
    decoder.Restart();
    EXPECT_EQ(std::vector<std::string>{"KRVT Version: 3.74 (Build 0720)"},
              DecodeAll(decoder, {file[0], file[3]}));
}

TEST(CHtmlLogDecoderTest, PlainTextPassesAndReferencesDecode)
{
    CHtmlLogDecoder plain(false);
    EXPECT_EQ(std::vector<std::string>({"Level: 0x0000000F", "a&lt;b"}),
              DecodeAll(plain, {"Level: 0x0000000F", "a&lt;b"}));
    EXPECT_STREQ("<b> & < > ' &bogus; &#300; &",
                 CHtmlLogDecoder::DecodeReferences("&lt;b&gt; &amp; &#60; &#x3E; &#39; &bogus; "
                                                   "&#300; &"));
    CHtmlLogDecoder::Line line;
    line.text = "x";
    EXPECT_STREQ("x", CHtmlLogDecoder::Colourize(line));
}
