#include "XFileDocument.h"

const XTemplate* XTemplateRegistry::find(const std::string& name) const {
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

void XTemplateRegistry::add(std::shared_ptr<const XTemplate> templ) {
    if (byName.count(templ->name) != 0) {
        return;
    }
    byName.emplace(templ->name, templ.get());
    templates.push_back(std::move(templ));
}

namespace {

bool matches(const XObject& object, const std::string& name, const GUID* id) {
    if (!name.empty() && object.name != name) {
        return false;
    }
    if (id != nullptr && object.id != *id) {
        return false;
    }
    return true;
}

const XObject* searchChildren(const XObject& parent, const std::string& name, const GUID* id) {
    // Iterative depth-first walk: nesting depth is bounded by the parser, but a
    // loop keeps the stack flat regardless.
    std::vector<const XObject*> pending{&parent};
    while (!pending.empty()) {
        const XObject* object = pending.back();
        pending.pop_back();
        for (auto it = object->children.rbegin(); it != object->children.rend(); ++it) {
            if (it->object) {
                pending.push_back(it->object.get());
            }
        }
        if (object != &parent && matches(*object, name, id)) {
            return object;
        }
    }
    return nullptr;
}

} // namespace

const XObject* XDocument::resolve(const std::string& name, const GUID* id) const {
    if (name.empty() && id == nullptr) {
        return nullptr;
    }
    for (const auto& object : objects) {
        if (matches(*object, name, id)) {
            return object.get();
        }
    }
    for (const auto& object : objects) {
        if (const XObject* found = searchChildren(*object, name, id)) {
            return found;
        }
    }
    return nullptr;
}
