#pragma once

namespace renomiq {

class Clipboard;
class Clock;
class FileSystem;
class Help;
class Prompter;
class Registry;
class Shell;
class Sound;

// The platform services one program instance works with, handed to every part
// that needs them. Owned by main (or by a test).
struct Platform {
    FileSystem &fileSystem;
    Registry &registry;
    Prompter &prompter;
    Shell &shell;
    Clipboard &clipboard;
    Sound &sound;
    Help &help;
    Clock &clock;
};

} // namespace renomiq
