// PairGrid: the order along x, sizing and filing the rows, the meetings in
// each row and of the boxes set aside, and the pairs grouped by their lower
// number for the collision pass.
//
// Every row index comes from one monotone function of z, so two boxes that
// overlap share a row however the floats round.
#include "physics/PairGrid.h"

#include "platform/math/Float4.h"

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#include <immintrin.h>
#define KV_WIDE_SWEEP 1
#else
#define KV_WIDE_SWEEP 0
#endif

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

// The eight-lane helpers are inlined into the dispatched passes below, which
// the compiler warns pass their vectors differently with AVX; they never pass
// them across a call.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace {

// Insertion moves allowed per box of a slot before sorting it outright is
// cheaper.
constexpr std::size_t kMovesPerBox = 8;

// The sweep in the order given gives up beyond this many visits a box on
// average: then bodies crowd along x and the rows cost less.
constexpr std::size_t kSweepVisitsPerBox = 24;
// The sweep meets this many boxes at once, one a lane: four in SSE2
// registers, eight in AVX ones where the processor has them. Each walk takes
// its first visit before its end is looked at, so the arrays run on by two
// visits of boxes that meet nothing for either.
constexpr std::size_t kSweepGroup = 4;
constexpr std::size_t kWideSweepGroup = 8;
constexpr std::size_t kSweepPadding = 2 * kWideSweepGroup;

constexpr float kSmallestRow = 0.25f;
// Rows are this many typical boxes deep. A box filed in fewer rows costs less
// to file and to walk, while a deeper row makes each walk along x meet a few
// more boxes; measured on the battle and the crowd, four typical boxes filed
// about 1.25 times per box costs least (one box deep filed each about twice).
constexpr float kRowDepth = 4.0f;
// About one slot per box, and never fewer than kFewestSlots.
constexpr std::size_t kFewestSlots = 16;
// A box reaching over more rows than this meets every box directly instead.
constexpr std::uint32_t kMostRows = 8;
// Row indices stop here, well inside the exact range of a float.
constexpr float kFarthestRow = 16777216.0f;

// A float as an index within [0, last]: below 0, and anything that is not a
// number, counts as 0, beyond last as last, so no value outside the index's
// range is ever cast. Monotone, as the rows need.
std::uint32_t IndexWithin(float value, float last)
{
    if (!(value > 0.0f)) {
        return 0;
    }
    return static_cast<std::uint32_t>(value < last ? value : last);
}

bool IsFinite(const PairGrid::Box& b)
{
    return std::isfinite(b.minX) && std::isfinite(b.maxX) && std::isfinite(b.minZ) && std::isfinite(b.maxZ);
}

// Eight lanes in the compiler's vectors: two SSE2 registers on the baseline
// processor, one AVX register in the code built for it.
using Lanes8 = float __attribute__((vector_size(32)));
using Bits8 = std::int32_t __attribute__((vector_size(32)));

Lanes8 LoadLanes(const float* p)
{
    Lanes8 v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

// Words below 2^31, as lanes.
template <typename Word> Bits8 LoadBits(const Word* p)
{
    static_assert(sizeof(Word) == sizeof(std::int32_t));
    Bits8 v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

// mask ? a : b, lane by lane.
Lanes8 Pick(const Bits8& mask, const Lanes8& a, const Lanes8& b)
{
    return reinterpret_cast<Lanes8>((mask & reinterpret_cast<Bits8>(a)) | (~mask & reinterpret_cast<Bits8>(b)));
}

Lanes8 Least(const Lanes8& a, const Lanes8& b)
{
    return a < b ? a : b;
}

// Lane i's answer in bit i.
int LaneBits(const Bits8& bits)
{
#if defined(__SSE2__)
    using Half = std::int32_t __attribute__((vector_size(16)));
    const Half low = __builtin_shufflevector(bits, bits, 0, 1, 2, 3);
    const Half high = __builtin_shufflevector(bits, bits, 4, 5, 6, 7);
    return _mm_movemask_ps(_mm_castsi128_ps(reinterpret_cast<__m128i>(low))) |
           _mm_movemask_ps(_mm_castsi128_ps(reinterpret_cast<__m128i>(high))) << 4;
#else
    int answers = 0;
    for (int i = 0; i < 8; ++i) {
        answers |= bits[i] != 0 ? 1 << i : 0;
    }
    return answers;
#endif
}

// The first count lanes (of eight) on.
Bits8 LanesBelow(std::int32_t count)
{
    const Bits8 lane = {0, 1, 2, 3, 4, 5, 6, 7};
    return lane < count;
}

bool Overlap(const PairGrid::Box& a, const PairGrid::Box& b)
{
    return (a.minX <= b.maxX) & (b.minX <= a.maxX) & (a.minZ <= b.maxZ) & (b.minZ <= a.maxZ);
}

// field[begin + k] becomes what field[order[k]] held, for every k.
template <typename T>
void Rearrange(std::vector<T>& field, std::vector<T>& scratch, std::uint32_t begin,
               const std::vector<std::uint32_t>& order)
{
    scratch.clear();
    for (const std::uint32_t from : order) {
        scratch.push_back(field[from]);
    }
    std::copy(scratch.begin(), scratch.end(), field.begin() + begin);
}

} // namespace

PairGrid::Fields PairGrid::PrepareBoxes(std::size_t capacity)
{
    for (std::vector<float>* const bounds : {&lowX_, &highX_, &lowZ_, &highZ_}) {
        bounds->resize(capacity + kSweepPadding);
    }
    movable_.resize(capacity + kSweepPadding);
    return {lowX_.data(), highX_.data(), lowZ_.data(), highZ_.data(), movable_.data()};
}

void PairGrid::FindPairs(std::size_t count)
{
    // No more boxes were written than there was room for.
    if (movable_.size() < count + kSweepPadding) {
        count = movable_.size() < kSweepPadding ? 0 : movable_.size() - kSweepPadding;
        PrepareBoxes(count);
    }
    Prepare(count);
    if (SweepInOrder(count)) {
        return;
    }
    if (SweepAlongZ(count)) {
        Collect(count);
    } else {
        pairCount_ = 0;
        GatherFinite(count);
        FileRows(count);
        OrderSlots();
        MeetInRows();
        MeetSetAside();
        Collect(count);
    }
}

// Every comparison with NaN fails: a box not finite is made NaN, overlaps
// nothing and stops no walk, and so are the boxes the walks run on into.
void PairGrid::Prepare(std::size_t count)
{
    for (std::vector<float>* const bounds : {&lowX_, &highX_, &lowZ_, &highZ_}) {
        std::fill(bounds->begin() + static_cast<std::ptrdiff_t>(count),
                  bounds->begin() + static_cast<std::ptrdiff_t>(count + kSweepPadding), NAN);
    }
    lowestAfter_.resize(count + kSweepPadding);
    std::fill(lowestAfter_.begin() + static_cast<std::ptrdiff_t>(count), lowestAfter_.end(),
              std::numeric_limits<float>::infinity());
    // Mostly every box is finite, and one pass both tells so and bounds the
    // walks; otherwise the walks are bounded again without the others.
    if (!BoundWalks(count)) {
        LeaveOutNotFinite(count);
        BoundWalks(count);
    }
}

// The lowest x of each box and all after it, a NaN passed over, eight boxes
// at a time from the last: each eight's own lowest from the end of them,
// then those after them. On the way, whether every box is finite: v - v is 0
// for a finite v and NaN otherwise, and a NaN stays in a sum.
KV_LANES_DISPATCHED bool PairGrid::BoundWalks(std::size_t count)
{
    const float* const lowX = lowX_.data();
    const float* const highX = highX_.data();
    const float* const lowZ = lowZ_.data();
    const float* const highZ = highZ_.data();
    float* const lowest = lowestAfter_.data();
    const Lanes8 none = Lanes8{} + std::numeric_limits<float>::infinity();
    Lanes8 after = none;
    Lanes8 sum = {};
    // The last eight run on into the padding, which is NaN: its lanes are
    // left out of the sum, and pass for boxes reaching nowhere.
    std::size_t i = (count + 7) / 8 * 8;
    Bits8 real = LanesBelow(static_cast<std::int32_t>(count + 8 - i));
    while (i > 0) {
        i -= 8;
        const Lanes8 a = LoadLanes(lowX + i);
        const Lanes8 b = LoadLanes(highX + i);
        const Lanes8 c = LoadLanes(lowZ + i);
        const Lanes8 d = LoadLanes(highZ + i);
        sum += Pick(real, ((a - a) + (b - b)) + ((c - c) + (d - d)), Lanes8{});
        real = Bits8{} - 1;
        Lanes8 v = Pick(a == a, a, none);
        v = Least(v, __builtin_shufflevector(v, none, 1, 2, 3, 4, 5, 6, 7, 8));
        v = Least(v, __builtin_shufflevector(v, none, 2, 3, 4, 5, 6, 7, 8, 8));
        v = Least(v, __builtin_shufflevector(v, none, 4, 5, 6, 7, 8, 8, 8, 8));
        v = Least(v, after);
        std::memcpy(lowest + i, &v, sizeof(v));
        after = __builtin_shufflevector(v, v, 0, 0, 0, 0, 0, 0, 0, 0);
    }
    const Bits8 zero = sum == Lanes8{};
    std::int64_t halves[4];
    std::memcpy(halves, &zero, sizeof(zero));
    return (halves[0] & halves[1] & halves[2] & halves[3]) == -1;
}

void PairGrid::LeaveOutNotFinite(std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsFinite(BoxOf(i))) {
            lowX_[i] = NAN;
            highX_[i] = NAN;
            lowZ_[i] = NAN;
            highZ_[i] = NAN;
        }
    }
}

// Each box meets the boxes after it in the order given while the lowest x of
// any of them is within its highest: a box it overlaps lies there, and the
// walk ends where nothing after can reach back. Each walk pairs a box only
// with later ones, so the pairs come out grouped by their lower number as
// they are found. False, having found nothing, when the walks could pass
// kSweepVisitsPerBox a box on average.
bool PairGrid::SweepInOrder(std::size_t count)
{
    const std::size_t budget = kSweepVisitsPerBox * count;
    // After a step that swept within the budget the walks are simply taken:
    // the bodies barely moved. They are given up only past twice the budget,
    // which costs one step no more than two sweeps. Otherwise they are
    // bounded before any is taken, so a step that would walk too far costs
    // only this pass: each walk ends no later than it would for the highest x
    // of any box up to its own, and those ends only move on.
    const std::size_t giveUp = 2 * budget;
    if (lastSweepVisits_ > budget && !WalksWithin(highX_.data(), lowestAfter_.data(), count, budget)) {
        lastSweepVisits_ = giveUp + 1;
        return false;
    }
    // Each pair found takes a visit: room for the visits allowed and one
    // more walk is room for all.
    pairCount_ = 0;
    Reserve(giveUp + count);
    std::size_t visits = 0;
    const bool walked =
        WideSweepAvailable() ? WalkEightWide(count, giveUp, visits) : WalkFourWide(count, giveUp, visits);
    lastSweepVisits_ = visits;
    return walked;
}

// Notes the pairs of box a (mine, its number in the high half) with the boxes
// of a visit from b on that overlap it, one bit a box in overlaps; mostly
// there are none. A pair is written either way and counted only when one of
// the two can move. Returns the pairs found so far.
inline std::size_t PairGrid::NotePairs(std::size_t b, unsigned overlaps, std::uint64_t mine, std::uint32_t movable,
                                       const std::uint8_t* movables, std::uint64_t* pairs, std::size_t found)
{
    for (; overlaps != 0; overlaps &= overlaps - 1) {
        const std::size_t other = b + static_cast<std::size_t>(std::countr_zero(overlaps));
        pairs[found] = mine | other;
        found += movable | movables[other];
    }
    return found;
}

// The walks of the sweep, four boxes a visit; false, having given up, once
// the visits pass giveUp.
bool PairGrid::WalkFourWide(std::size_t count, std::size_t giveUp, std::size_t& visits)
{
    const float* const lowX = lowX_.data();
    const float* const highX = highX_.data();
    const float* const lowZ = lowZ_.data();
    const float* const highZ = highZ_.data();
    const float* const lowest = lowestAfter_.data();
    const std::uint8_t* const movables = movable_.data();
    std::uint64_t* const pairs = pairs_.data();
    std::size_t found = 0;
    std::size_t walked = 0;
    for (std::size_t a = 0; a < count; ++a) {
        const float reach = highX[a];
        const Float4 minX(lowX[a]);
        const Float4 maxX(reach);
        const Float4 minZ(lowZ[a]);
        const Float4 maxZ(highZ[a]);
        const std::uint64_t mine = std::uint64_t{a} << 32;
        const std::uint32_t movable = movables[a];
        // Four boxes a visit, the walk's end tested at the first of them: a
        // box past the end cannot overlap, so meeting it does no harm.
        for (std::size_t b = a + 1; lowest[b] <= reach; b += kSweepGroup) {
            const Float4 otherMinX = Float4::Load(lowX + b);
            const Float4 otherMaxX = Float4::Load(highX + b);
            const Float4 otherMinZ = Float4::Load(lowZ + b);
            const Float4 otherMaxZ = Float4::Load(highZ + b);
            const int overlaps =
                ((otherMinX <= maxX) & (minX <= otherMaxX) & (otherMinZ <= maxZ) & (minZ <= otherMaxZ)).Bits();
            found = NotePairs(b, static_cast<unsigned>(overlaps), mine, movable, movables, pairs, found);
            // The visits only add up: giving up here is giving up at the
            // end of this walk.
            walked += kSweepGroup;
            if (walked > giveUp) {
                visits = walked;
                return false;
            }
        }
    }
    visits = walked;
    pairCount_ = found;
    return true;
}

// WalkFourWide eight boxes a visit, for a processor with AVX.
#if KV_WIDE_SWEEP
__attribute__((target("avx2"))) bool PairGrid::WalkEightWide(std::size_t count, std::size_t giveUp, std::size_t& visits)
{
    const float* const lowX = lowX_.data();
    const float* const highX = highX_.data();
    const float* const lowZ = lowZ_.data();
    const float* const highZ = highZ_.data();
    const float* const lowest = lowestAfter_.data();
    const std::uint8_t* const movables = movable_.data();
    std::uint64_t* const pairs = pairs_.data();
    std::size_t found = 0;
    // Every walk takes its first visit, so only the visits after it can pass
    // giveUp (which allows many more than one a box), and only those are
    // counted: this gives up at the first walk that would end past it.
    const std::size_t firstVisits = kWideSweepGroup * count;
    const std::size_t moreAllowed = giveUp - std::min(giveUp, firstVisits);
    std::size_t more = 0;
    for (std::size_t a = 0; a < count; ++a) {
        const float reach = highX[a];
        const __m256 minX = _mm256_broadcast_ss(lowX + a);
        const __m256 maxX = _mm256_set1_ps(reach);
        const __m256 minZ = _mm256_broadcast_ss(lowZ + a);
        const __m256 maxZ = _mm256_broadcast_ss(highZ + a);
        const std::uint64_t mine = std::uint64_t{a} << 32;
        const std::uint32_t movable = movables[a];
        // The first visit is taken whether or not the walk reaches it: most
        // walks take one, and a walk of varying length would have its end
        // guessed wrong. Boxes past the end meet nothing.
        for (std::size_t b = a + 1;;) {
            // Ordered comparisons, false with NaN, as Float4's.
            const __m256 inX = _mm256_and_ps(_mm256_cmp_ps(maxX, _mm256_loadu_ps(lowX + b), _CMP_GE_OS),
                                             _mm256_cmp_ps(minX, _mm256_loadu_ps(highX + b), _CMP_LE_OS));
            const __m256 inZ = _mm256_and_ps(_mm256_cmp_ps(maxZ, _mm256_loadu_ps(lowZ + b), _CMP_GE_OS),
                                             _mm256_cmp_ps(minZ, _mm256_loadu_ps(highZ + b), _CMP_LE_OS));
            const int overlaps = _mm256_movemask_ps(_mm256_and_ps(inX, inZ));
            found = NotePairs(b, static_cast<unsigned>(overlaps), mine, movable, movables, pairs, found);
            b += kWideSweepGroup;
            if (!(lowest[b] <= reach)) {
                break;
            }
            more += kWideSweepGroup;
            if (more > moreAllowed) {
                visits = firstVisits + more;
                return false;
            }
        }
    }
    visits = firstVisits + more;
    pairCount_ = found;
    return true;
}

bool PairGrid::WideSweepAvailable()
{
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#else
bool PairGrid::WalkEightWide(std::size_t count, std::size_t giveUp, std::size_t& visits)
{
    return WalkFourWide(count, giveUp, visits);
}

bool PairGrid::WideSweepAvailable()
{
    return false;
}
#endif

// Whether a sweep's walks, bounded as above, stay within budget visits:
// highs are the highest bounds along the sweep's axis, lowest the lowest
// bound of each box and all after it.
bool PairGrid::WalksWithin(const float* highs, const float* lowest, std::size_t count, std::size_t budget)
{
    std::size_t bound = 0;
    std::size_t end = 0;
    float reach = -std::numeric_limits<float>::infinity();
    for (std::size_t a = 0; a < count; ++a) {
        reach = std::max(reach, highs[a]);
        end = std::max(end, a + 1);
        while (lowest[end] <= reach) {
            ++end;
        }
        bound += end - a - 1;
        if (bound > budget) {
            return false;
        }
    }
    return true;
}

// The sweep along z, for a step whose boxes crowd along x: as SweepInOrder,
// over the finite boxes put in order of their lowest z. False, having found
// nothing, when its walks could pass kSweepVisitsPerBox a box on average.
bool PairGrid::SweepAlongZ(std::size_t count)
{
    OrderAlongZ(count);
    const std::size_t budget = kSweepVisitsPerBox * zCount_;
    const std::size_t giveUp = 2 * budget;
    if (lastZSweepVisits_ > budget && !WalksWithin(zHighZ_.data(), zLowestAfter_.data(), zCount_, budget)) {
        lastZSweepVisits_ = giveUp + 1;
        return false;
    }
    pairCount_ = 0;
    // Room for the visits allowed and the walk that passes them.
    Reserve(giveUp + zCount_ + kWideSweepGroup);
    const bool walked = WalkAlongZ(giveUp);
    if (!walked) {
        pairCount_ = 0;
    }
    return walked;
}

// The finite boxes put nearly in order of their lowest z, and laid out a
// bound to an array in that order, with the lowest z of each box and all
// after it, which bounds the walks as lowestAfter_ does along x. A counting
// sort into about one band of z a box does it without a comparison a
// processor could guess wrong; within a band the boxes keep their order.
void PairGrid::OrderAlongZ(std::size_t count)
{
    zOrder_.resize(count);
    std::uint32_t* const order = zOrder_.data();
    std::size_t kept = 0;
    float low = std::numeric_limits<float>::max();
    float high = std::numeric_limits<float>::lowest();
    for (std::size_t i = 0; i < count; ++i) {
        // Those that are not finite were made NaN.
        const float z = lowZ_[i];
        if (z == z) {
            order[kept++] = static_cast<std::uint32_t>(i);
            low = std::min(low, z);
            high = std::max(high, z);
        }
    }
    zCount_ = kept;
    const std::uint32_t bands = static_cast<std::uint32_t>(std::max<std::size_t>(kept, 1));
    // A span too small (or too large) to divide puts every box in one band.
    const float perUnit = static_cast<float>(bands) / (high - low);
    const float scale = std::isfinite(perUnit) ? perUnit : 0.0f;
    const float lastBand = static_cast<float>(bands - 1);
    zBand_.resize(kept);
    zBandStart_.assign(std::size_t{bands} + 1, 0);
    std::uint32_t* const band = zBand_.data();
    std::uint32_t* const starts = zBandStart_.data();
    for (std::size_t k = 0; k < kept; ++k) {
        // Boxes a span apart beyond the float range give inf times 0 here.
        band[k] = IndexWithin((lowZ_[order[k]] - low) * scale, lastBand);
        ++starts[band[k] + 1];
    }
    for (std::uint32_t b = 1; b <= bands; ++b) {
        starts[b] += starts[b - 1];
    }
    for (std::vector<float>* const bounds : {&zLowZ_, &zHighZ_, &zLowX_, &zHighX_}) {
        bounds->resize(kept + kSweepPadding);
        std::fill(bounds->begin() + static_cast<std::ptrdiff_t>(kept), bounds->end(), NAN);
    }
    zNumber_.resize(kept + kSweepPadding);
    zMovable_.resize(kept + kSweepPadding);
    for (std::size_t k = 0; k < kept; ++k) {
        const std::uint32_t i = order[k];
        const std::uint32_t at = starts[band[k]]++;
        zLowZ_[at] = lowZ_[i];
        zHighZ_[at] = highZ_[i];
        zLowX_[at] = lowX_[i];
        zHighX_[at] = highX_[i];
        zNumber_[at] = i;
        zMovable_[at] = movable_[i] != 0 ? -1 : 0;
    }
    zLowestAfter_.resize(kept + kSweepPadding);
    std::fill(zLowestAfter_.begin() + static_cast<std::ptrdiff_t>(kept), zLowestAfter_.end(),
              std::numeric_limits<float>::infinity());
    for (std::size_t k = kept; k-- > 0;) {
        zLowestAfter_[k] = std::min(zLowZ_[k], zLowestAfter_[k + 1]);
    }
}

// The walks of the sweep along z, eight boxes a visit; false once the visits
// pass giveUp. A pair is noted with its lower number first, whichever box
// came first along z.
KV_LANES_DISPATCHED bool PairGrid::WalkAlongZ(std::size_t giveUp)
{
    const float* const lowZ = zLowZ_.data();
    const float* const highZ = zHighZ_.data();
    const float* const lowX = zLowX_.data();
    const float* const highX = zHighX_.data();
    const std::uint32_t* const numbers = zNumber_.data();
    const std::int32_t* const movables = zMovable_.data();
    const float* const lowest = zLowestAfter_.data();
    std::uint64_t* const pairs = pairs_.data();
    std::size_t found = 0;
    std::size_t visits = 0;
    for (std::size_t a = 0; a < zCount_; ++a) {
        const float reach = highZ[a];
        // Adding to zero may turn -0 into 0, which compares alike.
        const Lanes8 maxZ = Lanes8{} + reach;
        const Lanes8 minZ = Lanes8{} + lowZ[a];
        const Lanes8 minX = Lanes8{} + lowX[a];
        const Lanes8 maxX = Lanes8{} + highX[a];
        const Bits8 movable = Bits8{} + movables[a];
        const std::uint64_t mine = numbers[a];
        // As the sweep along x, the first visit is taken whether or not the
        // walk reaches it; boxes past the end meet nothing.
        for (std::size_t b = a + 1;;) {
            const Bits8 inZ = (LoadLanes(lowZ + b) <= maxZ) & (minZ <= LoadLanes(highZ + b));
            const Bits8 inX = (LoadLanes(lowX + b) <= maxX) & (minX <= LoadLanes(highX + b));
            unsigned meets = static_cast<unsigned>(LaneBits(inZ & inX & (movable | LoadBits(movables + b))));
            for (; meets != 0; meets &= meets - 1) {
                const std::uint64_t theirs = numbers[b + static_cast<std::size_t>(std::countr_zero(meets))];
                pairs[found++] = std::min(mine, theirs) << 32 | std::max(mine, theirs);
            }
            b += kWideSweepGroup;
            visits += kWideSweepGroup;
            if (!(lowest[b] <= reach)) {
                break;
            }
            if (visits > giveUp) {
                lastZSweepVisits_ = visits;
                return false;
            }
        }
    }
    lastZSweepVisits_ = visits;
    pairCount_ = found;
    return true;
}

// The boxes that are finite, in the order given; the rows are sized on the
// way, a few typical boxes deep from the lowest, about one slot a box.
void PairGrid::GatherFinite(std::size_t count)
{
    order_.resize(count);
    // Through plain pointers, which the stores to order_ cannot change.
    const float* const boxLowX = lowX_.data();
    const float* const boxLowZ = lowZ_.data();
    const float* const boxHighZ = highZ_.data();
    std::uint32_t* const order = order_.data();
    std::size_t kept = 0;
    float depths = 0.0f;
    float lowZ = std::numeric_limits<float>::max();
    float highZ = std::numeric_limits<float>::lowest();
    for (std::size_t i = 0; i < count; ++i) {
        // Those that are not were made NaN.
        if (boxLowX[i] == boxLowX[i]) {
            order[kept++] = static_cast<std::uint32_t>(i);
            depths += boxHighZ[i] - boxLowZ[i];
            lowZ = std::min(lowZ, boxLowZ[i]);
            highZ = std::max(highZ, boxHighZ[i]);
        }
    }
    order_.resize(kept);
    const float typical = order_.empty() ? 1.0f : depths / static_cast<float>(order_.size());
    originZ_ = order_.empty() ? 0.0f : lowZ;
    perUnit_ = std::isfinite(typical) ? 1.0f / std::max(typical * kRowDepth, kSmallestRow) : 1.0f;
    // Never more slots than rows: every slot is walked three times however
    // few boxes it holds. Rows beyond the float range count as many.
    const float rowSpan = order_.empty() ? 0.0f : (highZ - lowZ) * perUnit_ + 1.0f;
    const std::size_t rows =
        rowSpan < static_cast<float>(order_.size()) ? static_cast<std::size_t>(rowSpan) + 1 : order_.size();
    slotMask_ = static_cast<std::uint32_t>(std::bit_ceil(std::max(rows, kFewestSlots)) - 1);
}

// Each slot's boxes put in order of their lowest x. They were filed in the
// order given, by their bodies' x, which is nearly that order, so insertion
// mostly moves a box by a place or two; a slot that needs more (bodies all
// at one x, where the lowest x goes by radius) is sorted outright.
void PairGrid::OrderSlots()
{
    for (std::size_t slot = 0; slot + 1 < slotStart_.size(); ++slot) {
        const std::uint32_t begin = slotStart_[slot];
        const std::uint32_t end = slotStart_[slot + 1];
        if (!InsertInOrder(begin, end)) {
            SortSlot(begin, end);
        }
    }
}

// Insertion along the slot; false, the slot left in some order, once it has
// cost more than a full sort would.
bool PairGrid::InsertInOrder(std::uint32_t begin, std::uint32_t end)
{
    Box* const boxes = filedBox_.data();
    std::uint32_t* const numbers = filedNumber_.data();
    std::uint32_t* const rows = filedRow_.data();
    std::uint32_t* const firstRows = filedFirstRow_.data();
    std::uint8_t* const movables = filedMovable_.data();
    const std::size_t budget = kMovesPerBox * (end - begin);
    std::size_t moves = 0;
    for (std::uint32_t i = begin + 1; i < end; ++i) {
        if (!(boxes[i].minX < boxes[i - 1].minX)) {
            continue;
        }
        const Box box = boxes[i];
        const std::uint32_t number = numbers[i];
        const std::uint32_t row = rows[i];
        const std::uint32_t firstRow = firstRows[i];
        const std::uint8_t movable = movables[i];
        std::uint32_t j = i;
        for (; j > begin && box.minX < boxes[j - 1].minX; --j) {
            boxes[j] = boxes[j - 1];
            numbers[j] = numbers[j - 1];
            rows[j] = rows[j - 1];
            firstRows[j] = firstRows[j - 1];
            movables[j] = movables[j - 1];
        }
        boxes[j] = box;
        numbers[j] = number;
        rows[j] = row;
        firstRows[j] = firstRow;
        movables[j] = movable;
        moves += i - j;
        if (moves > budget) {
            return false;
        }
    }
    return true;
}

void PairGrid::SortSlot(std::uint32_t begin, std::uint32_t end)
{
    const std::size_t count = end - begin;
    slotOrder_.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        slotOrder_[k] = static_cast<std::uint32_t>(begin + k);
    }
    const Box* const boxes = filedBox_.data();
    std::sort(slotOrder_.begin(), slotOrder_.end(),
              [boxes](std::uint32_t a, std::uint32_t b) { return boxes[a].minX < boxes[b].minX; });
    Rearrange(filedBox_, scratchBoxes_, begin, slotOrder_);
    Rearrange(filedNumber_, scratchWords_, begin, slotOrder_);
    Rearrange(filedRow_, scratchWords_, begin, slotOrder_);
    Rearrange(filedFirstRow_, scratchWords_, begin, slotOrder_);
    Rearrange(filedMovable_, scratchBytes_, begin, slotOrder_);
}

std::uint32_t PairGrid::Row(float z) const
{
    // An offset beyond the float range counts as the farthest row.
    return IndexWithin((z - originZ_) * perUnit_, kFarthestRow);
}

// A counting sort of the boxes, in the order gathered, into the slots of
// every row they reach.
void PairGrid::FileRows(std::size_t count)
{
    setAside_.clear();
    gridded_.assign(count, 0);
    slotStart_.assign(std::size_t{slotMask_} + 2, 0);
    firstRows_.resize(order_.size());
    lastRows_.resize(order_.size());
    // The arrays and their sizes are reached through locals: the stores of
    // bytes below may alias anything, so the compiler would otherwise load
    // the vectors' own data pointers and sizes again after every one.
    std::uint32_t* const firstRows = firstRows_.data();
    std::uint32_t* const lastRows = lastRows_.data();
    std::uint32_t* const starts = slotStart_.data();
    std::uint8_t* const gridded = gridded_.data();
    const std::uint32_t* const order = order_.data();
    const float* const lowZ = lowZ_.data();
    const float* const highZ = highZ_.data();
    const std::size_t kept = order_.size();
    const std::uint32_t mask = slotMask_;
    for (std::size_t k = 0; k < kept; ++k) {
        const std::uint32_t i = order[k];
        const std::uint32_t first = Row(lowZ[i]);
        const std::uint32_t last = Row(highZ[i]);
        firstRows[k] = first;
        lastRows[k] = last;
        if (last - first >= kMostRows) {
            setAside_.push_back(i);
            continue;
        }
        gridded[i] = 1;
        for (std::uint32_t row = first; row <= last; ++row) {
            ++starts[(row & mask) + 1];
        }
    }
    for (std::size_t s = 1; s < slotStart_.size(); ++s) {
        starts[s] += starts[s - 1];
    }
    const std::size_t filed = slotStart_.back();
    filedBox_.resize(filed);
    filedNumber_.resize(filed);
    filedRow_.resize(filed);
    filedFirstRow_.resize(filed);
    filedMovable_.resize(filed);
    Box* const boxes = filedBox_.data();
    std::uint32_t* const numbers = filedNumber_.data();
    std::uint32_t* const rows = filedRow_.data();
    std::uint32_t* const boxFirstRows = filedFirstRow_.data();
    std::uint8_t* const movables = filedMovable_.data();
    const float* const boxLowX = lowX_.data();
    const float* const boxHighX = highX_.data();
    const std::uint8_t* const boxMovable = movable_.data();
    // Filled with the starts moved on, then the starts put back.
    for (std::size_t k = 0; k < kept; ++k) {
        const std::uint32_t first = firstRows[k];
        const std::uint32_t last = lastRows[k];
        // Set aside above.
        if (last - first >= kMostRows) {
            continue;
        }
        const std::uint32_t i = order[k];
        const Box box = {boxLowX[i], boxHighX[i], lowZ[i], highZ[i]};
        const std::uint8_t movable = boxMovable[i];
        for (std::uint32_t row = first; row <= last; ++row) {
            const std::uint32_t at = starts[row & mask]++;
            boxes[at] = box;
            numbers[at] = i;
            rows[at] = row;
            boxFirstRows[at] = first;
            movables[at] = movable;
        }
    }
    for (std::size_t s = slotStart_.size() - 1; s > 0; --s) {
        starts[s] = starts[s - 1];
    }
    starts[0] = 0;
}

void PairGrid::Reserve(std::size_t more)
{
    if (pairs_.size() < pairCount_ + more) {
        pairs_.resize(2 * (pairCount_ + more) + 64);
    }
}

// In each slot, each box meets the boxes after it until their lowest x passes
// its highest, eight at a time. Two boxes meet only in a row both were filed
// for, and only in the first row they share, so each pair is met once. The
// slots' boxes are first laid out a bound to an array, as the lanes read
// them.
KV_LANES_DISPATCHED void PairGrid::MeetInRows()
{
    const std::size_t filed = filedBox_.size();
    for (std::vector<float>* const bounds : {&meetMinX_, &meetMaxX_, &meetMinZ_, &meetMaxZ_}) {
        bounds->resize(filed + kWideSweepGroup);
    }
    meetMovable_.resize(filed + kWideSweepGroup);
    // Boxes past a slot's end are left out by their place, so the padding
    // may hold anything.
    filedRow_.resize(filed + kWideSweepGroup);
    filedFirstRow_.resize(filed + kWideSweepGroup);
    float* const lowX = meetMinX_.data();
    float* const highX = meetMaxX_.data();
    float* const lowZ = meetMinZ_.data();
    float* const highZ = meetMaxZ_.data();
    std::int32_t* const movables = meetMovable_.data();
    for (std::size_t i = 0; i < filed; ++i) {
        const Box& box = filedBox_[i];
        lowX[i] = box.minX;
        highX[i] = box.maxX;
        lowZ[i] = box.minZ;
        highZ[i] = box.maxZ;
        movables[i] = filedMovable_[i] != 0 ? -1 : 0;
    }
    const std::uint32_t* const numbers = filedNumber_.data();
    const std::uint32_t* const rows = filedRow_.data();
    const std::uint32_t* const firstRows = filedFirstRow_.data();
    std::uint64_t* pairs = pairs_.data();
    std::size_t room = pairs_.size();
    std::size_t found = pairCount_;
    for (std::size_t slot = 0; slot + 1 < slotStart_.size(); ++slot) {
        const std::uint32_t end = slotStart_[slot + 1];
        for (std::uint32_t a = slotStart_[slot]; a < end; ++a) {
            // Room for every box after this one in the slot, so the walk
            // itself need not look.
            if (found + (end - a) > room) {
                pairCount_ = found;
                Reserve(end - a);
                pairs = pairs_.data();
                room = pairs_.size();
            }
            // Adding to zero may turn -0 into 0, which compares alike.
            const Lanes8 maxX = Lanes8{} + highX[a];
            const Lanes8 minZ = Lanes8{} + lowZ[a];
            const Lanes8 maxZ = Lanes8{} + highZ[a];
            const Bits8 row = Bits8{} + static_cast<std::int32_t>(rows[a]);
            const Bits8 firstRow = Bits8{} + static_cast<std::int32_t>(firstRows[a]);
            const Bits8 movable = Bits8{} + movables[a];
            const std::uint64_t mine = numbers[a];
            for (std::uint32_t b = a + 1; b < end; b += kWideSweepGroup) {
                // In order along x, the boxes the walk reaches come first.
                // A slot holds far fewer than 2^31 boxes.
                const Bits8 walked = LanesBelow(static_cast<std::int32_t>(end - b)) & (LoadLanes(lowX + b) <= maxX);
                const Bits8 otherFirstRow = LoadBits(firstRows + b);
                const Bits8 firstShared = otherFirstRow > firstRow ? otherFirstRow : firstRow;
                const Bits8 sameRow = (LoadBits(rows + b) == row) & (firstShared == row);
                const Bits8 overlapZ = (LoadLanes(lowZ + b) <= maxZ) & (minZ <= LoadLanes(highZ + b));
                const Bits8 either = movable | LoadBits(movables + b);
                unsigned meets = static_cast<unsigned>(LaneBits(walked & sameRow & overlapZ & either));
                for (; meets != 0; meets &= meets - 1) {
                    const std::uint64_t theirs = numbers[b + static_cast<std::uint32_t>(std::countr_zero(meets))];
                    pairs[found++] = std::min(mine, theirs) << 32 | std::max(mine, theirs);
                }
                if (LaneBits(walked) != 0xFF) {
                    break;
                }
            }
        }
    }
    pairCount_ = found;
}

// The boxes set aside meet every other box, and each other once.
void PairGrid::MeetSetAside()
{
    for (std::size_t k = 0; k < setAside_.size(); ++k) {
        const std::uint32_t mine = setAside_[k];
        const Box box = BoxOf(mine);
        Reserve(order_.size());
        for (const std::uint32_t j : order_) {
            // Another box set aside is met from the first of the two only.
            const bool once = gridded_[j] != 0 || j > mine;
            pairs_[pairCount_] = std::uint64_t{std::min(mine, j)} << 32 | std::max(mine, j);
            const int meets = int{once} & int{j != mine} & (movable_[mine] | movable_[j]) & int{Overlap(box, BoxOf(j))};
            pairCount_ += static_cast<std::size_t>(meets);
        }
    }
}

// The pairs of the sweep along z or of the rows grouped by their lower
// number: counted, each number's place worked out, then each pair put at its
// number's next place.
void PairGrid::Collect(std::size_t count)
{
    countOfNumber_.assign(count, 0);
    std::uint32_t* const places = countOfNumber_.data();
    for (std::size_t i = 0; i < pairCount_; ++i) {
        ++places[LowerOf(pairs_[i])];
    }
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pairs = places[i];
        places[i] = sum;
        sum += pairs;
    }
    groupedPairs_.resize(pairs_.size());
    for (std::size_t i = 0; i < pairCount_; ++i) {
        groupedPairs_[places[LowerOf(pairs_[i])]++] = pairs_[i];
    }
    pairs_.swap(groupedPairs_);
}
