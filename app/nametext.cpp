#include "app/nametext.h"

#include "results/showntext.h"

QString NameText::decode(std::string_view bytes) {
    return QString::fromStdString(qdc::shownText(bytes));
}

std::string NameText::encode(const QString& text) const {
    return qdc::dataBytes(text.toStdString(), utf8_);
}
