// Names of the settings file's elements and attributes. The reader ends a tag's name at a blank,
// takes quotes, "<", ">", "/", "=", "!" and "?" as markup, and a section path splits at "\", so
// those characters, the other blanks and the control characters cannot stand in a name as they
// are: each is written as "_x" and its code in four hexadecimal digits and "_" ("_x003C_"). A
// blank becomes "_", as the document's rule for names has it, and so a "_" of the name itself is
// written "_x005F_"; a blank at the start, where it would read as the "_" of a built-in key such
// as "_Level", and a blank before what reads as such a code are written "_x0020_". Every other
// character stays as it is, those beyond ASCII included. Thus two names that differ (in more
// than letter case) never give one element or attribute.
#pragma once

#include <string>
#include <string_view>

// The empty name gives "_x0000_", which no other name gives.
std::string EncodeXmlName(std::string_view name);
// The name that EncodeXmlName gave the text; a name written by hand reads the same way ("_" as a
// blank, "_x" with a code below 256 and "_" as that character).
std::string DecodeXmlName(std::string_view text);
