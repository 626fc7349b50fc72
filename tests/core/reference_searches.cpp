// The searches as they were before they shared one walk and one writer: a
// plain, slow and obviously faithful statement of what each search answers.
// The equivalence test runs them side by side with the searches.

#include "tests/core/reference_searches.h"

#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "search/magicfind.h"
#include "search/setchance.h"
#include "search/uniquechance.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qdc::ref {

namespace {

DropLine readDropLine(const std::string& line, char decimalSeparator) {
    DropLine result;
    if (line == "-") {
        result.dash = true;
        return result;
    }
    const std::string text = withSeparator(line, decimalSeparator);
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        result.chance = text;
    } else {
        result.item = text.substr(0, colon);
        result.chance = text.substr(colon + 1);
    }
    return result;
}

// Reads a drop table line by line, each line cut by readDropLine().
class DropTableReader {
  public:
    DropTableReader(FileSource& files, const std::string& path, char decimalSeparator)
        : reader_(files.open(path)), decimalSeparator_(decimalSeparator) {}
    bool next(DropLine& drop) {
        if (!reader_.next(line_))
            return false;
        drop = ref::readDropLine(line_, decimalSeparator_);
        return true;
    }

  private:
    LineReader reader_;
    char decimalSeparator_;
    std::string line_;
};

} // namespace

std::string generalNumberText(double value, char decimalSeparator) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";

    std::array<char, 800> buf{};
    std::snprintf(buf.data(), buf.size(), "%.780e", std::fabs(value));
    std::string digits;
    std::size_t pos = 0;
    for (; buf[pos] != 'e'; ++pos) // the decimal point may be the C library's locale's
        if (buf[pos] >= '0' && buf[pos] <= '9')
            digits += buf[pos];
    int exponent = std::atoi(buf.data() + pos + 1) + 1; // value = 0.d1d2... x 10^exponent

    std::string kept = digits.substr(0, 15);
    if (digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        } else {
            ++kept[i];
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();

    std::string text = value < 0 ? "-" : "";
    const int k = static_cast<int>(kept.size());
    if (exponent >= -3 && exponent <= 15) {
        if (exponent >= 1) {
            if (k <= exponent) {
                text += kept + std::string(exponent - k, '0');
            } else {
                text += kept.substr(0, exponent);
                text += decimalSeparator;
                text += kept.substr(exponent);
            }
        } else {
            text += '0';
            text += decimalSeparator;
            text += std::string(-exponent, '0') + kept;
        }
    } else {
        text += kept[0];
        if (k > 1) {
            text += decimalSeparator;
            text += kept.substr(1);
        }
        const int e = exponent - 1;
        text += 'E';
        if (e < 0)
            text += '-';
        text += std::to_string(e < 0 ? -e : e);
    }
    return text;
}

std::string chanceText(double chance, char decimalSeparator) {
    std::string s = generalNumberText(chance, decimalSeparator);
    const std::size_t n = s.size();
    if (n >= 4 && s[n - 3] == 'E' && s[n - 2] == '-' && s[n - 1] >= '1' && s[n - 1] <= '9') {
        const std::size_t sign = s[0] == '-' ? 1 : 0;
        const int zeros = s[n - 1] - '0' - 1;
        std::string text = sign ? "-" : "";
        text += "0." + std::string(zeros, '0');
        text += s[sign];
        const std::size_t fractionStart = sign + 2;
        const std::size_t ePos = n - 3;
        if (ePos > fractionStart)
            text += s.substr(fractionStart, ePos - fractionStart);
        return text;
    }
    return s;
}

double mergePass(ResultList& list, const std::string& name, double newChance, SortMode mode,
                 char decimalSeparator) {
    int i = 0;
    while (i < list.count()) {
        const std::string& entry = list.at(i);
        const std::string_view text(entry);
        const std::size_t eq = text.find('=');
        const std::string_view before = text.substr(0, eq);
        const std::string_view after =
            eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
        const std::string_view entryName = mode == SortMode::NameFirst ? before : after;
        const std::string_view chance = mode == SortMode::NameFirst ? after : before;
        if (entryName == name) {
            const double old = readEntry(entry, mode, decimalSeparator).chance;
            list.removeAt(i);
            newChance = (old / 100 + newChance / 100) * 100;
            continue;
        }
        if (!isPlainFloatText(chance, decimalSeparator) ||
            (decimalSeparator != '.' && chance.find('.') != std::string_view::npos))
            readEntry(entry, mode, decimalSeparator);
        ++i;
    }
    return newChance;
}

void monsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                   Difficulty difficulty) {
    startSearch(list, env.mode);
    if (monster.empty())
        return;

    CachingFileSource files(env.files);
    bool merge = false;
    LineReader monsters = files.open(monsterListPath(difficulty));
    std::string line;
    while (monsters.next(line)) {
        for (const MonsterNameAt& candidate : scanMonsterNames(line)) {
            if (candidate.name != monster)
                continue;
            const DropTableRef ref = dropTableRef(difficulty, candidate.rest);
            std::int32_t picks = ref.picks;
            DropTableReader table(files, ref.path, env.decimalSeparator);
            DropLine drop;
            while (table.next(drop)) {
                if (drop.dash) {
                    picks = 1;
                    merge = true;
                    continue;
                }
                const double p = toFloat(drop.chance, env.decimalSeparator);
                double chance = monsterDropChance(drop.item, p, picks);
                if (merge)
                    chance =
                        ref::mergePass(list, drop.item, chance, env.mode, env.decimalSeparator);
                list.add(makeEntry(drop.item, chanceText(chance, env.decimalSeparator), env.mode));
            }
        }
    }
    return;
}

void itemSearch(const SearchEnv& env, ResultList& list, const std::string& item,
                DifficultySet difficulties) {
    startSearch(list, env.mode);

    CachingFileSource files(env.files);
    bool merge = false;
    forEachMonsterLine(
        files, difficulties, [&](Difficulty difficulty, const MonsterCandidate& monster) {
            const DropTableRef ref = dropTableRef(difficulty, monster.rest);
            std::int32_t picks = ref.picks;
            const std::string name = monster.name + difficultySuffix(difficulty);
            DropTableReader table(files, ref.path, env.decimalSeparator);
            DropLine drop;
            while (table.next(drop)) {
                if (drop.dash) {
                    picks = 1;
                    merge = true;
                    continue;
                }
                if (drop.item != item)
                    continue;
                const double p = toFloat(drop.chance, env.decimalSeparator);
                double chance = normalDropChance(p, picks);
                if (merge) {
                    chance = ref::mergePass(list, name, chance, env.mode, env.decimalSeparator);
                    merge = false;
                }
                list.add(makeEntry(name, chanceText(chance, env.decimalSeparator), env.mode));
            }
        });
    return;
}

namespace {

std::string uniqueItemChanceText(double chance, char decimalSeparator) {
    const std::string text = chanceText(chance, decimalSeparator);
    if (text != generalNumberText(chance, decimalSeparator))
        return text;
    return generalNumberText(roundTo(chance, 10), decimalSeparator);
}

} // namespace

void uniqueItemSearch(const SearchEnv& env, ResultList& list, const std::string& unique,
                      DifficultySet difficulties, const std::string& magicFindText) {
    const std::int32_t realMagicFind = realUniqueMagicFind(toInt(magicFindText));
    startSearch(list, env.mode);

    CachingFileSource files(env.files);
    const UniqueRecord record = findUniqueByName(files, unique).value_or(UniqueRecord{});
    const UniqueQuality quality =
        uniqueQuality(lookupQualityFlag(files, record.baseItem, ItemKey::WithoutLastTwo));

    UniqueChanceInput input;
    input.uniqueLevel = record.level;
    input.quality = quality;
    input.realMagicFind = realMagicFind;
    input.baseItem = record.baseItem;
    input.uniqueWeight = record.weight;

    bool merge = false;
    LevelIndex levels(files);
    forEachMonsterLine(
        files, difficulties, [&](Difficulty difficulty, const MonsterCandidate& monster) {
            const DropTableRef ref = dropTableRef(difficulty, monster.rest);
            const LevelRecord level =
                levels.first(difficulty, monster.name, ReductionCut::AfterComma)
                    .value_or(LevelRecord{});
            input.picks = ref.picks;
            input.monsterLevel = level.level;
            input.qualityReduction = level.reduction;
            const std::string name = monster.name + difficultySuffix(difficulty);
            DropTableReader table(files, ref.path, env.decimalSeparator);
            DropLine drop;
            while (table.next(drop)) {
                if (drop.dash) {
                    input.picks = 1;
                    input.qualityReduction = 0;
                    merge = true;
                    continue;
                }
                if (drop.item != record.baseItem || input.monsterLevel < record.level)
                    continue;
                input.p = toFloat(drop.chance, env.decimalSeparator);
                double chance = uniqueDropChance(input, UniqueChanceForm::ItemSearch);
                if (merge) {
                    chance = ref::mergePass(list, name, chance, env.mode, env.decimalSeparator);
                    merge = false;
                }
                list.add(
                    makeEntry(name, uniqueItemChanceText(chance, env.decimalSeparator), env.mode));
            }
        });
    return;
}

void uniqueMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                         Difficulty difficulty, const std::string& magicFindText) {
    startSearch(list, env.mode);
    const std::int32_t realMagicFind = realUniqueMagicFind(toInt(magicFindText));
    if (monster.empty())
        return;

    CachingFileSource files(env.files);
    const LevelRecord level = findFirstLevel(files, difficulty, monster, ReductionCut::AfterComma)
                                  .value_or(LevelRecord{});

    UniqueChanceInput input;
    input.monsterLevel = level.level;
    input.realMagicFind = realMagicFind;
    std::int32_t reduction = level.reduction;
    bool merge = false;

    LineReader monsters = files.open(monsterListPath(difficulty));
    std::string line;
    while (monsters.next(line)) {
        const MonsterCandidate candidate = cutFirstColon(line);
        if (candidate.name != monster)
            continue;
        const DropTableRef ref = dropTableRef(difficulty, candidate.rest);
        std::int32_t picks = ref.picks;
        DropTableReader table(files, ref.path, env.decimalSeparator);
        DropLine drop;
        while (table.next(drop)) {
            if (drop.dash) {
                reduction = 0;
                picks = 1;
                merge = true;
                continue;
            }
            UniqueReader uniques(files);
            UniqueReader::Unique unique;
            while (uniques.next(unique)) {
                if (unique.baseItem != drop.item || unique.level > level.level)
                    continue;
                input.quality =
                    uniqueQuality(lookupQualityFlag(files, unique.baseItem, ItemKey::BeforeComma));
                input.baseItem = unique.baseItem;
                input.uniqueWeight = unique.weight();
                input.p = toFloat(drop.chance, env.decimalSeparator);
                input.picks = picks;
                input.qualityReduction = reduction;
                input.uniqueLevel = unique.level;
                double chance = uniqueDropChance(input, UniqueChanceForm::MonsterSearch);
                if (merge)
                    chance =
                        ref::mergePass(list, unique.name, chance, env.mode, env.decimalSeparator);
                list.add(
                    makeEntry(unique.name, chanceText(chance, env.decimalSeparator), env.mode));
            }
        }
    }
    return;
}

void setItemSearch(const SearchEnv& env, ResultList& list, const std::string& baseSet,
                   const std::string& setItem, DifficultySet difficulties,
                   const std::string& magicFindText) {
    list.clear();
    const std::int32_t realMagicFind = realSetMagicFind(toInt(magicFindText));
    list.setSorted(true);
    setLabelsFor(list, env.mode);

    CachingFileSource files(env.files);
    const SetItemFind found = findSetItem(files, baseSet, setItem);
    const SetQuality quality =
        setQualityFor(lookupQualityFlag(files, found.baseItem, ItemKey::BeforeComma));
    const bool cowItem = beginsWithCow(setItem);

    SetChanceInput in;
    in.setLevel = found.setLevel;
    in.ratio = quality.ratio;
    in.divisor = quality.divisor;
    in.realMagicFind = realMagicFind;
    in.baseItem = found.baseItem;
    in.setWeight = found.setWeight;

    bool merge = false;
    LevelIndex levels(files);
    forEachMonsterLine(files, difficulties, [&](Difficulty d, const MonsterCandidate& monster) {
        const LevelRecord level =
            levels.last(d, monster.name, ReductionCut::LastThree).value_or(LevelRecord{});
        in.monsterLevel = level.level;
        in.reduction = level.reduction;
        in.monsterName = monster.name;
        const DropTableRef ref = dropTableRef(d, monster.rest);
        in.picks = ref.picks;
        const std::string entryName = monster.name + difficultySuffix(d);

        DropTableReader table(files, ref.path, env.decimalSeparator);
        DropLine drop;
        while (table.next(drop)) {
            if (drop.dash) {
                in.picks = 1;
                in.reduction = 0;
                merge = true;
                continue;
            }
            in.p = toFloat(drop.chance, env.decimalSeparator);
            if (drop.item != found.baseItem || in.monsterLevel < found.setLevel)
                continue;
            double chance = setDropChance(in, SetChanceForm::ItemSearch);
            if (merge) {
                chance = ref::mergePass(list, entryName, chance, env.mode, env.decimalSeparator);
                merge = false;
            }
            if (cowItem && !beginsWithCow(monster.name))
                break;
            list.add(makeEntry(entryName, chanceText(chance, env.decimalSeparator), env.mode));
        }
    });
    return;
}

void setMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                      Difficulty difficulty, const std::string& magicFindText) {
    const std::int32_t magicFind = toInt(magicFindText);
    startSearch(list, env.mode);
    if (monster.empty())
        return;

    CachingFileSource files(env.files);
    SetChanceInput in;
    in.realMagicFind = realSetMagicFind(magicFind);
    in.monsterName = monster;
    const LevelRecord level =
        findFirstLevel(files, difficulty, monster, ReductionCut::LastThree).value_or(LevelRecord{});
    in.monsterLevel = level.level;
    in.reduction = level.reduction;

    LineReader monsters = files.open(monsterListPath(difficulty));
    std::string line;
    std::string rest;
    bool found = false;
    while (!found && monsters.next(line)) {
        MonsterCandidate candidate = cutFirstColon(line);
        if (candidate.name == monster) {
            rest = std::move(candidate.rest);
            found = true;
        }
    }
    if (!found)
        return;
    const DropTableRef ref = dropTableRef(difficulty, rest);
    in.picks = ref.picks;
    const bool cowMonster = beginsWithCow(monster);

    bool merge = false;
    DropTableReader table(files, ref.path, env.decimalSeparator);
    DropLine drop;
    while (table.next(drop)) {
        if (drop.dash) {
            in.picks = 1;
            in.reduction = 0;
            merge = true;
            continue;
        }
        in.p = toFloat(drop.chance, env.decimalSeparator);
        const SetQuality quality =
            setQualityFor(lookupQualityFlag(files, drop.item, ItemKey::BeforeComma));
        in.ratio = quality.ratio;
        in.divisor = quality.divisor;
        forEachSetItem(files, [&](const SetItemRecord& record) {
            if (in.monsterLevel < record.setLevel || drop.item != record.baseItem)
                return;
            in.setLevel = record.setLevel;
            in.baseItem = record.baseItem;
            in.setWeight = record.setWeight;
            double chance = setDropChance(in, SetChanceForm::MonsterSearch);
            if (merge)
                chance = ref::mergePass(list, record.name, chance, env.mode, env.decimalSeparator);
            if (beginsWithCow(record.name) && !cowMonster)
                return;
            list.add(makeEntry(record.name, chanceText(chance, env.decimalSeparator), env.mode));
        });
    }
    return;
}

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool atLineStart = true;
    bool pending = false; // a line has begun
    for (char c : bytes) {
        if (atLineStart && c == '\x1a')
            return lines;
        atLineStart = false;
        if (c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            atLineStart = true;
            pending = false;
        } else if (c != '\r') {
            line += c;
            pending = true;
        } else {
            pending = true;
        }
    }
    if (pending)
        lines.push_back(std::move(line));
    return lines;
}

} // namespace qdc::ref
