// PairGrid: the pair search of the collision pass. Each body brings the box
// its sphere swept through during the step (in x and z), so a fast body
// searches as far as it moved and no further, and every other body only as
// far as it moved itself.
//
// The plane is cut into rows along z a few typical boxes deep, and each
// box is filed in every row it reaches; within a row the boxes lie in order
// of their lowest x, and each box meets the ones after it until their lowest
// x passes its highest. So a box meets only the boxes near it along both
// axes: a column of bodies sharing one x costs what a crowd does, and a
// crowd over the whole map what a battle does. The boxes come in the
// collision pass's order, sorted by x already; each slot's order by lowest x
// is put right from there once it is filed, a few boxes at a time. Rows far apart share a slot, so there
// are never more slots than boxes however far the bodies spread, nor more
// than rows however many bodies there are; boxes that meet that way are told
// apart by their rows. A box reaching over very many rows (a body flung far
// in one step) is set aside and meets every box directly.
//
// Most steps need none of that: the boxes come in order of their bodies' x,
// so a sweep in the order given, each box meeting the boxes after it while
// any of them may still reach back to it, meets each box's few neighbours in
// one pass. A step where that sweep walks too far (bodies sharing one x) stops
// it and files the rows instead.
//
// It only proposes pairs: two spheres that touch during the step have
// overlapping boxes, and the collision pass tests every proposal exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

class PairGrid {
public:
    // Four floats in this order: the sweep reads a box as one.
    struct Box {
        float minX = 0.0f;
        float maxX = 0.0f;
        float minZ = 0.0f;
        float maxZ = 0.0f;
    };
    static_assert(sizeof(Box) == 4 * sizeof(float), "a box is read as four floats");
    // One body. number is what the pairs are told in (the collision pass
    // gives each body's place in its list).
    struct Item {
        Box box;
        std::uint32_t number = 0;
        // Two items that cannot move are never paired.
        bool movable = false;
    };

    // Finds every pair of items whose boxes overlap; numbers run below
    // numberCount. Items whose box is not finite are left out. Items given
    // nearly in order of their lowest x are ordered fastest.
    void FindPairs(std::span<const Item> items, std::size_t numberCount);
    // The numbers that have any overlap with a higher number, lowest first.
    std::span<const std::uint32_t> NumbersWithLaterOverlaps() const { return withLater_; }
    // The numbers above number whose boxes overlap its box, in no order.
    // Inline: the collision pass asks once for every body in every step.
    std::span<const std::uint32_t> LaterOverlaps(std::uint32_t number) const
    {
        if (std::size_t{number} + 1 >= firstOfNumber_.size()) {
            return {};
        }
        const std::uint32_t first = firstOfNumber_[number];
        return std::span<const std::uint32_t>(later_).subspan(first, firstOfNumber_[number + 1] - first);
    }

private:
    bool SweepInOrder(std::span<const Item> items);
    void SplitBounds(std::span<const Item> items);
    bool WalkFourWide(std::span<const Item> items, std::size_t giveUp, std::size_t& visits);
    bool WalkEightWide(std::span<const Item> items, std::size_t giveUp, std::size_t& visits);
    static bool WideSweepAvailable();
    static std::size_t NotePairs(std::span<const Item> items, std::size_t b, unsigned overlaps, std::uint64_t mine,
                                 bool movable, std::uint64_t* pairs, std::size_t found);
    bool WalksWithin(std::size_t budget) const;
    void GatherFinite(std::span<const Item> items);
    void FileRows(std::span<const Item> items);
    void OrderSlots();
    bool InsertInOrder(std::uint32_t begin, std::uint32_t end);
    void SortSlot(std::uint32_t begin, std::uint32_t end);
    void MeetInRows();
    void MeetSetAside(std::span<const Item> items);
    void Collect(std::size_t numberCount);
    std::uint32_t Row(float z) const;
    void Reserve(std::size_t more);

    // The sweep's boxes in the order given, those not finite made to meet
    // nothing, and the lowest x of each box and all after it.
    std::vector<float> sweptMinX_;
    std::vector<float> sweptMaxX_;
    std::vector<float> sweptMinZ_;
    std::vector<float> sweptMaxZ_;
    std::vector<float> lowestAfter_;
    // The visits of the last sweep, or more than its budget when it was
    // given up; the first sweep is bounded beforehand.
    std::size_t lastSweepVisits_ = std::numeric_limits<std::size_t>::max() / 4;

    // The items with finite boxes, in the order given.
    std::vector<std::uint32_t> order_;
    // The first and last rows of each of them, in that order.
    std::vector<std::uint32_t> firstRows_;
    std::vector<std::uint32_t> lastRows_;

    // Rows of 1 / perUnit_ from originZ_, row r filed in slot r & slotMask_.
    float perUnit_ = 1.0f;
    float originZ_ = 0.0f;
    std::uint32_t slotMask_ = 15;

    std::vector<std::uint32_t> setAside_;
    std::vector<std::uint8_t> gridded_; // by item
    // The filed boxes by slot, in order along x within each, slot s's from
    // slotStart_[s] to slotStart_[s + 1], with the fields the meetings read
    // side by side: the row each was filed for and its box's first row.
    std::vector<std::uint32_t> slotStart_;
    std::vector<Box> filedBox_;
    std::vector<std::uint32_t> filedNumber_;
    std::vector<std::uint32_t> filedRow_;
    std::vector<std::uint32_t> filedFirstRow_;
    std::vector<std::uint8_t> filedMovable_;
    // A slot sorted outright: its places in order, and room to move its fields.
    std::vector<std::uint32_t> slotOrder_;
    std::vector<Box> scratchBoxes_;
    std::vector<std::uint32_t> scratchWords_;
    std::vector<std::uint8_t> scratchBytes_;

    // The pairs found (lower number, higher number) packed in one word, then
    // grouped by lower number.
    std::vector<std::uint64_t> pairs_;
    std::size_t pairCount_ = 0;
    std::vector<std::uint32_t> firstOfNumber_;
    std::vector<std::uint32_t> later_;
    std::vector<std::uint32_t> withLater_;
};
