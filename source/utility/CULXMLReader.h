// Turns document text into the tree of a CULXMLData that has no root yet. The text is split
// into tags and text runs first, then each is handled with a stack of open element names; the
// first problem ends the load with a one-line message in the document's last error and leaves
// the document without a root. Time and memory are linear in the text, and fixed bounds on the
// nesting and on the numbers of elements and attributes refuse a document as soon as it passes
// one, so that neither the tree nor the text written back from it can grow out of proportion.
#pragma once

#include "CULXMLData.h"
#include "CULXMLStringStack.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CULXMLReader
{
public:
    static constexpr int kMaxDepth = 32;
    // Elements and sections together; attributes and section entries together.
    static constexpr std::size_t kMaxElements = 16384;
    static constexpr std::size_t kMaxAttributes = 65536;

    explicit CULXMLReader(CULXMLData& document) : m_document(document) {}

    // The text becomes the reader's scratch: its tokens are packed into it in place.
    bool Parse(std::string text);

private:
    struct Token
    {
        std::uint32_t begin;
        std::uint32_t length;
    };

    void Tokenize();
    bool ReadHeader();
    void ReadDeclaration(std::string_view declaration);
    bool BuildTree();
    // False when the token is refused.
    bool HandleToken(std::string_view token);
    bool HandleEndTag(std::string_view token);
    bool HandleStartTag(std::string_view token);
    bool HandleText(std::string_view token);
    bool ScanAttributes(std::string_view token, bool isSection);
    bool AddPair(CULList<CULXMLData::CEntry*>& pairs, std::string_view name,
                 std::string_view value);
    CULList<CULXMLData::CEntry*>* CreateTagObject(const std::string& name, bool isSection);
    void LeaveCurrentNode();
    // False, with the message of the bound, when one more element or name would pass it.
    bool CountElement();
    bool PushOpenName(const CString& name);
    bool Fail(const char* message);
    bool Refuse(std::string_view token);

    std::string_view TokenAt(std::size_t index) const;
    bool HasTokens() const { return m_first < m_tokens.size(); }

    CULXMLData& m_document;
    // Every token's characters, one after the other, where the text was.
    std::string m_scratch;
    std::vector<Token> m_tokens;
    std::size_t m_first = 0;
    CULXMLData::CNode* m_current = nullptr;
    CULXMLData::CStringStack m_openNames{kMaxDepth};
    std::size_t m_elements = 0;
    std::size_t m_attributes = 0;
    // The bound a refused token passed; null when it broke a rule of the dialect.
    const char* m_passedBound = nullptr;
};
