// What a player does around the searches: keys, completion, copying and
// saving the list, switching the data folder, the guide, UTF-8 names and the
// error box.

#include "app_test_helpers.h"

#include "app/choicecombo.h"
#include "app/datacheck.h"
#include "app/errorbox.h"
#include "app/helpviewer.h"
#include "results/error.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QFileDialog>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>

#include <functional>

namespace {

// The three lists besides the monster list, each with one name.
const std::initializer_list<std::pair<QString, QByteArray>> kOtherLists = {
    {"itemlist.txt", "Cap,0\n"}, {"setlist.txt", ":Alpha,1\n"}, {"unilist.txt", "Fang,Cap:05\n"}};

DataFolder* withLists(DataFolder* folder) {
    for (const auto& [path, bytes] : kOtherLists)
        folder->write(path, bytes);
    return folder;
}

const QString kLong = "Ancient Horror of the Qarnx Deep Vaults";

DataFolder* makeData() {
    return withLists(new DataFolder({
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nCavern Bat:bat.txt,1\n"
                                   "Ancient Horror of Qarnx Deeps:lurker.txt,1\n"},
        {"Normal/lurker.txt", "Gold:1\nCap:0.25\nRing:0.05\n"},
        {"Normal/bat.txt", kLong.toLatin1() + ":0.5\n"},
    }));
}

// Answers the next file dialog with `path` (and the name filter that
// contains `filter`, if any).
void answerFileDialog(const QString& path, const QString& filter = {}) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        for (const QString& f : dialog->nameFilters())
            if (!filter.isEmpty() && f.contains(filter))
                dialog->selectNameFilter(f);
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        isolateSettings();
        // The widget dialogs, which a test can answer.
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    void init() {
        data_.reset(makeData());
        form_ = std::make_unique<TForm1>(&errors_, '.');
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void cleanup() {
        form_.reset();
        data_.reset();
        QCOMPARE(errors_.messages, QStringList());
    }

    void enterRunsTheRowOrPressesTheButton();
    void tabFollowsReadingOrder();
    void completionOffersContainedNames();
    void setItemCompletionChoosesItsSet();
    void dropDownShowsWholeNames();
    void dropDownFollowsTheBoxFont();
    void copySelectedAndAll();
    void saveAsTextAndCsv();
    void separatorKeepsSelection();
    void longEntryKeepsItsEndsInView();
    void noteOverEmptyList();
    void entriesShownUnderTheErrorBox();
    void compareWithFolderListsTheChanges();
    void folderGivenChosenReloadedRemembered();
    void helpOpensTheGuide();
    void utf8Names();
    void errorReports_data();
    void errorReports();
    void errorBoxCaptionFits();
    void programOptions();

  private:
    std::unique_ptr<DataFolder> data_;
    CapturingErrorBox errors_;
    std::unique_ptr<TForm1> form_;
};

void WindowTest::enterRunsTheRowOrPressesTheButton() {
    TForm1& form = *form_;
    auto* monsters = ctl<QComboBox>(form, "MonList");
    monsters->setEditText("Cave Lurker");
    QTest::keyClick(monsters, Qt::Key_Return);
    waitForSearch(form);
    QCOMPARE(shownEntries(form), QStringList({"100=Gold", "25=Cap", "5=Ring"}));

    ctl<QLineEdit>(form, "MagicFind")->setText("200");
    QTest::keyClick(ctl<QLineEdit>(form, "MagicFind"), Qt::Key_Enter);
    QCOMPARE(ctl<QLineEdit>(form, "RUEdit")->text(), "171");

    auto* separator = ctl<QPushButton>(form, "Button1");
    separator->setFocus();
    QTest::keyClick(separator, Qt::Key_Return);
    waitForSearch(form);
    QCOMPARE(shownEntries(form).first(), "100" + QString(10, ' ') + "Gold");
}

void WindowTest::tabFollowsReadingOrder() {
    TForm1& form = *form_;
    ctl<QTabWidget>(form, "ItemTab")->setCurrentIndex(0);
    ctl<QComboBox>(form, "MonList")->setFocus();
    // The check of the folder has ended; the button of its line, when shown,
    // comes after the list's.
    QTRY_VERIFY(!form.findChild<DataCheck*>()->running());
    QStringList expected = {"MonNormal",
                            "MonSearch",
                            "ItList",
                            "ItNormal",
                            "ItNm",
                            "ItHell",
                            "ItSearch",
                            "SortChance",
                            "MagicFind",
                            "CalcMf",
                            "DropList",
                            "Button1",
                            "qt_tabwidget_tabbar",
                            "MonList"};
    if (ctl<QWidget>(form, "CheckShow")->isVisible())
        expected.insert(12, QStringLiteral("CheckShow"));
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, expected);
    for (const char* name : {"RUEdit", "RSEdit", "RREdit"}) {
        QCOMPARE(ctl<QLineEdit>(form, name)->focusPolicy(), Qt::ClickFocus);
        QVERIFY(ctl<QLineEdit>(form, name)->isReadOnly());
    }
}

void WindowTest::completionOffersContainedNames() {
    auto* box = ctl<QComboBox>(*form_, "MonList");
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "cav");
    auto* names = form_->findChild<QCompleter*>("MonListNames");
    QTRY_VERIFY(names->popup()->isVisible());
    QStringList offered;
    for (int row = 0; names->setCurrentRow(row); ++row)
        offered.append(names->currentCompletion());
    QCOMPARE(offered, QStringList({"Cave Lurker", "Cavern Bat"}));
    QCOMPARE(names->popup()->font(), box->font());
    // Moving through the suggestions leaves the typed text; picking one sets it.
    QTest::keyClick(names->popup(), Qt::Key_Down);
    QTest::keyClick(names->popup(), Qt::Key_Down);
    QCOMPARE(box->currentText(), "cav");
    QTest::keyClick(names->popup(), Qt::Key_Return);
    QCOMPARE(box->currentText(), "Cavern Bat");
}

// The set item box offers every set item with its set, found by either;
// picking one chooses its set and searches.
void WindowTest::setItemCompletionChoosesItsSet() {
    data_->write("setlist.txt",
                 ":Alpha,1\nAlpha Cap,Cap,3\n:Beta,2\nBeta Cap,Cap,3\nDusk Cowl,Cap,2\n");
    data_->write("Normal/levels.txt",
                 "Cave Lurker:30\nCavern Bat:10\nAncient Horror of Qarnx Deeps:40\n");
    QTest::keyClick(form_.get(), Qt::Key_F5);
    auto* box = ctl<QComboBox>(*form_, "SetList");
    const struct {
        QString typed;
        QStringList offered;
    } rows[] = {
        {"cap", {"Alpha Cap \u2014 Alpha", "Beta Cap \u2014 Beta"}},
        {"beta", {"Beta Cap \u2014 Beta", "Dusk Cowl \u2014 Beta"}},
        {"cowl", {"Dusk Cowl \u2014 Beta"}},
    };
    QCompleter* names = nullptr;
    for (const auto& row : rows) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), row.typed);
        names = form_->findChild<QCompleter*>("SetListNames");
        QTRY_VERIFY(names->popup()->isVisible());
        QStringList offered;
        for (int i = 0; names->setCurrentRow(i); ++i)
            offered.append(names->currentCompletion());
        QCOMPARE(offered, row.offered);
    }
    QTest::keyClick(names->popup(), Qt::Key_Return);
    waitForSearch(*form_);
    QCOMPARE(ctl<QComboBox>(*form_, "BaseSetList")->currentText(), "Beta");
    QCOMPARE(box->currentText(), "Dusk Cowl");
    QVERIFY(ctl<DropListView>(*form_, "DropList")->heading().startsWith("Dusk Cowl"));
}

void WindowTest::dropDownShowsWholeNames() {
    auto* box = ctl<QComboBox>(*form_, "MonSetList");
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    const QString longest = "Ancient Horror of Qarnx Deeps";
    QVERIFY(box->view()->viewport()->width() >
            box->view()->fontMetrics().horizontalAdvance(longest));
    box->view()->setCurrentIndex(box->model()->index(2, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    QCOMPARE(box->currentText(), longest);
    QCOMPARE(box->lineEdit()->cursorPosition(), 0); // the start of the name is shown
}

void WindowTest::dropDownFollowsTheBoxFont() {
    auto* box = ctl<QComboBox>(*form_, "UniItemList");
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    QCOMPARE(box->view()->font(), form_->font());
    box->hidePopup();
    QFont large = box->font();
    large.setPixelSize(30);
    box->setFont(large);
    QCOMPARE(box->view()->font(), large);
}

void WindowTest::copySelectedAndAll() {
    TForm1& form = *form_;
    ctl<QComboBox>(form, "MonList")->setEditText("Cave Lurker");
    ctl<QPushButton>(form, "MonSearch")->click();
    waitForSearch(form);
    auto* list = ctl<QListView>(form, "DropList");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(2, 0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualRect(list->model()->index(0, 0)).center());
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), "100=Gold\n5=Ring\n");
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), "100=Gold\n25=Cap\n5=Ring\n");
}

void WindowTest::saveAsTextAndCsv() {
    TForm1& form = *form_;
    ctl<QRadioButton>(form, "SortName")->click();
    ctl<QComboBox>(form, "MonList")->setEditText("Cave Lurker");
    ctl<QPushButton>(form, "MonSearch")->click();
    waitForSearch(form);
    auto* list = ctl<DropListView>(form, "DropList");
    const QString text = data_->path() + "/answer.txt";
    answerFileDialog(text);
    list->saveAs();
    QCOMPARE(fileBytes(text), "Cap=25\nGold=100\nRing=5\n");

    ctl<QPushButton>(form, "Button1")->click(); // the entries keep their parts
    waitForSearch(form);
    // The chosen type's extension is added to a name without one.
    answerFileDialog(data_->path() + "/answer", "CSV");
    list->saveAs();
    QCOMPARE(fileBytes(data_->path() + "/answer.csv"),
             "Name,Difficulty,% Drop Chance,1 in N,Kills for 90 %\r\nCap,Normal,25,4,9\r\n"
             "Gold,Normal,100,1,1\r\nRing,Normal,5,20,45\r\n");

    // Save as starts in the folder saved to last, in this window or the next.
    const QTemporaryDir elsewhere;
    answerFileDialog(elsewhere.filePath("answer.txt"));
    list->saveAs();
    form_ = std::make_unique<TForm1>(&errors_, '.');
    QString startedIn;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        startedIn = dialog->directory().absolutePath();
        QMetaObject::invokeMethod(dialog, "reject");
    });
    ctl<DropListView>(*form_, "DropList")->saveAs();
    QCOMPARE(startedIn, QDir(elsewhere.path()).absolutePath());
}

// The widened entries sort in another order ("Ax" now before "Ax y"): the
// selection and the odds go with the entries.
void WindowTest::separatorKeepsSelection() {
    TForm1& form = *form_;
    data_->write("Normal/lurker.txt", "Ax:0.05\nAx y:0.03\nGold:1\n");
    ctl<QRadioButton>(form, "SortName")->click();
    ctl<QComboBox>(form, "MonList")->setEditText("Cave Lurker");
    ctl<QPushButton>(form, "MonSearch")->click();
    waitForSearch(form);
    QCOMPARE(shownEntries(form), QStringList({"Ax y=3", "Ax=5", "Gold=100"}));
    auto* list = ctl<QListView>(form, "DropList");
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select);
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select);
    ctl<QPushButton>(form, "Button1")->click();
    waitForSearch(form);
    const QString wide(10, ' ');
    QCOMPARE(shownEntries(form),
             QStringList({"Ax" + wide + "5", "Ax y" + wide + "3", "Gold" + wide + "100"}));
    QStringList selected;
    for (const QModelIndex& index : list->selectionModel()->selectedRows())
        selected.append(index.data().toString() + " | " +
                        index.data(DropListModel::OneInRole).toString());
    selected.sort();
    QCOMPARE(selected,
             QStringList({"Ax y" + wide + "3 | 1 in 33", "Gold" + wide + "100 | 1 in 1"}));
}

// A long entry has the middle of its name cut, not its ends; its "1 in N"
// stands in a column under its heading, after the widest entry.
void WindowTest::longEntryKeepsItsEndsInView() {
    TForm1& form = *form_;
    ctl<QComboBox>(form, "MonList")->setEditText("Cavern Bat");
    ctl<QPushButton>(form, "MonSearch")->click();
    waitForSearch(form);
    auto* list = ctl<DropListView>(form, "DropList");
    const QModelIndex entry = list->model()->index(0, 0);
    const QFontMetrics metrics(list->font());
    auto* head = list->findChild<QLabel*>(QStringLiteral("DropListOddsHeading"));
    QVERIFY(head != nullptr && head->isVisible());
    QCOMPARE(head->text(), QStringLiteral("1 in N"));
    const struct {
        int width;
        bool cut;
    } rows[] = {{160, true}, {400, false}, {1200, false}};
    for (const auto& row : rows) {
        list->resize(row.width, list->height());
        const QString shown = list->shownText(entry);
        QCOMPARE(shown != "50=" + kLong, row.cut);
        QVERIFY(shown.startsWith("50=Ancient") && shown.endsWith("Vaults"));
        QVERIFY(metrics.horizontalAdvance(shown) <= list->textRoom());
        QTRY_COMPARE(list->horizontalScrollBar()->maximum(), 0);
        // The heading's right edge is the column's, which keeps near the
        // entries in a wide list.
        QCOMPARE(head->geometry().right() + 1, list->contentsRect().left() + list->oddsRight());
        QCOMPARE(list->oddsRight() < list->viewport()->width() / 2, row.width == 1200);
    }
    list->resize(160, list->height());
    const QPoint at = list->visualRect(entry).topLeft() + QPoint(4, 4);
    QHelpEvent tip(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &tip);
    QTRY_COMPARE(QToolTip::text(), "50=" + kLong + "\n90 % sure to drop in 4 kills");
}

void WindowTest::entriesShownUnderTheErrorBox() {
    data_->write("Normal/lurker.txt", "Gold:1\nCap:x\n");
    QString headingSeen;
    QImage listSeen;
    errors_.onShow = [&] {
        headingSeen = ctl<QLabel>(*form_, "NameLabel")->text();
        listSeen = ctl<DropListView>(*form_, "DropList")->grab().toImage();
    };
    const QImage before = ctl<DropListView>(*form_, "DropList")->grab().toImage();
    ctl<QComboBox>(*form_, "MonList")->setEditText("Cave Lurker");
    ctl<QPushButton>(*form_, "MonSearch")->click();
    waitForSearch(*form_);
    errors_.onShow = nullptr;
    QCOMPARE(headingSeen, "% Drop Chance");
    QVERIFY(listSeen != before);
    QCOMPARE(errors_.messages, QStringList("'x' is not a valid floating point value."));
    errors_.messages.clear();
    errors_.reports.clear();
}

// The notes of a name not listed, its suggestions as links, and the note of
// a search with the prompt showing.
void WindowTest::noteOverEmptyList() {
    auto* list = ctl<DropListView>(*form_, "DropList");
    auto* box = ctl<QComboBox>(*form_, "MonList");
    auto* banner = list->findChild<QLabel*>(QStringLiteral("DropListBanner"));
    const QString where = QStringLiteral(" in Normal/monsterlist.txt");
    const struct {
        QString typed;
        QStringList notes;
        QStringList suggestions;
    } rows[] = {
        {"cave lurker",
         {"no monster named \"cave lurker\"" + where + "; did you mean \"Cave Lurker\"?"},
         {"Cave Lurker"}},
        {"Cavern Bta",
         {"no monster named \"Cavern Bta\"" + where + "; did you mean \"Cavern Bat\"?"},
         {"Cavern Bat"}},
        {"Bog Wight", {"no monster named \"Bog Wight\"" + where}, {}},
        {"[select a monster]",
         {"choose a monster first", "no monster named \"[select a monster]\"" + where},
         {}},
        {"Cave Lurker", {}, {}},
    };
    for (const auto& row : rows) {
        box->setEditText(row.typed);
        ctl<QPushButton>(*form_, "MonSearch")->click();
        waitForSearch(*form_);
        QCOMPARE(list->model()->rowCount(), row.notes.isEmpty() ? 3 : 0);
        QCOMPARE(list->notes(), row.notes);
        QCOMPARE(list->suggestions(), row.suggestions);
        QCOMPARE(banner->text().contains(QStringLiteral("<a href=\"0\">")),
                 !row.suggestions.isEmpty());
    }
    // A suggestion's link puts it in the box and searches for it.
    box->setEditText(QStringLiteral("Cavern Bta"));
    ctl<QPushButton>(*form_, "MonSearch")->click();
    waitForSearch(*form_);
    emit banner->linkActivated(QStringLiteral("0"));
    waitForSearch(*form_);
    QCOMPARE(box->currentText(), QStringLiteral("Cavern Bat"));
    QCOMPARE(list->notes(), QStringList());
    QCOMPARE(list->model()->rowCount(), 1);
    // Of the set item search, a base set suggested goes in the base set box.
    data_->write("Normal/levels.txt",
                 "Cave Lurker:30\nCavern Bat:10\nAncient Horror of Qarnx Deeps:40\n");
    auto* baseSets = ctl<QComboBox>(*form_, "BaseSetList");
    baseSets->setEditText(QStringLiteral("alpha"));
    ctl<QPushButton>(*form_, "SetItSearch")->click();
    waitForSearch(*form_);
    QVERIFY2(errors_.messages.isEmpty(), qPrintable(errors_.messages.join('|')));
    QCOMPARE(list->suggestions(), QStringList("Alpha"));
    emit banner->linkActivated(QStringLiteral("0"));
    waitForSearch(*form_);
    QCOMPARE(baseSets->currentText(), QStringLiteral("Alpha"));
    QVERIFY(!list->notes().join('\n').contains(QStringLiteral("no base set")));
    QCOMPARE(box->currentText(), QStringLiteral("Cavern Bat"));
    // A set item of another base set offers that set; the set item stays.
    data_->write("setlist.txt", ":Alpha,1\n:Beta,2\nBeta Cap,Cap,3\n");
    auto* setItems = ctl<QComboBox>(*form_, "SetList");
    setItems->setEditText(QStringLiteral("Beta Cap"));
    ctl<QPushButton>(*form_, "SetItSearch")->click();
    waitForSearch(*form_);
    QCOMPARE(list->suggestions(), QStringList("Beta"));
    emit banner->linkActivated(QStringLiteral("0"));
    waitForSearch(*form_);
    QCOMPARE(baseSets->currentText(), QStringLiteral("Beta"));
    QCOMPARE(setItems->currentText(), QStringLiteral("Beta Cap"));
    QCOMPARE(list->notes(), QStringList());
}

// The answer shown, run again on another folder: what appears, vanishes or
// changes there, as the tool's diff writes it; the answer shown stays.
void WindowTest::compareWithFolderListsTheChanges() {
    ctl<QComboBox>(*form_, "MonList")->setEditText("Cave Lurker");
    ctl<QPushButton>(*form_, "MonSearch")->click();
    waitForSearch(*form_);
    DataFolder& other = *withLists(new DataFolder({
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
        {"Normal/lurker.txt", "Gold:1\nCap:0.5\nSword:0.1\n"},
    }));
    const std::unique_ptr<DataFolder> owner(&other);
    QStringList rows;
    QString summary;
    std::function<void()> look = [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->objectName() != "Comparison")
            return QTimer::singleShot(10, look);
        const auto* list = dialog->findChild<QListWidget*>("ComparisonRows");
        for (int i = 0; list != nullptr && i < list->count(); ++i)
            rows.append(list->item(i)->text());
        summary = dialog->findChild<QLabel*>()->text();
        dialog->close();
    };
    answerFileDialog(other.path());
    QTimer::singleShot(0, look);
    auto* compare = form_->findChild<QAction*>();
    for (QAction* action : form_->actions())
        if (action->text().startsWith("Co&mpare"))
            compare = action;
    QVERIFY(compare->isEnabled());
    compare->trigger();
    QTRY_VERIFY(!summary.isEmpty());
    QCOMPARE(rows, QStringList({"+ Sword [Normal]  10 % (1 in 10)",
                                "~ Cap [Normal]  25 % \u2192 50 %  (1 in 4 \u2192 1 in 2)",
                                "- Ring [Normal]  5 % (1 in 20)"}));
    QVERIFY(summary.endsWith("3 entries change."));
    QCOMPARE(ctl<DropListView>(*form_, "DropList")->model()->rowCount(), 3);
}

void WindowTest::folderGivenChosenReloadedRemembered() {
    DataFolder& other =
        *withLists(new DataFolder({{"Normal/monsterlist.txt", "Bog Wight:w.txt,1\n"}}));
    const std::unique_ptr<DataFolder> owner(&other);
    auto* list = ctl<DropListView>(*form_, "DropList");
    ctl<QComboBox>(*form_, "MonList")->setEditText(QStringLiteral("Cave Lurker"));
    ctl<QPushButton>(*form_, "MonSearch")->click();
    waitForSearch(*form_);
    QCOMPARE(list->model()->rowCount(), 3);
    answerFileDialog(other.path());
    QTest::keyClick(form_.get(), Qt::Key_O, Qt::ControlModifier);
    // The old folder's answer goes with it.
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(list->heading(), QString());
    auto* monsters = ctl<QComboBox>(*form_, "MonList");
    QCOMPARE(comboItems(monsters), QStringList({"Bog Wight"}));
    QVERIFY(ctl<QLabel>(*form_, "Label4")->toolTip().contains(other.path()));
    QApplication::setActiveWindow(form_.get());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));

    other.write("Normal/monsterlist.txt", "Bog Wight:w.txt,1\nTunnel Rat:r.txt,1\n");
    QTest::keyClick(form_.get(), Qt::Key_F5);
    QCOMPARE(comboItems(monsters), QStringList({"Bog Wight", "Tunnel Rat"}));

    // Started in a folder without "Normal", the window takes the last folder;
    // a folder given by name wins over both.
    QTemporaryDir home;
    InDirectory inHome(home.path());
    TForm1 launched(&errors_, '.');
    QCOMPARE(launched.dataFolder(), other.path());
    TForm1 given(&errors_, '.', data_->path());
    QCOMPARE(comboItems(ctl<QComboBox>(given, "MonList")).first(), "Cave Lurker");
}

void WindowTest::helpOpensTheGuide() {
    QTest::mouseClick(ctl<QLabel>(*form_, "Label4"), Qt::LeftButton);
    auto* guide = form_->findChild<QPlainTextEdit*>("HelpText");
    QVERIFY(guide != nullptr && guide->isVisible() && guide->isReadOnly());
    guide->window()->close();
    QTest::keyClick(form_.get(), Qt::Key_F1);
    QVERIFY(guide->isVisible());
    QVERIFY(guide->toPlainText().contains("KEYBOARD SHORTCUTS"));
    QCOMPARE(guide->toPlainText(), QString::fromUtf8(fileBytes(HelpViewer::guidePath())));
}

void WindowTest::utf8Names() {
    const QByteArray wuehler = "W\xC3\xBChler";
    DataFolder& utf8 =
        *withLists(new DataFolder({{"Normal/monsterlist.txt", wuehler + ":w.txt,1\n"},
                                   {"Normal/w.txt", wuehler + " Tooth:1\n"}}));
    const std::unique_ptr<DataFolder> owner(&utf8);
    TForm1 form(&errors_, '.');
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* monsters = ctl<QComboBox>(form, "MonList");
    QCOMPARE(comboItems(monsters), QStringList({QString::fromUtf8(wuehler)}));
    monsters->setEditText(QString::fromUtf8(wuehler));
    ctl<QPushButton>(form, "MonSearch")->click();
    waitForSearch(form);
    QCOMPARE(shownEntries(form), QStringList({"100=" + QString::fromUtf8(wuehler) + " Tooth"}));

    // A list that is no UTF-8 shows by windows-1252; a name that is UTF-8
    // still shows as UTF-8.
    utf8.write("itemlist.txt", "Caf\xE9 \x80,0\n");
    QTest::keyClick(&form, Qt::Key_F5);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "ItList")), QStringList({"Café €"}));
    QCOMPARE(comboItems(monsters), QStringList({QString::fromUtf8(wuehler)}));
}

void WindowTest::errorReports_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shownMessage");
    QTest::addColumn<QString>("shownLine");
    const QByteArray shortened = "'" + QByteArray(200, 'x') + "\xE2\x80\xA6'";
    const QString cut = QString(200, 'x') + QChar(0x2026);
    QTest::newRow("line") << QByteArray("bad") << QByteArray("Gold:\xE9\x80") << "bad."
                          << "Gold:é€";
    QTest::newRow("huge line") << QByteArray("bad") << QByteArray(5000, 'x') << "bad." << cut;
    QTest::newRow("shortened") << shortened + " is not" << QByteArray("x")
                               << "'" + cut + "' is not."
                               << "x";
}

// The error box shows the message, the place and the system's words.
void WindowTest::errorReports() {
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, line);
    QFETCH(QString, shownMessage);
    QFETCH(QString, shownLine);
    qdc::DropError error(message.toStdString(), "Input/output error");
    error.locate({"Normal/lurker.txt", 4, line.toStdString()});
    const ErrorReport report = describeError(error, "/data");
    QCOMPARE(report.message, shownMessage);
    QCOMPARE(report.place, "in Normal/lurker.txt, line 4:\n" + shownLine +
                               "\n\nCorrect the file, then press Reload.");
    QCOMPARE(report.details, "Input/output error");
}

void WindowTest::errorBoxCaptionFits() {
    // An open error outside a data folder names the path and the likely cause.
    qdc::DropError missing("File not found");
    missing.locate({"Normal/monsterlist.txt", 0, {}});
    const ErrorReport report = describeError(missing, "/home/player");
    QCOMPARE(report.place, "in /home/player/Normal/monsterlist.txt\n\nThe data folder has no "
                           "\"Normal\" folder: open the data folder itself.");
    QCOMPARE(describeError(std::bad_alloc(), "/").message, "Out of memory.");
    // A drop table that cannot be opened comes with the line that names it.
    qdc::DropError table("File not found");
    table.locate({"Normal/bat.txt", 0, {}});
    table.setNamedBy({"Normal/monsterlist.txt", 2, {}});
    QVERIFY(describeError(table, "/home/player")
                .place.startsWith("in /home/player/Normal/bat.txt\n(named by "
                                  "Normal/monsterlist.txt, line 2)\n\n"));

    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        width = box->width();
        box->accept();
    });
    MessageErrorBox().show(form_.get(), report);
    QVERIFY2(width > QFontMetrics(form_->font()).horizontalAdvance(kWindowTitle) * 3 / 2,
             qPrintable(QString::number(width)));
}

void WindowTest::programOptions() {
    QProcess process;
    process.start(DROPCALC_APP, {"--version"});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.readAllStandardOutput(), "dropcalc " DROPCALC_VERSION "\nLicense: MIT\n");
    process.start(DROPCALC_APP, {"--bogus"});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 2);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.insert("DISPLAY", ":1097");
    process.setProcessEnvironment(env);
    process.start(DROPCALC_APP, {});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 1);
    const QByteArray said = process.readAllStandardError();
    QVERIFY2(said.startsWith("dropcalc: no display to open the window on (DISPLAY :1097 cannot be "
                             "opened); the command-line tool runs the same searches"),
             said.constData());
    QCOMPARE(said.count('\n'), 1);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
