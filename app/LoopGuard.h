#pragma once
// Runs the event loop for main() and turns its outcome into the process exit status.
#include <functional>

class LoopGuard
{
public:
    // The loop's own code, 0 or 1 (any non-zero code is 1). An exception escaping the loop prints
    // "エラー" and gives 1, so a crash is never reported as a clean exit.
    static int run(const std::function<int()> &loop);
};
