#pragma once

#include <QString>

#include <string>
#include <string_view>

// How the bytes of the data files show in the window, by the rule every face
// follows (qdc::shownText), and a typed text back to the bytes the data files
// hold (qdc::dataBytes). The core keeps working on bytes.
class NameText {
  public:
    // `utf8Folder`: the data folder is written in UTF-8 (qdc::listsAreUtf8).
    explicit NameText(bool utf8Folder = false) : utf8_(utf8Folder) {}

    bool utf8() const { return utf8_; }
    static QString decode(std::string_view bytes);
    std::string encode(const QString& text) const;

  private:
    bool utf8_;
};
