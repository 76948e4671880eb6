#pragma once

#include "platform/registry.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace renomiq {

// The registry kept in one text file in the registry-export format
// ("Windows Registry Editor Version 5.00", [key] sections, "name"=dword:… and
// "name"="text" lines). Every change is a locked read-modify-write followed by an
// atomic replace, so a second running instance never loses a value. A damaged
// file reads as empty and is kept aside as "<file>.damaged".
class FileRegistry : public Registry {
public:
    // Removes what writes of the file killed midway left beside it
    // ("FILE.tmp-XXXXXX", regular files no live process holds).
    explicit FileRegistry(std::string hostFile);
    // The options, the window placement and the used folders take a few
    // kilobytes; a file beyond this is no registry of ours.
    static constexpr std::size_t kFileLimit = std::size_t{16} << 20;

    bool createKey(RegistryHive hive, const std::string &key) override;
    bool keyExists(RegistryHive hive, const std::string &key) override;
    bool deleteKey(RegistryHive hive, const std::string &key) override;
    std::optional<RegistryValue> readValue(RegistryHive hive, const std::string &key,
                                           const std::string &name) override;
    bool writeValue(RegistryHive hive, const std::string &key, const std::string &name,
                    const RegistryValue &value) override;
    bool deleteValue(RegistryHive hive, const std::string &key, const std::string &name) override;
    bool deleteValues(RegistryHive hive, const std::string &key, const std::vector<std::string> &names) override;
    bool writeValues(RegistryHive hive, const std::string &key,
                     const std::vector<std::pair<std::string, RegistryValue>> &values) override;

    const std::string &hostFile() const { return m_hostFile; }

    struct CaseInsensitiveLess {
        bool operator()(const std::string &a, const std::string &b) const;
    };
    using Values = std::map<std::string, RegistryValue, CaseInsensitiveLess>;
    using Keys = std::map<std::string, Values, CaseInsensitiveLess>;

    // The text form, exposed for tests of the format.
    static std::string format(const Keys &keys);
    // No value when the text is damaged.
    static std::optional<Keys> parse(const std::string &text);

private:
    const Keys &current();
    // Runs a change under the lock; writes the file when the change says so.
    bool modify(const std::function<bool(Keys &)> &change);

    std::string m_hostFile;
    Keys m_cache;
    struct stat m_cacheStat {};
    bool m_cacheValid = false;
};

} // namespace renomiq
