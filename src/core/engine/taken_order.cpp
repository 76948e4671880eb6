#include "engine/taken_order.h"

#include "engine/item_path.h"
#include "platform/name_order.h"

#include <algorithm>
#include <tuple>

namespace renomiq {

void orderByTaken(std::vector<std::string> &itemPaths,
                  const std::function<std::optional<CalendarTime>(const std::string &)> &takenOf,
                  std::vector<ItemId> *identities)
{
    struct Item {
        std::optional<CalendarTime> taken;
        NameOrder::Key name;
        std::string path;
        ItemId identity;
    };
    const bool withIdentities = identities && identities->size() == itemPaths.size();
    std::vector<Item> items;
    items.reserve(itemPaths.size());
    for (std::size_t i = 0; i < itemPaths.size(); ++i) {
        std::string &path = itemPaths[i];
        items.push_back({takenOf(path), NameOrder::key(lastComponentOf(path)), std::move(path),
                         withIdentities ? (*identities)[i] : ItemId{}});
    }
    const auto when = [](const CalendarTime &t) { return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second); };
    std::stable_sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
        if (a.taken.has_value() != b.taken.has_value())
            return a.taken.has_value();
        if (a.taken && when(*a.taken) != when(*b.taken))
            return when(*a.taken) < when(*b.taken);
        if (a.name != b.name)
            return a.name < b.name;
        return a.path < b.path;
    });
    for (std::size_t i = 0; i < items.size(); ++i) {
        itemPaths[i] = std::move(items[i].path);
        if (withIdentities)
            (*identities)[i] = items[i].identity;
    }
}

} // namespace renomiq
