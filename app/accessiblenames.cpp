#include "app/accessiblenames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

#include <array>
#include <cstddef>

namespace {

struct Naming {
    const char* control;
    const char* name;
};

// The rows of the tabs: the name box, the difficulty buttons (Normal,
// Nightmare, Hell) and the search button of each search.
struct SearchRow {
    const char* box;
    const char* boxName;
    std::array<const char*, 3> difficulties;
    const char* search;
};

constexpr SearchRow kRows[] = {
    {"MonList", "Monster", {"MonNormal", "MonNm", "MonHell"}, "MonSearch"},
    {"ItList", "Item", {"ItNormal", "ItNm", "ItHell"}, "ItSearch"},
    {"SetList", "Set item", {"NormSetCheck", "NmSetCheck", "HellSetCheck"}, "SetItSearch"},
    {"MonSetList", "Monster", {"NormSetRadio", "NmSetRadio", "HellSetRadio"}, "SetMonSearch"},
    {"UniMonList", "Monster", {"NormUniRadio", "NmUniRadio", "HellUniRadio"}, "UniMonsterSearch"},
    {"UniItemList", "Unique item", {"NormUniCheck", "NmUniCheck", "HellUniCheck"}, "UniItemSearch"},
};

constexpr Naming kOthers[] = {
    {"BaseSetList", "Base set"},          {"MagicFind", "Magic find"},
    {"RUEdit", "Real unique magic find"}, {"RSEdit", "Real set magic find"},
    {"RREdit", "Real rare magic find"},
};

// The labels beside the boxes, which name them where a screen reader hears a
// box by its label (and its text by its name).
constexpr Naming kLabels[] = {
    {"MonLabel", "MonList"},         {"ItLabel", "ItList"},         {"BaseLabel", "BaseSetList"},
    {"SetLabel", "SetList"},         {"MonSetLabel", "MonSetList"}, {"UniMonLabel", "UniMonList"},
    {"UniItemLabel", "UniItemList"}, {"MfLabel", "MagicFind"},      {"RULabel", "RUEdit"},
    {"RSLabel", "RSEdit"},           {"RRLabel", "RREdit"},
};

constexpr std::array<const char*, 3> kDifficulties = {"Normal", "Nightmare", "Hell"};

void name(QWidget& form, const char* control, const QString& name,
          const QString& description = {}) {
    auto* widget = form.findChild<QWidget*>(QString::fromLatin1(control));
    if (widget == nullptr)
        return;
    widget->setAccessibleName(name);
    if (!description.isEmpty())
        widget->setAccessibleDescription(description);
    // The text box of a name box is what takes the keys; its drop-down list
    // offers the names.
    if (auto* box = qobject_cast<QComboBox*>(widget)) {
        if (box->lineEdit() != nullptr)
            box->lineEdit()->setAccessibleName(name);
        box->view()->setAccessibleName(name);
    }
}

} // namespace

void nameControls(QWidget& form) {
    for (const SearchRow& row : kRows) {
        const QString box = QString::fromLatin1(row.boxName);
        name(form, row.box, box);
        for (std::size_t d = 0; d < kDifficulties.size(); ++d)
            name(form, row.difficulties[d], QString::fromLatin1(kDifficulties[d]),
                 QStringLiteral("Difficulty of the %1 search").arg(box.toLower()));
        name(form, row.search, QStringLiteral("Search"),
             QStringLiteral("Search by %1").arg(box.toLower()));
    }
    for (const Naming& other : kOthers)
        name(form, other.control, QString::fromLatin1(other.name));
    for (const Naming& label : kLabels) {
        auto* caption = form.findChild<QLabel*>(QString::fromLatin1(label.control));
        auto* named = form.findChild<QWidget*>(QString::fromLatin1(label.name));
        if (caption != nullptr && named != nullptr)
            caption->setBuddy(named);
    }
    if (auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("ItemTab"))) {
        tabs->setAccessibleName(QStringLiteral("Searches"));
        tabs->tabBar()->setAccessibleName(QStringLiteral("Searches"));
    }
}
