// The tool's text output. Besides surviving any input, it keeps these
// promises:
// - a JSON string is always valid JSON, and reads back as shownText() shows
//   the text (a text that is UTF-8 unchanged);
// - a document closed early (as when memory runs out) is still valid JSON;
// - a line shown on a terminal holds no control character but TAB and the
//   line feed.

#include "cli/jsonwriter.h"
#include "cli/terminal.h"
#include "results/showntext.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

void jsonString(const std::string& text) {
    std::ostringstream out;
    qdc::cli::writeJsonString(out, text);
    const auto value = nlohmann::json::parse(out.str(), nullptr, false);
    check(value.is_string());
    check(value.get<std::string>() == qdc::shownText(text));
}

// The first byte picks how deep the document is when it is closed.
void closedEarly(const std::string& text) {
    std::ostringstream out;
    qdc::cli::JsonWriter json(out);
    json.beginObject();
    json.key("entries");
    json.beginArray();
    json.beginObject();
    json.key("name");
    if (!text.empty() && (static_cast<unsigned char>(text[0]) & 1) != 0)
        json.string(text);
    json.endTo(text.empty() ? 0 : static_cast<unsigned char>(text[0]) % 4);
    json.endTo(0);
    check(nlohmann::json::accept(out.str()));
}

void terminal(const std::string& text) {
    for (const char c : qdc::cli::terminalSafe(text)) {
        const auto byte = static_cast<unsigned char>(c);
        check(byte >= 0x20 || c == '\t' || c == '\n');
        check(byte != 0x7F);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    jsonString(text);
    closedEarly(text);
    terminal(text);
    return 0;
}
