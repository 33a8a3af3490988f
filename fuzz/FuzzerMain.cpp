// One libFuzzer program per target: the target's name is given at build time.

#include "fuzz/FuzzTarget.h"

#include <cstdio>
#include <cstdlib>

#ifndef KESTRA_FUZZ_TARGET_NAME
#error "KESTRA_FUZZ_TARGET_NAME names the target this program runs"
#endif

namespace {
FuzzTargetFunction target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const FuzzTarget *found = FindFuzzTarget(KESTRA_FUZZ_TARGET_NAME);
    if (!found) {
        std::fprintf(stderr, "no fuzz target named %s\n", KESTRA_FUZZ_TARGET_NAME);
        std::abort();
    }
    target = found->run;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    target(data, size);
    return 0;
}
