#include "XmlNames.h"
#include "CString.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

TEST(XmlNames, WhatANameCannotHoldIsEscapedAndDifferentNamesNeverShareAnEncoding)
{
    EXPECT_EQ("Axis:1_(links)", EncodeXmlName("Axis:1 (links)"));
    EXPECT_EQ("Achse_\xC3\x84", EncodeXmlName("Achse \xC3\x84"));
    EXPECT_EQ("Motor_x005F_Control", EncodeXmlName("Motor_Control"));
    EXPECT_EQ("_x0020_Level", EncodeXmlName(" Level"));
    EXPECT_EQ("a_x0020_x00Ff_x005F_b_xA", EncodeXmlName("a x00Ff_b xA"));
    EXPECT_EQ("_x0000_", EncodeXmlName(""));
    EXPECT_EQ("Axis 1  links ", DecodeXmlName("Axis_1__links_"));
    // An escape names a character of one byte; "_x0100_" is none.
    EXPECT_EQ("\xFF"
              "Pump x0100 A",
              DecodeXmlName("_x00FF_Pump_x0100_A"));
    // A name that ends inside an escape holds none, whatever follows it in memory.
    EXPECT_EQ("Pump x0041", DecodeXmlName(std::string_view("Pump_x0041_", 10)));
    EXPECT_EQ(
        "_x0022__x0026__x0027__x003C__x003E__x002F__x005C__x003D__x0021__x003F__x0009__x007F_",
        EncodeXmlName("\"&'<>/\\=!?\t\x7F"));

    // Every name of up to five pieces that meet each corner of the escaping (codes of escaped
    // characters, in either letter case, and texts that only begin like one): names that differ
    // in more than letter case never give the same name in the file, and each reads back as it was.
    const char* const pieces[] = {" ", "_", "a", "x005F", "X0020", "x00f"};
    std::vector<std::pair<std::string, int>> names{{"", 0}};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].second < 5)
            for (const char* piece : pieces)
                names.push_back({names[i].first + piece, names[i].second + 1});
    const auto lower = [](const std::string& text) { return CString(text).MakeLower().str(); };
    std::map<std::string, std::string> owners;
    for (const auto& named : names)
    {
        const std::string& name = named.first;
        const auto added = owners.emplace(lower(EncodeXmlName(name)), lower(name));
        ASSERT_EQ(added.first->second, lower(name)) << "\"" << name << "\"";
        ASSERT_EQ(name, DecodeXmlName(EncodeXmlName(name)));
    }
}
