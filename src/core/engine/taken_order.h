#pragma once

#include "platform/file_system.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace renomiq {

// Puts the items in the order they were taken: earliest first, items with the
// same time by name, items without a time after all others (by name too).
// takenOf is asked once per item. Identities, when given one per item, are
// put in the same order.
void orderByTaken(std::vector<std::string> &itemPaths,
                  const std::function<std::optional<CalendarTime>(const std::string &)> &takenOf,
                  std::vector<ItemId> *identities = nullptr);

} // namespace renomiq
