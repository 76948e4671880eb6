#include "platform/clock.h"

#include <ctime>

namespace renomiq {

std::int64_t SystemClock::now() const
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::string localDateTimeText(std::int64_t time)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm {};
    ::localtime_r(&t, &tm);
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%x %X", &tm);
    return std::string(buffer, n);
}

void SeededRandom::reseed(std::uint64_t seed)
{
    m_state = seed;
}

std::uint32_t SeededRandom::next()
{
    // splitmix64
    m_state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<std::uint32_t>(z >> 33);
}

} // namespace renomiq
