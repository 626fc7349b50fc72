#pragma once

#include "data/filesource.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

// Random, mostly malformed data sets, the same for the same seed.
class RandomData {
  public:
    // A clean data set has far fewer faults and longer files, so that its
    // searches reach long lists and many merges.
    explicit RandomData(unsigned seed, bool clean = false) : rng_(seed), clean_(clean) {}

    std::string pick(const std::vector<std::string>& options) {
        return options[std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(rng_)];
    }
    int number(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string monster() {
        return pickFault({"Cave Lurker", "Cow Warden", "St. Hugo"}, {"", "x:y"});
    }
    std::string item() {
        return pick(
            {"Ring", "Amulet", "Cap", "Heavy Boots", "Nothing", "Gold", "", "A=B", "St. Hugo"});
    }
    std::string unique() { return pick({"Coil", "Eye: Left", "", "Cap"}); }
    std::string setItem() { return pick({"Hood", "Cowl of Dusk", "Band", ""}); }
    std::string baseSet() { return pick({"Ashen", "Iron", ""}); }
    std::string numberText() {
        if (clean_ && number(0, 30) > 0)
            return pick({"0.1", "0.25", "1", "0.00000015", "0.3", "0.05", "0.000000000005"});
        return pick({"0.1", "0", "1", "0.00000015", "-0.5", "1E300", "abc", "", " 0.2 ", "2",
                     "0.000000000005", "1.5e-3", "$10", "99", "07", "-100", "983"});
    }
    std::string level() {
        if (clean_ && number(0, 30) > 0)
            return pick({"05", "12", "30", "45", "99", "20"});
        return pick({"05", "12", "30", "45", "99", "7", "x", "0"});
    }
    std::string reduction() { return pickFault({"000", "050", "983", "12"}, {"x"}); }
    std::string junk() { return pick({"", "-", "- ", ":", ",", "\x1a", ":,", "=", "\xff"}); }

    std::string file(const std::function<std::string()>& line) {
        std::string text;
        const int n = number(0, clean_ ? 14 : 8);
        for (int i = 0; i < n; ++i)
            text += (number(0, clean_ ? 60 : 9) == 0 ? junk() : line()) +
                    (number(0, 6) == 0 ? "\r\n" : "\n");
        return text;
    }

    // Rarely one of `faults` in a clean data set; any of both otherwise.
    std::string pickFault(const std::vector<std::string>& good, std::vector<std::string> faults) {
        if (clean_ && number(0, 40) > 0)
            return pick(good);
        faults.insert(faults.end(), good.begin(), good.end());
        return pick(faults);
    }
    std::string magicFind() { return pickFault({"0", "200", "999999"}, {"-100", "x"}); }

    qdc::MemoryFileSource dataSet() {
        qdc::MemoryFileSource files;
        files.set("itemlist.txt", file([&] {
                      return item() + "," + pick({"0", "1", "1", "2", ""});
                  }));
        files.set("unilist.txt", file([&] {
                      return unique() + "," + item() + ":" + level() +
                             pick({"", ",", "," + pickFault({"1", "3"}, {"0", "x"})});
                  }));
        files.set("setlist.txt", file([&] {
                      return number(0, 2) == 0 ? ":" + baseSet() + "," + level()
                                               : setItem() + "," + item() + "," +
                                                     pickFault({"1", "3", "3"}, {"0", "x"});
                  }));
        for (const char* d : {"Normal", "Nightmare", "Hell"}) {
            if (number(0, clean_ ? 60 : 8) == 0)
                continue; // a missing difficulty folder
            const std::string folder = std::string(d) + "/";
            files.set(folder + "monsterlist.txt", file([&] {
                          return monster() + ":" +
                                 pickFault({"a.txt", "b.txt", "sub\\c.txt"}, {"none.txt"}) +
                                 pick({",", ";", ":"}) + pickFault({"1", "3", "9"}, {"0", "x", ""});
                      }));
            files.set(folder + "levels.txt", file([&] {
                          return monster() + ":" + level() + pick({"", "," + reduction()});
                      }));
            for (const char* table : {"a.txt", "b.txt", "sub/c.txt"})
                files.set(folder + table, file([&] {
                              return number(0, 3) == 0 ? "-" : item() + ":" + numberText();
                          }));
        }
        return files;
    }

  private:
    std::mt19937 rng_;
    bool clean_ = false;
};
