#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace renomiq {

// Maps Windows-style drive letters onto host folders. The default table has
// C: = host "/"; the environment variable RENOMIQ_DRIVES ("C=/;T=/tmp/x")
// overrides or adds drives.
class DriveTable {
public:
    DriveTable();

    // Adds entries "L=/host/folder" separated by ';'. Returns false (and adds
    // nothing) when an entry is malformed.
    bool apply(std::string_view mapping);
    static DriveTable fromEnvironment();

    void setDrive(char letter, std::string hostFolder);

    // "C:\home\ann" -> "/home/ann". No value for a path without a known drive.
    std::optional<std::string> toHost(std::string_view windowsPath) const;
    // "/tmp/x/a" -> "T:\a", through the drive whose folder is the longest prefix.
    // No value when no drive holds the path or a component holds a '\'.
    std::optional<std::string> toWindows(std::string_view hostPath) const;

private:
    std::map<char, std::string> m_drives; // upper-case letter -> host folder without trailing '/'
};

} // namespace renomiq
