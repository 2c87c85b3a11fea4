// The invariant check shared by the fuzz targets.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/FuzzInput.h"

namespace odr::fuzz {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace odr::fuzz
