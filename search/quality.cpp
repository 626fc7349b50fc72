#include "search/quality.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

namespace qdc {

namespace {

QualityTable& inForce() {
    static QualityTable table;
    return table;
}

} // namespace

const QualityTable& qualities() {
    return inForce();
}

QualityOverride::QualityOverride(const QualityTable& table) : saved_(inForce()) {
    inForce() = table;
}

QualityOverride::~QualityOverride() {
    inForce() = saved_;
}

std::int32_t qualityKeepingLevel() {
    const QualityTable& q = inForce();
    std::int64_t level = INT32_MAX;
    for (const auto& [ratio, divisor] :
         {std::pair(q.set0.ratio, q.set0.divisor), std::pair(q.set1.ratio, q.set1.divisor),
          std::pair(q.unique0.ratio, q.unique0.divisor),
          std::pair(q.unique1.ratio, q.unique1.divisor)}) {
        // A quality whose term is below 1 even without a gap keeps no level.
        if (ratio < 1 || divisor == 0)
            return -1;
        level = std::min(level, (std::int64_t{ratio} - 1) * std::abs(std::int64_t{divisor}) / 2);
    }
    return static_cast<std::int32_t>(level);
}

} // namespace qdc
