#pragma once

#include <cstdint>

namespace qdc {

// The quality ratio and divisor that a base item's quality flag selects.
struct UniqueQuality {
    std::int32_t ratio = 0;
    std::int32_t divisor = 0;
};
struct SetQuality {
    std::int32_t ratio = 0;
    std::int32_t divisor = 0;
};

// What the flags "0" and "1" select, for the unique and for the set searches.
struct QualityTable {
    UniqueQuality unique0{500, 1};
    UniqueQuality unique1{300, 3};
    SetQuality set0{200, 2};
    SetQuality set1{150, 3};
};

// The qualities every search and the checker compute with.
const QualityTable& qualities();

// Puts other qualities in force while it lives, for a test to see that
// everything that depends on them follows. Not for use while another thread
// computes.
class QualityOverride {
  public:
    explicit QualityOverride(const QualityTable& table);
    ~QualityOverride();
    QualityOverride(const QualityOverride&) = delete;
    QualityOverride& operator=(const QualityOverride&) = delete;

  private:
    QualityTable saved_;
};

// The largest level L for which every quality in force keeps its term, ratio
// - (monster level - item level) / divisor, at 1 or more whenever both levels
// lie within -L..L: then only a missing flag or a weight of 0 can make a set
// or unique computation divide by zero. A gap of 2L must stay within (ratio
// - 1) * |divisor|; -1 when a quality's term is below 1 at every level.
std::int32_t qualityKeepingLevel();

} // namespace qdc
