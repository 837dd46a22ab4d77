#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant the reader must keep whatever the bytes: a broken one stops the fuzzer like a crash.
#define FUZZ_CHECK(condition)                                                                        \
    do                                                                                               \
    {                                                                                                \
        if (! (condition))                                                                           \
        {                                                                                            \
            std::fprintf (stderr, "%s:%d: broken invariant: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (false)
