#include "app/dropunit.h"
#include "data/diskfilesource.h"

#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "results/error.h"
#include "search/magicfind.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace {

constexpr int kOuterWidth = 723;
constexpr int kOuterHeight = 505;
constexpr int kLeft = 227;
constexpr int kTop = 154;

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

template <class W>
W* place(W* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left, top, width, height);
    return control;
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* caption, int left, int top,
                  int width, int height) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return place(label, name, left, top, width, height);
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setAutoDefault(false);
    return place(button, name, left, top, width, height);
}

QRadioButton* makeRadio(QWidget* parent, const char* name, const char* caption, bool selected,
                        int left, int top, int width, int height) {
    auto* radio = new QRadioButton(QString::fromLatin1(caption), parent);
    radio->setChecked(selected);
    return place(radio, name, left, top, width, height);
}

QCheckBox* makeCheck(QWidget* parent, const char* name, bool ticked, int left, int top, int width,
                     int height) {
    auto* check = new QCheckBox(parent);
    check->setChecked(ticked);
    return place(check, name, left, top, width, height);
}

// An editable box that takes whatever text it holds, chosen or typed: typed
// text is neither completed nor added to the list, and the list keeps the
// order in which names were added.
QComboBox* makeCombo(QWidget* parent, const char* name, const char* startText, int left, int top,
                     int width, int height) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setDuplicatesEnabled(true);
    combo->setEditText(QString::fromLatin1(startText));
    return place(combo, name, left, top, width, height);
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const char* text, bool readOnly, int left,
                    int top, int width, int height) {
    auto* edit = new QLineEdit(QString::fromLatin1(text), parent);
    edit->setReadOnly(readOnly);
    return place(edit, name, left, top, width, height);
}

QButtonGroup* makeGroup(QObject* parent, const char* name,
                        std::initializer_list<QRadioButton*> buttons) {
    auto* group = new QButtonGroup(parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setExclusive(true);
    for (QRadioButton* button : buttons)
        group->addButton(button);
    return group;
}

// Replaces the list of `box` by `names` and shows `text`, with no entry chosen.
void setComboNames(QComboBox* box, const std::vector<std::string>& names, const QString& text) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        list.append(latin1(name));
    box->clear();
    box->addItems(list);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

// The difficulty chosen by a radio group of three; the last selected wins.
qdc::Difficulty radioDifficulty(const QRadioButton* normal, const QRadioButton* nightmare,
                                const QRadioButton* hell) {
    qdc::Difficulty d = qdc::Difficulty::Normal;
    if (normal->isChecked())
        d = qdc::Difficulty::Normal;
    if (nightmare->isChecked())
        d = qdc::Difficulty::Nightmare;
    if (hell->isChecked())
        d = qdc::Difficulty::Hell;
    return d;
}

qdc::DifficultySet checkDifficulties(const QCheckBox* normal, const QCheckBox* nightmare,
                                     const QCheckBox* hell) {
    return {normal->isChecked(), nightmare->isChecked(), hell->isChecked()};
}

std::string boxText(const QComboBox* box) {
    return latin1(box->currentText());
}

} // namespace

// ---------------------------------------------------------------------------

void MessageErrorBox::show(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, kWindowTitle, message);
}

// ---------------------------------------------------------------------------

DropListModel::DropListModel(QLabel* nameLabel, QLabel* dropLabel, QObject* parent)
    : QAbstractListModel(parent), nameLabel_(nameLabel), dropLabel_(dropLabel) {}

void DropListModel::clear() {
    if (entries_.empty())
        return;
    beginRemoveRows(QModelIndex(), 0, count() - 1);
    entries_.clear();
    endRemoveRows();
}

void DropListModel::removeAt(int index) {
    if (index < 0 || index >= count())
        return;
    beginRemoveRows(QModelIndex(), index, index);
    entries_.erase(entries_.begin() + index);
    endRemoveRows();
}

void DropListModel::add(const std::string& entry) {
    const std::size_t pos = sorted_ ? qdc::sortedInsertPosition(entries_, entry) : entries_.size();
    const int row = static_cast<int>(pos);
    beginInsertRows(QModelIndex(), row, row);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), entry);
    endInsertRows();
}

namespace {

// A column heading keeps its place and takes the width of its caption, so
// that "% Drop Chance" fits where "Name" stood.
void setHeading(QLabel* label, const QString& caption) {
    label->setText(caption);
    const int width =
        std::max(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(caption));
    label->resize(width, label->height());
}

} // namespace

void DropListModel::setLabels(const std::string& nameLabel, const std::string& dropLabel) {
    setHeading(nameLabel_, latin1(nameLabel));
    setHeading(dropLabel_, latin1(dropLabel));
}

int DropListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant DropListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || role != Qt::DisplayRole)
        return {};
    return latin1(entries_[static_cast<std::size_t>(index.row())]);
}

// ---------------------------------------------------------------------------

char localeDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point[0].unicode() >= 1 && point[0].unicode() <= 255)
        return static_cast<char>(point[0].unicode());
    return '.';
}

namespace {

// The room a control's caption needs in `font`; 0 for a control whose caption
// is not bounded by its width.
int captionWidthNeeded(const QWidget& control, const QFont& font) {
    const QFontMetrics fm(font);
    const QStyle* style = control.style();
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return fm.horizontalAdvance(label->text());
    if (const auto* radio = qobject_cast<const QRadioButton*>(&control)) {
        if (radio->text().isEmpty())
            return 0;
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio) +
               fm.horizontalAdvance(radio->text());
    }
    if (const auto* check = qobject_cast<const QCheckBox*>(&control)) {
        if (check->text().isEmpty())
            return 0;
        return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, check) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, check) +
               fm.horizontalAdvance(check->text());
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return fm.horizontalAdvance(button->text()) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button) + 4;
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return fm.horizontalAdvance(combo->currentText()) +
               style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo) + 6;
    return 0;
}

// The window's font: the platform's sans-serif at a pixel height of 11, made
// as narrow as needed for every caption to fit its control.
QFont fittingWindowFont(const QWidget& form) {
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);

    const QList<QWidget*> controls = form.findChildren<QWidget*>();
    const auto fits = [&](const QFont& f) {
        for (const QWidget* control : controls)
            if (captionWidthNeeded(*control, f) > control->width())
                return false;
        return true;
    };
    if (fits(font))
        return font;
    // The platform's sans-serif is wider than the captions' room: narrow it,
    // keeping its height.
    for (int stretch = 99; stretch >= 60; --stretch) {
        font.setStretch(stretch);
        if (fits(font))
            return font;
    }
    return font;
}

} // namespace

// ---------------------------------------------------------------------------

TForm1::TForm1(ErrorBox* errors, char decimalSeparator, QWidget* parent)
    : QWidget(parent), errors_(errors), decimalSeparator_(decimalSeparator) {
    if (errors_ == nullptr) {
        ownErrors_ = std::make_unique<MessageErrorBox>();
        errors_ = ownErrors_.get();
    }
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kWindowTitle);
    createControls();
    setFont(fittingWindowFont(*this));
    // Until the frame is known, the window is its client area.
    move(kLeft, kTop);
    resize(kOuterWidth, kOuterHeight);
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createControls() {
    NameLabel = makeLabel(this, "NameLabel", "Name", 16, 24, 28, 13);
    DropLabel = makeLabel(this, "DropLabel", "% Drop Chance", 208, 24, 74, 13);
    Label4 = makeLabel(this, "Label4",
                       "Read the \"Readme.txt\" file if there is something that you need help with",
                       344, 432, 336, 13);

    DropList = place(new QListView(this), "DropList", 16, 48, 273, 401);
    dropListModel_ = new DropListModel(NameLabel, DropLabel, this);
    DropList->setModel(dropListModel_);
    DropList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DropList->setSelectionMode(QAbstractItemView::SingleSelection);
    DropList->setUniformItemSizes(true);

    ItemTab = place(new QTabWidget(this), "ItemTab", 312, 48, 393, 201);
    NormalTab = new QWidget;
    NormalTab->setObjectName(QStringLiteral("NormalTab"));
    SetTab = new QWidget;
    SetTab->setObjectName(QStringLiteral("SetTab"));
    UniTab = new QWidget;
    UniTab->setObjectName(QStringLiteral("UniTab"));
    ItemTab->addTab(NormalTab, QStringLiteral("Normal Items"));
    ItemTab->addTab(SetTab, QStringLiteral("Set Items"));
    ItemTab->addTab(UniTab, QStringLiteral("Unique Items"));

    MfBox = place(new QGroupBox(QStringLiteral("Magic Find"), this), "MfBox", 392, 272, 313, 137);
    GroupBox2 =
        place(new QGroupBox(QStringLiteral("Sort by..."), this), "GroupBox2", 304, 296, 73, 97);
    Button1 = makeButton(this, "Button1", "Change item separator", 16, 456, 137, 17);

    QWidget* page = NormalTab;
    MonLabel = makeLabel(page, "MonLabel", "Monster", 19, 40, 38, 13);
    ItLabel = makeLabel(page, "ItLabel", "Item", 29, 88, 20, 13);
    NormLabel = makeLabel(page, "NormLabel", "Norm.", 189, 16, 28, 13);
    NmLabel = makeLabel(page, "NmLabel", "Nm.", 230, 16, 19, 13);
    HellLabel = makeLabel(page, "HellLabel", "Hell", 263, 16, 18, 13);
    MonList = makeCombo(page, "MonList", "[select a monster]", 64, 38, 121, 21);
    MonNormal = makeRadio(page, "MonNormal", "", true, 200, 40, 17, 17);
    MonNm = makeRadio(page, "MonNm", "", false, 232, 40, 17, 17);
    MonHell = makeRadio(page, "MonHell", "", false, 264, 40, 17, 17);
    MonSearch = makeButton(page, "MonSearch", "Search", 296, 40, 65, 17);
    ItList = makeCombo(page, "ItList", "[select an item]", 64, 88, 121, 21);
    ItNormal = makeCheck(page, "ItNormal", true, 200, 88, 17, 17);
    ItNm = makeCheck(page, "ItNm", false, 232, 88, 17, 17);
    ItHell = makeCheck(page, "ItHell", false, 264, 88, 17, 17);
    ItSearch = makeButton(page, "ItSearch", "Search", 296, 88, 65, 17);

    page = SetTab;
    BaseLabel = makeLabel(page, "BaseLabel", "Base Set", 8, 48, 43, 13);
    SetLabel = makeLabel(page, "SetLabel", "Set Item", 8, 80, 39, 13);
    MonSetLabel = makeLabel(page, "MonSetLabel", "Monster", 8, 136, 38, 13);
    NormSetLabel = makeLabel(page, "NormSetLabel", "Norm.", 216, 40, 28, 13);
    NmSetLabel = makeLabel(page, "NmSetLabel", "Nm", 256, 40, 16, 13);
    HellSetLabel = makeLabel(page, "HellSetLabel", "Hell", 280, 40, 18, 13);
    BaseSetList = makeCombo(page, "BaseSetList", "[select a base set]", 56, 40, 145, 21);
    SetList = makeCombo(page, "SetList", "[select a set item]", 56, 72, 145, 21);
    NormSetCheck = makeCheck(page, "NormSetCheck", true, 216, 72, 17, 17);
    NmSetCheck = makeCheck(page, "NmSetCheck", false, 248, 72, 17, 17);
    HellSetCheck = makeCheck(page, "HellSetCheck", false, 280, 72, 17, 17);
    SetItSearch = makeButton(page, "SetItSearch", "Search", 312, 72, 57, 17);
    MonSetList = makeCombo(page, "MonSetList", "[select a monster]", 56, 128, 145, 21);
    NormSetRadio = makeRadio(page, "NormSetRadio", "", true, 216, 128, 17, 17);
    NmSetRadio = makeRadio(page, "NmSetRadio", "", false, 248, 128, 17, 17);
    HellSetRadio = makeRadio(page, "HellSetRadio", "", false, 280, 128, 17, 17);
    SetMonSearch = makeButton(page, "SetMonSearch", "Search", 312, 128, 57, 17);

    page = UniTab;
    UniMonLabel = makeLabel(page, "UniMonLabel", "Monster", 16, 40, 38, 13);
    UniItemLabel = makeLabel(page, "UniItemLabel", "Unique Item", 8, 88, 57, 13);
    NormUniLabel = makeLabel(page, "NormUniLabel", "Norm.", 216, 16, 28, 13);
    NmUniLabel = makeLabel(page, "NmUniLabel", "Nm", 256, 16, 16, 13);
    HellUniLabel = makeLabel(page, "HellUniLabel", "Hell", 288, 16, 18, 13);
    UniMonList = makeCombo(page, "UniMonList", "[select a monster]", 72, 40, 145, 21);
    NormUniRadio = makeRadio(page, "NormUniRadio", "", true, 224, 40, 17, 17);
    NmUniRadio = makeRadio(page, "NmUniRadio", "", false, 256, 40, 17, 17);
    HellUniRadio = makeRadio(page, "HellUniRadio", "", false, 288, 40, 17, 17);
    UniMonsterSearch = makeButton(page, "UniMonsterSearch", "Search", 320, 40, 57, 17);
    UniItemList = makeCombo(page, "UniItemList", "[select a unique item]", 72, 88, 145, 21);
    NormUniCheck = makeCheck(page, "NormUniCheck", true, 224, 88, 17, 17);
    NmUniCheck = makeCheck(page, "NmUniCheck", false, 256, 88, 17, 17);
    HellUniCheck = makeCheck(page, "HellUniCheck", false, 288, 88, 17, 17);
    UniItemSearch = makeButton(page, "UniItemSearch", "Search", 320, 88, 57, 17);

    QWidget* box = MfBox;
    MfLabel = makeLabel(box, "MfLabel", "Magic Find:", 10, 36, 55, 13);
    MagicFind = makeEdit(box, "MagicFind", "0", false, 72, 28, 57, 21);
    MagicFind->setMaxLength(6);
    CalcMf = makeButton(box, "CalcMf", "Calculate \"Real\" Magic Find", 144, 24, 161, 25);
    RULabel = makeLabel(box, "RULabel", "Real unique mf", 16, 72, 71, 13);
    RSLabel = makeLabel(box, "RSLabel", "Real set mf", 104, 72, 53, 13);
    RRLabel = makeLabel(box, "RRLabel", "Real rare mf", 184, 72, 57, 13);
    RUEdit = makeEdit(box, "RUEdit", "0", true, 16, 96, 57, 21);
    RSEdit = makeEdit(box, "RSEdit", "0", true, 104, 96, 57, 21);
    RREdit = makeEdit(box, "RREdit", "0", true, 184, 96, 65, 21);

    box = GroupBox2;
    SortName = makeRadio(box, "SortName", "Name", false, 8, 32, 49, 17);
    SortChance = makeRadio(box, "SortChance", "Chance", true, 8, 64, 57, 17);

    MonGroup = makeGroup(this, "MonGroup", {MonNormal, MonNm, MonHell});
    SetMonGroup = makeGroup(this, "SetMonGroup", {NormSetRadio, NmSetRadio, HellSetRadio});
    UniMonGroup = makeGroup(this, "UniMonGroup", {NormUniRadio, NmUniRadio, HellUniRadio});
    SortGroup = makeGroup(this, "SortGroup", {SortName, SortChance});

    ItemTab->setCurrentWidget(SetTab);
}

void TForm1::connectHandlers() {
    connect(MonSearch, &QPushButton::clicked, this, &TForm1::MonSearchClick);
    connect(ItSearch, &QPushButton::clicked, this, &TForm1::ItSearchClick);
    connect(UniItemSearch, &QPushButton::clicked, this, &TForm1::UniItemSearchClick);
    connect(UniMonsterSearch, &QPushButton::clicked, this, &TForm1::UniMonsterSearchClick);
    connect(SetItSearch, &QPushButton::clicked, this, &TForm1::SetItSearchClick);
    connect(SetMonSearch, &QPushButton::clicked, this, &TForm1::SetMonSearchClick);
    // Choosing an entry, not typing, fills the set-item box. An editable box
    // also raises `activated` when typing ends (Enter, or leaving the box) on
    // a text that equals one of its entries; the box handles the end of typing
    // in a connection of its own, so two connections around it mark that case.
    const QString baseSetText = BaseSetList->currentText();
    auto* baseSetEdit = new QLineEdit(BaseSetList);
    connect(baseSetEdit, &QLineEdit::editingFinished, this, [this] { baseSetTyped_ = true; });
    BaseSetList->setLineEdit(baseSetEdit);
    connect(baseSetEdit, &QLineEdit::editingFinished, this, [this] { baseSetTyped_ = false; });
    BaseSetList->setCompleter(nullptr);
    BaseSetList->setEditText(baseSetText);
    connect(BaseSetList, &QComboBox::activated, this, [this] {
        if (!baseSetTyped_)
            BaseSetListClick();
    });
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(CalcMf, &QPushButton::clicked, this, &TForm1::CalcMfClick);
}

// Start-up: the Normal monster list and the three top-level lists fill the
// selection boxes. A list file that cannot be read ends the reading there;
// the lists keep what was read so far and the window opens all the same.
void TForm1::FormCreate() {
    dropListModel_->setSorted(false);
    std::vector<std::string> monsters;
    std::vector<std::string> items;
    std::vector<std::string> baseSets;
    std::vector<std::string> uniques;
    const auto fillBoxes = [&] {
        setComboNames(MonList, monsters, MonList->currentText());
        setComboNames(MonSetList, monsters, MonSetList->currentText());
        setComboNames(UniMonList, monsters, UniMonList->currentText());
        setComboNames(ItList, items, ItList->currentText());
        setComboNames(BaseSetList, baseSets, BaseSetList->currentText());
        setComboNames(UniItemList, uniques, UniItemList->currentText());
    };
    try {
        qdc::DiskFileSource files(dataDirectory());
        qdc::readMonsterNames(files, monsters);
        qdc::readItemNames(files, items);
        qdc::readBaseSetNames(files, baseSets);
        qdc::readUniqueNames(files, uniques);
    } catch (const std::exception& e) {
        fillBoxes();
        showError(e);
        return;
    }
    fillBoxes();
}

void TForm1::MonSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        qdc::monsterSearch(env, list, boxText(MonList), radioDifficulty(MonNormal, MonNm, MonHell));
    });
}

void TForm1::ItSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        qdc::itemSearch(env, list, boxText(ItList), checkDifficulties(ItNormal, ItNm, ItHell));
    });
}

void TForm1::UniItemSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        qdc::uniqueItemSearch(env, list, boxText(UniItemList),
                              checkDifficulties(NormUniCheck, NmUniCheck, HellUniCheck),
                              latin1(MagicFind->text()));
    });
}

void TForm1::UniMonsterSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        qdc::uniqueMonsterSearch(env, list, boxText(UniMonList),
                                 radioDifficulty(NormUniRadio, NmUniRadio, HellUniRadio),
                                 latin1(MagicFind->text()));
    });
}

void TForm1::SetItSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        qdc::setItemSearch(env, list, boxText(BaseSetList), boxText(SetList),
                           checkDifficulties(NormSetCheck, NmSetCheck, HellSetCheck),
                           latin1(MagicFind->text()));
    });
}

void TForm1::SetMonSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        qdc::setMonsterSearch(env, list, boxText(MonSetList),
                              radioDifficulty(NormSetRadio, NmSetRadio, HellSetRadio),
                              latin1(MagicFind->text()));
    });
}

void TForm1::BaseSetListClick() {
    qdc::SetItemChoice choice;
    try {
        qdc::DiskFileSource files(dataDirectory());
        qdc::chooseBaseSet(files, boxText(BaseSetList), choice);
    } catch (const std::exception& e) {
        showSetItems(choice);
        showError(e);
        return;
    }
    showSetItems(choice);
}

void TForm1::showSetItems(const qdc::SetItemChoice& choice) {
    setComboNames(SetList, choice.names,
                  choice.showPrompt ? latin1(qdc::kSetItemPrompt) : QString());
}

void TForm1::Button1Click() {
    runHandler([this] { qdc::widenSeparators(*dropListModel_); });
}

void TForm1::CalcMfClick() {
    runHandler([this] {
        const qdc::RealMagicFind real = qdc::realMagicFind(qdc::toInt(latin1(MagicFind->text())));
        RUEdit->setText(QString::number(real.unique));
        RSEdit->setText(QString::number(real.set));
        RREdit->setText(QString::number(real.rare));
    });
}

// Every error ends the handler and shows in the error box; the window stays
// open with whatever the handler had done before.
void TForm1::runHandler(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& e) {
        showError(e);
    }
}

void TForm1::runSearch(const std::function<void(const qdc::SearchEnv&, qdc::ResultList&)>& search) {
    runHandler([&] {
        qdc::DiskFileSource files(dataDirectory());
        search({files, decimalSeparator_, sortMode()}, *dropListModel_);
    });
}

void TForm1::showError(const std::exception& error) {
    errors_->show(this, latin1(qdc::boxMessage(error.what())));
}

std::string TForm1::dataDirectory() const {
    return QFile::encodeName(QDir::currentPath()).toStdString();
}

qdc::SortMode TForm1::sortMode() const {
    return SortName->isChecked() ? qdc::SortMode::NameFirst : qdc::SortMode::ChanceFirst;
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, &TForm1::fitOuterSize);
}

void TForm1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    fitOuterSize();
}

// The window's size is its outer size, frame included. The frame is known only
// once a window manager has put one around the window; until then (and with
// no frame at all) the client area has the whole size.
void TForm1::fitOuterSize() {
    if (outerSizeFitted_ || !isVisible())
        return;
    const int frameWidth = frameGeometry().width() - geometry().width();
    const int frameHeight = frameGeometry().height() - geometry().height();
    if (frameWidth <= 0 && frameHeight <= 0)
        return;
    outerSizeFitted_ = true;
    resize(kOuterWidth - frameWidth, kOuterHeight - frameHeight);
}
