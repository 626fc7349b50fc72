#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qdc {

// How the bytes of the data files show to a player, in every face: a text
// that is well-formed UTF-8 shows as it is; any other text shows each byte as
// windows-1252 (as browsers decode a file labelled Latin-1), except that the
// "…" (UTF-8) that a cut appends to a quoted text stays "…".

// The character windows-1252 gives byte `byte`; the five bytes it leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) give the C1 control of that code.
char32_t windows1252Char(unsigned char byte);

// The UTF-8 bytes of `c` appended to `out` (a surrogate or a code above
// U+10FFFF as U+FFFD); returns how many were appended.
std::size_t appendUtf8(std::string& out, char32_t c);

// `bytes` as shown, in UTF-8.
std::string shownText(std::string_view bytes);

// A text typed by the player (UTF-8) as the data files hold it: the same
// bytes in a data folder written in UTF-8, else windows-1252, a character it
// cannot hold as "?". shownText() of what a data folder in windows-1252 holds
// gives its bytes back.
std::string dataBytes(std::string_view typed, bool utf8Folder);

// The names a face offers in its boxes, so that a name chosen among them goes
// back to the data as its own bytes: in a folder that mixes encodings, a name
// in UTF-8 shows as UTF-8, and dataBytes() alone would give other bytes.
class NameBook {
  public:
    explicit NameBook(bool utf8Folder = false) : utf8Folder_(utf8Folder) {}

    bool utf8Folder() const { return utf8Folder_; }
    // Keeps a listed name; only one that dataBytes() would not give back
    // takes room.
    void add(std::string_view bytes);
    // `typed` as the data holds it: the bytes of the listed name that shows
    // as it, else dataBytes().
    std::string bytesOf(std::string_view typed) const;

  private:
    bool utf8Folder_;
    std::unordered_map<std::string, std::string> kept_; // shown text -> bytes
};

} // namespace qdc
