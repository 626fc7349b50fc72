#include "bench/datagen.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace qdc::bench {

namespace {

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

const char* const kDifficulties[] = {"Normal", "Nightmare", "Hell"};

std::string probability(std::mt19937& rng) {
    return "0." + std::to_string(std::uniform_int_distribution<int>(1, 99999)(rng));
}

std::string dropTable(std::mt19937& rng, int items) {
    std::string text = "Nothing:0.4\nRing:" + probability(rng) + "\n";
    for (int i = 0; i < 18; ++i)
        text += "Item " + std::to_string(rng() % items) + ":" + probability(rng) + "\n";
    text += "-\nAmulet:" + probability(rng) + "\nRing:0.0" + std::to_string(rng() % 90 + 10) + "\n";
    return text;
}

void writeLists(const std::filesystem::path& root, std::mt19937& rng, int scale) {
    const int items = 10 * scale + 10;
    std::string itemList = "Ring,1\nAmulet,1\n";
    for (int i = 0; i < items; ++i)
        itemList += "Item " + std::to_string(i) + "," + std::to_string(i % 2) + "\n";
    writeFile(root / "itemlist.txt", itemList);

    std::string uniques;
    for (int i = 0; i < 4 * scale + 4; ++i) {
        const int level = static_cast<int>(rng() % 80 + 10);
        const std::string base = i % 3 == 0 ? "Ring" : "Item " + std::to_string(rng() % items);
        uniques += "Unique " + std::to_string(i) + "," + base + ":" + std::to_string(level) +
                   (base == "Ring" ? ",3" : "") + "\n";
    }
    writeFile(root / "unilist.txt", uniques);

    std::string sets;
    for (int s = 0; s < scale + 1; ++s) {
        const std::string name = "Set " + std::to_string(s);
        sets += ":" + name + "," + std::to_string(rng() % 60 + 5) + "\n";
        sets += name + " Ring,Ring,3\n" + name + " Amulet,Amulet,5\n";
        sets += name + " Piece,Item " + std::to_string(rng() % items) + ",2\n";
    }
    writeFile(root / "setlist.txt", sets);
}

} // namespace

std::string generatedMonster(int index) {
    return "Monster " + std::to_string(index);
}

void generateDataSet(const std::string& dir, int scale) {
    std::mt19937 rng(static_cast<unsigned>(scale));
    const std::filesystem::path root(dir);
    writeLists(root, rng, scale);
    const int monsters = 18 * scale;
    for (const char* difficulty : kDifficulties) {
        std::string monsterList;
        std::string levels;
        for (int m = 0; m < monsters; ++m) {
            const std::string table = "act" + std::to_string(m % 5) + "/m" + std::to_string(m);
            monsterList += generatedMonster(m) + ":act" + std::to_string(m % 5) + "\\m" +
                           std::to_string(m) + ".txt," + std::to_string(m % 4 + 1) + "\n";
            levels += generatedMonster(m) + ":" + std::to_string(m % 85 + 1) + "," +
                      std::to_string(rng() % 3 * 250 + 100) + "\n";
            writeFile(root / difficulty / (table + ".txt"), dropTable(rng, 10 * scale + 10));
        }
        writeFile(root / difficulty / "monsterlist.txt", monsterList);
        writeFile(root / difficulty / "levels.txt", levels);
    }
}

void writeLongTable(const std::string& dir, int entries) {
    const std::filesystem::path root(dir);
    writeFile(root / "Normal/monsterlist.txt", "Monster 0:long.txt,3\n");
    std::string table = "Ring:0.1\n-\n";
    for (int i = 0; i < entries; ++i)
        table += "Item " + std::to_string(i) + ":0.001\n";
    writeFile(root / "Normal/long.txt", table);
}

void writeManySetItems(const std::string& dir, int count) {
    const std::filesystem::path root(dir);
    writeFile(root / "itemlist.txt", "Ring,1\n");
    std::string sets = ":Set 0,1\n";
    std::string table = "-\n";
    for (int i = 0; i < count; ++i) {
        sets += "Set Ring " + std::to_string(i) + ",Ring,3\n";
        table += "Ring:0.001\n";
    }
    writeFile(root / "setlist.txt", sets);
    writeFile(root / "Normal/monsterlist.txt", "Monster 0:sets.txt,2\n");
    writeFile(root / "Normal/levels.txt", "Monster 0:90,100\n");
    writeFile(root / "Normal/sets.txt", table);
}

void writeManyMonsters(const std::string& dir, int monsters) {
    const std::filesystem::path root(dir);
    std::string list;
    list.reserve(static_cast<std::size_t>(monsters) * 26);
    for (int m = 0; m < monsters; ++m)
        list += generatedMonster(m) + ":t" + std::to_string(m % 7) + ".txt,2\n";
    writeFile(root / "Normal/monsterlist.txt", list);
    for (int t = 0; t < 7; ++t)
        writeFile(root / ("Normal/t" + std::to_string(t) + ".txt"), "Ring:0.01\nGold:0.5\n");
}

void writeUniqueCross(const std::string& dir, int drops, int uniques, int items) {
    const std::filesystem::path root(dir);
    std::string itemList;
    for (int i = 0; i < items; ++i)
        itemList += "Item " + std::to_string(i) + ",0\n";
    itemList += "Ring,1\n";
    writeFile(root / "itemlist.txt", itemList);
    std::string uniqueList;
    for (int u = 0; u < uniques; ++u)
        uniqueList += "Unique " + std::to_string(u) + ",Ring:10,2\n";
    writeFile(root / "unilist.txt", uniqueList);
    std::string table;
    for (int d = 0; d < drops; ++d)
        table += "Ring:0.01\n";
    writeFile(root / "Normal/monsterlist.txt", "Monster 0:cross.txt,1\n");
    writeFile(root / "Normal/levels.txt", "Monster 0:50,100\n");
    writeFile(root / "Normal/cross.txt", table);
}

} // namespace qdc::bench
