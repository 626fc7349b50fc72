#include "cli/terminal.h"

#include "results/utf8.h"

namespace qdc::cli {

namespace {

bool isControl(unsigned char byte) {
    return (byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F;
}

void appendEscaped(std::string& out, unsigned char byte) {
    const char* const hex = "0123456789ABCDEF";
    out += "\\x";
    out += hex[byte >> 4];
    out += hex[byte & 0xF];
}

} // namespace

std::string terminalSafe(const std::string& line) {
    const bool utf8 = isUtf8(line);
    std::string shown;
    shown.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        const bool c1Char = utf8 && byte == 0xC2 && i + 1 < line.size() &&
                            static_cast<unsigned char>(line[i + 1]) < 0xA0;
        if (c1Char) {
            appendEscaped(shown, byte);
            appendEscaped(shown, static_cast<unsigned char>(line[++i]));
        } else if (isControl(byte) || (!utf8 && byte >= 0x80 && byte < 0xA0)) {
            appendEscaped(shown, byte);
        } else {
            shown += line[i];
        }
    }
    return shown;
}

bool TerminalBuf::flushLine() {
    const std::string shown = terminalSafe(line_);
    line_.clear();
    const auto size = static_cast<std::streamsize>(shown.size());
    if (target_->sputn(shown.data(), size) != size)
        failed_ = true;
    return !failed_;
}

TerminalBuf::int_type TerminalBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    line_ += traits_type::to_char_type(c);
    if (c == '\n' && !flushLine())
        return traits_type::eof();
    return c;
}

std::streamsize TerminalBuf::xsputn(const char* s, std::streamsize n) {
    for (std::streamsize i = 0; i < n; ++i)
        if (traits_type::eq_int_type(overflow(traits_type::to_int_type(s[i])), traits_type::eof()))
            return i;
    return n;
}

int TerminalBuf::sync() {
    if (!line_.empty() && !flushLine())
        return -1;
    return target_->pubsync() == 0 && !failed_ ? 0 : -1;
}

} // namespace qdc::cli
