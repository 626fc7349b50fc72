#pragma once

#include "search/searches.h"

#include <string>

// The searches as they answered before they were rewritten for speed: the
// same entries, messages and points of failure, reached the slow way.
namespace qdc::ref {

std::string generalNumberText(double value, char decimalSeparator);
std::string chanceText(double chance, char decimalSeparator);
double mergePass(ResultList& list, const std::string& name, double newChance, SortMode mode,
                 char decimalSeparator);

void monsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                   Difficulty difficulty);
void itemSearch(const SearchEnv& env, ResultList& list, const std::string& item,
                DifficultySet difficulties);
void uniqueItemSearch(const SearchEnv& env, ResultList& list, const std::string& unique,
                      DifficultySet difficulties, const std::string& magicFindText);
void uniqueMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                         Difficulty difficulty, const std::string& magicFindText);
void setItemSearch(const SearchEnv& env, ResultList& list, const std::string& baseSet,
                   const std::string& setItem, DifficultySet difficulties,
                   const std::string& magicFindText);
void setMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                      Difficulty difficulty, const std::string& magicFindText);

// Lines as the files were cut before they were read as one buffer.
std::vector<std::string> splitLines(const std::string& bytes);

} // namespace qdc::ref
