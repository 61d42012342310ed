#include "CHtmlLogDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// The decoded lines of a file's physical lines, each as "#RRGGBB text" or "text" and a newline.
std::string DecodeAll(CHtmlLogDecoder& decoder, const std::vector<const char*>& lines)
{
    CString shown;
    for (const char* physical : lines)
    {
        CHtmlLogDecoder::Line line;
        if (!decoder.Decode(physical, line))
            continue;
        if (line.colour >= 0)
            shown.AppendFormat("#%06lX ", static_cast<unsigned long>(line.colour));
        shown += line.text + "\n";
    }
    return shown.str();
}
} // namespace

TEST(CHtmlLogDecoderTest, HeadIsDroppedRowsAndLinesAreTextAndReferencesDecode)
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
    EXPECT_EQ("KRVT Version: 3.74 (Build 0720)\nActiveX Control: ?\?\? not registered ?\?\?\n"
              "#FF0000 <Error> a<b>c &\ndump 1\n  0x00 0x01\n  0x02\nLevel: 0x0000800F\n#009900 \n",
              DecodeAll(decoder, file));

    // After a restart the head comes again and is dropped again.
    decoder.Restart();
    EXPECT_EQ("KRVT Version: 3.74 (Build 0720)\n", DecodeAll(decoder, {file[0], file[3]}));

    // Plain text passes; references decode.
    CHtmlLogDecoder plain(false);
    EXPECT_EQ("Level: 0x0000000F\na&lt;b\n", DecodeAll(plain, {"Level: 0x0000000F", "a&lt;b"}));
    EXPECT_STREQ("<b> & < > ' &bogus; &#300; &",
                 CHtmlLogDecoder::DecodeReferences("&lt;b&gt; &amp; &#60; &#x3E; &#39; &bogus; "
                                                   "&#300; &"));
    CHtmlLogDecoder::Line line;
    line.text = "x";
    EXPECT_STREQ("x", CHtmlLogDecoder::Colourize(line));
}
