// Splits the body of a .x file (after its 16-byte header) into tokens. The text
// and binary forms give the same token stream; the binary form's integer and
// float lists come out as one Integer or Float token per element.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <windef.h>

enum class XToken : uint16_t {
    Name = 1,
    String = 2,
    Integer = 3,
    Guid = 5,
    IntegerList = 6,
    FloatList = 7,
    OBrace = 10,
    CBrace = 11,
    OParen = 12,
    CParen = 13,
    OBracket = 14,
    CBracket = 15,
    OAngle = 16,
    CAngle = 17,
    Dot = 18,
    Comma = 19,
    Semicolon = 20,
    Template = 31,
    Word = 40,
    Dword = 41,
    Float = 42,
    Double = 43,
    Char = 44,
    Uchar = 45,
    Sword = 46,
    Sdword = 47,
    Void = 48,
    Lpstr = 49,
    Unicode = 50,
    Cstring = 51,
    Array = 52,
    // Not binary token codes: a number with a fraction, the end, a malformed input.
    Real = 1000,
    End = 1001,
    Error = 1002,
};

struct XTokenValue {
    XToken type = XToken::End;
    std::string text;     // Name, String
    uint32_t integer = 0; // Integer (two's complement for negative text numbers)
    double real = 0.0;    // Integer and Real
    GUID guid{};          // Guid
};

class XFileTokenizer {
public:
    // doubles: the binary form's float lists hold 64-bit values.
    XFileTokenizer(const uint8_t* data, size_t size, bool binary, bool doubles);

    // The next token; End at the end of the data and Error (repeatedly) on bad data.
    const XTokenValue& next();
    // Tokens handed out so far.
    uint64_t count() const { return tokens; }

private:
    void nextBinary();
    bool nextBinaryToken(); // false when it only began an empty list
    void nextText();
    bool readTextGuid();
    void readTextNumber();

    bool readWord(uint16_t& value);
    bool readDword(uint32_t& value);
    bool need(size_t bytes) const { return size - pos >= bytes; }

    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool binary;
    bool doubles;
    // Elements of a binary list still to hand out.
    XToken listType = XToken::End;
    uint32_t listRemaining = 0;
    uint64_t tokens = 0;
    XTokenValue current;
};
