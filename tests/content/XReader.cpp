#include "XReader.h"

#include <cctype>
#include <cstring>

const XObject* XObject::child(const std::string& t) const {
    for (const XObject& c : children) {
        if (c.type == t) {
            return &c;
        }
    }
    return nullptr;
}

std::vector<const XObject*> XObject::all(const std::string& t) const {
    std::vector<const XObject*> out;
    for (const XObject& c : children) {
        if (c.type == t) {
            out.push_back(&c);
        }
    }
    return out;
}

namespace {

struct Token {
    enum Kind { NAME, NUMBER, STRING, OPEN, CLOSE, END } kind;
    std::string text;
    std::vector<double> numbers;
};

class Lexer {
public:
    Lexer(const std::vector<uint8_t>& b, bool bin) : bytes(b), binary(bin), at(16) {}

    bool next(Token& t) {
        t.numbers.clear();
        t.text.clear();
        return binary ? nextBinary(t) : nextText(t);
    }

private:
    uint32_t u16() {
        uint32_t v = bytes[at] | (bytes[at + 1] << 8);
        at += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t v = u16();
        return v | (u16() << 16);
    }
    bool have(size_t n) const { return at + n <= bytes.size(); }

    bool nextBinary(Token& t) {
        while (true) {
            if (!have(2)) {
                t.kind = Token::END;
                return true;
            }
            uint32_t code = u16();
            switch (code) {
            case 1:
            case 2: {
                if (!have(4)) {
                    return false;
                }
                uint32_t n = u32();
                if (!have(n)) {
                    return false;
                }
                t.text.assign(reinterpret_cast<const char*>(&bytes[at]), n);
                at += n;
                if (code == 2) {
                    if (!have(2)) {
                        return false;
                    }
                    u16(); // terminator
                }
                t.kind = code == 1 ? Token::NAME : Token::STRING;
                return true;
            }
            case 3:
                if (!have(4)) {
                    return false;
                }
                t.kind = Token::NUMBER;
                t.numbers.push_back(u32());
                return true;
            case 5:
                if (!have(16)) {
                    return false;
                }
                at += 16;
                break;
            case 6:
            case 7: {
                if (!have(4)) {
                    return false;
                }
                uint32_t n = u32();
                if (!have(static_cast<size_t>(n) * 4)) {
                    return false;
                }
                for (uint32_t i = 0; i < n; ++i) {
                    uint32_t bits = u32();
                    float f;
                    std::memcpy(&f, &bits, 4);
                    t.numbers.push_back(code == 6 ? static_cast<double>(bits) : f);
                }
                t.kind = Token::NUMBER;
                return true;
            }
            case 10:
                t.kind = Token::OPEN;
                return true;
            case 11:
                t.kind = Token::CLOSE;
                return true;
            case 19:
            case 20:
                break;
            default:
                return false;
            }
        }
    }

    bool nextText(Token& t) {
        while (at < bytes.size()) {
            char c = static_cast<char>(bytes[at]);
            if (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == ';') {
                ++at;
            } else if (c == '#' || (c == '/' && at + 1 < bytes.size() && bytes[at + 1] == '/')) {
                while (at < bytes.size() && bytes[at] != '\n') {
                    ++at;
                }
            } else if (c == '{' || c == '}') {
                ++at;
                t.kind = c == '{' ? Token::OPEN : Token::CLOSE;
                return true;
            } else if (c == '"') {
                size_t end = at + 1;
                while (end < bytes.size() && bytes[end] != '"') {
                    ++end;
                }
                if (end >= bytes.size()) {
                    return false;
                }
                t.text.assign(reinterpret_cast<const char*>(&bytes[at + 1]), end - at - 1);
                at = end + 1;
                t.kind = Token::STRING;
                return true;
            } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' ||
                       c == '.') {
                size_t end = at;
                while (end < bytes.size() &&
                       (std::isdigit(bytes[end]) || std::strchr("+-.eE", bytes[end]))) {
                    ++end;
                }
                std::string s(reinterpret_cast<const char*>(&bytes[at]), end - at);
                at = end;
                t.kind = Token::NUMBER;
                t.numbers.push_back(std::stod(s));
                return true;
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                size_t end = at;
                while (end < bytes.size() && (std::isalnum(bytes[end]) || bytes[end] == '_')) {
                    ++end;
                }
                t.text.assign(reinterpret_cast<const char*>(&bytes[at]), end - at);
                at = end;
                t.kind = Token::NAME;
                return true;
            } else {
                return false;
            }
        }
        t.kind = Token::END;
        return true;
    }

    const std::vector<uint8_t>& bytes;
    bool binary;
    size_t at;
};

// Parses the body of an object after its opening brace, up to the matching close.
bool parseBody(Lexer& lex, XObject& obj);

// Reads the body of an object of the type and name named so far into `into`; the type
// and name are cleared for the next object.
bool parseChild(Lexer& lex, std::string& type, std::string& name, std::vector<XObject>& into) {
    XObject child;
    child.type = type;
    child.name = name;
    type.clear();
    name.clear();
    if (!parseBody(lex, child)) {
        return false;
    }
    into.push_back(std::move(child));
    return true;
}

bool parseBody(Lexer& lex, XObject& obj) {
    Token t;
    std::string pendingType;
    std::string pendingName;
    while (lex.next(t)) {
        switch (t.kind) {
        case Token::END:
            return false;
        case Token::CLOSE:
            return pendingType.empty();
        case Token::NUMBER:
            obj.values.insert(obj.values.end(), t.numbers.begin(), t.numbers.end());
            break;
        case Token::STRING:
            obj.strings.push_back(t.text);
            break;
        case Token::NAME:
            if (pendingType.empty()) {
                pendingType = t.text;
            } else {
                pendingName = t.text;
            }
            break;
        case Token::OPEN: {
            if (pendingType.empty()) {
                return false; // references are not used by our files
            }
            if (!parseChild(lex, pendingType, pendingName, obj.children)) {
                return false;
            }
            break;
        }
        }
    }
    return false;
}

bool faceList(const std::vector<double>& v, size_t& at, std::vector<std::vector<uint32_t>>& faces) {
    if (at >= v.size()) {
        return false;
    }
    size_t n = static_cast<size_t>(v[at++]);
    for (size_t i = 0; i < n; ++i) {
        if (at >= v.size()) {
            return false;
        }
        size_t k = static_cast<size_t>(v[at++]);
        if (at + k > v.size()) {
            return false;
        }
        std::vector<uint32_t> f;
        for (size_t j = 0; j < k; ++j) {
            f.push_back(static_cast<uint32_t>(v[at++]));
        }
        faces.push_back(f);
    }
    return true;
}

} // namespace

bool readXFile(const std::vector<uint8_t>& bytes, XFile& out) {
    if (bytes.size() < 16 || std::memcmp(bytes.data(), "xof 03", 6) != 0) {
        return false;
    }
    std::string format(reinterpret_cast<const char*>(&bytes[8]), 3);
    if (format != "txt" && format != "bin") {
        return false;
    }
    out.binary = format == "bin";
    Lexer lex(bytes, out.binary);
    XObject root;
    Token t;
    std::string type;
    std::string name;
    while (lex.next(t)) {
        if (t.kind == Token::END) {
            out.objects = std::move(root.children);
            return type.empty();
        }
        if (t.kind == Token::NAME) {
            (type.empty() ? type : name) = t.text;
        } else if (t.kind == Token::OPEN && !type.empty()) {
            if (!parseChild(lex, type, name, root.children)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return false;
}

bool readMesh(const XObject& mesh, XMesh& out, std::string& error) {
    const auto& v = mesh.values;
    size_t at = 0;
    if (v.empty()) {
        error = "no vertex count";
        return false;
    }
    size_t nv = static_cast<size_t>(v[at++]);
    if (at + nv * 3 > v.size()) {
        error = "short vertex list";
        return false;
    }
    out.positions.assign(v.begin() + at, v.begin() + at + nv * 3);
    at += nv * 3;
    if (!faceList(v, at, out.faces) || at != v.size()) {
        error = "bad face list";
        return false;
    }
    if (const XObject* n = mesh.child("MeshNormals")) {
        size_t k = 0;
        size_t nn = static_cast<size_t>(n->values.at(k++));
        if (k + nn * 3 > n->values.size()) {
            error = "short normal list";
            return false;
        }
        out.normals.assign(n->values.begin() + k, n->values.begin() + k + nn * 3);
        k += nn * 3;
        if (!faceList(n->values, k, out.normalFaces) || k != n->values.size()) {
            error = "bad normal faces";
            return false;
        }
    }
    if (const XObject* t = mesh.child("MeshTextureCoords")) {
        size_t n = static_cast<size_t>(t->values.at(0));
        if (t->values.size() != 1 + 2 * n) {
            error = "bad texture coordinates";
            return false;
        }
        out.uvs.assign(t->values.begin() + 1, t->values.end());
    }
    if (const XObject* m = mesh.child("MeshMaterialList")) {
        if (m->values.size() < 2) {
            error = "bad material list";
            return false;
        }
        size_t nf = static_cast<size_t>(m->values[1]);
        if (m->values.size() != 2 + nf) {
            error = "bad material indexes";
            return false;
        }
        for (size_t i = 0; i < nf; ++i) {
            out.faceMaterials.push_back(static_cast<uint32_t>(m->values[2 + i]));
        }
        for (const XObject* mat : m->all("Material")) {
            XMesh::Material entry;
            entry.values = mat->values;
            if (const XObject* tex = mat->child("TextureFilename")) {
                entry.texture = tex->strings.empty() ? std::string() : tex->strings[0];
            }
            out.materials.push_back(entry);
        }
        if (out.materials.size() != static_cast<size_t>(m->values[0])) {
            error = "material count differs from the Material objects";
            return false;
        }
    }
    return true;
}
