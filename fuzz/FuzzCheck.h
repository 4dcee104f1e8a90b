// What the fuzz targets share: a check that stops the run on a broken promise.
#pragma once

#include <cstdio>
#include <cstdlib>

#define HVC_FUZZ_CHECK(condition)                                                                  \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
