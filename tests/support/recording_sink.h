#pragma once

#include "engine/item_outcome.h"

#include <vector>

namespace renomiq::test {

// Keeps every outcome the name engine reports, in order.
class RecordingSink : public OutcomeSink {
public:
    std::vector<ItemOutcome> outcomes;
    void report(const ItemOutcome &outcome) override { outcomes.push_back(outcome); }
};

} // namespace renomiq::test
