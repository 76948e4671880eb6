#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace renomiq::test {

// Runs `call` on a thread of its own and waits up to `bound` for it to end.
// False when it did not: a reader stuck on the FIFO at `fifoHostPath` (when
// given) is then let go (the FIFO is opened for writing and closed, which
// gives the reader its end) so that the test can go on and fail.
bool endsWithin(std::chrono::seconds bound, std::function<void()> call, const std::string &fifoHostPath = {});

} // namespace renomiq::test
