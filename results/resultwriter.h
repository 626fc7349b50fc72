#pragma once

#include "results/entry.h"
#include "results/resultlist.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// When merging stops once a "-" line has turned it on.
enum class MergeRule {
    UntilNextMerge, // the next merge turns it off again
    ToTheEnd,       // it stays on to the end of the search
};

// Writes a search's entries into a sorted result list: each entry is kept
// aside with its text made once, merged through an index from name to
// entries, and the list gets them all, sorted, in one step at the end of
// collect(), also when an error ends the search there.
// The list comes out as adding each entry at its sorted place would leave it:
// ties keep the order they were added in, and a merge sums in list order.
// Highest first, the entries are the chance-first ones, merged in the order
// of chance-first text, and handed over highest chance first.
class ResultWriter {
  public:
    ResultWriter(ResultList& list, SortMode mode, char decimalSeparator, MergeRule rule)
        : list_(list), mode_(mode), decimalSeparator_(decimalSeparator), rule_(rule) {}
    ResultWriter(const ResultWriter&) = delete;
    ResultWriter& operator=(const ResultWriter&) = delete;
    ~ResultWriter() = default;

    // Runs `read`, the search's reading that adds the entries, then writes
    // them into the list, those added before an error too; the error goes on.
    template <class Read> void collect(Read read) {
        try {
            read();
        } catch (...) {
            finish();
            throw;
        }
        finish();
    }

    // A "-" line: the next entries are merged, as long as the rule says.
    void armMerge() { armed_ = true; }
    // While merging is on: removes every entry named `name` and returns
    // `chance` plus their chances, as read back from their text. Raises the
    // conversion error of the first entry, in list order, whose chance does
    // not read back, having removed the entries of `name` before it.
    double merge(const std::string& name, double chance);
    void add(const std::string& name, const std::string& chanceText);
    // The difficulty of the entries added from now on: its name, and the
    // suffix that the search appends to the names it adds (may be empty).
    void setDifficulty(std::string_view difficulty, std::string_view suffix);

  private:
    // Writes the entries into the list, and forgets them.
    void finish();
    static constexpr std::uint32_t kNoSlot = 0xffffffffU;
    struct Slot {
        std::string text;
        std::string_view name; // inside text
        std::uint64_t order = 0;
        std::uint32_t nextSameName = kNoSlot;
        bool live = false;
        bool unreadable = false;     // its chance does not read back
        std::uint8_t difficulty = 0; // in difficulties_
    };
    void place(std::string text, std::uint8_t difficulty);
    EntryParts partsOf(const Slot& slot) const;
    void index(std::uint32_t index);
    std::vector<std::uint32_t> liveInListOrder() const;
    std::vector<std::uint32_t> liveHighestFirst() const;
    double mergeInListOrder(const std::string& name, double chance);
    void kill(std::uint32_t index);
    void forgetAll(); // every entry, and the index with them

    ResultList& list_;
    SortMode mode_;
    char decimalSeparator_;
    MergeRule rule_;
    bool armed_ = false;
    struct DifficultyTag {
        std::string name;
        std::string suffix;
    };
    std::vector<DifficultyTag> difficulties_{DifficultyTag{}};
    std::uint8_t difficulty_ = 0; // of the entries added now
    std::deque<Slot> slots_;      // a deque, so that the name views stay put
    std::vector<std::uint32_t> free_;
    // The live entries of each name, chained through their slots; made at
    // the first merge, kept from then on. Open addressing: a bucket holds the
    // head slot of one name's chain, with the name's hash.
    struct Bucket {
        std::size_t hash = 0;
        std::uint32_t head = kNoSlot; // kNoSlot: empty; kGone: its name was merged away
    };
    static constexpr std::uint32_t kGone = kNoSlot - 1;
    Bucket* findName(std::string_view name, std::size_t hash);
    void rebuildBuckets();
    std::vector<Bucket> buckets_;
    std::size_t bucketsUsed_ = 0; // not empty: live or gone
    bool indexed_ = false;
    std::uint64_t nextOrder_ = 0;
    int unreadable_ = 0;
};

} // namespace qdc
