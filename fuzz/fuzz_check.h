// What every fuzz target shares: a check that names the broken rule and
// stops the run (libFuzzer then saves the input as a crash file).
#pragma once

#include <cstdio>
#include <cstdlib>

#define GM_FUZZ_CHECK(condition, rule)                                                   \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: rule broken: %s\n", __FILE__, __LINE__, (rule)); \
            std::abort();                                                                \
        }                                                                                \
    } while (false)
