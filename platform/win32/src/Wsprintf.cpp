// wsprintfA's conversions over 32-bit arguments, as the Windows library reads
// them: "l" and "h" do not widen, there is no floating point.
#include <cstdio>
#include <cstring>
#include <string>

#include <shlwapi.h>
#include <winuser.h>

namespace {
// wsprintfA's own limit, terminator included.
constexpr int WSPRINTF_LIMIT = 1024;

std::string format(LPCSTR fmt, va_list args) {
    std::string out;
    if (!fmt) {
        return out;
    }
    for (const char* p = fmt; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* start = p++;
        std::string conversion = "%";
        while (*p == '-' || *p == '0' || *p == '#') {
            conversion += *p++;
        }
        while (*p >= '0' && *p <= '9') {
            conversion += *p++;
        }
        if (*p == '.') {
            conversion += *p++;
            while (*p >= '0' && *p <= '9') {
                conversion += *p++;
            }
        }
        bool shortArg = false;
        if (*p == 'l' || *p == 'L') {
            ++p;
        } else if (*p == 'h') {
            shortArg = true;
            ++p;
        }
        char buffer[WSPRINTF_LIMIT + 32];
        switch (*p) {
        case 'd':
        case 'i': {
            int value = va_arg(args, int);
            if (shortArg) {
                value = static_cast<short>(value);
            }
            std::snprintf(buffer, sizeof buffer, (conversion + "d").c_str(), value);
            out += buffer;
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned value = va_arg(args, unsigned);
            if (shortArg) {
                value = static_cast<unsigned short>(value);
            }
            std::snprintf(buffer, sizeof buffer, (conversion + *p).c_str(), value);
            out += buffer;
            break;
        }
        case 'c':
        case 'C': {
            const char c = static_cast<char>(va_arg(args, int));
            std::snprintf(buffer, sizeof buffer, (conversion + "c").c_str(), c);
            out += buffer;
            break;
        }
        case 's':
        case 'S': {
            const char* s = va_arg(args, const char*);
            // A null string prints as "(null)", as Windows does.
            std::string piece;
            const std::string text = s ? s : "(null)";
            const int needed = std::snprintf(nullptr, 0, (conversion + "s").c_str(), text.c_str());
            piece.resize(static_cast<size_t>(needed) + 1);
            std::snprintf(piece.data(), piece.size(), (conversion + "s").c_str(), text.c_str());
            piece.resize(static_cast<size_t>(needed));
            out += piece;
            break;
        }
        case 'p': {
            const void* value = va_arg(args, const void*);
            std::snprintf(buffer, sizeof buffer, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                          static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(value)));
            out += buffer;
            break;
        }
        case '%':
            out += '%';
            break;
        case '\0':
            // A lone '%' at the end is copied as it stands.
            out.append(start, p);
            continue;
        default:
            // Unknown conversions print their letter, as Windows does.
            out += *p;
            break;
        }
        ++p;
    }
    return out;
}

int copyOut(LPSTR buffer, int size, const std::string& text) {
    if (!buffer || size <= 0) {
        return -1;
    }
    const int length = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}
} // namespace

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR fmt, va_list args) {
    return copyOut(buffer, WSPRINTF_LIMIT, format(fmt, args));
}

int wsprintfA(LPSTR buffer, LPCSTR fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int result = wvsprintfA(buffer, fmt, args);
    va_end(args);
    return result;
}

int WINAPI wvnsprintfA(LPSTR buffer, int size, LPCSTR fmt, va_list args) {
    const std::string text = format(fmt, args);
    const int written = copyOut(buffer, size, text);
    // Like the Windows call: -1 when the text did not fit whole.
    return written < static_cast<int>(text.size()) ? -1 : written;
}

int wnsprintfA(LPSTR buffer, int size, LPCSTR fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int result = wvnsprintfA(buffer, size, fmt, args);
    va_end(args);
    return result;
}
