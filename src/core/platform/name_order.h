#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
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
    // Appends the key of name to out: the keys of a whole folder go into one
    // buffer, with no allocation per name.
    static void appendKey(std::string &out, std::string_view name);

    // Negative, zero or positive, as a comes before, equals or follows b.
    static int compare(std::string_view a, std::string_view b);
    static bool less(std::string_view a, std::string_view b) { return compare(a, b) < 0; }

    // How much of the order a walk over names needs.
    enum class Extent {
        Full,     // every name is visited: one sort up front
        AsVisited // the walk may stop early: each next stretch is picked out
                  // (nth_element) and sorted only when the walk gets there
    };
    // Calls visit with the positions 0 .. count - 1 in the order of the names
    // nameOf gives for them, until visit returns false. The result is the
    // same for both extents; AsVisited makes stopping after a few names cost
    // one pass over the keys instead of a sort.
    static void visitInOrder(std::size_t count, const std::function<std::string_view(std::size_t)> &nameOf,
                             const std::function<bool(std::size_t)> &visit, Extent extent = Extent::Full);

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
    std::vector<T> sorted;
    sorted.reserve(items.size());
    visitInOrder(
        items.size(), [&](std::size_t i) { return std::string_view(nameOf(items[i])); },
        [&](std::size_t i) {
            sorted.push_back(std::move(items[i]));
            return true;
        });
    items = std::move(sorted);
}

} // namespace renomiq
