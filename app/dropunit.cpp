#include "app/dropunit.h"

#include "app/accessiblenames.h"
#include "app/captionfont.h"
#include "app/checkline.h"
#include "app/choicecombo.h"
#include "app/comparefolder.h"
#include "app/datafolder.h"
#include "app/droplistmodel.h"
#include "app/formvalues.h"
#include "app/helpviewer.h"
#include "app/namelists.h"
#include "app/remembered.h"
#include "app/windowsize.h"
#include "data/diskfilesource.h"
#include "data/encoding.h"
#include "results/answer.h"
#include "results/convert.h"
#include "results/error.h"
#include "search/magicfind.h"
#include "search/notes.h"
#include "ui_dropunit.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QStandardItemModel>
#include <QStringListModel>

#include <algorithm>
#include <exception>
#include <optional>

namespace {

// The roles of a row of the set item completion.
constexpr int kSetItemRole = Qt::UserRole + 1;
constexpr int kBaseSetRole = Qt::UserRole + 2;

} // namespace

TForm1::TForm1(ErrorBox* errors, char decimalSeparator, const QString& dataFolder, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()), errors_(errors),
      decimalSeparator_(decimalSeparator), dataFolder_(startFolder(dataFolder)),
      model_(new DropListModel(this)), monsterNames_(new QStringListModel(this)),
      setMembers_(new QStandardItemModel(this)), searches_(std::make_unique<SearchRunner>()) {
    if (errors_ == nullptr) {
        ownErrors_ = std::make_unique<MessageErrorBox>();
        errors_ = ownErrors_.get();
    }
    setFont(baseCaptionFont());
    ui_->setupUi(this);
    setUpDataCheck();
    ui_->DropList->setDropModel(model_);
    nameControls(*this);
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
    size->addBelow(checkLine_);
    searchControls_ = searchControls();
    connectHandlers();
    connectKeys();
    restoreChoices(*this);
    if (FormCreate() && !dataFolder.isEmpty())
        rememberFolder(dataFolder_);
}

TForm1::~TForm1() = default;

void TForm1::closeEvent(QCloseEvent* event) {
    keepChoices(*this);
    QWidget::closeEvent(event);
}

// Start-up: the Normal monster list and the three top-level lists fill the
// selection boxes. A list file that cannot be read ends the reading there;
// the lists keep what was read so far and the window opens all the same.
// Each list is read once, for its names and to tell how its bytes show.
bool TForm1::FormCreate() {
    model_->list().setSorted(false);
    showFolder();
    checkFolder();
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
        names_ = NameText(qdc::listsAreUtf8(files));
    }
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
    for (const auto* names : {&lists.monsters, &lists.items, &lists.baseSets, &lists.uniques})
        names_.offer(*names);
    ui_->MonList->setNames(shownNames(lists.monsters), ui_->MonList->currentText());
    ui_->MonSetList->showText(setText);
    ui_->UniMonList->showText(uniText);
    ui_->ItList->setNames(shownNames(lists.items), ui_->ItList->currentText());
    ui_->BaseSetList->setNames(shownNames(lists.baseSets), ui_->BaseSetList->currentText());
    ui_->UniItemList->setNames(shownNames(lists.uniques), ui_->UniItemList->currentText());
    setMembers_->clear();
    for (const qdc::SetMember& member : lists.setMembers) {
        const QString setItem = NameText::decode(member.setItem);
        const QString baseSet = NameText::decode(member.baseSet);
        auto* row = new QStandardItem(QStringLiteral("%1 \u2014 %2").arg(setItem, baseSet));
        row->setData(setItem, kSetItemRole);
        row->setData(baseSet, kBaseSetRole);
        row->setToolTip(QStringLiteral("%1, of the base set %2").arg(setItem, baseSet));
        setMembers_->appendRow(row);
    }
}

void TForm1::chooseSetMember(const QModelIndex& member) {
    const QString baseSet = member.data(kBaseSetRole).toString();
    if (ui_->BaseSetList->currentText() != baseSet) {
        ui_->BaseSetList->showText(baseSet);
        BaseSetListClick();
    }
    ui_->SetList->showText(member.data(kSetItemRole).toString());
    ui_->SetList->enter();
}

namespace {

// Searching with a box's prompt showing: "[select a monster]" asks to
// "choose a monster first".
QString promptNote(const ChoiceCombo& box) {
    const QString& prompt = box.prompt();
    const QString start = QStringLiteral("[select ");
    if (prompt.isEmpty() || box.currentText() != prompt || !prompt.startsWith(start) ||
        !prompt.endsWith(']'))
        return {};
    return QStringLiteral("choose %1 first")
        .arg(prompt.mid(start.size(), prompt.size() - start.size() - 1));
}

} // namespace

// Which controls ask each search. Each handler runs its search of the
// catalogue through them.
std::vector<TForm1::SearchControls> TForm1::searchControls() const {
    const Ui::TForm1& u = *ui_;
    return {
        {"monster", {u.MonList}, {u.MonNormal, u.MonNm, u.MonHell}},
        {"item", {u.ItList}, {u.ItNormal, u.ItNm, u.ItHell}},
        {"unique-item", {u.UniItemList}, {u.NormUniCheck, u.NmUniCheck, u.HellUniCheck}},
        {"unique-monster", {u.UniMonList}, {u.NormUniRadio, u.NmUniRadio, u.HellUniRadio}},
        {"set-item", {u.BaseSetList, u.SetList}, {u.NormSetCheck, u.NmSetCheck, u.HellSetCheck}},
        {"set-monster", {u.MonSetList}, {u.NormSetRadio, u.NmSetRadio, u.HellSetRadio}},
    };
}

void TForm1::MonSearchClick() {
    searchFromControls("monster");
}

void TForm1::ItSearchClick() {
    searchFromControls("item");
}

void TForm1::UniItemSearchClick() {
    searchFromControls("unique-item");
}

void TForm1::UniMonsterSearchClick() {
    searchFromControls("unique-monster");
}

void TForm1::SetItSearchClick() {
    searchFromControls("set-item");
}

void TForm1::SetMonSearchClick() {
    searchFromControls("set-monster");
}

void TForm1::searchFromControls(std::string_view command) {
    const qdc::SearchKind* search = qdc::findSearch(command);
    const auto controls =
        std::find_if(searchControls_.begin(), searchControls_.end(),
                     [command](const SearchControls& row) { return row.command == command; });
    if (search == nullptr || controls == searchControls_.end())
        return;
    qdc::SearchRequest request;
    QStringList firstNotes;
    for (const QComboBox* box : controls->boxes) {
        request.names.push_back(boxText(box, names_));
        if (const auto* choice = qobject_cast<const ChoiceCombo*>(box))
            if (const QString note = promptNote(*choice); !note.isEmpty())
                firstNotes.append(note);
    }
    request.difficulties = chosenDifficulties(controls->difficulties, search->oneDifficulty);
    if (search->readsMagicFind)
        request.magicFind = magicFindText(ui_->MagicFind);
    runSearch(*search, std::move(request), firstNotes);
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
    names_.offer(choice.names);
    ui_->SetList->setNames(shownNames(choice.names),
                           choice.showPrompt ? NameText::decode(qdc::kSetItemPrompt) : QString());
}

// Off the window's thread, as a search; the selected entries stay selected,
// in their new text.
void TForm1::Button1Click() {
    const std::vector<qdc::EntryParts> selected = ui_->DropList->selectedParts();
    searches_->rewrite(model_->entries(), qdc::widenSeparators,
                       [this, selected](SearchAnswer& answer) {
                           if (answer.failure)
                               return runHandler([&] { std::rethrow_exception(answer.failure); });
                           model_->setAnswer(std::move(answer.list));
                           ui_->DropList->selectParts(selected);
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

// The answer shown was the old folder's: it goes with it.
void TForm1::openFolder(const QString& folder) {
    dataFolder_ = QDir(folder).absolutePath();
    leaveFolder();
    clearAnswer();
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
        {notDataFolderText(folder),
         QStringLiteral("The data of %1 stays open.").arg(QDir::toNativeSeparators(dataFolder_)),
         {},
         {}});
}

// The answer shown stays; the other folder's goes into the comparison only.
void TForm1::compareWithFolder() {
    if (shownSearch_ == nullptr)
        return;
    const QString other = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Compare with the data folder"), dataFolder_);
    if (other.isEmpty())
        return;
    if (!hasNormalFolder(other)) {
        errors_->show(this, {notDataFolderText(other), {}, {}, {}});
        return;
    }
    auto work = [run = shownSearch_->run, request = shownRequest_](const qdc::SearchEnv& env,
                                                                   qdc::ResultList& list) {
        return run(env, list, request);
    };
    searches_->start(localPath(other), decimalSeparator_, sortMode(ui_->SortName, ui_->SortHighest),
                     std::move(work),
                     [this, here = model_->entries().allParts(), heading = ui_->DropList->heading(),
                      other](SearchAnswer& answer) {
                         if (answer.failure)
                             return errors_->show(this, describeError(answer.failure, other));
                         showComparison(this, heading, other,
                                        qdc::diffEntries(here, answer.list.allParts()));
                     });
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
void TForm1::runSearch(const qdc::SearchKind& search, qdc::SearchRequest request,
                       const QStringList& firstNotes) {
    auto work = [run = search.run, request](const qdc::SearchEnv& env, qdc::ResultList& list) {
        return run(env, list, request);
    };
    searches_->start(
        localPath(dataFolder_), decimalSeparator_, sortMode(ui_->SortName, ui_->SortHighest),
        std::move(work),
        [this, search, firstNotes, request = std::move(request)](SearchAnswer& answer) {
            showAnswer(search, request, firstNotes, answer);
            watchAnswer(search, request, firstNotes, answer);
        });
}

void TForm1::clearAnswer() {
    searches_->cancelRunning();
    shownSearch_ = nullptr;
    compare_->setEnabled(false);
    model_->setAnswer(qdc::MemoryResultList());
    suggested_.clear();
    suggestedFor_ = nullptr;
    ui_->DropList->setBanner({}, {}, {}, {});
}

bool TForm1::searching() const {
    return searches_->running();
}

// The notes in the order the tool tells them: the one of a chance over
// 100 %, the search's own, and the error that stopped it.
void TForm1::showAnswer(const qdc::SearchKind& search, const qdc::SearchRequest& request,
                        const QStringList& firstNotes, SearchAnswer& answer) {
    model_->setAnswer(std::move(answer.list));
    QStringList notes = firstNotes;
    shownCommand_ = search.command;
    shownSearch_ = qdc::findSearch(search.command); // the catalogue's, which stays
    shownRequest_ = request;
    compare_->setEnabled(true);
    suggested_ = answer.note.suggestions;
    suggestedFor_ = suggestionBox(search.command, answer.note);
    if (const auto over = qdc::overHundredNote(model_->entries()))
        notes.append(NameText::decode(*over));
    if (answer.note)
        notes.append(NameText::decode(*answer.note));
    std::optional<ErrorReport> report;
    if (answer.failure) {
        report = describeError(answer.failure, dataFolder_);
        notes.append(NameText::decode(qdc::stoppedNote(report->description)));
    }
    const std::string heading = qdc::answerHeading(search, request, model_->rowCount());
    ui_->DropList->setBanner(NameText::decode(heading), notes,
                             request.names.empty() ? QString()
                                                   : NameText::decode(request.names.back()),
                             suggestedFor_ != nullptr ? shownNames(suggested_) : QStringList());
    if (report)
        errors_->show(this, *report);
}

const QComboBox* TForm1::suggestionBox(std::string_view command,
                                       const qdc::SearchNote& note) const {
    const auto controls =
        std::find_if(searchControls_.begin(), searchControls_.end(),
                     [command](const SearchControls& row) { return row.command == command; });
    if (note.suggestions.empty() || controls == searchControls_.end() ||
        note.input >= controls->boxes.size())
        return nullptr;
    return controls->boxes[note.input];
}

void TForm1::searchSuggestion(int index) {
    if (suggestedFor_ == nullptr || index < 0 ||
        static_cast<std::size_t>(index) >= suggested_.size())
        return;
    auto* box = findChild<QComboBox*>(suggestedFor_->objectName());
    if (box == nullptr)
        return;
    const std::string name = suggested_[static_cast<std::size_t>(index)];
    names_.offer({name});
    if (auto* choice = qobject_cast<ChoiceCombo*>(box))
        choice->showText(NameText::decode(name));
    else
        box->setEditText(NameText::decode(name));
    // Choosing a base set fills the set-item box anew; the set item that
    // was asked for stays in it.
    if (box == ui_->BaseSetList) {
        const QString setItem = ui_->SetList->currentText();
        BaseSetListClick();
        ui_->SetList->showText(setItem);
    }
    searchFromControls(shownCommand_);
}

void TForm1::showError(const std::exception& error, bool offerFolder) {
    ErrorReport report = describeError(error, dataFolder_);
    if (offerFolder)
        report.chooseFolder = [this] { chooseFolder(); };
    // A folder that is no data folder at all: that first, in plain words,
    // over the message of the file that could not be read.
    if (offerFolder && !hasNormalFolder(dataFolder_)) {
        report.place = report.message + '\n' + report.place;
        report.message = notDataFolderText(dataFolder_);
    }
    errors_->show(this, report);
}
