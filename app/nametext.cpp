#include "app/nametext.h"

QString NameText::decode(std::string_view bytes) {
    return QString::fromStdString(qdc::shownText(bytes));
}

std::string NameText::encode(const QString& text) const {
    return book_.bytesOf(text.toStdString());
}

void NameText::offer(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        book_.add(name);
}
