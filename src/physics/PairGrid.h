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
// is put right from there once it is filed, a few boxes at a time. Rows far
// apart share a slot, so there are never more slots than boxes however far
// the bodies spread, nor more than rows however many bodies there are; boxes
// that meet that way are told apart by their rows. A box reaching over very
// many rows (a body flung far in one step) is set aside and meets every box
// directly.
//
// Most steps need none of that: the boxes come in order of their bodies' x,
// so a sweep in the order given, each box meeting the boxes after it while
// any of them may still reach back to it, meets each box's few neighbours in
// one pass. A step where that sweep walks too far (bodies sharing one x) stops
// it and sweeps along z instead, the boxes put in order of their lowest z
// first: a column of bodies along z then costs about what a battle does.
// Only where both sweeps walk too far (bodies crowding along both axes) are
// the rows filed.
//
// The pairs are handed on grouped by the lower number of the two. The
// sweep's come out that way: it meets the boxes in the order of their
// numbers, each with the later ones only. The sweep along z and the rows
// meet in any order, and their pairs are grouped afterwards.
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
    // Four floats in this order: the rows file a box as one.
    struct Box {
        float minX = 0.0f;
        float maxX = 0.0f;
        float minZ = 0.0f;
        float maxZ = 0.0f;
    };
    static_assert(sizeof(Box) == 4 * sizeof(float), "a box is read as four floats");
    // Where the caller writes the boxes of the next search, each bound in its
    // own array as the sweep reads them, so nothing is copied on the way. A
    // box's number is its place: the collision pass writes its bodies in list
    // order, and the pairs come out told in that order.
    struct Fields {
        float* minX = nullptr;
        float* maxX = nullptr;
        float* minZ = nullptr;
        float* maxZ = nullptr;
        // 1 or 0: two boxes that cannot move are never paired.
        std::uint8_t* movable = nullptr;
    };

    // Room for up to capacity boxes, valid until the next call.
    Fields PrepareBoxes(std::size_t capacity);
    // Finds every pair among the first count boxes written whose boxes
    // overlap. Boxes that are not finite are left out. Boxes given nearly in
    // order of their lowest x are ordered fastest.
    void FindPairs(std::size_t count);
    // The pairs found, each a word with its lower number in the high half and
    // its higher number in the low half. They are grouped by their lower
    // number, lowest first, each group in no order.
    std::span<const std::uint64_t> Pairs() const { return {pairs_.data(), pairCount_}; }
    static std::uint32_t LowerOf(std::uint64_t pair) { return static_cast<std::uint32_t>(pair >> 32); }
    static std::uint32_t HigherOf(std::uint64_t pair) { return static_cast<std::uint32_t>(pair); }

private:
    void Prepare(std::size_t count);
    bool BoundWalks(std::size_t count);
    void LeaveOutNotFinite(std::size_t count);
    bool SweepInOrder(std::size_t count);
    bool WalkFourWide(std::size_t count, std::size_t giveUp, std::size_t& visits);
    bool WalkEightWide(std::size_t count, std::size_t giveUp, std::size_t& visits);
    static bool WideSweepAvailable();
    static std::size_t NotePairs(std::size_t b, unsigned overlaps, std::uint64_t mine, std::uint32_t movable,
                                 const std::uint8_t* movables, std::uint64_t* pairs, std::size_t found);
    static bool WalksWithin(const float* highs, const float* lowest, std::size_t count, std::size_t budget);
    bool SweepAlongZ(std::size_t count);
    void OrderAlongZ(std::size_t count);
    bool WalkAlongZ(std::size_t giveUp);
    Box BoxOf(std::size_t i) const { return {lowX_[i], highX_[i], lowZ_[i], highZ_[i]}; }
    void GatherFinite(std::size_t count);
    void FileRows(std::size_t count);
    void OrderSlots();
    bool InsertInOrder(std::uint32_t begin, std::uint32_t end);
    void SortSlot(std::uint32_t begin, std::uint32_t end);
    void MeetInRows();
    void MeetSetAside();
    void Collect(std::size_t count);
    std::uint32_t Row(float z) const;
    void Reserve(std::size_t more);

    // The boxes as the caller wrote them, then those not finite made NaN to
    // meet nothing, and the lowest x of each box and all after it. Each runs
    // on past the boxes by a few that meet nothing and stop every walk.
    std::vector<float> lowX_;
    std::vector<float> highX_;
    std::vector<float> lowZ_;
    std::vector<float> highZ_;
    std::vector<std::uint8_t> movable_;
    std::vector<float> lowestAfter_;
    // The visits of the last sweep, or more than its budget when it was
    // given up; the first sweep is bounded beforehand.
    std::size_t lastSweepVisits_ = std::numeric_limits<std::size_t>::max() / 4;

    // The sweep along z: the finite boxes nearly in order of their lowest z
    // (their places in the order given, and the band of z each fell in), a
    // bound to an array, each array running on by a few boxes of NaN that
    // meet nothing and stop every walk, and the lowest z of each box and all
    // after it.
    std::vector<std::uint32_t> zOrder_;
    std::vector<std::uint32_t> zBand_;
    std::vector<std::uint32_t> zBandStart_;
    std::vector<float> zLowZ_;
    std::vector<float> zHighZ_;
    std::vector<float> zLowX_;
    std::vector<float> zHighX_;
    std::vector<std::uint32_t> zNumber_;
    // -1 movable, 0 not, as lanes.
    std::vector<std::int32_t> zMovable_;
    std::vector<float> zLowestAfter_;
    std::size_t zCount_ = 0;
    // As lastSweepVisits_, for the sweep along z.
    std::size_t lastZSweepVisits_ = std::numeric_limits<std::size_t>::max() / 4;

    // The boxes that are finite, in the order given.
    std::vector<std::uint32_t> order_;
    // The first and last rows of each of them, in that order.
    std::vector<std::uint32_t> firstRows_;
    std::vector<std::uint32_t> lastRows_;

    // Rows of 1 / perUnit_ from originZ_, row r filed in slot r & slotMask_.
    float perUnit_ = 1.0f;
    float originZ_ = 0.0f;
    std::uint32_t slotMask_ = 15;

    std::vector<std::uint32_t> setAside_;
    std::vector<std::uint8_t> gridded_; // by box
    // The filed boxes by slot, in order along x within each, slot s's from
    // slotStart_[s] to slotStart_[s + 1], with the fields the meetings read
    // side by side: the row each was filed for and its box's first row.
    std::vector<std::uint32_t> slotStart_;
    std::vector<Box> filedBox_;
    std::vector<std::uint32_t> filedNumber_;
    std::vector<std::uint32_t> filedRow_;
    std::vector<std::uint32_t> filedFirstRow_;
    std::vector<std::uint8_t> filedMovable_;
    // The filed boxes as the meetings read them, a bound to an array, and
    // their movable switches as lanes.
    std::vector<float> meetMinX_;
    std::vector<float> meetMaxX_;
    std::vector<float> meetMinZ_;
    std::vector<float> meetMaxZ_;
    std::vector<std::int32_t> meetMovable_;
    // A slot sorted outright: its places in order, and room to move its fields.
    std::vector<std::uint32_t> slotOrder_;
    std::vector<Box> scratchBoxes_;
    std::vector<std::uint32_t> scratchWords_;
    std::vector<std::uint8_t> scratchBytes_;

    // The pairs found; the rows' in the order met until they are grouped,
    // by their lower number's count, through groupedPairs_.
    std::vector<std::uint64_t> pairs_;
    std::size_t pairCount_ = 0;
    std::vector<std::uint32_t> countOfNumber_;
    std::vector<std::uint64_t> groupedPairs_;
};
