#pragma once

#include "results/showntext.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

// How the bytes of the data files show in the window, by the rule every face
// follows (qdc::shownText), and a typed text back to the bytes the data files
// hold: a name the boxes offer as its own bytes, any other text by
// qdc::dataBytes. The core keeps working on bytes.
class NameText {
  public:
    // `utf8Folder`: the data folder is written in UTF-8 (qdc::listsAreUtf8).
    explicit NameText(bool utf8Folder = false) : book_(utf8Folder) {}

    bool utf8() const { return book_.utf8Folder(); }
    static QString decode(std::string_view bytes);
    std::string encode(const QString& text) const;
    // Names a box offers from now on.
    void offer(const std::vector<std::string>& names);

  private:
    qdc::NameBook book_;
};
