#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace renomiq {

enum class RegistryHive { CurrentUser, ClassesRoot };

enum class RegistryType { Dword, String };

struct RegistryValue {
    RegistryType type = RegistryType::String;
    std::uint32_t dword = 0;
    std::string text;

    static RegistryValue fromDword(std::uint32_t v) { return {RegistryType::Dword, v, {}}; }
    static RegistryValue fromString(std::string s) { return {RegistryType::String, 0, std::move(s)}; }
    bool operator==(const RegistryValue &) const = default;
};

// The per-user registry: keys under a hive, typed values. Key paths are written
// with '\' ("\Software\Corvane\renomiq"; leading and trailing '\' do not matter)
// and compare without regard to case, as do value names. The empty value name is
// the key's default value. Failures answer false or no value; they are never
// reported to the user.
class Registry {
public:
    virtual ~Registry() = default;

    // Opens the key, creating it and its parents when missing.
    virtual bool createKey(RegistryHive hive, const std::string &key) = 0;
    virtual bool keyExists(RegistryHive hive, const std::string &key) = 0;
    // Deletes the key with its values and subkeys.
    virtual bool deleteKey(RegistryHive hive, const std::string &key) = 0;

    virtual std::optional<RegistryValue> readValue(RegistryHive hive, const std::string &key,
                                                   const std::string &name) = 0;
    // Writing creates the key when missing.
    virtual bool writeValue(RegistryHive hive, const std::string &key, const std::string &name,
                            const RegistryValue &value) = 0;
    virtual bool deleteValue(RegistryHive hive, const std::string &key, const std::string &name) = 0;
    // Deletes those of the values that exist, in one change of the store.
    virtual bool deleteValues(RegistryHive hive, const std::string &key, const std::vector<std::string> &names)
    {
        bool ok = true;
        for (const std::string &name : names)
            ok = deleteValue(hive, key, name) && ok;
        return ok;
    }

    // Writes the values (name and value each), in one change of the store.
    virtual bool writeValues(RegistryHive hive, const std::string &key,
                             const std::vector<std::pair<std::string, RegistryValue>> &values)
    {
        bool ok = true;
        for (const auto &[name, value] : values)
            ok = writeValue(hive, key, name, value) && ok;
        return ok;
    }

    bool valueExists(RegistryHive hive, const std::string &key, const std::string &name)
    {
        return readValue(hive, key, name).has_value();
    }
    bool writeDword(RegistryHive hive, const std::string &key, const std::string &name,
                    std::uint32_t value)
    {
        return writeValue(hive, key, name, RegistryValue::fromDword(value));
    }
    bool writeString(RegistryHive hive, const std::string &key, const std::string &name,
                     const std::string &value)
    {
        return writeValue(hive, key, name, RegistryValue::fromString(value));
    }
};

} // namespace renomiq
