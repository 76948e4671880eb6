#pragma once

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/help.h"
#include "platform/shell.h"
#include "platform/sound.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace renomiq::test {

// Answers the shell's dialogs from a script and records what was opened.
class ScriptedShell : public Shell {
public:
    std::deque<std::optional<std::string>> folders;        // browseForFolder answers
    std::deque<std::vector<std::string>> fileSelections;    // openFiles answers
    std::deque<std::optional<std::string>> saveFiles;       // saveFile answers
    std::vector<std::string> opened, shown, dialogTitles;
    std::vector<std::vector<std::string>> started;
    OpenFilesRequest lastOpen;
    SaveFileRequest lastSave;

    std::optional<std::string> browseForFolder(const std::string &title) override;
    std::vector<std::string> openFiles(const OpenFilesRequest &request) override;
    std::optional<std::string> saveFile(const SaveFileRequest &request) override;
    bool open(const std::string &pathOrUrl) override;
    bool showInFileManager(const std::string &path) override;
    bool startProgram(const std::string &program, const std::vector<std::string> &arguments) override;
};

class RecordingSound : public Sound {
public:
    std::vector<std::string> played;
    void play(const std::string &waveName) override { played.push_back(waveName); }
};

class RecordingHelp : public Help {
public:
    std::vector<std::string> topics;
    void showTopic(const std::string &topic) override { topics.push_back(topic); }
};

class MemoryClipboard : public Clipboard {
public:
    std::string content;
    std::string text() const override { return content; }
    void setText(const std::string &text) override { content = text; }
};

// A clock that stands still where the test puts it.
class FixedClock : public Clock {
public:
    explicit FixedClock(std::int64_t t = 1178000000) : time(t) {}
    std::int64_t time;
    std::int64_t now() const override { return time; }
};

} // namespace renomiq::test
