#include "cli/diffcommand.h"

#include "cli/datafolder.h"
#include "cli/jsonwriter.h"
#include "cli/output.h"
#include "results/convert.h"
#include "search/diff.h"

#include <new>
#include <optional>
#include <ostream>
#include <string_view>

namespace qdc::cli {

namespace {

const char* sideName(DiffSide side) {
    return side == DiffSide::Old ? "OLD" : "NEW";
}

const char* kindWord(DiffKind kind) {
    return kind == DiffKind::Appeared   ? "appeared"
           : kind == DiffKind::Vanished ? "vanished"
                                        : "changed";
}

// One data folder, each of its files read once however many searches read it.
struct Folder {
    explicit Folder(const std::string& dir) : disk(openDataFolder(dir)), files(*disk) {}
    std::shared_ptr<FileSource> disk;
    CachingFileSource files;
};

// What the comparison gave, and how it ended.
struct Compared {
    const SearchKind* search = nullptr; // null: every monster's searches
    FolderDiff diff;
    std::vector<std::string> notes;
    std::optional<DiffSide> failedSide;
    std::optional<Ending> ending;
};

// The options `diff` reads: those of the search it runs, or those of the
// monster searches.
OptionSet optionsRead(const SearchKind* search) {
    OptionSet reads = kSortOption | kSeparatorOption | kFormatOption | kDifficultyOption;
    const bool magicFind = search != nullptr ? search->readsMagicFind : true;
    return reads | (magicFind ? kMagicFindOption : 0U);
}

void countRows(FolderDiff& diff, std::size_t newEntries) {
    for (const DiffRow& row : diff.rows) {
        diff.appeared += row.kind == DiffKind::Appeared ? 1 : 0;
        diff.vanished += row.kind == DiffKind::Vanished ? 1 : 0;
        diff.changed += row.kind == DiffKind::Changed ? 1 : 0;
    }
    diff.entries = newEntries + diff.vanished;
}

// Runs `search` on both folders and compares its answers.
void compareSearch(Compared& c, const Settings& s, const std::vector<std::string>& args,
                   Folder& before, Folder& after) {
    const SearchRequest request{args, s.difficulties, s.magicFind};
    MemoryResultList lists[2];
    Folder* folders[2] = {&before, &after};
    for (const DiffSide side : {DiffSide::Old, DiffSide::New}) {
        const auto at = static_cast<std::size_t>(side);
        const SearchEnv env{folders[at]->files, s.decimalSeparator, s.sort};
        SearchNote note;
        try {
            note = c.search->run(env, lists[at], request);
        } catch (const DropError& e) {
            throw DiffError{side, e};
        }
        if (note)
            c.notes.push_back(std::string(sideName(side)) + ": " + *note);
    }
    c.diff.rows = diffEntries(lists[0].allParts(), lists[1].allParts());
    countRows(c.diff, lists[1].allParts().size());
}

void compare(Compared& c, const Settings& s, const std::vector<std::string>& words) {
    Folder before(words[0]);
    Folder after(words[1]);
    try {
        if (c.search != nullptr) {
            compareSearch(c, s, {words.begin() + 3, words.end()}, before, after);
            return;
        }
        // All three difficulties unless --difficulty names some.
        const DifficultySet difficulties =
            (s.given & kDifficultyOption) != 0 ? s.difficulties : DifficultySet{true, true, true};
        c.diff = diffFolders(before.files, after.files, s.decimalSeparator, s.sort, s.magicFind,
                             difficulties);
    } catch (const DiffError& e) {
        const std::string& dir = words[e.side == DiffSide::Old ? 0 : 1];
        c.failedSide = e.side;
        c.ending = describeEnding(e.error, dir,
                                  hasDifficultyFolder(*openDataFolder(dir), Difficulty::Normal));
    }
}

void writeTextRow(std::ostream& out, const DiffRow& row) {
    out << diffRowText(row) << '\n';
}

void writeTsvField(std::ostream& out, std::string_view field) {
    for (const char c : field) {
        const char* escaped = c == '\t'   ? "\\t"
                              : c == '\n' ? "\\n"
                              : c == '\r' ? "\\r"
                              : c == '\\' ? "\\\\"
                                          : nullptr;
        if (escaped != nullptr)
            out << escaped;
        else
            out.put(c);
    }
}

// KIND, [SEARCH, MONSTER,] NAME, DIFFICULTY, OLD, NEW, OLD N, NEW N; a side
// without an entry or odds leaves its fields empty.
void writeTsvRow(std::ostream& out, const DiffRow& row, bool monsters) {
    out << kindWord(row.kind) << '\t';
    if (monsters) {
        out << row.search << '\t';
        writeTsvField(out, row.monster);
        out << '\t';
    }
    writeTsvField(out, row.name);
    out << '\t' << row.difficulty;
    for (const auto* side : {&row.before, &row.after}) {
        out << '\t';
        if (*side)
            writeTsvField(out, (*side)->text);
    }
    for (const auto* side : {&row.before, &row.after}) {
        out << '\t';
        if (*side && (*side)->odds.oneIn)
            out << *(*side)->odds.oneIn;
    }
    out << '\n';
}

void writeJsonChance(JsonWriter& json, const std::optional<DiffChance>& side) {
    if (!side) {
        json.null();
        return;
    }
    json.beginObject();
    json.key("chance");
    json.string(side->text);
    json.key("value");
    if (side->value)
        json.number(*side->value);
    else
        json.null();
    json.key("one_in");
    if (side->odds.oneIn)
        json.integer(*side->odds.oneIn);
    else
        json.null();
    json.end();
}

void writeJson(std::ostream& out, const Compared& c, const std::vector<std::string>& words) {
    JsonWriter json(out);
    json.beginObject();
    json.key("old");
    json.string(words[0]);
    json.key("new");
    json.string(words[1]);
    json.key("search");
    if (c.search != nullptr)
        json.string(c.search->command);
    else
        json.null();
    json.key("changes");
    json.beginArray();
    for (const DiffRow& row : c.diff.rows) {
        json.beginObject();
        json.key("kind");
        json.string(kindWord(row.kind));
        if (!row.search.empty()) {
            json.key("search");
            json.string(row.search);
            json.key("monster");
            json.string(row.monster);
        }
        json.key("name");
        json.string(row.name);
        json.key("difficulty");
        json.string(row.difficulty);
        json.key("old");
        writeJsonChance(json, row.before);
        json.key("new");
        writeJsonChance(json, row.after);
        json.end();
    }
    json.end();
    json.key("compared");
    json.beginObject();
    if (c.search == nullptr) {
        json.key("monsters");
        json.integer(static_cast<std::int64_t>(c.diff.monsters));
        json.key("searched");
        json.integer(static_cast<std::int64_t>(c.diff.searched));
        json.key("alike");
        json.integer(static_cast<std::int64_t>(c.diff.alike));
    }
    for (const auto& [key, n] : {std::pair{"entries", c.diff.entries},
                                 {"appeared", c.diff.appeared},
                                 {"vanished", c.diff.vanished},
                                 {"changed", c.diff.changed}}) {
        json.key(key);
        json.integer(static_cast<std::int64_t>(n));
    }
    json.end();
    json.key("notes");
    json.beginArray();
    for (const std::string& note : c.notes)
        json.string(note);
    json.end();
    json.key("error");
    if (c.ending) {
        json.beginObject();
        json.key("folder");
        json.string(sideName(*c.failedSide));
        writeJsonErrorFields(json, *c.ending, false);
        json.end();
    } else {
        json.null();
    }
    json.endTo(0);
    out << '\n';
}

void writeOutput(std::ostream& out, const Compared& c, const Settings& s,
                 const std::vector<std::string>& words) {
    if (s.format == Format::Json) {
        writeJson(out, c, words);
        return;
    }
    if (c.ending)
        return;
    for (const DiffRow& row : c.diff.rows) {
        if (s.format == Format::Tsv)
            writeTsvRow(out, row, c.search == nullptr);
        else
            writeTextRow(out, row);
    }
    if (s.format == Format::Text && c.search == nullptr)
        out << c.diff.monsters << " monster and difficulty pairs, " << c.diff.searched
            << " searches run on both folders (" << c.diff.alike << " read alike files), "
            << c.diff.entries << " entries compared: " << c.diff.appeared << " appeared, "
            << c.diff.vanished << " vanished, " << c.diff.changed << " changed\n";
}

// "dropcalc-cli: NEW new-data: Normal/rat.txt:2: Cap:0.o3", then the message.
void writeError(std::ostream& err, const Compared& c, const std::vector<std::string>& words) {
    const std::string_view prefix = "dropcalc-cli: ";
    const DiffSide side = *c.failedSide;
    const ErrorDescription& error = c.ending->error;
    std::string where = locationLine(error);
    if (error.dataFolderItself)
        where = error.detail.empty() ? "" : ": " + error.detail; // the folder is named already
    else if (!where.empty())
        where = ": " + where.substr(prefix.size());
    err << prefix << sideName(side) << ' ' << words[side == DiffSide::Old ? 0 : 1] << where << '\n'
        << c.ending->error.message << '\n';
}

} // namespace

int runDiff(const Settings& s, const std::vector<std::string>& words, std::ostream& out,
            std::ostream& err) {
    if (words.size() < 2)
        throw UsageError("diff: OLD and NEW are required");
    Compared c;
    if (words.size() > 2) {
        c.search = findSearch(words[2]);
        if (c.search == nullptr)
            throw UsageError("diff: '" + words[2] + "' is not a search");
        if (words.size() - 3 != c.search->inputs.size())
            throw UsageError("diff: " + words[2] + " takes " +
                             std::to_string(c.search->inputs.size()) + " argument(s)");
        if (c.search->oneDifficulty)
            oneDifficulty(s);
    }
    if (s.format == Format::Csv)
        throw UsageError("--format csv: only the searches write CSV");
    const OptionSet reads = optionsRead(c.search);
    // A magic find that does not convert is the same mistake in both folders,
    // and a diff that runs no search would not meet it.
    if ((reads & kMagicFindOption) != 0) {
        try {
            toInt(s.magicFind);
        } catch (const DropError& e) {
            throw UsageError("--mf: " + boxMessage(e.message()));
        }
    }
    for (const Option option : kOptions) {
        if ((s.given & option) != 0 && (reads & option) == 0) {
            c.notes.push_back(std::string(optionName(option)) + " does not change the diff");
            err << "dropcalc-cli: note: " << c.notes.back() << '\n';
        }
    }
    const std::size_t told = c.notes.size();
    try {
        compare(c, s, words);
    } catch (const std::bad_alloc&) {
        err << "Out of memory.\n";
        return 2;
    }
    writeOutput(out, c, s, words);
    out.flush();
    if (!out) {
        err << "dropcalc-cli: the output could not be written\n";
        return 2;
    }
    if (c.ending) {
        writeError(err, c, words);
        return 2;
    }
    for (std::size_t i = told; i < c.notes.size(); ++i)
        err << "dropcalc-cli: note: " << c.notes[i] << '\n';
    return c.diff.rows.empty() ? 0 : 1;
}

} // namespace qdc::cli
