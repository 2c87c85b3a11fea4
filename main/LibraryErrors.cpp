// The errors the C++ library's templates raise (a string or vector grown past its limit, a
// call through an empty std::function...), raised by the programs themselves. The library's
// own versions build std::logic_error and its kin, whose copy-on-write strings bring in a
// second std::string, std::random_device and formatting (some 45 KB of each program) for
// errors that never happen. What the programs see is the same: an exception derived from
// std::exception that says what went wrong, which the window layer's handlers and the
// entry points catch as before.
#include <cstdarg>
#include <cstdio>
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
    explicit LibraryError(const char* what) {
        std::snprintf(what_, sizeof what_, "%s", what != nullptr ? what : "library error");
    }
    LibraryError(const char* format, std::va_list arguments) {
        if (std::vsnprintf(what_, sizeof what_, format, arguments) < 0) what_[0] = '\0';
    }
    const char* what() const noexcept override { return what_; }

  private:
    char what_[256];
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
