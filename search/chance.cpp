#include "results/numtext.h"
#include "search/searches.h"

namespace qdc {

double normalDropChance(double p, std::int32_t picks) {
    return roundTo((1 - intPower(1 - p, picks)) * 100, 10);
}

double monsterDropChance(std::string_view item, double p, std::int32_t picks) {
    if (item == "Nothing" && picks >= 2)
        return roundTo(intPower(p, picks) * 100, 10);
    return normalDropChance(p, picks);
}

} // namespace qdc
