#include "XFileParser.h"

#include <cstring>
#include <new>

#include <dxfile.h>

namespace {

// Carries a parser error code out of the recursive descent.
struct XParseError {
    HRESULT code;
};

[[noreturn]] void fail(HRESULT code) {
    throw XParseError{code};
}

XPrimitive primitiveOf(XToken token) {
    switch (token) {
    case XToken::Word:
    case XToken::Dword:
    case XToken::Float:
    case XToken::Double:
    case XToken::Char:
    case XToken::Uchar:
    case XToken::Sword:
    case XToken::Sdword:
    case XToken::Lpstr:
    case XToken::Unicode:
    case XToken::Cstring:
        return static_cast<XPrimitive>(token);
    default:
        return XPrimitive::None;
    }
}

bool isIntegral(XPrimitive p) {
    switch (p) {
    case XPrimitive::Word:
    case XPrimitive::Dword:
    case XPrimitive::Char:
    case XPrimitive::Uchar:
    case XPrimitive::Sword:
    case XPrimitive::Sdword:
        return true;
    default:
        return false;
    }
}

template <typename T> void append(std::vector<uint8_t>& out, T value) {
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

bool headerField(const uint8_t* p, const char* text) {
    return std::memcmp(p, text, 4) == 0;
}

} // namespace

XFileParser::XFileParser(XFileTokenizer& source, XDocument& target)
    : tokenizer(source), document(target) {}

HRESULT XFileParser::parse(const uint8_t* data, size_t size, XDocument& document) {
    if (data == nullptr || size < 16 || !headerField(data, "xof ")) {
        return DXFILEERR_BADFILETYPE;
    }
    if (!headerField(data + 4, "0302") && !headerField(data + 4, "0303")) {
        return DXFILEERR_BADFILEVERSION;
    }
    bool binary;
    if (headerField(data + 8, "txt ")) {
        binary = false;
    } else if (headerField(data + 8, "bin ")) {
        binary = true;
    } else if (headerField(data + 8, "tzip") || headerField(data + 8, "bzip")) {
        return DXFILEERR_BADFILECOMPRESSIONTYPE;
    } else {
        return DXFILEERR_BADFILETYPE;
    }
    bool doubles;
    if (headerField(data + 12, "0032")) {
        doubles = false;
    } else if (headerField(data + 12, "0064")) {
        doubles = true;
    } else {
        return DXFILEERR_BADFILEFLOATSIZE;
    }
    XFileTokenizer tokenizer(data + 16, size - 16, binary, doubles);
    XFileParser parser(tokenizer, document);
    try {
        parser.run();
        document.index();
    } catch (const XParseError& error) {
        return error.code;
    } catch (const std::bad_alloc&) {
        return DXFILEERR_BADALLOC;
    }
    return DXFILE_OK;
}

void XFileParser::advance() {
    token = tokenizer.next();
    if (token.type == XToken::Error) {
        fail(DXFILEERR_PARSEERROR);
    }
}

void XFileParser::expect(XToken type) {
    if (token.type != type) {
        fail(DXFILEERR_PARSEERROR);
    }
}

void XFileParser::run() {
    advance();
    while (token.type != XToken::End) {
        if (token.type == XToken::Template) {
            parseTemplate();
        } else if (token.type == XToken::Name) {
            document.objects.push_back(parseObject(0));
        } else {
            fail(DXFILEERR_PARSEERROR);
        }
    }
}

void XFileParser::parseTemplate() {
    auto templ = std::make_shared<XTemplate>();
    advance();
    expect(XToken::Name);
    templ->name = token.text;
    advance();
    expect(XToken::OBrace);
    advance();
    if (token.type == XToken::Guid) {
        templ->id = token.guid;
        advance();
    }
    while (token.type != XToken::CBrace) {
        if (token.type == XToken::OBracket) {
            parseRestriction(*templ);
            expect(XToken::CBrace);
            break;
        }
        XMember member;
        if (token.type == XToken::Array) {
            member.isArray = true;
            advance();
        }
        member.primitive = primitiveOf(token.type);
        if (member.primitive == XPrimitive::None) {
            expect(XToken::Name);
            member.nested = document.templates.find(token.text);
            if (member.nested == nullptr) {
                fail(DXFILEERR_NOTEMPLATE);
            }
            templ->depth = std::max(templ->depth, member.nested->depth + 1);
            if (templ->depth > MAX_TEMPLATE_DEPTH) {
                fail(DXFILEERR_PARSEERROR);
            }
        }
        advance();
        if (token.type == XToken::Name) {
            member.name = token.text;
            advance();
        } else if (member.isArray) {
            fail(DXFILEERR_PARSEERROR); // arrays are always named
        }
        if (member.isArray) {
            expect(XToken::OBracket);
            while (token.type == XToken::OBracket) {
                advance();
                XDimension dimension;
                if (token.type == XToken::Integer) {
                    dimension.constant = token.integer;
                } else if (token.type == XToken::Name) {
                    // The size comes from an earlier integer member of this template.
                    for (size_t i = 0; i < templ->members.size(); ++i) {
                        const XMember& earlier = templ->members[i];
                        if (earlier.name == token.text && !earlier.isArray &&
                            isIntegral(earlier.primitive)) {
                            dimension.memberIndex = static_cast<int>(i);
                        }
                    }
                    if (dimension.memberIndex < 0) {
                        fail(DXFILEERR_BADARRAYSIZE);
                    }
                } else {
                    fail(DXFILEERR_PARSEERROR);
                }
                member.dimensions.push_back(dimension);
                advance();
                expect(XToken::CBracket);
                advance();
            }
        }
        expect(XToken::Semicolon);
        advance();
        templ->members.push_back(std::move(member));
    }
    advance(); // past the closing brace
    document.templates.add(std::move(templ));
}

void XFileParser::parseRestriction(XTemplate& templ) {
    advance();
    if (token.type == XToken::Dot) {
        for (int i = 0; i < 2; ++i) {
            advance();
            expect(XToken::Dot);
        }
        advance();
        expect(XToken::CBracket);
        advance();
        templ.restriction = XRestriction::Open;
        return;
    }
    templ.restriction = XRestriction::Restricted;
    while (token.type != XToken::CBracket) {
        expect(XToken::Name);
        templ.allowedChildren.push_back(token.text);
        advance();
        if (token.type == XToken::Guid) {
            advance();
        }
        if (token.type == XToken::Comma) {
            advance();
        }
    }
    advance();
}

void XFileParser::skipSeparators() {
    while (token.type == XToken::Comma || token.type == XToken::Semicolon) {
        advance();
    }
}

std::unique_ptr<XObject> XFileParser::parseObject(int depth) {
    if (depth >= MAX_OBJECT_DEPTH) {
        fail(DXFILEERR_PARSEERROR);
    }
    auto object = std::make_unique<XObject>();
    object->templ = document.templates.find(token.text);
    if (object->templ == nullptr) {
        fail(DXFILEERR_NOTEMPLATE);
    }
    advance();
    if (token.type == XToken::Name) {
        object->name = token.text;
        advance();
    }
    if (token.type == XToken::Guid) {
        object->id = token.guid;
        advance();
    }
    expect(XToken::OBrace);
    advance();
    if (token.type == XToken::Guid) {
        object->id = token.guid;
        advance();
    }
    readMembers(*object->templ, object->data, &object->members);
    for (;;) {
        skipSeparators();
        if (token.type == XToken::CBrace) {
            advance();
            return object;
        }
        XChild child;
        if (token.type == XToken::OBrace) {
            advance();
            if (token.type == XToken::Name) {
                child.referenceName = token.text;
                advance();
            }
            if (token.type == XToken::Guid) {
                child.referenceId = token.guid;
                child.hasReferenceId = true;
                advance();
            }
            if (child.referenceName.empty() && !child.hasReferenceId) {
                fail(DXFILEERR_BADDATAREFERENCE);
            }
            expect(XToken::CBrace);
            advance();
        } else if (token.type == XToken::Name) {
            child.object = parseObject(depth + 1);
        } else {
            fail(DXFILEERR_PARSEERROR);
        }
        object->children.push_back(std::move(child));
    }
}

void XFileParser::readMembers(const XTemplate& templ, std::vector<uint8_t>& out,
                              std::vector<XMemberSpan>* spans) {
    std::vector<uint32_t> values(templ.members.size(), 0);
    for (size_t i = 0; i < templ.members.size(); ++i) {
        const XMember& member = templ.members[i];
        size_t start = out.size();
        uint64_t count = 1;
        for (const XDimension& d : member.dimensions) {
            uint64_t extent = d.memberIndex >= 0 ? values[d.memberIndex] : d.constant;
            count *= extent;
            if (count > UINT32_MAX) {
                fail(DXFILEERR_BADARRAYSIZE);
            }
        }
        // Counts are never trusted for allocation: every element consumes tokens
        // from the file, so a lying count runs out of data and fails.
        for (uint64_t e = 0; e < count; ++e) {
            uint64_t before = tokenizer.count();
            if (member.primitive != XPrimitive::None) {
                values[i] = readPrimitive(member.primitive, out);
            } else {
                readMembers(*member.nested, out, nullptr);
            }
            if (tokenizer.count() == before) {
                break; // an element of no data: the rest are alike and empty
            }
        }
        if (spans != nullptr) {
            spans->push_back({member.name, start, out.size() - start});
        }
    }
}

uint32_t XFileParser::readPrimitive(XPrimitive type, std::vector<uint8_t>& out) {
    skipSeparators();
    switch (type) {
    case XPrimitive::Float:
    case XPrimitive::Double:
        if (token.type != XToken::Integer && token.type != XToken::Real) {
            fail(DXFILEERR_PARSEERROR);
        }
        if (type == XPrimitive::Float) {
            append(out, static_cast<float>(token.real));
        } else {
            append(out, token.real);
        }
        advance();
        return 0;
    case XPrimitive::Lpstr:
    case XPrimitive::Unicode:
    case XPrimitive::Cstring: {
        expect(XToken::String);
        document.strings.push_back(token.text);
        const char* text = document.strings.back().c_str();
        append(out, text);
        advance();
        return 0;
    }
    default:
        break;
    }
    expect(XToken::Integer);
    uint32_t value = token.integer;
    switch (type) {
    case XPrimitive::Word:
    case XPrimitive::Sword:
        append(out, static_cast<uint16_t>(value));
        break;
    case XPrimitive::Char:
    case XPrimitive::Uchar:
        append(out, static_cast<uint8_t>(value));
        break;
    default:
        append(out, value);
        break;
    }
    advance();
    return value;
}
