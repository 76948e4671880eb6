#pragma once

#include <cstdint>
#include <string>

namespace renomiq {

// The wall clock: seconds since 1970-01-01 UTC, and today's local date.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t now() const = 0;
};

class SystemClock : public Clock {
public:
    std::int64_t now() const override;
};

// The local date in the user's short date format, a blank, and the local time
// in the user's long time format ("12/08/26 03:30:41" in the C locale).
std::string localDateTimeText(std::int64_t time);

// A deterministic pseudo-random generator that can be re-seeded at any time.
// Nearby seeds give unrelated sequences, since the seed is scrambled first.
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed = 0) { reseed(seed); }
    void reseed(std::uint64_t seed);
    // A non-negative number below 2^31.
    std::uint32_t next();

private:
    std::uint64_t m_state = 0;
};

} // namespace renomiq
