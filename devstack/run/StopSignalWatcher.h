#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace devstack {

// Turns Ctrl-C (SIGINT) and SIGTERM into a call on a thread of its own, so
// that the program can stop its run loop and shut its services down in
// order. Make it before any other thread starts: the two signals are
// blocked for the whole process and only this thread takes them.
class StopSignalWatcher {
public:
    explicit StopSignalWatcher(std::function<void()> onStopSignal);
    ~StopSignalWatcher();
    StopSignalWatcher(const StopSignalWatcher&) = delete;
    StopSignalWatcher& operator=(const StopSignalWatcher&) = delete;

    bool wasSignalled() const { return signalled_; }

private:
    void watch();

    std::function<void()> onStopSignal_;
    std::atomic<bool> signalled_ { false };
    std::atomic<bool> closing_ { false };
    std::thread thread_;
};

} // namespace devstack
