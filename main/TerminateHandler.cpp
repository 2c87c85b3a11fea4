// std::terminate's message in the programs, as the C++ library's own handler writes it but
// with the exception's type by its raw name: the library's handler would link its name
// demangler (some 50 KB) into each program for this one line on stderr.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

// The GNU C++ library's (its headers above tell): other libraries have handlers of their own.
#if defined(__GLIBCXX__)

#include <cxxabi.h>

namespace __gnu_cxx {

// Defined here, the library's own definition is never linked.
void __verbose_terminate_handler() {
    static bool terminating = false;
    if (terminating) {
        std::fputs("terminate called recursively\n", stderr);
        std::abort();
    }
    terminating = true;
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        const char* name = type->name();
        if (name[0] == '*') ++name;
        std::fputs("terminate called after throwing an instance of '", stderr);
        std::fputs(name, stderr);
        std::fputs("'\n", stderr);
        try {
            throw;
        } catch (const std::exception& e) {
            std::fputs("  what():  ", stderr);
            std::fputs(e.what(), stderr);
            std::fputs("\n", stderr);
        } catch (...) {
        }
    } else {
        std::fputs("terminate called without an active exception\n", stderr);
    }
    std::abort();
}

}  // namespace __gnu_cxx

#endif
