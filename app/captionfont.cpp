#include "app/captionfont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>
#include <optional>

namespace {

struct CaptionRoom {
    QString text; // the caption
    int fixed;    // what the control draws beside it: indicator, frame
    int width;    // the control's width
};

int indicatorRoom(const QWidget& control, QStyle::PixelMetric indicator,
                  QStyle::PixelMetric spacing) {
    const QStyle* style = control.style();
    return style->pixelMetric(indicator, nullptr, &control) +
           style->pixelMetric(spacing, nullptr, &control);
}

std::optional<CaptionRoom> roomOf(const QWidget& control) {
    const QStyle* style = control.style();
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return CaptionRoom{label->text(), 0, control.width()};
    if (const auto* radio = qobject_cast<const QRadioButton*>(&control))
        return CaptionRoom{radio->text(),
                           indicatorRoom(control, QStyle::PM_ExclusiveIndicatorWidth,
                                         QStyle::PM_RadioButtonLabelSpacing),
                           control.width()};
    if (const auto* check = qobject_cast<const QCheckBox*>(&control))
        return CaptionRoom{
            check->text(),
            indicatorRoom(control, QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing),
            control.width()};
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return CaptionRoom{button->text(),
                           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &control) +
                               4,
                           control.width()};
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return CaptionRoom{combo->currentText(),
                           style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &control) + 6,
                           control.width()};
    return std::nullopt;
}

// The largest stretch, in percent, at which every caption fits, from the
// widths at 100 %: text widths scale with the stretch. One percent less
// leaves room for the rounding of glyph advances, so that the narrowed font
// need not be loaded to check it.
int neededStretch(const std::vector<CaptionRoom>& rooms, const QFont& font) {
    const QFontMetrics metrics(font);
    QHash<QString, int> advances; // many controls share a caption
    int stretch = 100;
    for (const CaptionRoom& room : rooms) {
        auto known = advances.constFind(room.text);
        if (known == advances.cend())
            known = advances.insert(room.text, metrics.horizontalAdvance(room.text));
        const int advance = *known;
        if (advance > 0 && room.fixed + advance > room.width)
            stretch = std::min(stretch, 100 * std::max(room.width - room.fixed, 0) / advance - 1);
    }
    return std::max(stretch, 60);
}

QFont computeFont(const QWidget& form) {
    QFont font = baseCaptionFont();
    std::vector<CaptionRoom> rooms;
    for (const QWidget* control : form.findChildren<QWidget*>())
        if (auto room = roomOf(*control); room && !room->text.isEmpty())
            rooms.push_back(*room);
    if (const int stretch = neededStretch(rooms, font); stretch < 100)
        font.setStretch(stretch);
    return font;
}

} // namespace

QFont baseCaptionFont() {
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QFont captionFont(const QWidget& form) {
    // Kept for the whole run; a font outliving the application is not safe.
    static const auto* const font = new QFont(computeFont(form));
    return *font;
}
