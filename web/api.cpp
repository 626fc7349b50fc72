// What the page's worker calls in the WebAssembly module: it loads data
// folders file by file and runs the tool's commands on them.

#include "cli/run.h"
#include "results/showntext.h"
#include "search/catalogue.h"
#include "web/datafolder.h"

#include <emscripten/emscripten.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

// The folder being loaded, and what the page writes for the next call: a
// file's bytes, or the arguments of a command.
std::shared_ptr<qdc::MemoryFileSource> pending;
std::string input;

// What the last command printed: standard output, then standard error.
std::string printed[2];

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void dropcalc_begin_folder() {
    pending = std::make_shared<qdc::MemoryFileSource>();
}

// Room for `size` bytes, which the page writes there for the next call.
EMSCRIPTEN_KEEPALIVE char* dropcalc_input(std::size_t size) {
    input.resize(size);
    return input.data();
}

// The bytes written become the file at `path` of the folder being loaded.
EMSCRIPTEN_KEEPALIVE void dropcalc_add_file(const char* path) {
    pending->set(path, std::move(input));
    input = std::string();
}

EMSCRIPTEN_KEEPALIVE void dropcalc_end_folder(const char* name) {
    qdc::web::setDataFolder(name, std::move(pending));
}

// Runs the tool with the arguments written, each ended by a NUL byte, and
// the locale's decimal separator. Returns the exit status.
EMSCRIPTEN_KEEPALIVE int dropcalc_run(char decimalSeparator) {
    std::vector<const char*> argv{"dropcalc-cli"};
    for (std::size_t start = 0; start < input.size();) {
        argv.push_back(input.c_str() + start);
        start += std::char_traits<char>::length(argv.back()) + 1;
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        qdc::runCli(static_cast<int>(argv.size()), argv.data(), out, err, decimalSeparator);
    printed[0] = std::move(out).str();
    printed[1] = std::move(err).str();
    return status;
}

// What the last command printed on standard output (0) or standard error (1).
EMSCRIPTEN_KEEPALIVE const char* dropcalc_printed(int stream) {
    return printed[stream].data();
}

EMSCRIPTEN_KEEPALIVE std::size_t dropcalc_printed_size(int stream) {
    return printed[stream].size();
}

} // extern "C"

// What the page asks of the core beside the tool's commands.

namespace {

// What the last of the other calls gives back.
std::string given;

// The searches as every face offers them, for the page to build its rows.
std::string catalogueJson() {
    auto all = nlohmann::ordered_json::array();
    for (const qdc::SearchKind& search : qdc::searchCatalogue()) {
        auto inputs = nlohmann::ordered_json::array();
        for (const qdc::SearchInput& input : search.inputs)
            inputs.push_back(
                {{"argument", input.argument}, {"label", input.label}, {"list", input.list}});
        all.push_back({{"command", search.command},
                       {"caption", search.caption},
                       {"summary", search.summary},
                       {"inputs", std::move(inputs)},
                       {"one_difficulty", search.oneDifficulty},
                       {"reads_magic_find", search.readsMagicFind}});
    }
    return all.dump();
}

} // namespace

extern "C" {

// The catalogue of searches as JSON: [{"command", "caption", "summary",
// "inputs": [{"argument", "label", "list"}], "one_difficulty",
// "reads_magic_find"}, ...]. Read it with dropcalc_given().
EMSCRIPTEN_KEEPALIVE void dropcalc_catalogue() {
    given = catalogueJson();
}

// The text written (UTF-8, as typed) as the bytes of a data folder that is
// written in UTF-8 or not. Read it with dropcalc_given().
EMSCRIPTEN_KEEPALIVE void dropcalc_data_bytes(int utf8Folder) {
    given = qdc::dataBytes(input, utf8Folder != 0);
}

EMSCRIPTEN_KEEPALIVE const char* dropcalc_given() {
    return given.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t dropcalc_given_size() {
    return given.size();
}

} // extern "C"
