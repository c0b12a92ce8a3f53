#include "XFileTokenizer.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <string_view>

namespace {

struct Keyword {
    const char* text;
    XToken token;
};

// The reserved words of the text form; they are case-sensitive.
constexpr Keyword KEYWORDS[] = {
    {"template", XToken::Template}, {"TEMPLATE", XToken::Template}, {"array", XToken::Array},
    {"ARRAY", XToken::Array},       {"WORD", XToken::Word},         {"DWORD", XToken::Dword},
    {"FLOAT", XToken::Float},       {"DOUBLE", XToken::Double},     {"CHAR", XToken::Char},
    {"UCHAR", XToken::Uchar},       {"BYTE", XToken::Uchar},        {"SWORD", XToken::Sword},
    {"SDWORD", XToken::Sdword},     {"VOID", XToken::Void},         {"LPSTR", XToken::Lpstr},
    {"STRING", XToken::Lpstr},      {"UNICODE", XToken::Unicode},   {"CSTRING", XToken::Cstring},
};

bool isNameStart(uint8_t c) {
    return std::isalpha(c) || c == '_';
}
bool isNameChar(uint8_t c) {
    return std::isalnum(c) || c == '_' || c == '-' || c == '.';
}

int hexValue(uint8_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

XFileTokenizer::XFileTokenizer(const uint8_t* bytes, size_t length, bool isBinary, bool isDoubles)
    : data(bytes), size(length), binary(isBinary), doubles(isDoubles) {}

const XTokenValue& XFileTokenizer::next() {
    if (current.type == XToken::Error) {
        return current;
    }
    current.text.clear();
    if (binary) {
        nextBinary();
    } else {
        nextText();
    }
    if (current.type != XToken::End && current.type != XToken::Error) {
        ++tokens;
    }
    return current;
}

bool XFileTokenizer::readWord(uint16_t& value) {
    if (!need(2)) {
        return false;
    }
    value = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
    pos += 2;
    return true;
}

bool XFileTokenizer::readDword(uint32_t& value) {
    if (!need(4)) {
        return false;
    }
    value = static_cast<uint32_t>(data[pos]) | static_cast<uint32_t>(data[pos + 1]) << 8 |
            static_cast<uint32_t>(data[pos + 2]) << 16 | static_cast<uint32_t>(data[pos + 3]) << 24;
    pos += 4;
    return true;
}

void XFileTokenizer::nextBinary() {
    // Loops only past empty lists.
    for (;;) {
        if (nextBinaryToken()) {
            return;
        }
    }
}

bool XFileTokenizer::nextBinaryToken() {
    if (listRemaining > 0) {
        --listRemaining;
        if (listType == XToken::Integer) {
            readDword(current.integer); // the list's length was checked when it began
            current.type = XToken::Integer;
            current.real = current.integer;
        } else if (doubles) {
            double value;
            std::memcpy(&value, data + pos, 8);
            pos += 8;
            current.type = XToken::Real;
            current.real = value;
        } else {
            float value;
            std::memcpy(&value, data + pos, 4);
            pos += 4;
            current.type = XToken::Real;
            current.real = value;
        }
        return true;
    }
    uint16_t code;
    if (pos == size) {
        current.type = XToken::End;
        return true;
    }
    if (!readWord(code)) {
        current.type = XToken::Error;
        return true;
    }
    current.type = XToken::Error;
    switch (code) {
    case 1:   // name: count, bytes
    case 2: { // string: count, bytes, terminator token as a DWORD
        uint32_t length;
        if (!readDword(length) || !need(length)) {
            return true;
        }
        current.text.assign(reinterpret_cast<const char*>(data + pos), length);
        pos += length;
        if (code == 2) {
            uint32_t terminator;
            if (!readDword(terminator)) {
                return true;
            }
        }
        current.type = code == 1 ? XToken::Name : XToken::String;
        return true;
    }
    case 3:
        if (readDword(current.integer)) {
            current.type = XToken::Integer;
            current.real = current.integer;
        }
        return true;
    case 5: {
        GUID& g = current.guid;
        if (!readDword(g.Data1) || !readWord(g.Data2) || !readWord(g.Data3) || !need(8)) {
            return true;
        }
        std::memcpy(g.Data4, data + pos, 8);
        pos += 8;
        current.type = XToken::Guid;
        return true;
    }
    case 6:
    case 7: {
        uint32_t count;
        if (!readDword(count)) {
            return true;
        }
        size_t element = code == 6 ? 4 : (doubles ? 8 : 4);
        // The whole list must be present before any of it is handed out.
        if (count > (size - pos) / element) {
            return true;
        }
        listType = code == 6 ? XToken::Integer : XToken::Real;
        listRemaining = count;
        return false;
    }
    default:
        if ((code >= 10 && code <= 20) || code == 31 || (code >= 40 && code <= 52)) {
            current.type = static_cast<XToken>(code);
        }
        return true;
    }
}

void XFileTokenizer::nextText() {
    // Whitespace and comments ("//" or "#" to the end of the line).
    while (pos < size) {
        uint8_t c = data[pos];
        if (std::isspace(c) || c == 0) {
            ++pos;
        } else if (c == '#' || (c == '/' && pos + 1 < size && data[pos + 1] == '/')) {
            while (pos < size && data[pos] != '\n') {
                ++pos;
            }
        } else {
            break;
        }
    }
    if (pos == size) {
        current.type = XToken::End;
        return;
    }
    uint8_t c = data[pos];
    switch (c) {
    case '{':
        current.type = XToken::OBrace;
        ++pos;
        return;
    case '}':
        current.type = XToken::CBrace;
        ++pos;
        return;
    case '(':
        current.type = XToken::OParen;
        ++pos;
        return;
    case ')':
        current.type = XToken::CParen;
        ++pos;
        return;
    case '[':
        current.type = XToken::OBracket;
        ++pos;
        return;
    case ']':
        current.type = XToken::CBracket;
        ++pos;
        return;
    case ',':
        current.type = XToken::Comma;
        ++pos;
        return;
    case ';':
        current.type = XToken::Semicolon;
        ++pos;
        return;
    case '>':
        current.type = XToken::CAngle;
        ++pos;
        return;
    case '<':
        if (!readTextGuid()) {
            current.type = XToken::OAngle;
            ++pos;
        }
        return;
    case '"': {
        size_t end = pos + 1;
        while (end < size && data[end] != '"') {
            ++end;
        }
        if (end == size) {
            current.type = XToken::Error;
            return;
        }
        current.text.assign(reinterpret_cast<const char*>(data + pos + 1), end - pos - 1);
        current.type = XToken::String;
        pos = end + 1;
        return;
    }
    default:
        break;
    }
    uint8_t after = pos + 1 < size ? data[pos + 1] : 0;
    bool numberStart = std::isdigit(c) ||
                       ((c == '-' || c == '+') && (std::isdigit(after) || after == '.')) ||
                       (c == '.' && std::isdigit(after));
    if (numberStart) {
        readTextNumber();
        return;
    }
    if (c == '.') {
        current.type = XToken::Dot;
        ++pos;
        return;
    }
    if (isNameStart(c)) {
        size_t end = pos + 1;
        while (end < size && isNameChar(data[end])) {
            ++end;
        }
        std::string_view word(reinterpret_cast<const char*>(data + pos), end - pos);
        pos = end;
        for (const Keyword& k : KEYWORDS) {
            if (word == k.text) {
                current.type = k.token;
                return;
            }
        }
        current.text.assign(word);
        current.type = XToken::Name;
        return;
    }
    current.type = XToken::Error;
}

bool XFileTokenizer::readTextGuid() {
    // <xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx>, spaces allowed inside the brackets.
    size_t p = pos + 1;
    while (p < size && data[p] == ' ') {
        ++p;
    }
    if (size - p < 36) {
        return false;
    }
    static constexpr int GROUPS[] = {8, 4, 4, 4, 12};
    uint8_t nibbles[32];
    int n = 0;
    for (int g = 0; g < 5; ++g) {
        for (int i = 0; i < GROUPS[g]; ++i) {
            int v = hexValue(data[p++]);
            if (v < 0) {
                return false;
            }
            nibbles[n++] = static_cast<uint8_t>(v);
        }
        if (g < 4 && data[p++] != '-') {
            return false;
        }
    }
    while (p < size && data[p] == ' ') {
        ++p;
    }
    if (p == size || data[p] != '>') {
        return false;
    }
    auto take = [&](int from, int count) {
        uint32_t v = 0;
        for (int i = 0; i < count; ++i) {
            v = v << 4 | nibbles[from + i];
        }
        return v;
    };
    GUID& g = current.guid;
    g.Data1 = take(0, 8);
    g.Data2 = static_cast<uint16_t>(take(8, 4));
    g.Data3 = static_cast<uint16_t>(take(12, 4));
    for (int i = 0; i < 8; ++i) {
        g.Data4[i] = static_cast<uint8_t>(take(16 + 2 * i, 2));
    }
    current.type = XToken::Guid;
    pos = p + 1;
    return true;
}

void XFileTokenizer::readTextNumber() {
    size_t end = pos;
    if (data[end] == '-' || data[end] == '+') {
        ++end;
    }
    bool isReal = false;
    while (end < size) {
        uint8_t c = data[end];
        if (std::isdigit(c)) {
            ++end;
        } else if (c == '.' || c == 'e' || c == 'E') {
            isReal = true;
            ++end;
            if ((c == 'e' || c == 'E') && end < size && (data[end] == '-' || data[end] == '+')) {
                ++end;
            }
        } else {
            break;
        }
    }
    const char* first = reinterpret_cast<const char*>(data + pos);
    const char* last = reinterpret_cast<const char*>(data + end);
    if (*first == '+') {
        ++first;
    }
    pos = end;
    double real = 0.0;
    auto [ptr, ec] = std::from_chars(first, last, real);
    if (ec != std::errc() || ptr != last) {
        current.type = XToken::Error;
        return;
    }
    current.real = real;
    if (isReal) {
        current.type = XToken::Real;
        return;
    }
    int64_t whole = 0;
    auto [iptr, iec] = std::from_chars(first, last, whole);
    // Integers must fit 32 bits, signed or unsigned.
    if (iec != std::errc() || iptr != last || whole < INT32_MIN || whole > UINT32_MAX) {
        current.type = XToken::Error;
        return;
    }
    current.integer = static_cast<uint32_t>(whole);
    current.type = XToken::Integer;
}
