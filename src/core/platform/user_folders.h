#pragma once

#include <string>

namespace renomiq {

// Host folders of the per-user files.
namespace UserFolders {

// $XDG_CONFIG_HOME, else ~/.config.
std::string configHome();
// $XDG_DATA_HOME, else ~/.local/share.
std::string dataHome();
// The file that holds the registry.
std::string registryFile();
// The program's data folder, with a trailing '/': dataHome() + "/Corvane/Renomiq/".
std::string dataFolder();
// The folder of the running program, with a trailing '/'.
std::string programFolder();
// The program's own files (help, sound): "share/renomiq/" beside the "bin/"
// of the installation, found as "<program folder>/../share/renomiq/" (the
// build tree holds the same layout); the program folder when there is none.
// With a trailing '/'.
std::string installFolder();

} // namespace UserFolders

} // namespace renomiq
