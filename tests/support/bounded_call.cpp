#include "support/bounded_call.h"

#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace renomiq::test {

namespace {

struct CallState {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

} // namespace

bool endsWithin(std::chrono::seconds bound, std::function<void()> call, const std::string &fifoHostPath)
{
    auto state = std::make_shared<CallState>();
    std::thread thread([state, call = std::move(call)] {
        call();
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->ended.notify_all();
    });
    std::unique_lock lock(state->mutex);
    if (state->ended.wait_for(lock, bound, [&] { return state->done; })) {
        lock.unlock();
        thread.join();
        return true;
    }
    // Let the reader go, as often as it opens the FIFO again, for a while.
    for (int attempt = 0; attempt < 100 && !fifoHostPath.empty() && !state->done; ++attempt) {
        lock.unlock();
        const int fd = ::open(fifoHostPath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        lock.lock();
        state->ended.wait_for(lock, std::chrono::milliseconds(100), [&] { return state->done; });
    }
    const bool done = state->done;
    lock.unlock();
    if (done)
        thread.join();
    else
        thread.detach(); // it holds its own state; the test fails either way
    return false;
}

} // namespace renomiq::test
