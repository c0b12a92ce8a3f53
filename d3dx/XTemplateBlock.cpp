#include "d3dx/XTemplateBlock.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The templates in the text notation; encode() turns each word and mark into its
// binary token. Order and content are fixed: the parser sees them in this order.
constexpr std::string_view TEMPLATES = R"(
template Header { <3D82AB43-62DA-11CF-AB39-0020AF71E433> WORD major; WORD minor; DWORD flags; }
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template Coords2d { <F6F23F44-7686-11CF-8F52-0040333594A3> FLOAT u; FLOAT v; }
template Matrix4x4 { <F6F23F45-7686-11CF-8F52-0040333594A3> array FLOAT matrix[16]; }
template ColorRGBA { <35FF44E0-6C7C-11CF-8F52-0040333594A3>
    FLOAT red; FLOAT green; FLOAT blue; FLOAT alpha; }
template ColorRGB { <D3E16E81-7835-11CF-8F52-0040333594A3> FLOAT red; FLOAT green; FLOAT blue; }
template IndexedColor { <1630B820-7842-11CF-8F52-0040333594A3>
    DWORD index; ColorRGBA indexColor; }
template Boolean { <537DA6A0-CA37-11D0-941C-0080C80CFA7B> DWORD truefalse; }
template Boolean2d { <4885AE63-78E8-11CF-8F52-0040333594A3> Boolean u; Boolean v; }
template MaterialWrap { <4885AE60-78E8-11CF-8F52-0040333594A3> Boolean u; Boolean v; }
template TextureFilename { <A42790E1-7810-11CF-8F52-0040333594A3> LPSTR filename; }
template Material { <3D82AB4D-62DA-11CF-AB39-0020AF71E433>
    ColorRGBA faceColor; FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor; [...] }
template MeshFace { <3D82AB5F-62DA-11CF-AB39-0020AF71E433>
    DWORD nFaceVertexIndices; array DWORD faceVertexIndices[nFaceVertexIndices]; }
template MeshFaceWraps { <ED1EC5C0-C0A8-11D0-941C-0080C80CFA7B>
    DWORD nFaceWrapValues; array Boolean2d faceWrapValues[nFaceWrapValues]; }
template MeshTextureCoords { <F6F23F40-7686-11CF-8F52-0040333594A3>
    DWORD nTextureCoords; array Coords2d textureCoords[nTextureCoords]; }
template MeshMaterialList { <F6F23F42-7686-11CF-8F52-0040333594A3>
    DWORD nMaterials; DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes]; [Material] }
template MeshNormals { <F6F23F43-7686-11CF-8F52-0040333594A3>
    DWORD nNormals; array Vector normals[nNormals];
    DWORD nFaceNormals; array MeshFace faceNormals[nFaceNormals]; }
template MeshVertexColors { <1630B821-7842-11CF-8F52-0040333594A3>
    DWORD nVertexColors; array IndexedColor vertexColors[nVertexColors]; }
template Mesh { <3D82AB44-62DA-11CF-AB39-0020AF71E433>
    DWORD nVertices; array Vector vertices[nVertices];
    DWORD nFaces; array MeshFace faces[nFaces]; [...] }
template FrameTransformMatrix { <F6F23F41-7686-11CF-8F52-0040333594A3> Matrix4x4 frameMatrix; }
template Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433> [...] }
template FloatKeys { <10DD46A9-775B-11CF-8F52-0040333594A3>
    DWORD nValues; array FLOAT values[nValues]; }
template TimedFloatKeys { <F406B180-7B3B-11CF-8F52-0040333594A3> DWORD time; FloatKeys tfkeys; }
template AnimationKey { <10DD46A8-775B-11CF-8F52-0040333594A3>
    DWORD keyType; DWORD nKeys; array TimedFloatKeys keys[nKeys]; }
template AnimationOptions { <E2BF56C0-840F-11CF-8F52-0040333594A3>
    DWORD openclosed; DWORD positionquality; }
template Animation { <3D82AB4F-62DA-11CF-AB39-0020AF71E433> [...] }
template AnimationSet { <3D82AB50-62DA-11CF-AB39-0020AF71E433> [Animation] }
template InlineData { <3A23EEA0-94B1-11D0-AB39-0020AF71E433> [BINARY] }
template Url { <3A23EEA1-94B1-11D0-AB39-0020AF71E433> DWORD nUrls; array LPSTR urls[nUrls]; }
template ProgressiveMesh { <8A63C360-997D-11D0-941C-0080C80CFA7B> [Url, InlineData] }
template Guid { <A42790E0-7810-11CF-8F52-0040333594A3>
    DWORD data1; WORD data2; WORD data3; array UCHAR data4[8]; }
template StringProperty { <7F0F21E0-BFE1-11D1-82C0-00A0C9697271> LPSTR key; LPSTR value; }
template PropertyBag { <7F0F21E1-BFE1-11D1-82C0-00A0C9697271> [StringProperty] }
template ExternalVisual { <98116AA0-BDBA-11D1-82C0-00A0C9697271> Guid guidExternalVisual; [...] }
template RightHanded { <7F5D5EA0-D53A-11D1-82C0-00A0C9697271> DWORD bRightHanded; }
)";

// Binary token codes.
enum : uint16_t {
    TOKEN_NAME = 1,
    TOKEN_INTEGER = 3,
    TOKEN_GUID = 5,
    TOKEN_OBRACE = 10,
    TOKEN_CBRACE = 11,
    TOKEN_OBRACKET = 14,
    TOKEN_CBRACKET = 15,
    TOKEN_DOT = 18,
    TOKEN_COMMA = 19,
    TOKEN_SEMICOLON = 20,
    TOKEN_TEMPLATE = 31,
    TOKEN_WORD = 40,
    TOKEN_DWORD = 41,
    TOKEN_FLOAT = 42,
    TOKEN_UCHAR = 45,
    TOKEN_LPSTR = 49,
    TOKEN_ARRAY = 52,
};

class Encoder {
public:
    std::vector<uint8_t> bytes;

    void word(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void dword(uint32_t v) {
        word(static_cast<uint16_t>(v));
        word(static_cast<uint16_t>(v >> 16));
    }
    void name(std::string_view text) {
        word(TOKEN_NAME);
        dword(static_cast<uint32_t>(text.size()));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    void integer(uint32_t v) {
        word(TOKEN_INTEGER);
        dword(v);
    }
    // "3D82AB43-62DA-11CF-AB39-0020AF71E433" as Data1, Data2, Data3, Data4[8].
    void guid(std::string_view text) {
        auto hex = [&](size_t from, size_t count) {
            return static_cast<uint32_t>(
                std::strtoul(std::string(text.substr(from, count)).c_str(), nullptr, 16));
        };
        word(TOKEN_GUID);
        dword(hex(0, 8));
        word(static_cast<uint16_t>(hex(9, 4)));
        word(static_cast<uint16_t>(hex(14, 4)));
        const size_t data4[8] = {19, 21, 24, 26, 28, 30, 32, 34};
        for (size_t at : data4) {
            bytes.push_back(static_cast<uint8_t>(hex(at, 2)));
        }
    }
};

uint16_t keywordToken(std::string_view word) {
    struct Keyword {
        std::string_view text;
        uint16_t token;
    };
    static constexpr Keyword KEYWORDS[] = {
        {"template", TOKEN_TEMPLATE}, {"array", TOKEN_ARRAY}, {"WORD", TOKEN_WORD},
        {"DWORD", TOKEN_DWORD},       {"FLOAT", TOKEN_FLOAT}, {"UCHAR", TOKEN_UCHAR},
        {"LPSTR", TOKEN_LPSTR},
    };
    for (const Keyword& k : KEYWORDS) {
        if (k.text == word) {
            return k.token;
        }
    }
    return 0;
}

std::vector<uint8_t> encode() {
    Encoder out;
    const char header[] = "xof 0302bin 0064";
    out.bytes.assign(header, header + 16);
    std::string_view text = TEMPLATES;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '<') {
            size_t end = text.find('>', i);
            out.guid(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            size_t end = i;
            while (std::isdigit(static_cast<unsigned char>(text[end]))) {
                ++end;
            }
            out.integer(static_cast<uint32_t>(std::stoul(std::string(text.substr(i, end - i)))));
            i = end;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            size_t end = i;
            while (std::isalnum(static_cast<unsigned char>(text[end]))) {
                ++end;
            }
            std::string_view word = text.substr(i, end - i);
            if (uint16_t token = keywordToken(word)) {
                out.word(token);
            } else {
                out.name(word);
            }
            i = end;
        } else {
            static constexpr std::string_view MARKS = "{}[].,;";
            static constexpr uint16_t TOKENS[] = {TOKEN_OBRACE,   TOKEN_CBRACE, TOKEN_OBRACKET,
                                                  TOKEN_CBRACKET, TOKEN_DOT,    TOKEN_COMMA,
                                                  TOKEN_SEMICOLON};
            out.word(TOKENS[MARKS.find(c)]);
            ++i;
        }
    }
    return out.bytes;
}

} // namespace

const std::vector<uint8_t>& xTemplateBlock() {
    static const std::vector<uint8_t> block = encode();
    return block;
}
