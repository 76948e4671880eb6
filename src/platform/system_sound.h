#pragma once

#include "platform/sound.h"

#include <string>

namespace renomiq {

// Plays wave files from a folder with the ALSA player, when there is one;
// otherwise the sound is silently left out.
class SystemSound : public Sound {
public:
    explicit SystemSound(std::string hostFolder) : m_folder(std::move(hostFolder)) {}
    void play(const std::string &waveName) override;

private:
    std::string m_folder;
};

} // namespace renomiq
