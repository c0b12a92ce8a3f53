// Files opened by narrow Windows names, read-only mappings and their views,
// with the error codes Windows reports.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "HandleTable.h"
#include "HostPath.h"
#include <winbase.h>

namespace {
// Views start on multiples of Windows' allocation granularity.
constexpr uint64_t ALLOCATION_GRANULARITY = 65536;

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ENOENT is "file not found" when the folder exists, "path not found" when not.
DWORD errorForMissing(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return isDirectory(".") ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    return isDirectory(path.substr(0, std::max<size_t>(slash, 1))) ? ERROR_FILE_NOT_FOUND
                                                                   : ERROR_PATH_NOT_FOUND;
}

DWORD errorFromErrno(int error, const std::string& path) {
    switch (error) {
    case ENOENT:
        return errorForMissing(path);
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ELOOP:
        return ERROR_CANT_RESOLVE_FILENAME;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_GEN_FAILURE;
    }
}

KernelObject* objectOf(HANDLE handle, KernelObject::Kind kind) {
    KernelObject* object = HandleTable::instance().find(handle);
    if (!object || object->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object;
}
} // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD creationDisposition, DWORD, HANDLE) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const bool reading = (desiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0;
    const bool writing = (desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    // Only a file opened to be read may come from the program's own folders.
    const std::string path = !writing && creationDisposition == OPEN_EXISTING
                                 ? hostPathForReading(fileName)
                                 : hostPathFromWindows(fileName);
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC | (writing ? (reading ? O_RDWR : O_WRONLY) : O_RDONLY);
    switch (creationDisposition) {
    case OPEN_EXISTING:
        break;
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        if (!writing) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // A folder is not a file: Windows refuses it with "access denied".
    if (isDirectory(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        SetLastError(errorFromErrno(errno, path));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    auto object = std::make_unique<KernelObject>();
    object->kind = KernelObject::Kind::File;
    object->fd = fd;
    object->writable = writing;
    SetLastError(ERROR_SUCCESS);
    return HandleTable::instance().add(std::move(object));
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED) {
    KernelObject* object = objectOf(file, KernelObject::Kind::File);
    if (!object) {
        return FALSE;
    }
    if (!buffer && bytesToRead > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD total = 0;
    while (total < bytesToRead) {
        const ssize_t n =
            ::read(object->fd, static_cast<char*>(buffer) + total, bytesToRead - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : ERROR_GEN_FAILURE);
            if (bytesRead) {
                *bytesRead = total;
            }
            return FALSE;
        }
        if (n == 0) {
            break;
        }
        total += static_cast<DWORD>(n);
    }
    if (bytesRead) {
        *bytesRead = total;
    }
    return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    KernelObject* object = objectOf(file, KernelObject::Kind::File);
    struct stat st {};
    if (!object || ::fstat(object->fd, &st) != 0) {
        if (object) {
            SetLastError(ERROR_GEN_FAILURE);
        }
        return INVALID_FILE_SIZE;
    }
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    if (fileSizeHigh) {
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    // A size whose low part reads as INVALID_FILE_SIZE is told apart by the last error.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect,
                                 DWORD maximumSizeHigh, DWORD maximumSizeLow, LPCSTR) {
    // Only mappings of files are carried; the paging file's are not.
    KernelObject* source = objectOf(file, KernelObject::Kind::File);
    if (!source) {
        return nullptr;
    }
    const bool writable = (protect & 0xFF) == PAGE_READWRITE;
    if ((protect & 0xFF) != PAGE_READONLY && (protect & 0xFF) != PAGE_WRITECOPY && !writable) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (writable && !source->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(source->fd, &st) != 0) {
        SetLastError(ERROR_GEN_FAILURE);
        return nullptr;
    }
    const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
    uint64_t size = (static_cast<uint64_t>(maximumSizeHigh) << 32) | maximumSizeLow;
    if (size == 0) {
        // An empty file cannot be mapped whole.
        if (fileSize == 0) {
            SetLastError(ERROR_FILE_INVALID);
            return nullptr;
        }
        size = fileSize;
    } else if (size > fileSize) {
        // Growing the file needs write access to it.
        if (!writable) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (::ftruncate(source->fd, static_cast<off_t>(size)) != 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
    }
    const int fd = ::fcntl(source->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return nullptr;
    }
    auto object = std::make_unique<KernelObject>();
    object->kind = KernelObject::Kind::Mapping;
    object->fd = fd;
    object->writable = writable;
    object->size = size;
    SetLastError(ERROR_SUCCESS);
    return HandleTable::instance().add(std::move(object));
}

LPVOID WINAPI MapViewOfFile(HANDLE fileMapping, DWORD desiredAccess, DWORD fileOffsetHigh,
                            DWORD fileOffsetLow, SIZE_T numberOfBytesToMap) {
    KernelObject* mapping = objectOf(fileMapping, KernelObject::Kind::Mapping);
    if (!mapping) {
        return nullptr;
    }
    const bool write = (desiredAccess & FILE_MAP_WRITE) != 0;
    const bool copy = (desiredAccess & FILE_MAP_COPY) != 0;
    if (write && !mapping->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const uint64_t offset = (static_cast<uint64_t>(fileOffsetHigh) << 32) | fileOffsetLow;
    if (offset % ALLOCATION_GRANULARITY != 0) {
        SetLastError(ERROR_MAPPED_ALIGNMENT);
        return nullptr;
    }
    if (offset >= mapping->size ||
        (numberOfBytesToMap != 0 && numberOfBytesToMap > mapping->size - offset)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const size_t length = numberOfBytesToMap != 0 ? static_cast<size_t>(numberOfBytesToMap)
                                                  : static_cast<size_t>(mapping->size - offset);
    const int protection = PROT_READ | ((write || copy) ? PROT_WRITE : 0);
    const int sharing = copy ? MAP_PRIVATE : (write ? MAP_SHARED : MAP_PRIVATE);
    void* view =
        ::mmap(nullptr, length, protection, sharing, mapping->fd, static_cast<off_t>(offset));
    if (view == MAP_FAILED) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HandleTable::instance().addView(view, length);
    SetLastError(ERROR_SUCCESS);
    return view;
}

BOOL WINAPI UnmapViewOfFile(LPCVOID baseAddress) {
    const size_t length = HandleTable::instance().takeView(baseAddress);
    if (length == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ::munmap(const_cast<void*>(baseAddress), length);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE object) {
    if (!HandleTable::instance().close(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
