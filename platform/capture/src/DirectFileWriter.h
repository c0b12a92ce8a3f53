// Writes a long stream of bytes to a new file past the page cache (O_DIRECT), through an
// aligned buffer of its own that is reused for the whole file. A capture writes gigabytes
// that nobody reads back at once; on a virtual machine every fresh page the kernel takes
// for its cache costs more than the copy into it, and the cached copy only pushes other
// memory out. Where the file system refuses direct writes, the same buffered blocks go
// through the page cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class DirectFileWriter {
public:
    // Creates or truncates path; null, with `error` set, when it cannot be opened.
    static std::unique_ptr<DirectFileWriter> open(const std::string& path, std::string& error);
    ~DirectFileWriter();
    DirectFileWriter(const DirectFileWriter&) = delete;
    DirectFileWriter& operator=(const DirectFileWriter&) = delete;

    // Appends size bytes; false once any write has failed (errno tells why).
    bool write(const void* data, size_t size);
    // Writes what is buffered, gives the file its exact length and closes it; false when
    // any of that, or an earlier write, failed. Called by the destructor if need be.
    bool close();
    // The buffer's size and alignment: whole blocks for every device.
    static constexpr size_t BLOCK = 4096;
    static constexpr size_t BUFFER_BYTES = 1024 * BLOCK;

private:
    explicit DirectFileWriter(int fd, bool direct);
    bool flushBlocks(size_t bytes);
    bool writeAll(const uint8_t* data, size_t bytes);

    int fd;
    bool directWrites;
    bool failedOnce = false;
    uint8_t* buffer = nullptr; // BUFFER_BYTES, aligned to BLOCK
    size_t buffered = 0;
    uint64_t written = 0; // bytes handed to the file so far, padding not counted
};
