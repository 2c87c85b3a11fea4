// Formatted text into a fixed buffer, through the system's own C library on Windows: the
// C99 printf of the MinGW runtime would add some 28 KB to each program for the few numbers
// the programs format. Only what every C library knows may be asked for: %d %u %x %c %s %f
// %g with flags, widths and precisions, and l for long (no z, ll, hh, j or %a: the Windows
// 95 C library lacks them; the compiler checks each format).
#pragma once

#include <cstddef>

#if defined(__MINGW32__)
#define ODR_FORMAT_CHECK __attribute__((format(ms_printf, 3, 4)))
#elif defined(__GNUC__)
#define ODR_FORMAT_CHECK __attribute__((format(printf, 3, 4)))
#else
#define ODR_FORMAT_CHECK
#endif

namespace odr::platform {

// Writes at most size - 1 characters and the terminator (nothing when size is 0). Returns
// the number of characters written, or -1 when the text was cut to fit.
int FormatText(char* out, size_t size, const char* format, ...) ODR_FORMAT_CHECK;

}  // namespace odr::platform
