#include "WorkerThreads.h"

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace Platform {

void runOnThreads(int count, const std::function<void()>& work) {
    struct Pending {
        std::mutex mutex;
        std::condition_variable done;
        int left = 0;
    };
    auto pending = std::make_shared<Pending>();
    auto addPending = [&](int change) {
        const std::lock_guard<std::mutex> guard(pending->mutex);
        pending->left += change;
    };
    for (int i = 1; i < count; ++i) {
        addPending(+1);
        try {
            std::thread([pending, &work] {
                work();
                {
                    const std::lock_guard<std::mutex> guard(pending->mutex);
                    --pending->left;
                }
                pending->done.notify_all();
                // Never ended, see the header; the process ends the thread.
                for (;;)
                    ::Sleep(INFINITE);
            }).detach();
        } catch (const std::system_error&) {
            addPending(-1);
            break;  // no more threads to be had: the ones there are do the work
        }
    }
    work();
    std::unique_lock<std::mutex> lock(pending->mutex);
    pending->done.wait(lock, [&] { return pending->left == 0; });
}

}  // namespace Platform
