#include "HandleTable.h"

#include <unistd.h>

KernelObject::~KernelObject() {
    if (fd >= 0) {
        ::close(fd);
    }
}

HandleTable& HandleTable::instance() {
    static HandleTable table;
    return table;
}

HANDLE HandleTable::add(std::unique_ptr<KernelObject> object) {
    const uintptr_t value = nextHandle;
    nextHandle += 4;
    objects[value] = std::move(object);
    return reinterpret_cast<HANDLE>(value);
}

KernelObject* HandleTable::find(HANDLE handle) const {
    auto it = objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == objects.end() ? nullptr : it->second.get();
}

bool HandleTable::close(HANDLE handle) {
    return objects.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
}

void HandleTable::addView(const void* address, size_t length) {
    views[reinterpret_cast<uintptr_t>(address)] = length;
}

size_t HandleTable::takeView(const void* address) {
    auto it = views.find(reinterpret_cast<uintptr_t>(address));
    if (it == views.end()) {
        return 0;
    }
    const size_t length = it->second;
    views.erase(it);
    return length;
}
