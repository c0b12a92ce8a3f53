// What the browser build's C++ library (Emscripten 3.1.6's libc++ 13) lacks of C++20 and
// C++17 and the rest of the code uses: included ahead of every source of that build only.
#pragma once

#ifdef __cplusplus
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <type_traits>
#include <version>

namespace std {

#ifndef __cpp_lib_bit_cast
template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}
#endif

// Floating point from text: the C library's strtod in the "C" locale (the only one this
// build has), on a terminated copy. Plain decimal forms only, as from_chars reads them.
inline from_chars_result from_chars(const char* first, const char* last, double& value) {
    char text[128];
    const size_t length = static_cast<size_t>(last - first);
    if (length == 0 || length >= sizeof text || *first == '+' || *first == ' ' ||
        (length > 1 && (first[1] == 'x' || first[1] == 'X'))) {
        return {first, errc::invalid_argument};
    }
    memcpy(text, first, length);
    text[length] = '\0';
    char* end = nullptr;
    errno = 0;
    const double parsed = strtod(text, &end);
    if (end == text) {
        return {first, errc::invalid_argument};
    }
    if (errno == ERANGE) {
        return {first + (end - text), errc::result_out_of_range}; // the value is left alone
    }
    value = parsed;
    return {first + (end - text), errc()};
}

} // namespace std
#endif
