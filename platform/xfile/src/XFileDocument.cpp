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

std::tuple<uint32_t, uint16_t, uint16_t, uint64_t> key(const GUID& id) {
    uint64_t tail = 0;
    for (uint8_t b : id.Data4) {
        tail = tail << 8 | b;
    }
    return {id.Data1, id.Data2, id.Data3, tail};
}

} // namespace

void XDocument::index() {
    byName.clear();
    byId.clear();
    // Top-level objects first, then every object depth first; the first of a
    // name or id wins. The walk keeps its own stack.
    auto enter = [&](const XObject* object) {
        if (!object->name.empty()) {
            byName.emplace(object->name, object);
        }
        if (object->id != GUID{}) {
            byId.emplace(key(object->id), object);
        }
    };
    for (const auto& object : objects) {
        enter(object.get());
    }
    std::vector<const XObject*> pending;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        pending.push_back(it->get());
    }
    while (!pending.empty()) {
        const XObject* object = pending.back();
        pending.pop_back();
        enter(object);
        for (auto it = object->children.rbegin(); it != object->children.rend(); ++it) {
            if (it->object) {
                pending.push_back(it->object.get());
            }
        }
    }
}

const XObject* XDocument::resolve(const std::string& name, const GUID* id) const {
    if (!name.empty()) {
        auto found = byName.find(name);
        if (found == byName.end()) {
            return nullptr;
        }
        // A name and an id must both match; the named object is the candidate.
        return id == nullptr || found->second->id == *id ? found->second : nullptr;
    }
    if (id != nullptr) {
        auto found = byId.find(key(*id));
        return found == byId.end() ? nullptr : found->second;
    }
    return nullptr;
}
