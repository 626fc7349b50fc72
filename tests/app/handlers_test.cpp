// The handlers clicked through the window: the monster search into the result
// list, the item separator command, the magic find calculator and the base-set
// choice, with errors going to the error box.

#include "app_test_helpers.h"

#include "cli/run.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include <sstream>

namespace {

const QString kWide(10, ' ');

// Picks are 1, so a drop probability p gives the chance 100 p; after the "-"
// line a Cap is merged into the earlier one (25 + 50).
DataFolder* makeSearchData() {
    return new DataFolder({
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"
                                   "Ax Keeper:ax.txt,1\n"
                                   "Eq Keeper:eq.txt,1\n"
                                   "Tiny:tiny.txt,1\n"
                                   "Broken:lurker.txt,1\n"
                                   "Broken:missing.txt,1\n"},
        {"Normal/lurker.txt", "Gold:1\nCap:0.25\nRing:0.05\nShort Blade:0.657\n-\nCap:0.5\n"},
        {"Normal/ax.txt", "Ax:0.05\nAx y:0.03\n"},
        {"Normal/eq.txt", "a=b:0.05\nPlain:0.271\n"},
        {"Normal/tiny.txt", "Rune:0.00000015\nGem:0.657\n-\nRune:0.00000015\n"},
        {"Nightmare/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
        {"Nightmare/lurker.txt", "Gold:0.5\n"},
        {"Hell/monsterlist.txt", "Cave Lurker:lurker.txt,2\n"},
        {"Hell/lurker.txt", "Gold:0.5\n"},
        {"itemlist.txt", "Cap,0\n"},
        {"setlist.txt", ":Alpha,1\n:Beta,2\nBeta One,Cap,3\n"},
        {"unilist.txt", "Lurker's Fang,Short Blade:05\n"},
    });
}

void searchMonster(TForm1& form, const QString& monster) {
    ctl<QComboBox>(form, "MonList")->setEditText(monster);
    QTest::mouseClick(ctl<QPushButton>(form, "MonSearch"), Qt::LeftButton);
    waitForSearch(form);
}

// The captions of the two headings, each checked to fit its label, which
// stays where it stands.
QStringList labels(const TForm1& form) {
    const std::pair<const QLabel*, int> headings[] = {{ctl<QLabel>(form, "NameLabel"), 16},
                                                      {ctl<QLabel>(form, "DropLabel"), 208}};
    for (const auto& [label, left] : headings) {
        const QRect r = label->geometry();
        if (r.left() != left || r.top() != 24 || r.height() != 13 ||
            label->fontMetrics().horizontalAdvance(label->text()) > r.width())
            return {"heading " + label->objectName() + " does not fit: " + label->text()};
    }
    return {ctl<QLabel>(form, "NameLabel")->text(), ctl<QLabel>(form, "DropLabel")->text()};
}

// The lines the command-line tool prints for `args`.
QStringList toolLines(std::vector<std::string> args, char separator) {
    args.insert(args.begin(), "dropcalc-cli");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out;
    std::ostringstream err;
    const int status = qdc::runCli(static_cast<int>(argv.size()), argv.data(), out, err, separator);
    if (status != 0)
        return {"exit " + QString::number(status) + ": " + QString::fromStdString(err.str())};
    QStringList lines = QString::fromLatin1(out.str()).split('\n');
    lines.removeLast();
    return lines;
}

} // namespace

class HandlersTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { isolateSettings(); }
    void init() { data_.reset(makeSearchData()); }
    void cleanup() { data_.reset(); }

    void monsterSearchBothSortModes();
    void monsterSearchDifficultyFromRadios_data();
    void monsterSearchDifficultyFromRadios();
    void monsterSearchWithCommaSeparator();
    void sortChoiceWaitsForNextSearch();
    void searchErrorKeepsEntriesSoFar();
    void separatorCommand();
    void separatorOnEmptyList();
    void magicFindTable_data();
    void magicFindTable();
    void magicFindBoxHoldsSixCharacters();
    void badMagicFindLeavesResults_data();
    void badMagicFindLeavesResults();
    void baseSetChosenNotTyped();
    void sameAsToolOnSampleData();
    void everySearchSameAsTool();
    void baseSetChoiceFillsSetItems();

  private:
    std::unique_ptr<DataFolder> data_;
};

void HandlersTest::monsterSearchBothSortModes() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    searchMonster(form, "Cave Lurker");
    QCOMPARE(shownEntries(form), QStringList({"100=Gold", "5=Ring", "65.7=Short Blade", "75=Cap"}));
    QCOMPARE(labels(form), QStringList({"% Drop Chance", "Name"}));
    QVERIFY(dropModel(form)->entries().sorted());

    ctl<QRadioButton>(form, "SortName")->click();
    searchMonster(form, "Cave Lurker");
    QCOMPARE(shownEntries(form), QStringList({"Cap=75", "Gold=100", "Ring=5", "Short Blade=65.7"}));
    QCOMPARE(labels(form), QStringList({"Name", "% Drop Chance"}));

    // A name that no monster line holds lists nothing.
    searchMonster(form, "Cave");
    QCOMPARE(shownEntries(form), QStringList());
    QCOMPARE(errors.messages, QStringList());
}

void HandlersTest::monsterSearchDifficultyFromRadios_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("normal") << "MonNormal"
                            << QStringList({"100=Gold", "5=Ring", "65.7=Short Blade", "75=Cap"});
    QTest::newRow("nightmare") << "MonNm" << QStringList({"50=Gold"});
    QTest::newRow("hell") << "MonHell" << QStringList({"75=Gold"});
}

void HandlersTest::monsterSearchDifficultyFromRadios() {
    QFETCH(QString, radio);
    QFETCH(QStringList, entries);
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    form.findChild<QRadioButton*>(radio)->click();
    searchMonster(form, "Cave Lurker");
    QCOMPARE(shownEntries(form), entries);
}

void HandlersTest::monsterSearchWithCommaSeparator() {
    CapturingErrorBox errors;
    TForm1 form(&errors, ',');
    searchMonster(form, "Cave Lurker");
    QCOMPARE(shownEntries(form), QStringList({"100=Gold", "5=Ring", "65,7=Short Blade", "75=Cap"}));
    // Small chances keep "." and still merge.
    searchMonster(form, "Tiny");
    QCOMPARE(shownEntries(form), QStringList({"0.00003=Rune", "65,7=Gem"}));
    QCOMPARE(errors.messages, QStringList());
}

void HandlersTest::sortChoiceWaitsForNextSearch() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    // At start the labels read "Name" and "% Drop Chance" whatever the mode.
    QCOMPARE(labels(form), QStringList({"Name", "% Drop Chance"}));
    searchMonster(form, "Ax Keeper");
    const QStringList chanceFirst = {"3=Ax y", "5=Ax"};
    QCOMPARE(shownEntries(form), chanceFirst);
    ctl<QRadioButton>(form, "SortName")->click();
    QCOMPARE(shownEntries(form), chanceFirst);
    QCOMPARE(labels(form), QStringList({"% Drop Chance", "Name"}));
    QTest::mouseClick(ctl<QPushButton>(form, "MonSearch"), Qt::LeftButton);
    waitForSearch(form);
    QCOMPARE(shownEntries(form), QStringList({"Ax y=3", "Ax=5"}));
    QCOMPARE(labels(form), QStringList({"Name", "% Drop Chance"}));
}

void HandlersTest::searchErrorKeepsEntriesSoFar() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    searchMonster(form, "Broken");
    QCOMPARE(errors.messages, QStringList{"File not found."});
    QCOMPARE(shownEntries(form), QStringList({"100=Gold", "5=Ring", "65.7=Short Blade", "75=Cap"}));
    QCOMPARE(labels(form), QStringList({"% Drop Chance", "Name"}));
    // The window goes on working.
    searchMonster(form, "Ax Keeper");
    QCOMPARE(shownEntries(form), QStringList({"3=Ax y", "5=Ax"}));
    QCOMPARE(errors.messages.size(), 1);
}

void HandlersTest::separatorCommand() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    ctl<QRadioButton>(form, "SortName")->click();
    searchMonster(form, "Ax Keeper");
    QCOMPARE(shownEntries(form), QStringList({"Ax y=3", "Ax=5"}));
    QTest::mouseClick(ctl<QPushButton>(form, "Button1"), Qt::LeftButton);
    QVERIFY(form.searching()); // off the window's thread, as a search
    waitForSearch(form);
    const QStringList wide = {"Ax" + kWide + "5", "Ax y" + kWide + "3"};
    QCOMPARE(shownEntries(form), wide);
    QCOMPARE(labels(form), QStringList({"Name", "% Drop Chance"}));
    QTest::mouseClick(ctl<QPushButton>(form, "Button1"), Qt::LeftButton);
    waitForSearch(form);
    QCOMPARE(shownEntries(form), wide);

    // Every "=" of an entry is widened, with chance first as well.
    ctl<QRadioButton>(form, "SortChance")->click();
    searchMonster(form, "Eq Keeper");
    QCOMPARE(shownEntries(form), QStringList({"27.1=Plain", "5=a=b"}));
    QTest::mouseClick(ctl<QPushButton>(form, "Button1"), Qt::LeftButton);
    waitForSearch(form);
    QCOMPARE(shownEntries(form),
             QStringList({"27.1" + kWide + "Plain", "5" + kWide + "a" + kWide + "b"}));

    // The next search writes "=" again.
    QTest::mouseClick(ctl<QPushButton>(form, "MonSearch"), Qt::LeftButton);
    waitForSearch(form);
    QCOMPARE(shownEntries(form), QStringList({"27.1=Plain", "5=a=b"}));
    QCOMPARE(errors.messages, QStringList());
}

void HandlersTest::separatorOnEmptyList() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    QTest::mouseClick(ctl<QPushButton>(form, "Button1"), Qt::LeftButton);
    waitForSearch(form);
    QCOMPARE(shownEntries(form), QStringList());
    QVERIFY(!dropModel(form)->entries().sorted());
    QCOMPARE(labels(form), QStringList({"Name", "% Drop Chance"}));
    QCOMPARE(errors.messages, QStringList());
}

void HandlersTest::magicFindTable_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("results");
    const auto row = [](const char* input, const char* u, const char* s, const char* r) {
        QTest::newRow(input) << QString(input) << QStringList({u, s, r});
    };
    row("0", "0", "0", "0");
    row("-50", "-50", "-50", "-50");
    row("110", "110", "110", "110");
    row("111", "110", "110", "110");
    row("120", "118", "119", "119");
    row("200", "171", "183", "185");
    row("300", "211", "242", "250");
    row("500", "253", "322", "340");
    row("1000", "295", "421", "460");
    row("999999", "349", "599", "699");
    row("  $C8", "171", "183", "185");
    row("0x6E", "110", "110", "110");
}

void HandlersTest::magicFindTable() {
    QFETCH(QString, input);
    QFETCH(QStringList, results);
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    ctl<QLineEdit>(form, "MagicFind")->setText(input);
    QTest::mouseClick(ctl<QPushButton>(form, "CalcMf"), Qt::LeftButton);
    QCOMPARE(
        QStringList({ctl<QLineEdit>(form, "RUEdit")->text(), ctl<QLineEdit>(form, "RSEdit")->text(),
                     ctl<QLineEdit>(form, "RREdit")->text()}),
        results);
    // Nothing accumulates.
    QTest::mouseClick(ctl<QPushButton>(form, "CalcMf"), Qt::LeftButton);
    QCOMPARE(
        QStringList({ctl<QLineEdit>(form, "RUEdit")->text(), ctl<QLineEdit>(form, "RSEdit")->text(),
                     ctl<QLineEdit>(form, "RREdit")->text()}),
        results);
    QCOMPARE(ctl<QLineEdit>(form, "MagicFind")->text(), input);
    QCOMPARE(errors.messages, QStringList());
    QCOMPARE(shownEntries(form), QStringList());
}

void HandlersTest::magicFindBoxHoldsSixCharacters() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    ctl<QLineEdit>(form, "MagicFind")->clear();
    QTest::keyClicks(ctl<QLineEdit>(form, "MagicFind"), "1234567");
    QCOMPARE(ctl<QLineEdit>(form, "MagicFind")->text(), QString("123456"));
    QTest::mouseClick(ctl<QPushButton>(form, "CalcMf"), Qt::LeftButton);
    QCOMPARE(
        QStringList({ctl<QLineEdit>(form, "RUEdit")->text(), ctl<QLineEdit>(form, "RSEdit")->text(),
                     ctl<QLineEdit>(form, "RREdit")->text()}),
        QStringList({"349", "597", "697"}));
}

void HandlersTest::badMagicFindLeavesResults_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << "12a"
                             << "'12a' is not a valid integer value.";
    QTest::newRow("empty") << ""
                           << "'' is not a valid integer value.";
    QTest::newRow("trailing blank") << "5 "
                                    << "'5 ' is not a valid integer value.";
    QTest::newRow("decimal point") << "1.5"
                                   << "'1.5' is not a valid integer value.";
}

void HandlersTest::badMagicFindLeavesResults() {
    QFETCH(QString, input);
    QFETCH(QString, message);
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    ctl<QLineEdit>(form, "MagicFind")->setText("200");
    QTest::mouseClick(ctl<QPushButton>(form, "CalcMf"), Qt::LeftButton);
    ctl<QLineEdit>(form, "MagicFind")->setText(input);
    QTest::mouseClick(ctl<QPushButton>(form, "CalcMf"), Qt::LeftButton);
    QCOMPARE(errors.messages, QStringList{message});
    QCOMPARE(
        QStringList({ctl<QLineEdit>(form, "RUEdit")->text(), ctl<QLineEdit>(form, "RSEdit")->text(),
                     ctl<QLineEdit>(form, "RREdit")->text()}),
        QStringList({"171", "183", "185"}));
}

void HandlersTest::baseSetChosenNotTyped() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    QCOMPARE(comboItems(ctl<QComboBox>(form, "BaseSetList")), QStringList({"Alpha", "Beta"}));

    // Typing a text that is no base set and pressing Enter, or leaving the
    // box on one that is, does not choose a base set.
    QLineEdit* typed = ctl<QComboBox>(form, "BaseSetList")->lineEdit();
    typed->clear();
    QTest::keyClicks(typed, "Bet");
    QTest::keyClick(typed, Qt::Key_Return);
    QTest::keyClicks(typed, "a");
    emit typed->editingFinished();
    QCOMPARE(ctl<QComboBox>(form, "SetList")->currentText(), QString("[select a set item]"));
    QCOMPARE(comboItems(ctl<QComboBox>(form, "SetList")), QStringList());
    // Enter on a base set's exact name chooses it.
    QTest::keyClick(typed, Qt::Key_Return);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "SetList")), QStringList({"Beta One"}));
    QCOMPARE(ctl<QComboBox>(form, "SetList")->currentText(), QString("[select a set item]"));
    QCOMPARE(errors.messages, QStringList());

    // Choosing "Alpha" from the list rebuilds the set-item box: the block of
    // Alpha, the file's first line, is ended by the next header at once, so
    // the box is left empty, without its prompt.
    ctl<QComboBox>(form, "BaseSetList")->setCurrentIndex(-1);
    QTest::keyClick(ctl<QComboBox>(form, "BaseSetList"), Qt::Key_Down);
    QCOMPARE(ctl<QComboBox>(form, "BaseSetList")->currentText(), QString("Alpha"));
    QCOMPARE(comboItems(ctl<QComboBox>(form, "SetList")), QStringList());
    QCOMPARE(ctl<QComboBox>(form, "SetList")->currentText(), QString());
    QCOMPARE(shownEntries(form), QStringList());

    // The same by a click into the opened list.
    ctl<QComboBox>(form, "SetList")->setEditText("[select a set item]");
    ctl<QComboBox>(form, "BaseSetList")->setEditText("Al");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ctl<QComboBox>(form, "BaseSetList")->showPopup();
    QAbstractItemView* view = ctl<QComboBox>(form, "BaseSetList")->view();
    QTRY_VERIFY(view->isVisible());
    const QRect alpha = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, alpha.center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(ctl<QComboBox>(form, "BaseSetList")->currentText(), QString("Alpha"));
    QCOMPARE(ctl<QComboBox>(form, "SetList")->currentText(), QString());
}

// The window lists exactly what the command-line tool prints, for every
// monster of the sample data, difficulty and sort mode, with and without the
// item separator command.
void HandlersTest::sameAsToolOnSampleData() {
    data_.reset();
    const QString dataDir = QStringLiteral(DROPCALC_EXAMPLES);
    InDirectory inData(dataDir);
    for (const char separator : {'.', ','}) {
        CapturingErrorBox errors;
        TForm1 form(&errors, separator);
        QVERIFY(ctl<QComboBox>(form, "MonList")->count() >= 5);
        int compared = 0;
        for (int i = 0; i < ctl<QComboBox>(form, "MonList")->count(); ++i) {
            const QString monster = ctl<QComboBox>(form, "MonList")->itemText(i);
            for (const char* difficulty : {"normal", "nightmare", "hell"}) {
                for (const char* sort : {"chance", "name"}) {
                    ctl<QRadioButton>(form, "MonNormal")
                        ->setChecked(difficulty == std::string("normal"));
                    ctl<QRadioButton>(form, "MonNm")
                        ->setChecked(difficulty == std::string("nightmare"));
                    ctl<QRadioButton>(form, "MonHell")
                        ->setChecked(difficulty == std::string("hell"));
                    ctl<QRadioButton>(form, "SortName")->setChecked(sort == std::string("name"));
                    ctl<QRadioButton>(form, "SortChance")
                        ->setChecked(sort == std::string("chance"));
                    searchMonster(form, monster);
                    const std::vector<std::string> args = {"--data",       dataDir.toStdString(),
                                                           "--sort",       sort,
                                                           "--difficulty", difficulty,
                                                           "monster",      monster.toStdString()};
                    const QStringList expected = toolLines(args, separator);
                    QVERIFY(!expected.isEmpty());
                    QCOMPARE(shownEntries(form), expected);
                    std::vector<std::string> wideArgs = args;
                    wideArgs.insert(wideArgs.begin(), "--wide");
                    QTest::mouseClick(ctl<QPushButton>(form, "Button1"), Qt::LeftButton);
                    waitForSearch(form);
                    QCOMPARE(shownEntries(form), toolLines(wideArgs, separator));
                    ++compared;
                }
            }
        }
        QCOMPARE(compared, ctl<QComboBox>(form, "MonList")->count() * 6);
        QCOMPARE(errors.messages, QStringList());
    }
}

namespace {

// Ticks the boxes of a row of three difficulty check boxes from a mask
// (1 Normal, 2 Nightmare, 4 Hell) and gives the tool's --difficulty text.
std::string tick(QCheckBox* normal, QCheckBox* nightmare, QCheckBox* hell, int mask) {
    normal->setChecked(mask & 1);
    nightmare->setChecked(mask & 2);
    hell->setChecked(mask & 4);
    std::string text;
    for (const auto& [bit, name] : {std::pair{1, "normal"}, {2, "nightmare"}, {4, "hell"}})
        if (mask & bit)
            text += (text.empty() ? "" : ",") + std::string(name);
    return text;
}

// Chooses entry `index` of the base-set box as a user does, with the keyboard.
void chooseBaseSet(TForm1& form, int index) {
    ctl<QComboBox>(form, "BaseSetList")->setCurrentIndex(index - 1);
    QTest::keyClick(ctl<QComboBox>(form, "BaseSetList"), Qt::Key_Down);
}

std::string choose(QRadioButton* normal, QRadioButton* nightmare, QRadioButton* hell, int which) {
    QRadioButton* buttons[] = {normal, nightmare, hell};
    buttons[which]->setChecked(true);
    return std::vector<std::string>{"normal", "nightmare", "hell"}[which];
}

} // namespace

// The item, unique and set searches through their own controls list exactly
// what the tool prints, with the magic find of the window's box.
void HandlersTest::everySearchSameAsTool() {
    data_.reset();
    const QString dataDir = QStringLiteral(DROPCALC_EXAMPLES);
    InDirectory inData(dataDir);
    CapturingErrorBox errors;
    TForm1 form(&errors, ',');
    ctl<QRadioButton>(form, "SortName")->setChecked(true);
    ctl<QLineEdit>(form, "MagicFind")->setText("250");
    const std::vector<std::string> common = {
        "--data", dataDir.toStdString(), "--sort", "name", "--mf", "250"};
    int nonEmpty = 0;
    auto compare = [&](QPushButton* button, std::vector<std::string> args) {
        QTest::mouseClick(button, Qt::LeftButton);
        waitForSearch(form);
        args.insert(args.begin(), common.begin(), common.end());
        const QStringList expected = toolLines(args, ',');
        QCOMPARE(shownEntries(form), expected);
        nonEmpty += expected.isEmpty() ? 0 : 1;
    };

    for (int i = 0; i < ctl<QComboBox>(form, "ItList")->count(); ++i) {
        ctl<QComboBox>(form, "ItList")->setEditText(ctl<QComboBox>(form, "ItList")->itemText(i));
        const std::string d = tick(ctl<QCheckBox>(form, "ItNormal"), ctl<QCheckBox>(form, "ItNm"),
                                   ctl<QCheckBox>(form, "ItHell"), 1 + i % 7);
        compare(ctl<QPushButton>(form, "ItSearch"),
                {"--difficulty", d, "item",
                 ctl<QComboBox>(form, "ItList")->currentText().toStdString()});
    }
    for (int i = 0; i < ctl<QComboBox>(form, "UniItemList")->count(); ++i) {
        ctl<QComboBox>(form, "UniItemList")
            ->setEditText(ctl<QComboBox>(form, "UniItemList")->itemText(i));
        const std::string d =
            tick(ctl<QCheckBox>(form, "NormUniCheck"), ctl<QCheckBox>(form, "NmUniCheck"),
                 ctl<QCheckBox>(form, "HellUniCheck"), 7 - i % 7);
        compare(ctl<QPushButton>(form, "UniItemSearch"),
                {"--difficulty", d, "unique-item",
                 ctl<QComboBox>(form, "UniItemList")->currentText().toStdString()});
    }
    for (int i = 0; i < ctl<QComboBox>(form, "UniMonList")->count(); ++i) {
        ctl<QComboBox>(form, "UniMonList")
            ->setEditText(ctl<QComboBox>(form, "UniMonList")->itemText(i));
        const std::string d =
            choose(ctl<QRadioButton>(form, "NormUniRadio"), ctl<QRadioButton>(form, "NmUniRadio"),
                   ctl<QRadioButton>(form, "HellUniRadio"), i % 3);
        compare(ctl<QPushButton>(form, "UniMonsterSearch"),
                {"--difficulty", d, "unique-monster",
                 ctl<QComboBox>(form, "UniMonList")->currentText().toStdString()});
    }
    for (int i = 0; i < ctl<QComboBox>(form, "MonSetList")->count(); ++i) {
        ctl<QComboBox>(form, "MonSetList")
            ->setEditText(ctl<QComboBox>(form, "MonSetList")->itemText(i));
        const std::string d =
            choose(ctl<QRadioButton>(form, "NormSetRadio"), ctl<QRadioButton>(form, "NmSetRadio"),
                   ctl<QRadioButton>(form, "HellSetRadio"), i % 3);
        compare(ctl<QPushButton>(form, "SetMonSearch"),
                {"--difficulty", d, "set-monster",
                 ctl<QComboBox>(form, "MonSetList")->currentText().toStdString()});
    }
    int setItems = 0;
    for (int b = 0; b < ctl<QComboBox>(form, "BaseSetList")->count(); ++b) {
        chooseBaseSet(form, b);
        setItems += ctl<QComboBox>(form, "SetList")->count();
        for (int i = 0; i < ctl<QComboBox>(form, "SetList")->count(); ++i) {
            ctl<QComboBox>(form, "SetList")
                ->setEditText(ctl<QComboBox>(form, "SetList")->itemText(i));
            const std::string d =
                tick(ctl<QCheckBox>(form, "NormSetCheck"), ctl<QCheckBox>(form, "NmSetCheck"),
                     ctl<QCheckBox>(form, "HellSetCheck"), 7);
            compare(ctl<QPushButton>(form, "SetItSearch"),
                    {"--difficulty", d, "set-item",
                     ctl<QComboBox>(form, "BaseSetList")->currentText().toStdString(),
                     ctl<QComboBox>(form, "SetList")->currentText().toStdString()});
        }
    }
    QVERIFY(setItems >= 10);
    QVERIFY(nonEmpty >= 30);
    QCOMPARE(errors.messages, QStringList());
}

void HandlersTest::baseSetChoiceFillsSetItems() {
    CapturingErrorBox errors;
    TForm1 form(&errors, '.');
    chooseBaseSet(form, 1);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "SetList")), QStringList{"Beta One"});
    QCOMPARE(ctl<QComboBox>(form, "SetList")->currentText(), QString("[select a set item]"));
    // Choosing it again gives the same entries, not twice as many.
    chooseBaseSet(form, 0);
    chooseBaseSet(form, 1);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "SetList")), QStringList{"Beta One"});

    // A set list that has gone missing: the box stays cleared, the error shows.
    data_->remove("setlist.txt");
    chooseBaseSet(form, 0);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "SetList")), QStringList());
    QCOMPARE(errors.messages, QStringList{"File not found."});
}

QTEST_MAIN(HandlersTest)
#include "handlers_test.moc"
