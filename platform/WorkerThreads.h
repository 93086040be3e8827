#pragma once

#include <functional>

// Work spread over threads for the length of one call.
namespace Platform {

// Runs work on count threads at once (at least one), the calling thread being one of them, and
// returns when every run has returned. Each run takes its own share of the work (from a shared
// counter, say).
//
// On Windows the helper threads do not end when their run returns: the MinGW runtime frees a
// thread's thread-local storage before it runs the destructors of its thread-local objects, so
// a thread that ends after the toolkit made such an object in it (its regular expressions do,
// when its font folder is read) reads freed memory and can crash the program. The helpers
// wait instead until the process ends, which stops them without running those destructors.
void runOnThreads(int count, const std::function<void()>& work);

}  // namespace Platform
