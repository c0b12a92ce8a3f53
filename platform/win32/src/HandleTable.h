// Kernel object handles: open files and file mappings, each a POSIX file
// descriptor of its own, and the views mapped from them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include <windef.h>

struct KernelObject {
    enum class Kind { File, Mapping };
    Kind kind = Kind::File;
    int fd = -1;
    bool writable = false;
    uint64_t size = 0; // mappings: the mapped size

    ~KernelObject();
};

class HandleTable {
public:
    static HandleTable& instance();

    HANDLE add(std::unique_ptr<KernelObject> object);
    KernelObject* find(HANDLE handle) const;
    bool close(HANDLE handle);

    void addView(const void* address, size_t length);
    // The length of the view that starts at address; 0 when there is none.
    size_t takeView(const void* address);

private:
    std::map<uintptr_t, std::unique_ptr<KernelObject>> objects;
    std::map<uintptr_t, size_t> views;
    uintptr_t nextHandle = 0x100;
};
