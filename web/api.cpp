// What the page's worker calls in the WebAssembly module: it loads data
// folders file by file and runs the tool's commands on them.

#include "cli/datafolder.h"
#include "cli/run.h"
#include "data/encoding.h"
#include "results/showntext.h"
#include "results/utf8.h"
#include "search/catalogue.h"
#include "web/browserfiles.h"
#include "web/datafolder.h"
#include "web/passing.h"

#include <emscripten/emscripten.h>
#include <nlohmann/json.hpp>

#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The folder being loaded, and what the page writes for the next call: a
// file's bytes and path, a folder's name, or the words of a command.
std::shared_ptr<qdc::MemoryFileSource> pending;
std::string input;

// What the last command printed: standard output, then standard error.
std::string printed[2];

// Why the last file or folder was refused.
std::string refused;

// Ends the folder being loaded with `why`: nothing of it is kept.
const char* refuse(std::string why) {
    pending.reset();
    input = std::string();
    refused = std::move(why);
    return refused.c_str();
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void dropcalc_begin_folder() {
    pending = std::make_shared<qdc::MemoryFileSource>();
}

// Begins a folder whose files the worker holds, as its folder `folder`:
// their paths follow, then the folder's name.
EMSCRIPTEN_KEEPALIVE void dropcalc_begin_browser_folder(int folder) {
    pending = std::make_shared<qdc::web::BrowserFileSource>(folder);
}

// Room for `size` bytes, which the page writes there for the next call; null
// when memory ran out, and then nothing of a folder being loaded is kept.
EMSCRIPTEN_KEEPALIVE char* dropcalc_input(std::size_t size) {
    try {
        input.resize(size);
    } catch (const std::bad_alloc&) {
        refuse({});
        return nullptr;
    }
    return input.data();
}

// The bytes written are a file's, followed by the `pathSize` bytes of its
// path (as web/passing.h reads them): the file becomes that of the folder
// being loaded. Returns null, or why the file was refused, after which
// nothing of the folder is kept.
EMSCRIPTEN_KEEPALIVE const char* dropcalc_add_file(std::size_t pathSize) {
    if (!pending)
        return refuse("No folder is being loaded.");
    try {
        const std::string path = qdc::web::takePath(input, pathSize);
        pending->set(path, std::move(input));
        input = std::string();
        return nullptr;
    } catch (const qdc::DropError& e) {
        return refuse(qdc::web::refusal(e));
    } catch (const std::bad_alloc&) {
        return refuse("Out of memory.");
    }
}

// The words written are the paths of the worker's files of the folder being
// loaded, file 0 first. Returns null, or why a path was refused, after which
// nothing of the folder is kept.
EMSCRIPTEN_KEEPALIVE const char* dropcalc_add_browser_files() {
    auto* folder = dynamic_cast<qdc::web::BrowserFileSource*>(pending.get());
    if (folder == nullptr)
        return refuse("No folder is being loaded.");
    try {
        const auto paths = qdc::web::decodeWords(input);
        input = std::string();
        if (!paths)
            return refuse("The paths end inside one.");
        for (std::size_t i = 0; i < paths->size(); ++i)
            folder->add((*paths)[i], static_cast<int>(i));
        return nullptr;
    } catch (const qdc::DropError& e) {
        return refuse(qdc::web::refusal(e));
    } catch (const std::bad_alloc&) {
        return refuse("Out of memory.");
    }
}

// The bytes written are the folder's name: the folder loaded becomes the data
// folder of that name. Returns null, or why it could not.
EMSCRIPTEN_KEEPALIVE const char* dropcalc_end_folder() {
    if (!pending)
        return refuse("No folder is being loaded.");
    try {
        qdc::web::setDataFolder(input, std::move(pending));
        input = std::string();
        return nullptr;
    } catch (const std::bad_alloc&) {
        return refuse("Out of memory.");
    }
}

// Runs the tool with the words written (as web/passing.h reads them) and the
// locale's decimal separator. Returns the exit status.
EMSCRIPTEN_KEEPALIVE int dropcalc_run(char decimalSeparator) {
    printed[0] = printed[1] = std::string();
    try {
        std::ostringstream out;
        std::ostringstream err;
        const auto words = qdc::web::decodeWords(input);
        input = std::string();
        int status = 2;
        if (words)
            status = qdc::runCli(*words, out, err, decimalSeparator);
        else
            err << "dropcalc-cli: the words of the command end inside one\n";
        printed[0] = std::move(out).str();
        printed[1] = std::move(err).str();
        return status;
    } catch (const std::bad_alloc&) {
        printed[0] = std::string();
        printed[1] = "Out of memory.\n";
        return 1;
    }
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

// The words written, a data folder's name and a text as typed (UTF-8), as
// the text goes to that folder's data: a name its lists offer as its own
// bytes, any other text in the folder's encoding. Read it with
// dropcalc_given().
EMSCRIPTEN_KEEPALIVE void dropcalc_data_bytes() {
    const auto words = qdc::web::decodeWords(input);
    input = std::string();
    given = std::string();
    if (!words || words->size() != 2)
        return;
    const std::string& typed = (*words)[1];
    if (qdc::isAscii(typed)) {
        given = typed;
        return;
    }
    const auto files = qdc::cli::openDataFolder((*words)[0]);
    given = qdc::readNameBook(*files).bytesOf(typed);
}

EMSCRIPTEN_KEEPALIVE const char* dropcalc_given() {
    return given.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t dropcalc_given_size() {
    return given.size();
}

} // extern "C"
