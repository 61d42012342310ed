// Text of attribute values and element text as the settings file holds it: the five markup
// characters and the three blanks that the reader folds (tab, line feed, carriage return) are
// written as references, so that any value reads back exactly as it was stored.
#pragma once

#include <string>
#include <string_view>

void AppendEscapedXmlText(std::string& out, std::string_view text);
// Resolves &amp; &lt; &gt; &quot; &apos; and character references below 128. Anything else that
// starts with "&" (an unknown name, a reference without ";", a code beyond ASCII) stays as it is,
// so that files written before values were escaped read as they always did.
std::string DecodeXmlText(std::string_view text);
