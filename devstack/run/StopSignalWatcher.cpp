#include "devstack/run/StopSignalWatcher.h"

#include <csignal>
#include <pthread.h>

namespace devstack {

namespace {

sigset_t stopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

StopSignalWatcher::StopSignalWatcher(std::function<void()> onStopSignal)
    : onStopSignal_(std::move(onStopSignal))
{
    auto signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    thread_ = std::thread([this] { watch(); });
}

StopSignalWatcher::~StopSignalWatcher()
{
    closing_ = true;
    // Wakes the watcher out of sigwait; it sees `closing_` and ends.
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
}

void StopSignalWatcher::watch()
{
    auto signals = stopSignals();
    while (true) {
        int received = 0;
        if (sigwait(&signals, &received) != 0 || closing_)
            return;
        signalled_ = true;
        onStopSignal_();
    }
}

} // namespace devstack
