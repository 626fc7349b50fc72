// What a player reads over and beside an answer, and how the window answers
// while a search runs: the banner, "1 in N", the highest-first order,
// completion that runs the search, the data folder, and searches off the
// window's thread.

#include "app_test_helpers.h"

#include "app/answertext.h"
#include "app/choicecombo.h"
#include "app/datafolder.h"

#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

DataFolder* makeData() {
    return new DataFolder({
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nCavern Bat:bat.txt,1\n"
                                   "Twice:twice.txt,1\nBroken:broken.txt,1\n"
                                   "Ancient Horror of Qarnx Deeps:bat.txt,1\n"},
        {"Normal/lurker.txt", "Gold:1\nCap:0.25\nRing:0.05\nShort Blade:0.657\n"},
        {"Normal/bat.txt", "Ring:0.5\n"},
        {"Normal/twice.txt", "Gold:0.75\n-\nGold:0.5\n"},
        {"Normal/broken.txt", "Gold:1\nCap:x\n"},
        {"Normal/levels.txt", "Cave Lurker:12\n"},
        {"Nightmare/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
        {"Nightmare/lurker.txt", "Ring:0.1\n"},
        {"Hell/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
        {"Hell/lurker.txt", "Ring:0.2\n"},
        {"itemlist.txt", "Ring,0\n"},
        {"setlist.txt", ":Alpha,1\n"},
        {"unilist.txt", "Fang,Cap:05\n"},
    });
}

// The banner's heading and notes, each before its wrapping.
QStringList bannerLines(const TForm1& form) {
    const auto* list = ctl<DropListView>(form, "DropList");
    return QStringList(list->heading()) + list->notes();
}

// The relative luminance of a colour, and the contrast of two.
double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class AnswersTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        isolateSettings();
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
        errors_.messages.clear();
        errors_.reports.clear();
    }

    void bannerTellsTheAnswer_data();
    void bannerTellsTheAnswer();
    void oddsBesideEntries_data();
    void oddsBesideEntries();
    void bannerReadable();
    void completionRunsTheSearch_data();
    void completionRunsTheSearch();
    void promptSelectedOnFocus();
    void saveSuggestsTheName();
    void folderCheckedAndShown();
    void searchOffTheWindowThread();

  private:
    std::unique_ptr<DataFolder> data_;
    CapturingErrorBox errors_;
    std::unique_ptr<TForm1> form_;
};

void AnswersTest::bannerTellsTheAnswer_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("clicks"); // check boxes and radio buttons
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("banner");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("found") << "MonList"
                           << "Cave Lurker" << QStringList() << "MonSearch"
                           << QStringList{"Cave Lurker · Normal · 4 entries"} << QStringList();
    QTest::newRow("not at this difficulty")
        << "MonList"
        << "Cavern Bat" << QStringList("MonNm") << "MonSearch"
        << QStringList{"Cavern Bat · Nightmare · 0 entries",
                       "no monster named \"Cavern Bat\" in Nightmare/monsterlist.txt"}
        << QStringList();
    QTest::newRow("three difficulties")
        << "ItList"
        << "Ring" << QStringList{"ItNm", "ItHell"} << "ItSearch"
        << QStringList{"Ring · Normal, Nightmare, Hell · 5 entries"} << QStringList();
    QTest::newRow("no difficulty")
        << "ItList"
        << "Ring" << QStringList{"ItNormal"} << "ItSearch"
        << QStringList{"Ring · 0 entries", "no difficulty is chosen"} << QStringList();
    QTest::newRow("magic find")
        << "UniMonList"
        << "Nobody" << QStringList() << "UniMonsterSearch"
        << QStringList{"Nobody · Normal · magic find 0 · 0 entries",
                       "no monster named \"Nobody\" in Normal/monsterlist.txt"}
        << QStringList();
    QTest::newRow("over 100 %")
        << "MonList"
        << "Twice" << QStringList() << "MonSearch"
        << QStringList{"Twice · Normal · 1 entry",
                       "the chance of \"Gold\" is over 100 % (chances added up after a \"-\" "
                       "line of a drop table)"}
        << QStringList();
    QTest::newRow("stopped") << "MonList"
                             << "Broken" << QStringList() << "MonSearch"
                             << QStringList{"Broken · Normal · 1 entry",
                                            "Stopped by an error in Normal/broken.txt, line 2: the "
                                            "list holds only the entries found before it."}
                             << QStringList("'x' is not a valid floating point value.");
}

void AnswersTest::bannerTellsTheAnswer() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QStringList, clicks);
    QFETCH(QString, search);
    QFETCH(QStringList, banner);
    QFETCH(QStringList, errors);
    for (const QString& name : clicks)
        ctl<QAbstractButton>(*form_, qPrintable(name))->click();
    ctl<QComboBox>(*form_, qPrintable(box))->setEditText(text);
    ctl<QPushButton>(*form_, qPrintable(search))->click();
    waitForSearch(*form_);
    QCOMPARE(bannerLines(*form_).join(" | "), banner.join(" | "));
    QCOMPARE(errors_.messages, errors);
}

void AnswersTest::oddsBesideEntries_data() {
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QString>("monster");
    QTest::addColumn<QStringList>("entries"); // each with its "1 in N" and tooltip
    QTest::newRow("highest first")
        << "SortHighest"
        << "Cave Lurker"
        << QStringList{"100=Gold | 1 in 1 | 90 % sure to drop in 1 kill",
                       "65.7=Short Blade | 1 in 2 | 90 % sure to drop in 3 kills",
                       "25=Cap | 1 in 4 | 90 % sure to drop in 9 kills",
                       "5=Ring | 1 in 20 | 90 % sure to drop in 45 kills"};
    QTest::newRow("by name") << "SortName"
                             << "Cavern Bat"
                             << QStringList{"Ring=50 | 1 in 2 | 90 % sure to drop in 4 kills"};
    QTest::newRow("over 100 %")
        << "SortChance"
        << "Twice"
        << QStringList{"125=Gold | 1 in 1 | 90 % sure to drop in 1 kill\nOver 100 %: the sum of "
                       "the chances of its lines (those after a \"-\" line add to those "
                       "before), not a probability."};
}

void AnswersTest::oddsBesideEntries() {
    QFETCH(QString, sort);
    QFETCH(QString, monster);
    QFETCH(QStringList, entries);
    ctl<QRadioButton>(*form_, qPrintable(sort))->click();
    ctl<QComboBox>(*form_, "MonList")->setEditText(monster);
    ctl<QPushButton>(*form_, "MonSearch")->click();
    waitForSearch(*form_);
    const DropListModel* model = dropModel(*form_);
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row);
        shown.append(index.data().toString() + " | " +
                     index.data(DropListModel::OneInRole).toString() + " | " +
                     index.data(Qt::ToolTipRole).toString());
    }
    QCOMPARE(shown, entries);
}

// The banner's text stands out from its ground, and its lines break at
// blanks only.
void AnswersTest::bannerReadable() {
    const QPalette look = ctl<DropListView>(*form_, "DropList")->banner()->palette();
    QVERIFY(contrast(look.color(QPalette::WindowText), look.color(QPalette::Window)) >= 4.5);
    const QFontMetrics metrics(form_->font());
    const QString note = "no monster named \"cave lurker\" in Normal/monsterlist.txt";
    const struct {
        QString text;
        int width;
        QString lines;
    } cases[] = {
        {note, metrics.horizontalAdvance("no monster named \"cave lurker\""),
         "no monster named \"cave lurker\"\nin Normal/monsterlist.txt"},
        {note, 1, "no\nmonster\nnamed\n\"cave\nlurker\"\nin\nNormal/monsterlist.txt"},
        {"one\ntwo three", 1000, "one\ntwo three"},
    };
    for (const auto& c : cases)
        QCOMPARE(wrapAtBlanks(c.text, metrics, c.width), c.lines);
}

void AnswersTest::completionRunsTheSearch_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("downs"); // Down keys in the popup before Enter
    QTest::addColumn<QString>("heading");
    QTest::newRow("the only name offered") << "lur" << 0 << "Cave Lurker · Normal · 4 entries";
    QTest::newRow("the highlighted name") << "cav" << 2 << "Cavern Bat · Normal · 1 entry";
    QTest::newRow("none highlighted of two") << "cav" << 0 << "cav · Normal · 0 entries";
}

void AnswersTest::completionRunsTheSearch() {
    QFETCH(QString, typed);
    QFETCH(int, downs);
    QFETCH(QString, heading);
    auto* box = ctl<QComboBox>(*form_, "MonList");
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), typed);
    auto* names = form_->findChild<QCompleter*>("MonListNames");
    QTRY_VERIFY(names->popup()->isVisible());
    // As wide as the longest name of the list.
    QVERIFY(names->popup()->width() >
            names->popup()->fontMetrics().horizontalAdvance("Ancient Horror of Qarnx Deeps"));
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(names->popup(), Qt::Key_Down);
    QTest::keyClick(names->popup(), Qt::Key_Return);
    waitForSearch(*form_);
    QCOMPARE(bannerLines(*form_).first(), heading);
}

void AnswersTest::promptSelectedOnFocus() {
    auto* box = ctl<QComboBox>(*form_, "MonSetList");
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QTRY_COMPARE(box->lineEdit()->selectedText(), "[select a monster]");
    QTest::keyClicks(box, "Tw");
    QCOMPARE(box->currentText(), "Tw");
    // A typed name is left as it is: looked at once the box has the focus
    // again and what its focus-in queued has run, before a call queued after.
    auto* magicFind = ctl<QLineEdit>(*form_, "MagicFind");
    magicFind->setFocus();
    QTRY_VERIFY(magicFind->hasFocus());
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QTRY_VERIFY(box->hasFocus());
    bool queuedRan = false;
    QTimer::singleShot(0, box, [&queuedRan] { queuedRan = true; });
    QTRY_VERIFY(queuedRan);
    QCOMPARE(box->lineEdit()->selectedText(), QString());
}

void AnswersTest::saveSuggestsTheName() {
    ctl<QComboBox>(*form_, "MonList")->setEditText("Cave Lurker");
    ctl<QPushButton>(*form_, "MonSearch")->click();
    waitForSearch(*form_);
    QString suggested;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        suggested = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->reject();
    });
    ctl<DropListView>(*form_, "DropList")->saveAs();
    QCOMPARE(suggested, "Cave Lurker.txt");
    QCOMPARE(suggestedFileName("a/b: c?"), "a_b_ c_");
}

void AnswersTest::folderCheckedAndShown() {
    QCOMPARE(ctl<QLabel>(*form_, "FolderLabel")->text(), "Data folder: " + data_->path());
    QTemporaryDir empty;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        dialog->selectFile(empty.path());
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::keyClick(form_.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(errors_.messages,
             QStringList(empty.path() + " is not a data folder: it has no \"Normal\" folder."));
    QCOMPARE(errors_.reports.value(0).place, "The data of " + data_->path() + " stays open.");
    // A data folder inside the one chosen is named.
    QVERIFY(QDir(empty.path()).mkpath(QStringLiteral("data/Normal")));
    errors_.messages.clear();
    QCOMPARE(notDataFolderText(empty.path()),
             empty.path() + " is not a data folder: it has no \"Normal\" folder. The folder " +
                 empty.path() + "/data inside it is one.");
    QCOMPARE(comboItems(ctl<QComboBox>(*form_, "MonList")).size(), 5);

    // Opened on a folder without its lists, the error box offers another.
    InDirectory inEmpty(empty.path());
    TForm1 lost(&errors_, '.');
    QVERIFY(errors_.reports.last().chooseFolder);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        dialog->selectFile(data_->path());
        QMetaObject::invokeMethod(dialog, "accept");
    });
    errors_.reports.last().chooseFolder();
    QCOMPARE(lost.dataFolder(), data_->path());
    QCOMPARE(comboItems(ctl<QComboBox>(lost, "UniMonList")).first(), "Cave Lurker");
}

// A search that waits until the window cancels it.
std::atomic<bool> slowCancelled{false};
qdc::SearchNote waitForCancel(const qdc::SearchEnv& env, qdc::ResultList&,
                              const qdc::SearchRequest&) {
    while (!*env.cancel)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    slowCancelled = true;
    return qdc::SearchNote();
}
const qdc::SearchKind kSlow{"slow", "slow search", "Waits", {}, true, false, waitForCancel};

void AnswersTest::searchOffTheWindowThread() {
    slowCancelled = false;
    form_->runSearch(kSlow, {{"Slow"}, {true, false, false}, "0"});
    auto* list = ctl<DropListView>(*form_, "DropList");
    QVERIFY(!list->busy());
    QTRY_VERIFY(list->busy()); // after a moment, while the window answers
    QCOMPARE(list->banner()->text(), "Searching\u2026");

    // A new search cancels it, and only the new answer shows.
    ctl<QComboBox>(*form_, "MonList")->setEditText("Cavern Bat");
    ctl<QPushButton>(*form_, "MonSearch")->click();
    waitForSearch(*form_);
    QTRY_VERIFY(slowCancelled);
    QVERIFY(!list->busy());
    // Nor does it come on once a quick search has ended, past its delay.
    QTest::qWait(300);
    QVERIFY(!list->busy());
    QCOMPARE(shownEntries(*form_), QStringList("50=Ring"));
    QCOMPARE(bannerLines(*form_), QStringList("Cavern Bat · Normal · 1 entry"));

    // Closing the window cancels the running search.
    slowCancelled = false;
    form_->runSearch(kSlow, {{"Slow"}, {true, false, false}, "0"});
    form_.reset();
    QVERIFY(slowCancelled);
}

QTEST_MAIN(AnswersTest)
#include "answers_test.moc"
