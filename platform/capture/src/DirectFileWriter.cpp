#include "DirectFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

std::unique_ptr<DirectFileWriter> DirectFileWriter::open(const std::string& path,
                                                         std::string& error) {
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    bool direct = true;
    int fd = ::open(path.c_str(), flags | O_DIRECT, 0666);
    if (fd < 0 && errno == EINVAL) {
        // tmpfs, for one, has no direct writes.
        direct = false;
        fd = ::open(path.c_str(), flags, 0666);
    }
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<DirectFileWriter> writer(new DirectFileWriter(fd, direct));
    if (writer->buffer == nullptr) {
        error = "cannot write " + path + ": out of memory";
        return nullptr;
    }
    return writer;
}

DirectFileWriter::DirectFileWriter(int fd, bool direct)
    : fd(fd), directWrites(direct),
      buffer(static_cast<uint8_t*>(std::aligned_alloc(BLOCK, BUFFER_BYTES))) {}

DirectFileWriter::~DirectFileWriter() {
    close();
    std::free(buffer);
}

bool DirectFileWriter::write(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0 && !failedOnce && fd >= 0) {
        const size_t step = size < BUFFER_BYTES - buffered ? size : BUFFER_BYTES - buffered;
        std::memcpy(buffer + buffered, bytes, step);
        buffered += step;
        bytes += step;
        size -= step;
        if (buffered == BUFFER_BYTES && !flushBlocks(BUFFER_BYTES)) {
            failedOnce = true;
        }
    }
    return !failedOnce && fd >= 0;
}

bool DirectFileWriter::flushBlocks(size_t bytes) {
    const size_t data = buffered;
    if (!writeAll(buffer, bytes)) {
        return false;
    }
    written += data;
    buffered = 0;
    return true;
}

bool DirectFileWriter::writeAll(const uint8_t* data, size_t bytes) {
    while (bytes > 0) {
        const ssize_t done = ::write(fd, data, bytes);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0 && errno == EINVAL && directWrites) {
            // Some file systems take O_DIRECT at open and refuse it at write, and a short
            // write leaves the rest unaligned: go on through the page cache.
            const int flags = fcntl(fd, F_GETFL);
            if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_DIRECT) < 0) {
                return false;
            }
            directWrites = false;
            continue;
        }
        if (done <= 0) {
            return false;
        }
        data += done;
        bytes -= static_cast<size_t>(done);
    }
    return true;
}

bool DirectFileWriter::close() {
    if (fd < 0) {
        return !failedOnce;
    }
    bool ok = !failedOnce;
    if (ok && buffered > 0) {
        // Direct writes go in whole blocks: the last is padded, and the padding cut off.
        const size_t padded = directWrites ? (buffered + BLOCK - 1) / BLOCK * BLOCK : buffered;
        std::memset(buffer + buffered, 0, padded - buffered);
        const bool padding = padded != buffered;
        ok = flushBlocks(padded);
        if (ok && padding) {
            ok = ftruncate(fd, static_cast<off_t>(written)) == 0;
        }
    }
    if (::close(fd) != 0) {
        ok = false;
    }
    fd = -1;
    failedOnce = !ok;
    return ok;
}
