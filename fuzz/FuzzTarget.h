#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The entry points that the fuzzers and the replay of fuzz/regressions share.
// A target reads one input the way the program reads an untrusted file. A
// refusal in the reader's own words (ImportError) is a good answer and
// stays inside the target; anything else escapes and counts as a fault.
using FuzzTargetFunction = void (*)(const std::uint8_t *data, std::size_t size);

struct FuzzTarget
{
    std::string name; // also the folder of its inputs under fuzz/regressions
    FuzzTargetFunction run;
};

bool RegisterFuzzTarget(const char *name, FuzzTargetFunction run);
const std::vector<FuzzTarget> &FuzzTargets();
// nullptr when no target has that name.
const FuzzTarget *FindFuzzTarget(const std::string &name);

// Defines and registers a target: KESTRA_FUZZ_TARGET(name) { ...data, size... }
#define KESTRA_FUZZ_TARGET(name)                                                                                                           \
    static void kestraFuzz_##name(const std::uint8_t *data, std::size_t size);                                                             \
    [[maybe_unused]] static const bool kestraFuzzRegistered_##name = RegisterFuzzTarget(#name, kestraFuzz_##name);                         \
    static void kestraFuzz_##name(const std::uint8_t *data, std::size_t size)
