#pragma once
// What a fuzz target asserts: a broken rule aborts with the rule's words, so that libFuzzer
// keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

#define KX_FUZZ_CHECK(rule)                                                   \
    do {                                                                      \
        if (!(rule)) {                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #rule); \
            std::abort();                                                     \
        }                                                                     \
    } while (false)
