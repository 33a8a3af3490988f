#include "fuzz/FuzzTarget.h"

#include <algorithm>

namespace {
std::vector<FuzzTarget> &registry()
{
    static std::vector<FuzzTarget> targets;
    return targets;
}
} // namespace

bool RegisterFuzzTarget(const char *name, FuzzTargetFunction run)
{
    registry().push_back(FuzzTarget { name, run });
    std::sort(registry().begin(), registry().end(), [](const FuzzTarget &a, const FuzzTarget &b) { return a.name < b.name; });
    return true;
}

const std::vector<FuzzTarget> &FuzzTargets()
{
    return registry();
}

const FuzzTarget *FindFuzzTarget(const std::string &name)
{
    for (const FuzzTarget &target : registry())
        if (target.name == name)
            return &target;
    return nullptr;
}
