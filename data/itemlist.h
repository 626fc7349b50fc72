#pragma once

#include "data/filesource.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qdc {

inline const std::string kItemListPath = "itemlist.txt";

// The text before the first "," of a line; the empty text when it has none.
std::string textBeforeComma(const std::string& line);

// One line of itemlist.txt, cut as every reader cuts it. Views into the line.
struct ItemLine {
    std::string_view name;    // the text before the first "," (empty without one)
    std::string_view lineKey; // the line without its last two characters
    char flag = '\0';         // the last character when it is "0" or "1"
};
ItemLine cutItemLine(std::string_view line);

// Start-up: the item name of every line of itemlist.txt, blank and malformed
// lines included, appended to `out`.
void readItemNames(FileSource& files, std::vector<std::string>& out);

} // namespace qdc

namespace qdc {

// Which part of an item line is compared with the base item name.
enum class ItemKey {
    BeforeComma,    // the text before the first ","
    WithoutLastTwo, // the whole line but its last two characters
};

// The quality flag of `baseItem`: '0', '1', or '\0' when no line gives one.
// The whole file is read; the last matching line that ends in "0" or "1"
// decides.
char lookupQualityFlag(FileSource& files, const std::string& baseItem, ItemKey key);

// The quality flags of itemlist.txt for a search that looks up many base
// items: the file is read once, at the first lookup. Lookups give what
// lookupQualityFlag() gives, errors included: the file's error goes to
// `sink` at each lookup; when the sink returns, the flags of the lines read
// before it are given.
class QualityFlags {
  public:
    QualityFlags(FileSource& files, ItemKey key) : files_(files), key_(key) {}
    char lookup(const std::string& baseItem, ErrorSink& sink = raisingSink());

  private:
    struct Table {
        std::unordered_map<std::string, char> flags;
        std::optional<DropError> error;
    };
    std::shared_ptr<const Table> read() const;

    FileSource& files_;
    ItemKey key_;
    std::shared_ptr<const Table> table_; // once read, or as the folder's searches share it
};

} // namespace qdc
