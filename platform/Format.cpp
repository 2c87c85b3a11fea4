// The C library's formatting: msvcrt's _vsnprintf (present since Windows 95) on Windows,
// vsnprintf elsewhere.
#include "platform/Format.h"

#include <cstdarg>
#include <cstdio>

namespace odr::platform {

int FormatText(char* out, size_t size, const char* format, ...) {
    if (size == 0) return -1;
    std::va_list arguments;
    va_start(arguments, format);
#if defined(_WIN32)
    // -1 when the text does not fit; no terminator when it just fills the space given.
    const int written = _vsnprintf(out, size - 1, format, arguments);
#else
    int written = std::vsnprintf(out, size, format, arguments);
    if (written >= int(size)) written = -1;
#endif
    va_end(arguments);
    out[size - 1] = '\0';
    return written < 0 ? -1 : written;
}

}  // namespace odr::platform
