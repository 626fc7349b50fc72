#pragma once

#include <string>

namespace qdc::bench {

// Writes an invented data set into `dir` (created if missing): at scale 1
// about 18 monsters per difficulty, each with a drop table of its own, and
// lists of items, uniques and sets that grow with the scale.
void generateDataSet(const std::string& dir, int scale);

// The same names the generated data use, so that searches find something.
std::string generatedMonster(int index);
inline const std::string kGeneratedItem = "Ring";
inline const std::string kGeneratedUnique = "Unique 0";
inline const std::string kGeneratedBaseSet = "Set 1";
inline const std::string kGeneratedSetItem = "Set 1 Ring";

// Data made to hurt, one shape per folder; `size` is the shape's count.
void writeLongTable(const std::string& dir, int entries);     // one table, "-" then many
void writeManySetItems(const std::string& dir, int count);    // set items x table lines
void writeManyMonsters(const std::string& dir, int monsters); // a huge monster list
void writeUniqueCross(const std::string& dir, int drops, int uniques, int items);

} // namespace qdc::bench
