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
#include "results/error.h"
#include "search/magicfind.h"
#include "ui_dropunit.h"

#include <QDir>
#include <QFileDialog>
#include <QStringListModel>

#include <exception>

TForm1::TForm1(ErrorBox* errors, char decimalSeparator, const QString& dataFolder, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()), errors_(errors),
      decimalSeparator_(decimalSeparator), dataFolder_(startFolder(dataFolder)),
      model_(new DropListModel(this)), monsterNames_(new QStringListModel(this)),
      searches_(std::make_unique<SearchRunner>()) {
    if (errors_ == nullptr) {
        ownErrors_ = std::make_unique<MessageErrorBox>();
        errors_ = ownErrors_.get();
    }
    setFont(baseCaptionFont());
    ui_->setupUi(this);
    model_->setDecimalSeparator(decimalSeparator_);
    ui_->DropList->setDropModel(model_);
    for (ChoiceCombo* box : findChildren<ChoiceCombo*>())
        box->setPrompt(box->currentText());
    for (ChoiceCombo* box : {ui_->MonList, ui_->MonSetList, ui_->UniMonList}) {
        box->setModel(monsterNames_);
        box->showText(box->prompt());
    }
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
    size->addBelow(ui_->FolderLabel);
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
    showFolder();
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
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            showError(e, true);
        }
    }
    return !failure;
}

// Shown without hovering, below the list; the whole path in its tooltip.
void TForm1::showFolder() {
    const QString folder = QDir::toNativeSeparators(dataFolder_);
    ui_->Label4->setToolTip(
        QStringLiteral("Data folder: %1\nClick or press F1 for the guide.").arg(folder));
    const QString text = QStringLiteral("Data folder: %1").arg(folder);
    ui_->FolderLabel->setText(ui_->FolderLabel->fontMetrics().elidedText(
        text, Qt::ElideMiddle, ui_->FolderLabel->width()));
    ui_->FolderLabel->setToolTip(folder);
}

void TForm1::fillBoxes(const NameLists& lists) {
    // The monster boxes share one list: each keeps its own text.
    const QString setText = ui_->MonSetList->currentText();
    const QString uniText = ui_->UniMonList->currentText();
    ui_->MonList->setNames(shownNames(lists.monsters, names_), ui_->MonList->currentText());
    ui_->MonSetList->showText(setText);
    ui_->UniMonList->showText(uniText);
    ui_->ItList->setNames(shownNames(lists.items, names_), ui_->ItList->currentText());
    ui_->BaseSetList->setNames(shownNames(lists.baseSets, names_), ui_->BaseSetList->currentText());
    ui_->UniItemList->setNames(shownNames(lists.uniques, names_), ui_->UniItemList->currentText());
}

void TForm1::MonSearchClick() {
    const std::string monster = boxText(ui_->MonList, names_);
    const qdc::Difficulty difficulty = radioDifficulty(ui_->MonNormal, ui_->MonNm, ui_->MonHell);
    runSearch({ui_->MonList->currentText(), difficultyList(difficulty), {}},
              [=](const qdc::SearchEnv& env, qdc::ResultList& list) {
                  return qdc::monsterSearch(env, list, monster, difficulty);
              });
}

void TForm1::ItSearchClick() {
    const std::string item = boxText(ui_->ItList, names_);
    const qdc::DifficultySet difficulties =
        checkDifficulties(ui_->ItNormal, ui_->ItNm, ui_->ItHell);
    runSearch({ui_->ItList->currentText(), difficultyList(difficulties), {}},
              [=](const qdc::SearchEnv& env, qdc::ResultList& list) {
                  return qdc::itemSearch(env, list, item, difficulties);
              });
}

void TForm1::UniItemSearchClick() {
    const std::string unique = boxText(ui_->UniItemList, names_);
    const qdc::DifficultySet difficulties =
        checkDifficulties(ui_->NormUniCheck, ui_->NmUniCheck, ui_->HellUniCheck);
    const std::string magicFind = magicFindText(ui_->MagicFind);
    runSearch(
        {ui_->UniItemList->currentText(), difficultyList(difficulties), ui_->MagicFind->text()},
        [=](const qdc::SearchEnv& env, qdc::ResultList& list) {
            return qdc::uniqueItemSearch(env, list, unique, difficulties, magicFind);
        });
}

void TForm1::UniMonsterSearchClick() {
    const std::string monster = boxText(ui_->UniMonList, names_);
    const qdc::Difficulty difficulty =
        radioDifficulty(ui_->NormUniRadio, ui_->NmUniRadio, ui_->HellUniRadio);
    const std::string magicFind = magicFindText(ui_->MagicFind);
    runSearch({ui_->UniMonList->currentText(), difficultyList(difficulty), ui_->MagicFind->text()},
              [=](const qdc::SearchEnv& env, qdc::ResultList& list) {
                  return qdc::uniqueMonsterSearch(env, list, monster, difficulty, magicFind);
              });
}

void TForm1::SetItSearchClick() {
    const std::string baseSet = boxText(ui_->BaseSetList, names_);
    const std::string setItem = boxText(ui_->SetList, names_);
    const qdc::DifficultySet difficulties =
        checkDifficulties(ui_->NormSetCheck, ui_->NmSetCheck, ui_->HellSetCheck);
    const std::string magicFind = magicFindText(ui_->MagicFind);
    runSearch({ui_->SetList->currentText(), difficultyList(difficulties), ui_->MagicFind->text()},
              [=](const qdc::SearchEnv& env, qdc::ResultList& list) {
                  return qdc::setItemSearch(env, list, baseSet, setItem, difficulties, magicFind);
              });
}

void TForm1::SetMonSearchClick() {
    const std::string monster = boxText(ui_->MonSetList, names_);
    const qdc::Difficulty difficulty =
        radioDifficulty(ui_->NormSetRadio, ui_->NmSetRadio, ui_->HellSetRadio);
    const std::string magicFind = magicFindText(ui_->MagicFind);
    runSearch({ui_->MonSetList->currentText(), difficultyList(difficulty), ui_->MagicFind->text()},
              [=](const qdc::SearchEnv& env, qdc::ResultList& list) {
                  return qdc::setMonsterSearch(env, list, monster, difficulty, magicFind);
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

// Off the window's thread, as a search; the selected entries stay selected,
// in their new text.
void TForm1::Button1Click() {
    std::vector<std::string> selected = ui_->DropList->selectedEntries();
    widenEntries(selected);
    searches_->rewrite(model_->entries(), qdc::widenSeparators,
                       [this, selected = std::move(selected)](SearchAnswer& answer) {
                           if (answer.failure)
                               return runHandler([&] { std::rethrow_exception(answer.failure); });
                           model_->setAnswer(std::move(answer.list));
                           ui_->DropList->selectEntries(selected);
                       });
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

// A folder without "Normal" is refused; the data shown stays.
void TForm1::chooseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Choose the data folder"), dataFolder_);
    if (folder.isEmpty())
        return;
    if (hasNormalFolder(folder)) {
        openFolder(folder);
        return;
    }
    errors_->show(
        this,
        {QStringLiteral("%1 is no data folder: it has no \"Normal\" folder.")
             .arg(QDir::toNativeSeparators(folder)),
         QStringLiteral("The data of %1 stays open.").arg(QDir::toNativeSeparators(dataFolder_)),
         {},
         {}});
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

// The list is filled once, when the search has ended: with its entries, or
// after an error with those found before it, shown before the error box
// opens over them.
void TForm1::runSearch(const SearchQuestion& question, Search search) {
    searches_->start(localPath(dataFolder_), decimalSeparator_,
                     sortMode(ui_->SortName, ui_->SortHighest), std::move(search),
                     [this, question](SearchAnswer& answer) { showAnswer(question, answer); });
}

bool TForm1::searching() const {
    return searches_->running();
}

void TForm1::showAnswer(const SearchQuestion& question, SearchAnswer& answer) {
    model_->setAnswer(std::move(answer.list));
    QStringList notes;
    if (answer.note)
        notes.append(names_.decodeMessage(*answer.note));
    if (answer.failure) {
        try {
            std::rethrow_exception(answer.failure);
        } catch (const qdc::DropError& e) {
            const auto& where = e.location();
            notes.append(where ? stoppedText(names_.decode(where->path), where->line)
                               : stoppedText({}, 0));
        } catch (...) {
            notes.append(stoppedText({}, 0));
        }
    }
    ui_->DropList->setBanner(headingText(question, model_->rowCount()), notes, question.name);
    if (answer.failure)
        runHandler([&] { std::rethrow_exception(answer.failure); });
}

void TForm1::showError(const std::exception& error, bool offerFolder) {
    ErrorReport report = describeError(error, names_, dataFolder_);
    if (offerFolder)
        report.chooseFolder = [this] { chooseFolder(); };
    errors_->show(this, report);
}
