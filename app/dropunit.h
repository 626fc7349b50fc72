#pragma once

#include "app/errorbox.h"
#include "app/formvalues.h"
#include "app/nametext.h"
#include "app/searchrunner.h"
#include "search/catalogue.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Ui {
class TForm1;
}
class CheckLine;
class DataCheck;
class DataWatch;
class DropListModel;
class QAbstractButton;
class QAction;
class QComboBox;
class QModelIndex;
class QStandardItemModel;
class QStringListModel;
struct NameLists;

inline const QString kWindowTitle = QStringLiteral("Quarnhold Drop Calculator");

// The main window. Creating it reads the list files of the data folder into
// the selection boxes (FormCreate); every later action is a handler of a
// control, a key or a menu.
class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // `dataFolder` is the folder named on the command line, or empty (see
    // startFolder()). `errors` shows the errors of the handlers (the standard
    // error box when null); it must outlive the window. `decimalSeparator` is
    // the one every search and conversion uses.
    explicit TForm1(ErrorBox* errors = nullptr, char decimalSeparator = localeDecimalSeparator(),
                    const QString& dataFolder = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    const QString& dataFolder() const { return dataFolder_; }
    // Runs `search` for `request` on the files of the data folder, off the
    // window's thread; its answer replaces the result list when it ends,
    // under the heading and notes the core gives for it. A search still
    // running is cancelled.
    // `firstNotes` stand before the notes of the answer.
    void runSearch(const qdc::SearchKind& search, qdc::SearchRequest request,
                   const QStringList& firstNotes = {});
    bool searching() const;

  public slots: // NOLINT(readability-redundant-access-specifiers): moc needs the keyword
    void MonSearchClick();
    void ItSearchClick();
    void UniItemSearchClick();
    void UniMonsterSearchClick();
    void SetItSearchClick();
    void SetMonSearchClick();
    void BaseSetListClick();
    void Button1Click();
    void CalcMfClick();
    // Reads the lists of `folder` as the start-up does, and remembers it once
    // they are read.
    void openFolder(const QString& folder);
    // Runs the search of the answer shown on another data folder, chosen in a
    // dialog, and shows what changes there.
    void compareWithFolder();
    void chooseFolder();
    void reload();
    void showHelp();
    // Checks the data folder off the window's thread; the line under the
    // list tells what was found.
    void checkFolder();

  protected:
    // The choices made are kept for the next start.
    void closeEvent(QCloseEvent* event) override;

  private:
    // The controls that ask one search of the catalogue: its name boxes, in
    // the order of its inputs, and its difficulty buttons, Normal first
    // (radio buttons for a search of one difficulty, check boxes otherwise).
    struct SearchControls {
        std::string_view command;
        std::vector<const QComboBox*> boxes;
        std::array<const QAbstractButton*, 3> difficulties;
    };
    std::vector<SearchControls> searchControls() const;
    // Runs the search of `command` as its controls ask it.
    void searchFromControls(std::string_view command);

    void connectHandlers();
    void connectKeys();
    // The line under the list for the check of the data folder, and the
    // watch of the files the search shown has read (checkwiring.cpp).
    void setUpDataCheck();
    // Watches the files `answer` read, to run its search again when they
    // change.
    void watchAnswer(const qdc::SearchKind& search, const qdc::SearchRequest& request,
                     QStringList firstNotes, const SearchAnswer& answer);
    // Another folder is opened: its check is yet to come, nothing is watched.
    void leaveFolder();
    // True when every list was read.
    bool FormCreate();
    void fillBoxes(const NameLists& lists);
    void showSetItems(const qdc::SetItemChoice& choice);
    // A set item picked from the set item box's completion, which offers
    // every set item with its base set: the base set is chosen, if another
    // is, and the set item searched for.
    void chooseSetMember(const QModelIndex& member);
    // Runs a handler's work; an error ends it and is shown in the error box.
    void runHandler(const std::function<void()>& work);
    // `offerFolder`: the box offers to choose another data folder.
    void showError(const std::exception& error, bool offerFolder = false);
    void showAnswer(const qdc::SearchKind& search, const qdc::SearchRequest& request,
                    const QStringList& firstNotes, SearchAnswer& answer);
    // The box whose name the note of `command` is about.
    const QComboBox* suggestionBox(std::string_view command, const qdc::SearchNote& note) const;
    // Puts suggestion `index` of the note shown in the box it names, and
    // searches again.
    void searchSuggestion(int index);
    void showFolder();
    // Empties the list, its heading and notes, and stops a running search.
    void clearAnswer();

    std::unique_ptr<Ui::TForm1> ui_;
    std::unique_ptr<ErrorBox> ownErrors_;
    ErrorBox* errors_;
    char decimalSeparator_;
    QString dataFolder_;
    NameText names_;
    DropListModel* model_;
    QStringListModel* monsterNames_; // shared by the three monster boxes
    QStandardItemModel* setMembers_; // every set item with its base set
    std::unique_ptr<SearchRunner> searches_;
    std::vector<SearchControls> searchControls_;
    // The search of the answer shown, and the names its note suggests (as
    // the data holds them) for the box they belong in.
    std::string shownCommand_;
    const qdc::SearchKind* shownSearch_ = nullptr;
    QAction* compare_ = nullptr;
    qdc::SearchRequest shownRequest_;
    std::vector<std::string> suggested_;
    const QComboBox* suggestedFor_ = nullptr;
    CheckLine* checkLine_ = nullptr;
    DataCheck* checks_ = nullptr;
    DataWatch* watch_ = nullptr;
};
