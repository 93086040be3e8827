#include "WorkerThreads.h"

#include <system_error>
#include <thread>
#include <vector>

namespace Platform {

void runOnThreads(int count, const std::function<void()>& work) {
    std::vector<std::thread> helpers;
    try {
        for (int i = 1; i < count; ++i)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: the ones there are do the work.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

}  // namespace Platform
