#include "cli/jsonwriter.h"

#include "results/error.h"
#include "results/showntext.h"
#include "results/utf8.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace qdc::cli {

namespace {

const char* const kHex = "0123456789abcdef";

// Writes the UTF-8 form of the windows-1252 character of `byte`, without
// allocating.
void writeWindows1252(std::ostream& out, unsigned char byte) {
    const char32_t c = windows1252Char(byte);
    if (c < 0x800) { // 0x80 to 0xFF, and the C1 controls windows-1252 leaves
        const char pair[] = {static_cast<char>(0xC0 | (c >> 6)),
                             static_cast<char>(0x80 | (c & 0x3F))};
        out.write(pair, sizeof pair);
        return;
    }
    const char three[] = {static_cast<char>(0xE0 | (c >> 12)),
                          static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                          static_cast<char>(0x80 | (c & 0x3F))};
    out.write(three, sizeof three);
}

// Writes the bytes of `text`, escaped for a JSON string; `legacy` shows each
// byte from 0x80 up, but those of a "…", as its windows-1252 character.
void writeEscaped(std::ostream& out, std::string_view text, bool legacy) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (legacy && text.substr(i, kEllipsis.size()) == kEllipsis) {
            out << kEllipsis;
            i += kEllipsis.size() - 1;
            continue;
        }
        switch (c) {
        case '"':
            out << "\\\"";
            break;
        case '\\':
            out << "\\\\";
            break;
        case '\b':
            out << "\\b";
            break;
        case '\f':
            out << "\\f";
            break;
        case '\n':
            out << "\\n";
            break;
        case '\r':
            out << "\\r";
            break;
        case '\t':
            out << "\\t";
            break;
        default:
            if (byte < 0x20) {
                const char code[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
                out.write(code, sizeof code);
            } else if (byte >= 0x80 && legacy) {
                writeWindows1252(out, byte);
            } else {
                out.put(c);
            }
        }
    }
}

} // namespace

void writeJsonString(std::ostream& out, std::string_view text) {
    out.put('"');
    writeEscaped(out, text, !isUtf8(text));
    out.put('"');
}

void JsonWriter::indent(std::size_t levels) {
    for (std::size_t i = 0; i < levels; ++i)
        out_ << "  ";
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (depth_ == 0)
        return;
    Level& level = levels_[std::min(depth_ - 1, levels_.size() - 1)];
    out_ << (level.filled ? ",\n" : "\n");
    level.filled = true;
    indent(depth_);
}

void JsonWriter::open(char bracket) {
    beforeValue();
    out_.put(bracket);
    // Levels deeper than the tool writes share the deepest slot.
    levels_[std::min(depth_, levels_.size() - 1)] = {bracket == '{' ? '}' : ']', false};
    ++depth_;
}

void JsonWriter::end() {
    if (depth_ == 0)
        return;
    --depth_;
    const Level& level = levels_[std::min(depth_, levels_.size() - 1)];
    if (level.filled) {
        out_.put('\n');
        indent(depth_);
    }
    out_.put(level.close);
}

void JsonWriter::endTo(std::size_t depth) {
    if (afterKey_)
        null();
    while (depth_ > depth)
        end();
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    writeJsonString(out_, name);
    out_ << ": ";
    afterKey_ = true;
}

void JsonWriter::string(std::string_view text) {
    beforeValue();
    writeJsonString(out_, text);
}

void JsonWriter::number(double value) {
    if (!std::isfinite(value)) {
        null();
        return;
    }
    beforeValue();
    std::array<char, 64> digits{};
    const char* end =
        nlohmann::detail::to_chars(digits.data(), digits.data() + digits.size(), value);
    out_.write(digits.data(), end - digits.data());
}

void JsonWriter::integer(std::int64_t value) {
    beforeValue();
    out_ << value;
}

void JsonWriter::boolean(bool value) {
    beforeValue();
    out_ << (value ? "true" : "false");
}

void JsonWriter::null() {
    beforeValue();
    out_ << "null";
}

} // namespace qdc::cli
