// Reads a whole .x file, text or binary, into a document: the templates it
// declares are added to the document's registry, its data objects become a tree.
#pragma once

#include <cstddef>
#include <cstdint>

#include "XFileDocument.h"
#include "XFileTokenizer.h"

class XFileParser {
public:
    // The file's header and body; answers DXFILE_OK or the parser error code.
    // On failure the document may hold what was read before the fault.
    static HRESULT parse(const uint8_t* data, size_t size, XDocument& document);

    // Deeper nesting of data objects is refused (it would only serve to exhaust the stack).
    static constexpr int MAX_OBJECT_DEPTH = 64;
    static constexpr int MAX_TEMPLATE_DEPTH = 32;

private:
    XFileParser(XFileTokenizer& tokenizer, XDocument& document);

    void run();
    void advance();
    void expect(XToken type);
    void parseTemplate();
    void parseRestriction(XTemplate& templ);
    std::unique_ptr<XObject> parseObject(int depth);
    void readMembers(const XTemplate& templ, std::vector<uint8_t>& out,
                     std::vector<XMemberSpan>* spans);
    uint32_t readPrimitive(XPrimitive type, std::vector<uint8_t>& out);
    void skipSeparators();

    XFileTokenizer& tokenizer;
    XDocument& document;
    XTokenValue token;
};
