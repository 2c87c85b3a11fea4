// The errors the C++ library's templates raise (a string or vector grown past its limit, a
// call through an empty std::function...), raised by the programs themselves. The library's
// own versions build std::logic_error and its kin, whose copy-on-write strings bring in a
// second std::string, std::random_device and formatting (some 45 KB of each program) for
// errors that never happen. What the programs see is the same: an exception derived from
// std::exception that says what went wrong, which the window layer's handlers and the
// entry points catch as before.
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <typeinfo>

// The GNU C++ library's (its headers above tell): other libraries need none of this.
#if defined(__GLIBCXX__)

#include <bits/functexcept.h>  // their declarations, which these definitions must match

namespace {

// A library error with its message: the library's text as it stands, or formatted as the
// library formats it.
class LibraryError : public std::exception {
  public:
    explicit LibraryError(const char* what) { Put(what != nullptr ? what : "library error"); }
    // The library's formats hold %s, %zu and %% alone (its own formatter knows no more);
    // formatted here, the C library's C99 printf is not linked for them.
    LibraryError(const char* format, std::va_list arguments) {
        for (const char* f = format; *f != '\0'; ++f) {
            if (f[0] == '%' && f[1] == 's') {
                Put(va_arg(arguments, const char*));
                ++f;
            } else if (f[0] == '%' && f[1] == 'z' && f[2] == 'u') {
                char digits[24];
                int count = 0;
                for (size_t n = va_arg(arguments, size_t); count == 0 || n != 0; n /= 10)
                    digits[count++] = char('0' + n % 10);
                while (count > 0) Put(digits[--count]);
                f += 2;
            } else if (f[0] == '%' && f[1] == '%') {
                Put('%');
                ++f;
            } else {
                Put(*f);
            }
        }
    }
    const char* what() const noexcept override { return what_; }

  private:
    // Appends what fits, keeping the text terminated.
    void Put(char c) {
        if (used_ + 1 < sizeof what_) what_[used_++] = c;
        what_[used_] = '\0';
    }
    void Put(const char* text) {
        for (; text != nullptr && *text != '\0'; ++text) Put(*text);
    }

    char what_[256] = {};
    size_t used_ = 0;
};

[[noreturn]] void Raise(const char* what) {
    throw LibraryError(what);
}

}  // namespace

// Defined here, the library's member that defines them is never linked: each of them.
namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_logic_error(const char* what) {
    Raise(what);
}
void __throw_domain_error(const char* what) {
    Raise(what);
}
void __throw_invalid_argument(const char* what) {
    Raise(what);
}
void __throw_length_error(const char* what) {
    Raise(what);
}
void __throw_out_of_range(const char* what) {
    Raise(what);
}
// Formatted as the library does ("basic_string::substr: __pos (which is 5) > ...").
void __throw_out_of_range_fmt(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    throw LibraryError(format, arguments);
}
void __throw_runtime_error(const char* what) {
    Raise(what);
}
void __throw_range_error(const char* what) {
    Raise(what);
}
void __throw_overflow_error(const char* what) {
    Raise(what);
}
void __throw_underflow_error(const char* what) {
    Raise(what);
}

}  // namespace std

#endif
