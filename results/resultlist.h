#pragma once

#include "results/odds.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// What an entry says, part by part, as the search that made it recorded it:
// every face shows these, and none cuts an entry's text apart.
struct EntryParts {
    std::string name;            // as listed, its difficulty suffix included
    std::string chance;          // the chance text as listed
    std::string difficulty;      // "Normal", "Nightmare" or "Hell"; empty when not known
    std::size_t suffixSize{};    // the bytes at the end of `name` that tell its difficulty
    std::optional<double> value; // what the chance text reads back as
    Odds odds;                   // of `value`

    // The name without its difficulty suffix.
    std::string_view plainName() const {
        return std::string_view(name).substr(0, name.size() - suffixSize);
    }
};

// What a search needs of the result list. The window's list and the
// command-line tool's in-memory list both implement it.
class ResultList {
  public:
    virtual ~ResultList() = default;

    // While sorted, add() places an entry by its text (collate()), after
    // entries that compare equal; otherwise it appends.
    virtual void setSorted(bool on) = 0;
    virtual bool sorted() const = 0;
    virtual void clear() = 0;
    virtual int count() const = 0;
    virtual const std::string& at(int index) const = 0;
    // The parts of an entry; a list that keeps none gives parts that only
    // name it.
    virtual EntryParts partsAt(int index) const {
        EntryParts parts;
        parts.name = at(index);
        return parts;
    }
    virtual void removeAt(int index) = 0;
    virtual void add(const std::string& entry) = 0;
    // Adds entries in one step, as add() would one by one. A search hands
    // over all its entries this way, once, already in sorted order.
    virtual void addAll(std::vector<std::string>&& entries) {
        for (const std::string& entry : entries)
            add(entry);
    }
    // The same, with the parts of each entry; a list that keeps no parts
    // drops them.
    virtual void addAll(std::vector<std::string>&& entries, std::vector<EntryParts>&& parts) {
        (void)parts;
        addAll(std::move(entries));
    }
    // The captions of the two column headings above the list.
    virtual void setLabels(const std::string& nameLabel, const std::string& dropLabel) = 0;
};

// Index at which a sorted list of `entries` places `entry`.
std::size_t sortedInsertPosition(const std::vector<std::string>& entries, const std::string& entry);

// Keeps each entry's parts beside its text. An entry added by its text alone
// has parts that only name it.
class MemoryResultList : public ResultList {
  public:
    void setSorted(bool on) override { sorted_ = on; }
    void clear() override {
        entries_.clear();
        parts_.clear();
    }
    int count() const override { return static_cast<int>(entries_.size()); }
    const std::string& at(int index) const override { return entries_.at(index); }
    EntryParts partsAt(int index) const override { return parts_.at(index); }
    void removeAt(int index) override;
    void add(const std::string& entry) override;
    void addAll(std::vector<std::string>&& entries) override;
    void addAll(std::vector<std::string>&& entries, std::vector<EntryParts>&& parts) override;
    void setLabels(const std::string& nameLabel, const std::string& dropLabel) override;

    bool sorted() const override { return sorted_; }
    const std::vector<std::string>& entries() const { return entries_; }
    const EntryParts& parts(int index) const { return parts_.at(index); }
    const std::vector<EntryParts>& allParts() const { return parts_; }
    const std::string& nameLabel() const { return nameLabel_; }
    const std::string& dropLabel() const { return dropLabel_; }

  private:
    std::vector<std::string> entries_;
    std::vector<EntryParts> parts_; // one for each entry
    bool sorted_ = false;
    std::string nameLabel_ = "Name";
    std::string dropLabel_ = "% Drop Chance";
};

} // namespace qdc
