#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace qdc::cli {

// Writes one JSON document value by value, as it is produced, laid out as
// nlohmann-json's dump(2) lays out a whole document: two blanks of indent a
// level, "[]" and "{}" for empty ones. Nothing it writes allocates, so that
// the document can still be closed when memory has run out.
class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject() { open('{'); }
    void beginArray() { open('['); }
    // Closes the innermost object or array.
    void end();
    // Closes objects and arrays until `depth` are open (0: the document is
    // whole), a key still waiting given null.
    void endTo(std::size_t depth);
    void key(std::string_view name);
    // A text from the data, by the rule of writeJsonString().
    void string(std::string_view text);
    void number(double value); // null when not finite
    void integer(std::int64_t value);
    void boolean(bool value);
    void null();

  private:
    struct Level {
        char close = '}';
        bool filled = false; // has a member
    };
    void open(char bracket);
    void beforeValue();
    void indent(std::size_t levels);

    std::ostream& out_;
    std::array<Level, 8> levels_{};
    std::size_t depth_ = 0;
    bool afterKey_ = false;
};

// `text` as a JSON string, quoted and escaped, shown as shownText() shows
// it: kept when it is UTF-8, read as windows-1252 otherwise, except that the
// "…" (UTF-8) that a cut appends to a quoted text stays "…". Allocates
// nothing.
void writeJsonString(std::ostream& out, std::string_view text);

} // namespace qdc::cli
