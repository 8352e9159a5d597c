// BodyStore: handing out and taking back the bodies' places.
#include "physics/BodyStore.h"

BodyStore::Place BodyStore::Take()
{
    if (free_.empty()) {
        blocks_.push_back(std::make_unique<Block>());
        Block* const block = blocks_.back().get();
        // Taken from the last lane down, so the first lane comes back first.
        for (std::uint32_t lane = kLanes; lane-- > 1;) {
            free_.push_back({block, lane});
        }
        block->used |= 1u;
        return {block, 0};
    }
    const Place place = free_.back();
    free_.pop_back();
    place.block->used |= 1u << place.lane;
    return place;
}

void BodyStore::Give(const Place& place)
{
    Block& block = *place.block;
    const std::uint32_t lane = place.lane;
    block.used &= ~(1u << lane);
    block.registered[lane] = 0;
    block.entry[lane] = nullptr;
    free_.push_back(place);
}
