#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace renomiq {

// The one order of names: the enumeration of a folder, the list window, the
// preview, the running numbers, the "(n)" suffixes and the export all follow
// it. Names compare character by character through the Unicode upper-case
// mapping (so "a" and "A" are equal, and "_" comes after the letters); names
// equal that way are ordered by their bytes. A byte outside any valid UTF-8
// sequence sorts after every character.
class NameOrder {
public:
    // The sort key of a name: comparing keys (as byte strings) compares names,
    // apart from the tie of the bytes. Compute it once per name, not once per
    // comparison. For a name in ASCII it is the name in upper case.
    using Key = std::string;
    static Key key(std::string_view name);

    // Negative, zero or positive, as a comes before, equals or follows b.
    static int compare(std::string_view a, std::string_view b);
    static bool less(std::string_view a, std::string_view b) { return compare(a, b) < 0; }

    // Sorts items by the name nameOf gives for each, with one key per item.
    template <typename T, typename NameOf>
    static void sort(std::vector<T> &items, NameOf nameOf);
    static void sort(std::vector<std::string> &names)
    {
        sort(names, [](const std::string &name) -> const std::string & { return name; });
    }
};

template <typename T, typename NameOf>
void NameOrder::sort(std::vector<T> &items, NameOf nameOf)
{
    std::vector<std::pair<Key, std::size_t>> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        keys.emplace_back(key(nameOf(items[i])), i);
    std::sort(keys.begin(), keys.end(), [&](const auto &a, const auto &b) {
        if (a.first != b.first)
            return a.first < b.first;
        return std::string_view(nameOf(items[a.second])) < std::string_view(nameOf(items[b.second]));
    });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (const auto &k : keys)
        sorted.push_back(std::move(items[k.second]));
    items = std::move(sorted);
}

} // namespace renomiq
