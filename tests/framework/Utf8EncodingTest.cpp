#include "Utf8Encoding.h"
#include "OsCodePage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

static std::u16string Decode(const std::string& bytes)
{
    return DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

const char kSample[] = "Gr\xC3\xB6\xC3\x9F"
                       "e\xC2\xA0\xE2\x82\xAC \xEF\xBF\xBD \xF0\x9F\x98\x80 \xF0\x90\x80\x80";
const char16_t kSampleWide[] = u"Gr\u00F6\u00DFe\u00A0\u20AC \uFFFD \U0001F600 \U00010000";

TEST(Utf8Encoding, EveryCharacterTakesOneSequenceAndOtherBytesReadAsIso8859_1)
{
    EXPECT_STREQ(EncodeUtf8(kSampleWide), kSample);
    EXPECT_EQ(Decode(kSample), kSampleWide);
    EXPECT_STREQ(EncodeUtf8(u"\U0010FFFF\u07FF\u0800"), "\xF4\x8F\xBF\xBF\xDF\xBF\xE0\xA0\x80");
    // A surrogate without its partner has no sequence of its own.
    EXPECT_STREQ(EncodeUtf8(std::u16string(u"a\xD83D-\xDE00")), "a\xEF\xBF\xBD-\xEF\xBF\xBD");

    // Each byte of no well-formed sequence is the ISO 8859-1 character of its number, and
    // decoding goes on with the next byte.
    const std::pair<const char*, const char16_t*> cases[] = {
        {"\x80x", u"\u0080x"},                     // a lone continuation byte
        {"\xE2\x82", u"\u00E2\u0082"},             // cut short at the end
        {"\xE2\x82x\xC3", u"\u00E2\u0082x\u00C3"}, // cut short before another character
        {"\xC0\xAF\xE0\x80\xAF", u"\u00C0\u00AF\u00E0\u0080\u00AF"}, // overlong forms of "/"
        {"\xED\xA0\x80", u"\u00ED\u00A0\u0080"},                     // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u0080\u0080"},           // beyond U+10FFFF
        {"\xFF\xFE\xF8\x88\x80\x80\x80", u"\u00FF\u00FE\u00F8\u0088\u0080\u0080\u0080"},
        {"caf\xE9!", u"caf\u00E9!"},
        {"\xDF\xBF\xC1\xBF", u"\u07FF\u00C1\u00BF"}, // the last lead of two bytes; one below
    };
    for (const auto& [bytes, text] : cases)
    {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(Decode(bytes), text);
        EXPECT_STREQ(RepairUtf8(bytes).c_str(), EncodeUtf8(text));
    }
    EXPECT_EQ(RepairUtf8(kSample), kSample);
    // A sequence that the count cuts short is not read past it.
    EXPECT_EQ(DecodeUtf8(reinterpret_cast<const unsigned char*>("\xE2\x82\xAC"), 2),
              u"\u00E2\u0082");

#ifndef _WIN32
    // Linux programs hold UTF-8: it passes the code page unchanged, and other bytes become the
    // UTF-8 of their ISO 8859-1 reading.
    EXPECT_EQ(os::AnsiToWide(kSample), kSampleWide);
    EXPECT_STREQ(os::WideToAnsi(os::AnsiToWide(kSample)), kSample);
    EXPECT_STREQ(os::WideToAnsi(os::AnsiToWide("caf\xE9\x80")), "caf\xC3\xA9\xC2\x80");
    EXPECT_TRUE(os::AnsiToWide(nullptr, 3).empty());
#endif
}
