#pragma once

#include "platform/sound.h"

#include <chrono>
#include <string>
#include <vector>

namespace renomiq {

// Plays wave files from a folder through the desktop's sound player: PipeWire's
// pw-play, PulseAudio's paplay or ALSA's aplay, the first one found on PATH
// that plays it. Without a player, or without the file, nothing is played and
// nothing is reported. The call returns when the sound has ended, or at the
// latest after `timeLimit` in all, should a player hang.
class SystemSound : public Sound {
public:
    explicit SystemSound(std::string hostFolder, std::chrono::milliseconds timeLimit = std::chrono::seconds(10))
        : m_folder(std::move(hostFolder)), m_timeLimit(timeLimit)
    {
    }
    void play(const std::string &waveName) override;

    // The players in the order they are tried, each a program name and its
    // options before the file.
    static const std::vector<std::vector<std::string>> &players();
    // The full path of `program` in the folders of `pathVariable` (PATH's
    // syntax), when it is an executable file there.
    static std::string findProgram(const std::string &program, const std::string &pathVariable);

private:
    std::string m_folder;
    std::chrono::milliseconds m_timeLimit;
};

} // namespace renomiq
