// What the parser makes of a .x file: templates and a tree of data objects whose
// data blocks are packed exactly as the templates lay them out.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <windef.h>

// Primitive member types, numbered as the binary encoding numbers their tokens.
enum class XPrimitive : uint16_t {
    None = 0,
    Word = 40,
    Dword = 41,
    Float = 42,
    Double = 43,
    Char = 44,
    Uchar = 45,
    Sword = 46,
    Sdword = 47,
    Lpstr = 49,
    Unicode = 50,
    Cstring = 51,
};

struct XTemplate;

// One array dimension: a constant, or the value of an earlier member.
struct XDimension {
    uint32_t constant = 0;
    int memberIndex = -1;
};

struct XMember {
    std::string name;
    XPrimitive primitive = XPrimitive::None; // None: a nested template
    const XTemplate* nested = nullptr;
    bool isArray = false;
    std::vector<XDimension> dimensions;
};

enum class XRestriction { Closed, Open, Restricted };

struct XTemplate {
    std::string name;
    GUID id{};
    std::vector<XMember> members;
    XRestriction restriction = XRestriction::Closed;
    std::vector<std::string> allowedChildren;
    int depth = 1; // nesting depth of templates, itself included
};

// Templates by name; copies share the templates themselves.
class XTemplateRegistry {
public:
    const XTemplate* find(const std::string& name) const;
    // Keeps the first definition of a name; later ones are ignored.
    void add(std::shared_ptr<const XTemplate> templ);
    size_t size() const { return templates.size(); }
    template <typename F> void forEach(F&& visit) const {
        for (const auto& templ : templates) {
            visit(templ);
        }
    }

private:
    std::vector<std::shared_ptr<const XTemplate>> templates;
    std::map<std::string, const XTemplate*> byName;
};

// Where a top-level member of an object's template lies in its data block.
struct XMemberSpan {
    std::string name;
    size_t offset = 0;
    size_t size = 0;
};

struct XObject;

// A child of a data object: a nested object or a reference by name and/or id.
struct XChild {
    std::unique_ptr<XObject> object;
    std::string referenceName;
    GUID referenceId{};
    bool hasReferenceId = false;
};

struct XObject {
    const XTemplate* templ = nullptr;
    std::string name;
    GUID id{};
    std::vector<uint8_t> data;
    std::vector<XMemberSpan> members;
    std::vector<XChild> children;
};

struct XDocument {
    XTemplateRegistry templates;
    std::vector<std::unique_ptr<XObject>> objects;
    // Strings that string members point to; a deque keeps their addresses.
    std::deque<std::string> strings;

    // The named (or identified) object a reference stands for, searched
    // top-level objects first, then depth first; null when there is none.
    // Lookups go through an index built by index(), so that a file full of
    // references costs no more than its size.
    const XObject* resolve(const std::string& name, const GUID* id) const;
    void index();

private:
    std::map<std::string, const XObject*> byName;
    std::map<std::tuple<uint32_t, uint16_t, uint16_t, uint64_t>, const XObject*> byId;
};
