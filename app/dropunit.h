#pragma once

#include "app/errorbox.h"
#include "app/formvalues.h"
#include "app/nametext.h"
#include "search/searches.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace Ui {
class TForm1;
}
class DropListModel;
struct NameLists;

inline const QString kWindowTitle = QStringLiteral("Quarnhold Drop Calculator");

// The main window. Creating it reads the list files of the data folder into
// the selection boxes (FormCreate); every later action is a handler of a
// control, a key or a menu.
class TForm1 : public QWidget {
    Q_OBJECT
  public:
    using Search = std::function<qdc::SearchNote(const qdc::SearchEnv&, qdc::ResultList&)>;

    // `dataFolder` is the folder named on the command line, or empty (see
    // startFolder()). `errors` shows the errors of the handlers (the standard
    // error box when null); it must outlive the window. `decimalSeparator` is
    // the one every search and conversion uses.
    explicit TForm1(ErrorBox* errors = nullptr, char decimalSeparator = localeDecimalSeparator(),
                    const QString& dataFolder = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    const QString& dataFolder() const { return dataFolder_; }
    // Runs a search on the files of the data folder into the result list.
    void runSearch(const Search& search);

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
    void chooseFolder();
    void reload();
    void showHelp();

  private:
    void connectHandlers();
    void connectKeys();
    // True when every list was read.
    bool FormCreate();
    void fillBoxes(const NameLists& lists);
    void showSetItems(const qdc::SetItemChoice& choice);
    // Runs a handler's work; an error ends it and is shown in the error box.
    void runHandler(const std::function<void()>& work);
    void showError(const std::exception& error);

    std::unique_ptr<Ui::TForm1> ui_;
    std::unique_ptr<ErrorBox> ownErrors_;
    ErrorBox* errors_;
    char decimalSeparator_;
    QString dataFolder_;
    NameText names_;
    DropListModel* model_;
};
