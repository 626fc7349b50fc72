// The window's check of its data folder, and the search it runs again when
// the files that search read change.

#include "app_test_helpers.h"

#include "app/checkline.h"
#include "app/checkreport.h"
#include "app/datacheck.h"
#include "app/datawatch.h"

#include <QAction>
#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

using Files = QList<std::pair<QString, QByteArray>>;

// Writes `bytes` to `path` as many editors save: a new file put in its place.
void replaceFile(const QString& path, const QByteArray& bytes) {
    const QString temporary = path + QStringLiteral(".new");
    QFile file(temporary);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QFile::remove(path);
    QVERIFY(QFile::rename(temporary, path));
}

// A copy of the sample data, which the check finds clean, with `edits` made.
void copySample(const QString& to, const Files& edits = {}) {
    const QDir from(QStringLiteral(DROPCALC_EXAMPLES));
    QDirIterator it(from.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(from.relativeFilePath(file));
        QDir().mkpath(QFileInfo(target).path());
        QVERIFY(QFile::copy(file, target));
    }
    for (const auto& [path, bytes] : edits)
        replaceFile(QDir(to).filePath(path), bytes);
}

// Takes back `edits`: each file as the sample has it, or gone.
void mend(const QString& dir, const Files& edits) {
    const QDir from(QStringLiteral(DROPCALC_EXAMPLES));
    for (const auto& edit : edits) {
        QFile original(from.filePath(edit.first));
        if (original.open(QIODevice::ReadOnly))
            replaceFile(QDir(dir).filePath(edit.first), original.readAll());
        else
            QVERIFY(QFile::remove(QDir(dir).filePath(edit.first)));
    }
}

const QByteArray kLurker = "Nothing:0.6\nGold:0.15\nShort Blade:0.1\nCap:0.08\nChain Hood:0.05\n";

QString goldEntry(const TForm1& form) {
    const QStringList entries = shownEntries(form).filter("Gold");
    return entries.size() == 1 ? entries.first() : QString();
}

} // namespace

class DataCheckTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { isolateSettings(); }
    void summaryCounts();
    void problemLine_data();
    void problemLine();
    void searchAgainWhenTheDataChanges();
};

void DataCheckTest::summaryCounts() {
    const struct {
        int errors, warnings;
        QString text;
    } rows[] = {
        {0, 0, ""},
        {1, 0, "1 error in this data folder"},
        {0, 1, "1 warning in this data folder"},
        {2, 5, "2 errors, 5 warnings in this data folder"},
        {1, 12, "1 error, 12 warnings in this data folder"},
    };
    for (const auto& row : rows)
        QCOMPARE(problemSummary(row.errors, row.warnings), row.text);
}

void DataCheckTest::problemLine_data() {
    QTest::addColumn<Files>("edits");
    QTest::addColumn<QString>("summary");
    // The report's rows: file, line, severity, each joined by "|".
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("clean") << Files{} << QString() << QStringList();
    QTest::newRow("one error") << Files{{"Normal/lurker.txt", "Nothing:0.6\nGold:zero point one\n"}}
                               << "1 error in this data folder"
                               << QStringList{"Normal/lurker.txt|2|error"};
    QTest::newRow("errors and warnings")
        << Files{{"Normal/lurker.txt", "Nothing:0.6\nGold:zero point one\n"},
                 {"Nightmare/rat.txt", "Nothing:x\n"},
                 {"Normal/stray.txt", "Slime:0.5\n"},
                 {"Hell/rat.txt", "Nothing:0.5\nGold:0.7\n"}}
        << "2 errors, 2 warnings in this data folder"
        << QStringList{"Hell/rat.txt|1|warning", "Nightmare/rat.txt|1|error",
                       "Normal/lurker.txt|2|error", "Normal/stray.txt||warning"};
}

void DataCheckTest::problemLine() {
    QFETCH(Files, edits);
    QFETCH(QString, summary);
    QFETCH(QStringList, rows);
    QTemporaryDir dir;
    copySample(dir.path(), edits);
    CapturingErrorBox errors;
    TForm1 form(&errors, '.', dir.path());
    auto* line = ctl<CheckLine>(form, "CheckLine");
    QTRY_VERIFY(!form.findChild<DataCheck*>()->running());
    QCOMPARE(line->isHidden(), summary.isEmpty());
    QCOMPARE(line->summary()->text(), summary);
    if (summary.isEmpty())
        return;

    line->showButton()->click();
    auto* report = form.findChild<CheckReportDialog*>();
    QVERIFY(report != nullptr);
    QStringList shown;
    for (int i = 0; i < report->rows()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = report->rows()->topLevelItem(i);
        shown.append(QStringList{row->text(0), row->text(1), row->text(2)}.join('|'));
        QVERIFY(!row->text(3).isEmpty());
    }
    QCOMPARE(shown, rows);
    // Enter opens the current row's file, once.
    QList<QUrl> opened;
    report->openUrl = [&opened](const QUrl& url) { opened.append(url); };
    report->rows()->setCurrentItem(report->rows()->topLevelItem(rows.size() - 1));
    QTest::keyClick(report->rows(), Qt::Key_Return);
    const QString last = rows.last().section('|', 0, 0);
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QDir(dir.path()).filePath(last))});
    report->close();

    // Mended, the next check shows nothing.
    mend(dir.path(), edits);
    const auto actions = form.findChildren<QAction*>();
    const auto check = std::find_if(actions.begin(), actions.end(), [](const QAction* a) {
        return a->shortcut() == QKeySequence(Qt::Key_F7);
    });
    QVERIFY(check != actions.end());
    (*check)->trigger();
    QTRY_VERIFY(line->isHidden());
    QCOMPARE(errors.messages, QStringList());
}

void DataCheckTest::searchAgainWhenTheDataChanges() {
    QTemporaryDir dir;
    QTemporaryDir other;
    copySample(dir.path());
    copySample(other.path());
    CapturingErrorBox errors;
    TForm1 form(&errors, '.', dir.path());
    auto* watch = form.findChild<DataWatch*>();
    ctl<QComboBox>(form, "MonList")->setEditText("Cave Lurker");
    ctl<QPushButton>(form, "MonSearch")->click();
    waitForSearch(form);
    QVERIFY(!goldEntry(form).isEmpty());
    QVERIFY(watch->files().contains(QDir(dir.path()).filePath("Normal/lurker.txt")));
    const auto changedNotes = [&form] {
        return ctl<DropListView>(form, "DropList")
            ->notes()
            .count("The data changed: searched again.");
    };
    QCOMPARE(changedNotes(), 0);

    // Twice, each time put in place of the file read: searched again each
    // time, the note said once.
    for (const QByteArray gold : {"Gold:0.25\n", "Gold:0.35\n"}) {
        QByteArray lurker = kLurker;
        lurker.replace("Gold:0.15\n", gold);
        replaceFile(QDir(dir.path()).filePath("Normal/lurker.txt"), lurker);
        const QString before = goldEntry(form);
        QTRY_VERIFY_WITH_TIMEOUT(goldEntry(form) != before && !form.searching(), 5000);
        QVERIFY(!goldEntry(form).isEmpty());
        QCOMPARE(changedNotes(), 1);
    }
    // Checked again too: the chances no longer add up to 1.
    QTRY_COMPARE(ctl<CheckLine>(form, "CheckLine")->summary()->text(),
                 "1 warning in this data folder");

    // Another folder: the first one's files are no longer watched.
    form.openFolder(other.path());
    QVERIFY(watch->files().isEmpty());
    const QStringList shown = shownEntries(form);
    replaceFile(QDir(dir.path()).filePath("Normal/lurker.txt"), kLurker);
    QTest::qWait(3 * DataWatch::kQuietMs);
    QVERIFY(!form.searching());
    QCOMPARE(shownEntries(form), shown);
    QCOMPARE(errors.messages, QStringList());
}

QTEST_MAIN(DataCheckTest)
#include "datacheck_test.moc"
