#pragma once

#include <QString>

#include <string>

// How the bytes of the data files show in the window: as Latin-1, or as
// UTF-8 for a data folder whose lists are written in UTF-8. The core keeps
// working on bytes; only the window decodes and encodes.
class NameText {
  public:
    explicit NameText(bool utf8 = false) : utf8_(utf8) {}

    bool utf8() const { return utf8_; }
    QString decode(const std::string& bytes) const;
    // Typed text back to the bytes the data files hold.
    std::string encode(const QString& text) const;
    // A message or a line of a file: as decode(), except that the three bytes
    // the core puts after a shortened text always show as "…".
    QString decodeMessage(const std::string& bytes) const;

  private:
    bool utf8_;
};

namespace qdc {
class FileSource;
}

// Whether every list file of the data folder that can be read is valid UTF-8
// and at least one of them holds a byte above 127.
bool listsAreUtf8(qdc::FileSource& files);
