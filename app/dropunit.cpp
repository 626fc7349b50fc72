#include "app/dropunit.h"

#include "app/captionfont.h"
#include "app/datafolder.h"
#include "app/droplistmodel.h"
#include "app/formvalues.h"
#include "app/helpviewer.h"
#include "app/namelists.h"
#include "app/windowsize.h"
#include "data/diskfilesource.h"
#include "results/convert.h"
#include "search/magicfind.h"
#include "ui_dropunit.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include <exception>

TForm1::TForm1(ErrorBox* errors, char decimalSeparator, const QString& dataFolder, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()), errors_(errors),
      decimalSeparator_(decimalSeparator), dataFolder_(startFolder(dataFolder)),
      model_(new DropListModel(this)) {
    if (errors_ == nullptr) {
        ownErrors_ = std::make_unique<MessageErrorBox>();
        errors_ = ownErrors_.get();
    }
    setFont(baseCaptionFont());
    // The tab pages are made without a parent, so the name boxes on them
    // would first lay out their text in the application's font, a font the
    // window never shows; while the form is made, that font is the form's.
    const QFont applicationFont = QApplication::font();
    QApplication::setFont(font());
    ui_->setupUi(this);
    QApplication::setFont(applicationFont);
    ui_->DropList->setDropModel(model_);
    // The result boxes look like the read-only text they are.
    for (QLineEdit* result : {ui_->RUEdit, ui_->RSEdit, ui_->RREdit})
        lookReadOnly(result);
    if (const QFont fitted = captionFont(*this); fitted != font())
        setFont(fitted);
    move(227, 154);
    auto* size = new WindowSize(this, QSize(723, 505), ui_->DropList);
    for (QWidget* control :
         std::initializer_list<QWidget*>{ui_->ItemTab, ui_->MfBox, ui_->GroupBox2, ui_->Label4})
        size->addBeside(control);
    size->addBelow(ui_->Button1);
    connectHandlers();
    connectKeys();
    if (FormCreate() && !dataFolder.isEmpty())
        rememberFolder(dataFolder_);
}

TForm1::~TForm1() = default;

// Start-up: the Normal monster list and the three top-level lists fill the
// selection boxes. A list file that cannot be read ends the reading there;
// the lists keep what was read so far and the window opens all the same.
// Each list is read once, for its names and to tell how its bytes show.
bool TForm1::FormCreate() {
    model_->list().setSorted(false);
    ui_->Label4->setToolTip(QStringLiteral("Data folder: %1\nClick or press F1 for the guide.")
                                .arg(QDir::toNativeSeparators(dataFolder_)));
    NameLists lists;
    std::exception_ptr failure;
    {
        qdc::DiskFileSource disk(localPath(dataFolder_));
        qdc::CachingFileSource files(disk);
        try {
            readNameLists(files, lists);
        } catch (...) {
            failure = std::current_exception();
        }
        names_ = NameText(listsAreUtf8(files));
    }
    model_->setNameText(names_);
    fillBoxes(lists);
    if (failure)
        runHandler([&] { std::rethrow_exception(failure); });
    return !failure;
}

void TForm1::fillBoxes(const NameLists& lists) {
    const QStringList monsters = shownNames(lists.monsters, names_);
    for (ChoiceCombo* box : {ui_->MonList, ui_->MonSetList, ui_->UniMonList})
        box->setNames(monsters, box->currentText());
    ui_->ItList->setNames(shownNames(lists.items, names_), ui_->ItList->currentText());
    ui_->BaseSetList->setNames(shownNames(lists.baseSets, names_), ui_->BaseSetList->currentText());
    ui_->UniItemList->setNames(shownNames(lists.uniques, names_), ui_->UniItemList->currentText());
}

void TForm1::MonSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        return qdc::monsterSearch(env, list, boxText(ui_->MonList, names_),
                                  radioDifficulty(ui_->MonNormal, ui_->MonNm, ui_->MonHell));
    });
}

void TForm1::ItSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        return qdc::itemSearch(env, list, boxText(ui_->ItList, names_),
                               checkDifficulties(ui_->ItNormal, ui_->ItNm, ui_->ItHell));
    });
}

void TForm1::UniItemSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        return qdc::uniqueItemSearch(
            env, list, boxText(ui_->UniItemList, names_),
            checkDifficulties(ui_->NormUniCheck, ui_->NmUniCheck, ui_->HellUniCheck),
            magicFindText(ui_->MagicFind));
    });
}

void TForm1::UniMonsterSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        return qdc::uniqueMonsterSearch(
            env, list, boxText(ui_->UniMonList, names_),
            radioDifficulty(ui_->NormUniRadio, ui_->NmUniRadio, ui_->HellUniRadio),
            magicFindText(ui_->MagicFind));
    });
}

void TForm1::SetItSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        return qdc::setItemSearch(
            env, list, boxText(ui_->BaseSetList, names_), boxText(ui_->SetList, names_),
            checkDifficulties(ui_->NormSetCheck, ui_->NmSetCheck, ui_->HellSetCheck),
            magicFindText(ui_->MagicFind));
    });
}

void TForm1::SetMonSearchClick() {
    runSearch([this](const qdc::SearchEnv& env, qdc::ResultList& list) {
        return qdc::setMonsterSearch(
            env, list, boxText(ui_->MonSetList, names_),
            radioDifficulty(ui_->NormSetRadio, ui_->NmSetRadio, ui_->HellSetRadio),
            magicFindText(ui_->MagicFind));
    });
}

void TForm1::BaseSetListClick() {
    qdc::SetItemChoice choice;
    try {
        qdc::DiskFileSource files(localPath(dataFolder_));
        qdc::chooseBaseSet(files, boxText(ui_->BaseSetList, names_), choice);
    } catch (const std::exception& e) {
        showSetItems(choice);
        showError(e);
        return;
    }
    showSetItems(choice);
}

void TForm1::showSetItems(const qdc::SetItemChoice& choice) {
    ui_->SetList->setNames(shownNames(choice.names, names_),
                           choice.showPrompt ? names_.decode(qdc::kSetItemPrompt) : QString());
}

// The selected entries stay selected, in their new text.
void TForm1::Button1Click() {
    std::vector<std::string> selected = ui_->DropList->selectedEntries();
    runHandler([this] { qdc::widenSeparators(model_->list()); });
    model_->refresh();
    widenEntries(selected);
    ui_->DropList->selectEntries(selected);
}

void TForm1::CalcMfClick() {
    runHandler([this] {
        const qdc::RealMagicFind real =
            qdc::realMagicFind(qdc::toInt(magicFindText(ui_->MagicFind)));
        ui_->RUEdit->setText(QString::number(real.unique));
        ui_->RSEdit->setText(QString::number(real.set));
        ui_->RREdit->setText(QString::number(real.rare));
    });
}

void TForm1::openFolder(const QString& folder) {
    dataFolder_ = QDir(folder).absolutePath();
    if (FormCreate())
        rememberFolder(dataFolder_);
}

void TForm1::chooseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Choose the data folder"), dataFolder_);
    if (!folder.isEmpty())
        openFolder(folder);
}

void TForm1::reload() {
    FormCreate();
}

void TForm1::showHelp() {
    HelpViewer::showFor(this);
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

// The list is shown once the search has ended, with its note if it found
// nothing; after an error, with what the search had added, before the error
// box opens over it.
void TForm1::runSearch(const Search& search) {
    qdc::SearchNote note;
    std::exception_ptr failure;
    try {
        qdc::DiskFileSource files(localPath(dataFolder_));
        note = search({files, decimalSeparator_, sortMode(ui_->SortName)}, model_->list());
    } catch (...) {
        failure = std::current_exception();
    }
    model_->refresh();
    ui_->DropList->setNote(note ? names_.decodeMessage(*note) : QString());
    if (failure)
        runHandler([&] { std::rethrow_exception(failure); });
}

void TForm1::showError(const std::exception& error) {
    errors_->show(this, describeError(error, names_, dataFolder_));
}
