#pragma once

#include <string>

namespace renomiq {

// Plays a wave file by its bare name ("end.wav"), synchronously.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void play(const std::string &waveName) = 0;
};

} // namespace renomiq
