// The tool only reads its data folder: after every command, in every output
// form, no file or folder of it has changed, appeared or disappeared.

#include "cli_helpers.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// What is seen of each entry of a folder tree: its kind, permissions, size,
// modification time and bytes.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> seen;
    seen["."] = "";
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::file_status status = entry.symlink_status();
        std::ostringstream line;
        line << static_cast<int>(status.type()) << ' ' << static_cast<int>(status.permissions())
             << ' ' << (entry.is_regular_file() ? entry.file_size() : 0) << ' '
             << entry.last_write_time().time_since_epoch().count() << ' ';
        if (entry.is_regular_file())
            line << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        seen[fs::relative(entry.path(), root).string()] = line.str();
    }
    return seen;
}

const std::vector<std::vector<std::string>> kCommands = {
    {"monster", "Cave Lurker"},
    {"monster", "Ember Drake"},
    {"item", "Gold"},
    {"unique-item", "Lurker's Fang"},
    {"unique-monster", "Cave Lurker"},
    {"set-item", "Ashen Vigil", "Ashen Vigil Band"},
    {"set-monster", "Quarry Golem"},
    {"set-items", "Iron Chorus"},
    {"list", "monsters"},
    {"list", "items"},
    {"list", "base-sets"},
    {"list", "uniques"},
    {"mf", "250"},
    {"check"},
};

const std::vector<std::vector<std::string>> kOptions = {
    {},
    {"--sort", "name", "--wide", "--difficulty", "normal,nightmare,hell"},
    {"--format", "tsv", "--mf", "300"},
    {"--format", "json", "--decimal-separator", ","},
};

} // namespace

TEST(NothingWritten, NoCommandChangesTheDataFolder) {
    const TempDataDir data{};
    fs::copy(DROPCALC_EXAMPLES, data.path(), fs::copy_options::recursive);
    const auto before = snapshot(data.path());
    ASSERT_GT(before.size(), 20U);

    int succeeded = 0;
    for (const auto& options : kOptions) {
        for (const auto& command : kCommands) {
            std::vector<std::string> args{"--data", data.path()};
            args.insert(args.end(), options.begin(), options.end());
            args.insert(args.end(), command.begin(), command.end());
            succeeded += runTool(args).status == 0 ? 1 : 0;
        }
    }
    // Without --data the tool reads the folder it runs in.
    const fs::path home = fs::current_path();
    fs::current_path(data.path());
    succeeded += runTool({"monster", "Tunnel Rat"}).status == 0 ? 1 : 0;
    fs::current_path(home);

    EXPECT_EQ(snapshot(data.path()), before);
    // The commands did read the data: most of them found what they looked for.
    EXPECT_GT(succeeded, static_cast<int>(kCommands.size()));
}
