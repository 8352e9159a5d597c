// SweepAndPrune: the pair search of the collision pass. Each body brings the
// box its sphere swept through during the step (in x and z), so a fast body
// searches as far as it moved and no further, and every other body only as
// far as it moved itself. Boxes are sorted along whichever of x and z the
// bodies spread further over, so a column of bodies sharing one x is
// searched along z. The order is kept from step to step, where it is almost
// right already, and put right by insertion.
//
// It only proposes pairs: two spheres that touch during the step have
// overlapping boxes, and the collision pass tests every proposal exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class SweepAndPrune {
public:
    struct Box {
        float minX = 0.0f;
        float maxX = 0.0f;
        float minZ = 0.0f;
        float maxZ = 0.0f;
    };

    // Starts a search over items numbered 0 to itemCount - 1 (the collision
    // pass numbers bodies by their place in its list).
    void Begin(std::size_t itemCount);
    // Adds the box of item; key names the body across steps (its slot), so
    // that last step's order can be reused. Two items that cannot move are
    // never paired. Boxes that are not finite are left out.
    void Add(std::uint32_t item, std::uint32_t key, const Box& box, bool movable);
    // Finds every pair of overlapping boxes.
    void FindPairs();
    // The items numbered above item whose boxes overlap its box, in no order.
    std::span<const std::uint32_t> LaterOverlaps(std::uint32_t item) const;

private:
    struct Entry {
        float low = 0.0f; // the box's start along the sweep axis
        std::uint32_t added = 0;
    };

    bool ChooseAxisZ() const;
    void Order(bool alongZ);
    void Sweep(bool alongZ);
    void Collect();

    // The boxes as added, and their items, keys and movability.
    std::vector<Box> boxes_;
    std::vector<std::uint32_t> items_;
    std::vector<std::uint32_t> keys_;
    std::vector<std::uint8_t> movable_;
    std::size_t itemCount_ = 0;

    // Last search's order, by key, and its axis.
    std::vector<std::uint32_t> previousKeys_;
    bool previousAlongZ_ = false;
    // Which box each key has in this search, or kNone.
    std::vector<std::uint32_t> addedOfKey_;

    // This search's order along the axis, with the sweep's own copies of the
    // box bounds in that order so the inner loop reads contiguous floats.
    std::vector<Entry> order_;
    std::vector<float> low_;
    std::vector<float> high_;
    std::vector<float> otherLow_;
    std::vector<float> otherHigh_;

    // The pairs found (lower item, higher item), then grouped by lower item.
    std::vector<std::uint64_t> pairs_;
    std::vector<std::uint32_t> firstOfItem_;
    std::vector<std::uint32_t> later_;
};
