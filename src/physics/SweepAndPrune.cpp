// SweepAndPrune: ordering the boxes along the chosen axis, the sweep, and the
// pairs grouped by their lower item for the collision pass.
#include "physics/SweepAndPrune.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// Insertion moves allowed per box before a full sort is cheaper: bodies
// added in bulk, or the axis turned, leave the old order useless.
constexpr std::size_t kMovesPerBox = 8;

bool IsFinite(const SweepAndPrune::Box& box)
{
    return std::isfinite(box.minX) && std::isfinite(box.maxX) && std::isfinite(box.minZ) && std::isfinite(box.maxZ);
}

} // namespace

void SweepAndPrune::Begin(std::size_t itemCount)
{
    itemCount_ = itemCount;
    boxes_.clear();
    items_.clear();
    keys_.clear();
    movable_.clear();
}

void SweepAndPrune::Add(std::uint32_t item, std::uint32_t key, const Box& box, bool movable)
{
    // A box that is not finite could never touch anything, and would spoil
    // the ordering for the rest.
    if (item >= itemCount_ || !IsFinite(box)) {
        return;
    }
    boxes_.push_back(box);
    items_.push_back(item);
    keys_.push_back(key);
    movable_.push_back(movable ? 1 : 0);
}

void SweepAndPrune::FindPairs()
{
    const bool alongZ = ChooseAxisZ();
    Order(alongZ);
    Sweep(alongZ);
    Collect();
}

std::span<const std::uint32_t> SweepAndPrune::LaterOverlaps(std::uint32_t item) const
{
    if (item >= itemCount_ || firstOfItem_.size() != itemCount_ + 1) {
        return {};
    }
    return std::span<const std::uint32_t>(later_).subspan(firstOfItem_[item],
                                                          firstOfItem_[item + 1] - firstOfItem_[item]);
}

// The axis along which the box centres spread the most.
bool SweepAndPrune::ChooseAxisZ() const
{
    double sumX = 0.0;
    double sumZ = 0.0;
    double squaresX = 0.0;
    double squaresZ = 0.0;
    for (const Box& box : boxes_) {
        const double x = (static_cast<double>(box.minX) + box.maxX) * 0.5;
        const double z = (static_cast<double>(box.minZ) + box.maxZ) * 0.5;
        sumX += x;
        sumZ += z;
        squaresX += x * x;
        squaresZ += z * z;
    }
    const double count = static_cast<double>(boxes_.size());
    return squaresZ - sumZ * sumZ / count > squaresX - sumX * sumX / count;
}

void SweepAndPrune::Order(bool alongZ)
{
    std::size_t largestKey = 0;
    for (const std::uint32_t key : keys_) {
        largestKey = std::max<std::size_t>(largestKey, key);
    }
    addedOfKey_.assign(std::max(addedOfKey_.size(), largestKey + 1), kNone);
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        addedOfKey_[keys_[i]] = static_cast<std::uint32_t>(i);
    }
    const auto low = [&](std::uint32_t added) { return alongZ ? boxes_[added].minZ : boxes_[added].minX; };

    // Last step's order first, for the bodies still here, then the newcomers.
    order_.clear();
    if (alongZ == previousAlongZ_) {
        for (const std::uint32_t key : previousKeys_) {
            if (key < addedOfKey_.size() && addedOfKey_[key] != kNone) {
                order_.push_back({low(addedOfKey_[key]), addedOfKey_[key]});
                addedOfKey_[key] = kNone;
            }
        }
    }
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (addedOfKey_[keys_[i]] != kNone) {
            order_.push_back({low(static_cast<std::uint32_t>(i)), static_cast<std::uint32_t>(i)});
        }
    }

    std::size_t moves = 0;
    const std::size_t budget = kMovesPerBox * order_.size();
    for (std::size_t i = 1; i < order_.size() && moves <= budget; ++i) {
        const Entry entry = order_[i];
        std::size_t j = i;
        for (; j > 0 && entry.low < order_[j - 1].low; --j) {
            order_[j] = order_[j - 1];
        }
        moves += i - j;
        order_[j] = entry;
    }
    if (moves > budget) {
        std::sort(order_.begin(), order_.end(), [](const Entry& a, const Entry& b) { return a.low < b.low; });
    }

    previousAlongZ_ = alongZ;
    previousKeys_.clear();
    for (const Entry& entry : order_) {
        previousKeys_.push_back(keys_[entry.added]);
    }
}

void SweepAndPrune::Sweep(bool alongZ)
{
    const std::size_t count = order_.size();
    low_.resize(count);
    high_.resize(count);
    otherLow_.resize(count);
    otherHigh_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Box& box = boxes_[order_[i].added];
        low_[i] = alongZ ? box.minZ : box.minX;
        high_[i] = alongZ ? box.maxZ : box.maxX;
        otherLow_[i] = alongZ ? box.minX : box.minZ;
        otherHigh_[i] = alongZ ? box.maxX : box.maxZ;
    }
    pairs_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const float high = high_[i];
        const float otherLow = otherLow_[i];
        const float otherHigh = otherHigh_[i];
        const std::uint32_t added = order_[i].added;
        for (std::size_t j = i + 1; j < count && low_[j] <= high; ++j) {
            if (otherLow_[j] > otherHigh || otherHigh_[j] < otherLow) {
                continue;
            }
            const std::uint32_t other = order_[j].added;
            if ((movable_[added] | movable_[other]) == 0) {
                continue;
            }
            const std::uint64_t a = items_[added];
            const std::uint64_t b = items_[other];
            pairs_.push_back(a < b ? (a << 32) | b : (b << 32) | a);
        }
    }
}

void SweepAndPrune::Collect()
{
    // Counted, summed to each item's end, then filled back to front so each
    // item's count ends on its start.
    firstOfItem_.assign(itemCount_ + 1, 0);
    for (const std::uint64_t pair : pairs_) {
        ++firstOfItem_[pair >> 32];
    }
    for (std::size_t i = 1; i < firstOfItem_.size(); ++i) {
        firstOfItem_[i] += firstOfItem_[i - 1];
    }
    later_.resize(pairs_.size());
    for (const std::uint64_t pair : pairs_) {
        later_[--firstOfItem_[pair >> 32]] = static_cast<std::uint32_t>(pair);
    }
}
