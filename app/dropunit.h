#pragma once

#include "data/difficulty.h"
#include "results/entry.h"
#include "results/resultlist.h"
#include "search/searches.h"

#include <QAbstractListModel>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QTabWidget;

// How the window shows an error. The program uses the standard error box;
// tests put in one that records the messages.
class ErrorBox {
  public:
    virtual ~ErrorBox() = default;
    virtual void show(QWidget* parent, const QString& message) = 0;
};

// The standard error box: error icon, the program's title as caption.
class MessageErrorBox final : public ErrorBox {
  public:
    void show(QWidget* parent, const QString& message) override;
};

// The entries of the result list, as the list view shows them. Where a sorted
// list places an entry is decided by the core (sortedInsertPosition), so that
// the window orders exactly as the command-line tool does. Entries are
// single-byte text.
class DropListModel final : public QAbstractListModel, public qdc::ResultList {
    Q_OBJECT
  public:
    DropListModel(QLabel* nameLabel, QLabel* dropLabel, QObject* parent = nullptr);

    // qdc::ResultList
    void setSorted(bool on) override { sorted_ = on; }
    void clear() override;
    int count() const override { return static_cast<int>(entries_.size()); }
    const std::string& at(int index) const override {
        return entries_.at(static_cast<std::size_t>(index));
    }
    void removeAt(int index) override;
    void add(const std::string& entry) override;
    void setLabels(const std::string& nameLabel, const std::string& dropLabel) override;

    // QAbstractListModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    bool sorted() const { return sorted_; }
    const std::vector<std::string>& entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
    bool sorted_ = false;
    QLabel* nameLabel_;
    QLabel* dropLabel_;
};

// The decimal separator of the user's locale; "." when the locale's is not a
// single Latin-1 character.
char localeDecimalSeparator();

inline const QString kWindowTitle = QStringLiteral("Quarnhold Drop Calculator");

// The main window. Creating it reads the list files of the current directory
// into the selection boxes (FormCreate); every later action is a click handler.
class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // `errors` shows the errors of the handlers (the standard error box when
    // null); it must outlive the window. `decimalSeparator` is the one every
    // search and conversion uses.
    explicit TForm1(ErrorBox* errors = nullptr, char decimalSeparator = localeDecimalSeparator(),
                    QWidget* parent = nullptr);
    ~TForm1() override;

    DropListModel* dropListModel() const { return dropListModel_; }
    char decimalSeparator() const { return decimalSeparator_; }

    // Controls directly on the window.
    QLabel* NameLabel;
    QLabel* DropLabel;
    QLabel* Label4;
    QListView* DropList;
    QTabWidget* ItemTab;
    QGroupBox* MfBox;
    QGroupBox* GroupBox2;
    QPushButton* Button1;

    // Page "Normal Items".
    QWidget* NormalTab;
    QLabel* MonLabel;
    QLabel* ItLabel;
    QLabel* NormLabel;
    QLabel* NmLabel;
    QLabel* HellLabel;
    QComboBox* MonList;
    QRadioButton* MonNormal;
    QRadioButton* MonNm;
    QRadioButton* MonHell;
    QPushButton* MonSearch;
    QComboBox* ItList;
    QCheckBox* ItNormal;
    QCheckBox* ItNm;
    QCheckBox* ItHell;
    QPushButton* ItSearch;

    // Page "Set Items".
    QWidget* SetTab;
    QLabel* BaseLabel;
    QLabel* SetLabel;
    QLabel* MonSetLabel;
    QLabel* NormSetLabel;
    QLabel* NmSetLabel;
    QLabel* HellSetLabel;
    QComboBox* BaseSetList;
    QComboBox* SetList;
    QCheckBox* NormSetCheck;
    QCheckBox* NmSetCheck;
    QCheckBox* HellSetCheck;
    QPushButton* SetItSearch;
    QComboBox* MonSetList;
    QRadioButton* NormSetRadio;
    QRadioButton* NmSetRadio;
    QRadioButton* HellSetRadio;
    QPushButton* SetMonSearch;

    // Page "Unique Items".
    QWidget* UniTab;
    QLabel* UniMonLabel;
    QLabel* UniItemLabel;
    QLabel* NormUniLabel;
    QLabel* NmUniLabel;
    QLabel* HellUniLabel;
    QComboBox* UniMonList;
    QRadioButton* NormUniRadio;
    QRadioButton* NmUniRadio;
    QRadioButton* HellUniRadio;
    QPushButton* UniMonsterSearch;
    QComboBox* UniItemList;
    QCheckBox* NormUniCheck;
    QCheckBox* NmUniCheck;
    QCheckBox* HellUniCheck;
    QPushButton* UniItemSearch;

    // Group box "Magic Find".
    QLabel* MfLabel;
    QLineEdit* MagicFind;
    QPushButton* CalcMf;
    QLabel* RULabel;
    QLabel* RSLabel;
    QLabel* RRLabel;
    QLineEdit* RUEdit;
    QLineEdit* RSEdit;
    QLineEdit* RREdit;

    // Group box "Sort by...".
    QRadioButton* SortName;
    QRadioButton* SortChance;

    // The radio groups, one selected button each.
    QButtonGroup* MonGroup;
    QButtonGroup* SetMonGroup;
    QButtonGroup* UniMonGroup;
    QButtonGroup* SortGroup;

  public slots:
    void MonSearchClick();
    void ItSearchClick();
    void UniItemSearchClick();
    void UniMonsterSearchClick();
    void SetItSearchClick();
    void SetMonSearchClick();
    void BaseSetListClick();
    void Button1Click();
    void CalcMfClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void createControls();
    void connectHandlers();
    void FormCreate();
    // Puts the set items of a base-set choice into SetList.
    void showSetItems(const qdc::SetItemChoice& choice);

    // Runs a handler's work; an error ends it and is shown in the error box.
    void runHandler(const std::function<void()>& work);
    // Runs a search on the data files of the current directory into DropList.
    void runSearch(const std::function<void(const qdc::SearchEnv&, qdc::ResultList&)>& search);
    void showError(const std::exception& error);

    std::string dataDirectory() const;
    qdc::SortMode sortMode() const;
    // Keeps the outer size at the window's size once the frame is known.
    void fitOuterSize();

    std::unique_ptr<ErrorBox> ownErrors_;
    ErrorBox* errors_;
    char decimalSeparator_;
    DropListModel* dropListModel_ = nullptr;
    bool outerSizeFitted_ = false;
    bool baseSetTyped_ = false; // BaseSetList is ending a typed text
};
