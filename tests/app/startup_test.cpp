// The window as it opens: every control with its place and start state, the
// selection boxes filled from the list files, and what a missing list file
// leaves behind.

#include "app/captionfont.h"
#include "app/datafolder.h"
#include "app_test_helpers.h"
#include "data/encoding.h"
#include "data/filesource.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QByteArray kMonsterList = "Tunnel Rat:rat.txt,1\n"
                                "\n"
                                "Cave Lurker:lurker.txt,3\n"
                                "Tunnel Rat:rat2.txt,1\n"
                                "Ember Drake:act2\\drake.txt,4\n";
const QByteArray kItemList = "Short Blade,0\n"
                             "\n"
                             "Cap,0\n"
                             "no comma here\n";
const QByteArray kSetList = ":Ashen Vigil,20\n"
                            "Ashen Vigil Cowl,Short Blade,3\n"
                            "\n"
                            ":Iron Chorus,30\n"
                            "Iron Chorus Locket,Amulet,4\n";
const QByteArray kUniList = "Lurker's Fang,Short Blade:05\n"
                            "Quarn Locket,Amulet:15,6\n";

const QStringList kMonsters = {"Tunnel Rat", "Cave Lurker", "Tunnel Rat", "Ember Drake"};
const QStringList kItems = {"Short Blade", "", "Cap", ""};
const QStringList kBaseSets = {"Ashen Vigil", "Iron Chorus"};
const QStringList kUniques = {"Lurker's Fang", "Quarn Locket"};

// What a control shows: a caption, the text of a box, or a group box title.
QString shownText(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->currentText();
    if (const auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title();
    return {};
}

QString buttonState(const QWidget* w) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        if (button->isCheckable())
            return button->isChecked() ? "on" : "off";
    return {};
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { isolateSettings(); }
    void window();
    void controls_data();
    void controls();
    void boxesAreEditableAndTakeTypedText();
    void radioGroups();
    void listsFilledAtStart();
    void missingListFile_data();
    void missingListFile();
    void hostileListFile_data();
    void hostileListFile();
    void hostileOwnFile_data();
    void hostileOwnFile();
    void utf8DecisionProperty();
    void captionsFitTheirControls();
    void fitsTheScreen();
    void noDisplayNamesTheTool_data();
    void noDisplayNamesTheTool();
    void choicesKept_data();
    void choicesKept();
    void everyControlNamed();
};

void StartupTest::window() {
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    CapturingErrorBox errors;
    const QFont applicationFont = QApplication::font();
    TForm1 form(&errors);
    // The form's font is its own; boxes and dialogs keep the application's.
    QCOMPARE(QApplication::font(), applicationFont);
    QVERIFY(QApplication::font() != form.font());
    QCOMPARE(form.objectName(), QString("Form1"));
    QCOMPARE(form.windowTitle(), QString("Quarnhold Drop Calculator"));
    QCOMPARE(form.geometry(), QRect(227, 154, 723, 505));
    QCOMPARE(form.font().pixelSize(), 11);
    QVERIFY(form.minimumSize() != form.maximumSize()); // resizable
    QCOMPARE(errors.messages, QStringList());

    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->count(), 3);
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->widget(0), ctl<QWidget>(form, "NormalTab"));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->widget(1), ctl<QWidget>(form, "SetTab"));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->widget(2), ctl<QWidget>(form, "UniTab"));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->tabText(0), QString("Normal Items"));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->tabText(1), QString("Set Items"));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->tabText(2), QString("Unique Items"));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->currentWidget(), ctl<QWidget>(form, "SetTab"));

    QCOMPARE(ctl<QListView>(form, "DropList")->model(),
             static_cast<QAbstractItemModel*>(dropModel(form)));
    QCOMPARE(dropModel(form)->rowCount(), 0);
    QVERIFY(!dropModel(form)->entries().sorted());
    QCOMPARE(ctl<QLineEdit>(form, "MagicFind")->maxLength(), 6);
    QVERIFY(!ctl<QLineEdit>(form, "MagicFind")->isReadOnly());
    QVERIFY(ctl<QLineEdit>(form, "RUEdit")->isReadOnly());
    QVERIFY(ctl<QLineEdit>(form, "RSEdit")->isReadOnly());
    QVERIFY(ctl<QLineEdit>(form, "RREdit")->isReadOnly());

    // Shown, the frame is part of the size.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_COMPARE(form.frameGeometry(), QRect(227, 154, 723, 505));

    // The list takes the room the window gains; the controls beside it keep
    // their distance to its right edge, the button below to its bottom edge.
    const QSize frame = form.frameGeometry().size() - form.size();
    QCOMPARE(form.minimumSize() + frame, QSize(723, 505));
    form.resize(QSize(900, 700) - frame);
    QCOMPARE(ctl<QListView>(form, "DropList")->geometry(), QRect(16, 48, 273 + 177, 401 + 195));
    QCOMPARE(ctl<QGroupBox>(form, "MfBox")->geometry(), QRect(392 + 177, 272, 313, 137));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->pos(), QPoint(312 + 177, 48));
    QCOMPARE(ctl<QPushButton>(form, "Button1")->pos(), QPoint(16, 456 + 195));
    QCOMPARE(ctl<QLabel>(form, "NameLabel")->pos(), QPoint(16, 24));
    // It cannot be made smaller than its layout.
    form.resize(400, 300);
    QCOMPARE(form.size() + frame, QSize(723, 505));
    QCOMPARE(ctl<QListView>(form, "DropList")->geometry(), QRect(16, 48, 273, 401));
    QCOMPARE(ctl<QGroupBox>(form, "MfBox")->geometry(), QRect(392, 272, 313, 137));
}

void StartupTest::controls_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QString>("state");

    const auto row = [](const char* name, const char* kind, const char* parent, const char* text,
                        QRect bounds, const char* state = "") {
        QTest::newRow(name) << QString(kind) << QString(parent) << QString::fromLatin1(text)
                            << bounds << QString(state);
    };
    row("NameLabel", "QLabel", "Form1", "Name", {16, 24, 28, 13});
    row("DropLabel", "QLabel", "Form1", "% Drop Chance", {208, 24, 74, 13});
    row("Label4", "QLabel", "Form1",
        "Read the \"Readme.txt\" file if there is something that you need help with",
        {344, 432, 336, 13});
    row("DropList", "QListView", "Form1", "", {16, 48, 273, 401});
    row("ItemTab", "QTabWidget", "Form1", "", {312, 48, 393, 201});
    row("MfBox", "QGroupBox", "Form1", "Magic Find", {392, 272, 313, 137});
    row("GroupBox2", "QGroupBox", "Form1", "Sort by...", {304, 296, 73, 97});
    row("Button1", "QPushButton", "Form1", "Change item separator", {16, 456, 137, 17});

    row("MonLabel", "QLabel", "NormalTab", "Monster", {19, 40, 38, 13});
    row("ItLabel", "QLabel", "NormalTab", "Item", {29, 88, 20, 13});
    row("NormLabel", "QLabel", "NormalTab", "Norm.", {189, 16, 28, 13});
    row("NmLabel", "QLabel", "NormalTab", "Nm.", {230, 16, 19, 13});
    row("HellLabel", "QLabel", "NormalTab", "Hell", {263, 16, 18, 13});
    row("MonList", "QComboBox", "NormalTab", "[select a monster]", {64, 38, 121, 21});
    row("MonNormal", "QRadioButton", "NormalTab", "", {200, 40, 17, 17}, "on");
    row("MonNm", "QRadioButton", "NormalTab", "", {232, 40, 17, 17}, "off");
    row("MonHell", "QRadioButton", "NormalTab", "", {264, 40, 17, 17}, "off");
    row("MonSearch", "QPushButton", "NormalTab", "Search", {296, 40, 65, 17});
    row("ItList", "QComboBox", "NormalTab", "[select an item]", {64, 88, 121, 21});
    row("ItNormal", "QCheckBox", "NormalTab", "", {200, 88, 17, 17}, "on");
    row("ItNm", "QCheckBox", "NormalTab", "", {232, 88, 17, 17}, "off");
    row("ItHell", "QCheckBox", "NormalTab", "", {264, 88, 17, 17}, "off");
    row("ItSearch", "QPushButton", "NormalTab", "Search", {296, 88, 65, 17});

    row("BaseLabel", "QLabel", "SetTab", "Base Set", {8, 48, 43, 13});
    row("SetLabel", "QLabel", "SetTab", "Set Item", {8, 80, 39, 13});
    row("MonSetLabel", "QLabel", "SetTab", "Monster", {8, 136, 38, 13});
    row("NormSetLabel", "QLabel", "SetTab", "Norm.", {216, 40, 28, 13});
    row("NmSetLabel", "QLabel", "SetTab", "Nm", {256, 40, 16, 13});
    row("HellSetLabel", "QLabel", "SetTab", "Hell", {280, 40, 18, 13});
    row("BaseSetList", "QComboBox", "SetTab", "[select a base set]", {56, 40, 145, 21});
    row("SetList", "QComboBox", "SetTab", "[select a set item]", {56, 72, 145, 21});
    row("NormSetCheck", "QCheckBox", "SetTab", "", {216, 72, 17, 17}, "on");
    row("NmSetCheck", "QCheckBox", "SetTab", "", {248, 72, 17, 17}, "off");
    row("HellSetCheck", "QCheckBox", "SetTab", "", {280, 72, 17, 17}, "off");
    row("SetItSearch", "QPushButton", "SetTab", "Search", {312, 72, 57, 17});
    row("MonSetList", "QComboBox", "SetTab", "[select a monster]", {56, 128, 145, 21});
    row("NormSetRadio", "QRadioButton", "SetTab", "", {216, 128, 17, 17}, "on");
    row("NmSetRadio", "QRadioButton", "SetTab", "", {248, 128, 17, 17}, "off");
    row("HellSetRadio", "QRadioButton", "SetTab", "", {280, 128, 17, 17}, "off");
    row("SetMonSearch", "QPushButton", "SetTab", "Search", {312, 128, 57, 17});

    row("UniMonLabel", "QLabel", "UniTab", "Monster", {16, 40, 38, 13});
    row("UniItemLabel", "QLabel", "UniTab", "Unique Item", {8, 88, 57, 13});
    row("NormUniLabel", "QLabel", "UniTab", "Norm.", {216, 16, 28, 13});
    row("NmUniLabel", "QLabel", "UniTab", "Nm", {256, 16, 16, 13});
    row("HellUniLabel", "QLabel", "UniTab", "Hell", {288, 16, 18, 13});
    row("UniMonList", "QComboBox", "UniTab", "[select a monster]", {72, 40, 145, 21});
    row("NormUniRadio", "QRadioButton", "UniTab", "", {224, 40, 17, 17}, "on");
    row("NmUniRadio", "QRadioButton", "UniTab", "", {256, 40, 17, 17}, "off");
    row("HellUniRadio", "QRadioButton", "UniTab", "", {288, 40, 17, 17}, "off");
    row("UniMonsterSearch", "QPushButton", "UniTab", "Search", {320, 40, 57, 17});
    row("UniItemList", "QComboBox", "UniTab", "[select a unique item]", {72, 88, 145, 21});
    row("NormUniCheck", "QCheckBox", "UniTab", "", {224, 88, 17, 17}, "on");
    row("NmUniCheck", "QCheckBox", "UniTab", "", {256, 88, 17, 17}, "off");
    row("HellUniCheck", "QCheckBox", "UniTab", "", {288, 88, 17, 17}, "off");
    row("UniItemSearch", "QPushButton", "UniTab", "Search", {320, 88, 57, 17});

    row("MfLabel", "QLabel", "MfBox", "Magic Find:", {10, 36, 55, 13});
    row("MagicFind", "QLineEdit", "MfBox", "0", {72, 28, 57, 21});
    row("CalcMf", "QPushButton", "MfBox", "Calculate \"Real\" Magic Find", {144, 24, 161, 25});
    row("RULabel", "QLabel", "MfBox", "Real unique mf", {16, 72, 71, 13});
    row("RSLabel", "QLabel", "MfBox", "Real set mf", {104, 72, 53, 13});
    row("RRLabel", "QLabel", "MfBox", "Real rare mf", {184, 72, 57, 13});
    row("RUEdit", "QLineEdit", "MfBox", "0", {16, 96, 57, 21});
    row("RSEdit", "QLineEdit", "MfBox", "0", {104, 96, 57, 21});
    row("RREdit", "QLineEdit", "MfBox", "0", {184, 96, 65, 21});

    row("SortName", "QRadioButton", "GroupBox2", "Name", {8, 32, 49, 17}, "off");
    row("SortChance", "QRadioButton", "GroupBox2", "Chance", {8, 64, 57, 17}, "on");
}

void StartupTest::controls() {
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QString, text);
    QFETCH(QRect, bounds);
    QFETCH(QString, state);

    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    CapturingErrorBox errors;
    TForm1 form(&errors);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const auto found = form.findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    const QWidget* control = found.first();
    QVERIFY2(control->inherits(qPrintable(kind)), control->metaObject()->className());
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(shownText(control), text);
    QCOMPARE(control->geometry(), bounds);
    QCOMPARE(buttonState(control), state);
    QVERIFY(control->isEnabled());
}

void StartupTest::boxesAreEditableAndTakeTypedText() {
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    CapturingErrorBox errors;
    TForm1 form(&errors);
    for (QComboBox* box : {ctl<QComboBox>(form, "MonList"), ctl<QComboBox>(form, "ItList"),
                           ctl<QComboBox>(form, "BaseSetList"), ctl<QComboBox>(form, "SetList"),
                           ctl<QComboBox>(form, "MonSetList"), ctl<QComboBox>(form, "UniMonList"),
                           ctl<QComboBox>(form, "UniItemList")}) {
        QVERIFY2(box->isEditable(), qPrintable(box->objectName()));
        QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
        QCOMPARE(box->completer(), nullptr);
        QCOMPARE(box->currentIndex(), -1);
    }
    // Typing the start of a listed name neither completes it nor adds it.
    ctl<QComboBox>(form, "MonList")->lineEdit()->clear();
    QTest::keyClicks(ctl<QComboBox>(form, "MonList")->lineEdit(), "Tun");
    QTest::keyClick(ctl<QComboBox>(form, "MonList")->lineEdit(), Qt::Key_Return);
    QCOMPARE(ctl<QComboBox>(form, "MonList")->currentText(), QString("Tun"));
    QCOMPARE(comboItems(ctl<QComboBox>(form, "MonList")), kMonsters);
}

void StartupTest::radioGroups() {
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    CapturingErrorBox errors;
    TForm1 form(&errors);
    const QList<QList<QAbstractButton*>> groups = {
        {ctl<QRadioButton>(form, "MonNormal"), ctl<QRadioButton>(form, "MonNm"),
         ctl<QRadioButton>(form, "MonHell")},
        {ctl<QRadioButton>(form, "NormSetRadio"), ctl<QRadioButton>(form, "NmSetRadio"),
         ctl<QRadioButton>(form, "HellSetRadio")},
        {ctl<QRadioButton>(form, "NormUniRadio"), ctl<QRadioButton>(form, "NmUniRadio"),
         ctl<QRadioButton>(form, "HellUniRadio")},
        {ctl<QRadioButton>(form, "SortName"), ctl<QRadioButton>(form, "SortChance"),
         ctl<QRadioButton>(form, "SortHighest")}};
    const QList<QButtonGroup*> buttonGroups = {
        ctl<QButtonGroup>(form, "MonGroup"), ctl<QButtonGroup>(form, "SetMonGroup"),
        ctl<QButtonGroup>(form, "UniMonGroup"), ctl<QButtonGroup>(form, "SortGroup")};
    for (int g = 0; g < groups.size(); ++g) {
        QCOMPARE(buttonGroups[g]->buttons(), groups[g]);
        QVERIFY(buttonGroups[g]->exclusive());
    }
    // Choosing one button of a group clears the others of that group only.
    ctl<QRadioButton>(form, "MonHell")->click();
    QVERIFY(ctl<QRadioButton>(form, "MonHell")->isChecked());
    QVERIFY(!ctl<QRadioButton>(form, "MonNormal")->isChecked());
    QVERIFY(ctl<QRadioButton>(form, "NormSetRadio")->isChecked());
    QVERIFY(ctl<QRadioButton>(form, "NormUniRadio")->isChecked());
    QVERIFY(ctl<QRadioButton>(form, "SortChance")->isChecked());
    ctl<QRadioButton>(form, "SortName")->click();
    QVERIFY(!ctl<QRadioButton>(form, "SortChance")->isChecked());
    QVERIFY(ctl<QRadioButton>(form, "MonHell")->isChecked());
    // The check boxes are independent.
    ctl<QCheckBox>(form, "ItNm")->click();
    QVERIFY(ctl<QCheckBox>(form, "ItNormal")->isChecked());
    QVERIFY(ctl<QCheckBox>(form, "ItNm")->isChecked());
}

void StartupTest::listsFilledAtStart() {
    // CR LF line ends, a second candidate name inside the first 30
    // characters, and a name listed twice.
    DataFolder data({{"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\r\n"
                                                "\r\n"
                                                "Bog:Wight:bogwight.txt,2\r\n"
                                                "Tunnel Rat:rat2.txt,1\r\n"
                                                "no colon in this line\r\n"},
                     {"Nightmare/monsterlist.txt", "Only Nightmare:x.txt,1\n"},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    CapturingErrorBox errors;
    TForm1 form(&errors);
    QCOMPARE(errors.messages, QStringList());
    const QStringList monsters = {"Tunnel Rat", "Bog", "Bog:Wight", "Tunnel Rat"};
    QCOMPARE(comboItems(ctl<QComboBox>(form, "MonList")), monsters);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "MonSetList")), monsters);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "UniMonList")), monsters);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "ItList")), kItems);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "BaseSetList")), kBaseSets);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "UniItemList")), kUniques);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "SetList")), QStringList());
    QCOMPARE(ctl<QComboBox>(form, "MonList")->currentText(), QString("[select a monster]"));
    QCOMPARE(ctl<QComboBox>(form, "ItList")->currentText(), QString("[select an item]"));
    QCOMPARE(ctl<QComboBox>(form, "BaseSetList")->currentText(), QString("[select a base set]"));
    QCOMPARE(ctl<QComboBox>(form, "UniItemList")->currentText(), QString("[select a unique item]"));
}

void StartupTest::missingListFile_data() {
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QStringList>("monsters");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("baseSets");
    QTest::addColumn<QStringList>("uniques");
    const QStringList none;
    QTest::newRow("monster list") << "Normal/monsterlist.txt" << none << none << none << none;
    QTest::newRow("item list") << "itemlist.txt" << kMonsters << none << none << none;
    QTest::newRow("set list") << "setlist.txt" << kMonsters << kItems << none << none;
    QTest::newRow("unique list") << "unilist.txt" << kMonsters << kItems << kBaseSets << none;
}

void StartupTest::missingListFile() {
    QFETCH(QString, missing);
    QFETCH(QStringList, monsters);
    QFETCH(QStringList, items);
    QFETCH(QStringList, baseSets);
    QFETCH(QStringList, uniques);

    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    data.remove(missing);
    CapturingErrorBox errors;
    TForm1 form(&errors);
    QCOMPARE(errors.messages, QStringList{"File not found."});
    QCOMPARE(comboItems(ctl<QComboBox>(form, "MonList")), monsters);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "MonSetList")), monsters);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "UniMonList")), monsters);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "ItList")), items);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "BaseSetList")), baseSets);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "UniItemList")), uniques);
    // The window opens as usual.
    QCOMPARE(ctl<QComboBox>(form, "MonList")->currentText(), QString("[select a monster]"));
    QCOMPARE(ctl<QComboBox>(form, "UniItemList")->currentText(), QString("[select a unique item]"));
    QCOMPARE(ctl<QTabWidget>(form, "ItemTab")->currentWidget(), ctl<QWidget>(form, "SetTab"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

#include "app/datafolder.h"
#include "data/encoding.h"
void StartupTest::hostileListFile_data() {
    QTest::addColumn<QString>("hostile");
    QTest::addColumn<QString>("folder"); // as given, inside the data folder
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("place"); // DATA stands for the data folder
    QTest::addColumn<QStringList>("monsters");
    const QStringList none;
    const QString hint = "\n\nThe data folder has no \"Normal\" folder: open the data folder "
                         "itself.";
    const QString check = "\n\nCheck that the file is there, then press Reload.";
    QTest::newRow("sound lists") << ""
                                 << ""
                                 << ""
                                 << "" << kMonsters;
    QTest::newRow("FIFO set list") << "fifo setlist.txt"
                                   << ""
                                   << "File access denied."
                                   << "in DATA/setlist.txt" + check << kMonsters;
    QTest::newRow("item list linked to /dev/zero") << "zero itemlist.txt"
                                                   << ""
                                                   << "Invalid filename."
                                                   << "in DATA/itemlist.txt" + check << kMonsters;
    QTest::newRow("100 GB sparse monster list") << "sparse Normal/monsterlist.txt"
                                                << ""
                                                << "Out of memory."
                                                << "in DATA/Normal/monsterlist.txt" + check << none;
    QTest::newRow("no such data folder")
        << ""
        << "missing"
        << "DATA/missing is not a data folder: it has no "
           "\"Normal\" folder."
        << "Invalid filename.\nin DATA/missing: no such folder" + hint << none;
}

// Whatever a list file is, the window opens with the located error box, and
// remembers the folder given only once its lists are read.
void StartupTest::hostileListFile() {
    QFETCH(QString, hostile);
    QFETCH(QString, folder);
    QFETCH(QString, message);
    QFETCH(QString, place);
    QFETCH(QStringList, monsters);
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    const QString how = hostile.section(' ', 0, 0);
    const std::string path = localPath(data.path() + "/" + hostile.section(' ', 1));
    if (!hostile.isEmpty())
        data.remove(hostile.section(' ', 1));
    if (how == "fifo")
        QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
    if (how == "zero")
        std::filesystem::create_symlink("/dev/zero", path);
    if (how == "sparse") {
        std::ofstream(path).put('x');
        std::filesystem::resize_file(path, std::uintmax_t{100} << 30);
    }
    dropSettings()->remove("dataFolder");
    CapturingErrorBox errors;
    const QString given = folder.isEmpty() ? data.path() : data.path() + "/" + folder;
    TForm1 form(&errors, '.', given);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList seen = errors.messages;
    seen.replaceInStrings(data.path(), QStringLiteral("DATA"));
    QCOMPARE(seen, message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(errors.reports.first().place.replace(data.path(), "DATA"), place);
    QCOMPARE(comboItems(ctl<QComboBox>(form, "MonList")), monsters);
    QCOMPARE(dropSettings()->value("dataFolder").toString(),
             message.isEmpty() ? data.path() : QString());
    // The same folder chosen later.
    dropSettings()->remove("dataFolder");
    form.openFolder(given);
    QCOMPARE(errors.messages.size(), message.isEmpty() ? 0 : 2);
    QCOMPARE(dropSettings()->value("dataFolder").toString(),
             message.isEmpty() ? data.path() : QString());
}

namespace {

// Tells whether a reader ever waited on the FIFO at `path` while it lived:
// it opens the FIFO for writing whenever it can, which it can only while a
// reader has it open, and lets that reader go at once.
class FifoWatch {
  public:
    explicit FifoWatch(std::string path)
        : path_(std::move(path)), thread_([this] {
              while (!done_) {
                  const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      waited_ = true;
                      ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~FifoWatch() {
        done_ = true;
        thread_.join();
    }
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;
    bool waited() const { return waited_; }

  private:
    std::string path_;
    std::atomic<bool> done_{false};
    std::atomic<bool> waited_{false};
    std::thread thread_;
};

bool isFifo(const QString& path) {
    struct stat st {};
    return ::stat(localPath(path).c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

} // namespace

void StartupTest::hostileOwnFile_data() {
    QTest::addColumn<QString>("kind"); // of the file: fifo or folder
    QTest::addColumn<QString>("file"); // settings, or guide: the Readme.txt beside the program
    QTest::addColumn<bool>("given");   // the data folder named, or the current one without Normal
    QTest::newRow("settings a FIFO, no data folder") << "fifo"
                                                     << "settings" << false;
    QTest::newRow("settings a FIFO, a data folder named") << "fifo"
                                                          << "settings" << true;
    QTest::newRow("settings a folder, a data folder named") << "folder"
                                                            << "settings" << true;
    QTest::newRow("the guide a FIFO") << "fifo"
                                      << "guide" << true;
}

// A file the window opens of its own accord that is no regular file is
// passed over with a note on stderr: the window opens as without it, never
// waits on it, and leaves it as it is.
void StartupTest::hostileOwnFile() {
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(bool, given);
    const QTemporaryDir settingsDir; // a note is given once a file
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    const QString path = file == "settings"
                             ? settingsDir.filePath("dropcalc/dropcalc.ini")
                             : QCoreApplication::applicationDirPath() + "/Readme.txt";
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (kind == "fifo")
        QCOMPARE(::mkfifo(localPath(path).c_str(), 0600), 0);
    else
        QVERIFY(QDir().mkdir(path));
    const auto cleanUp = qScopeGuard([&] {
        QFile::remove(path);
        QDir().rmdir(path);
        isolateSettings();
    });
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^dropcalc: note: .*" +
                                            QRegularExpression::escape(QFileInfo(path).fileName()) +
                                            " is not a regular file: "));
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    DataFolder outside({{"readme.txt", ""}}); // the current folder, without Normal
    const FifoWatch watch(localPath(path));
    CapturingErrorBox errors;
    TForm1 form(&errors, '.', given ? data.path() : QString());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.dataFolder(), given ? data.path() : outside.path());
    QCOMPARE(comboItems(ctl<QComboBox>(form, "MonList")), given ? kMonsters : QStringList());
    if (file == "guide") {
        QTest::keyClick(&form, Qt::Key_F1);
        auto* guide = form.findChild<QPlainTextEdit*>("HelpText");
        QVERIFY(guide != nullptr);
        QVERIFY(guide->toPlainText().contains("KEYBOARD SHORTCUTS")); // the next one found
    }
    QVERIFY(!watch.waited());
    QVERIFY(kind == "fifo" ? isFifo(path) : QFileInfo(path).isDir());
}

// The window shows a folder's names as UTF-8 exactly when every list that can
// be read is valid UTF-8 (its bytes come back from the decoded text) and one
// of them holds a byte above 127.
void StartupTest::utf8DecisionProperty() {
    // Whole characters, most of them valid, and stray bytes.
    const char* const pieces[] = {"a",        "\xC3\xBC", "\xE2\x80\xA6", "\xF0\x9F\x98\x80",
                                  "\xC3\xA9", "\xFF",     "\xED\xA0\x80", "\xC0\x80",
                                  "\x80"};
    const char* const lists[] = {"Normal/monsterlist.txt", "Hell/monsterlist.txt", "itemlist.txt",
                                 "setlist.txt", "unilist.txt"};
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        qdc::MemoryFileSource files;
        bool valid = true;
        bool high = false;
        for (const char* list : lists) {
            if (random() % 3 == 0)
                continue;
            // Some lists long enough that a character crosses a piece of the
            // decoding.
            std::string bytes(random() % 4 == 0 ? 65536 - random() % 4 : 0, 'a');
            for (unsigned n = random() % 8; n > 0; --n)
                bytes += pieces[random() % (random() % 2 == 0 ? 5 : std::size(pieces))];
            files.set(list, bytes);
            const QByteArray raw = QByteArray::fromStdString(bytes);
            valid = valid && QString::fromUtf8(raw).toUtf8() == raw;
            high = high || std::any_of(bytes.begin(), bytes.end(), [](char c) { return c < 0; });
        }
        QCOMPARE(qdc::listsAreUtf8(files), valid && high);
    }
}

void StartupTest::captionsFitTheirControls() {
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList},
                     {"itemlist.txt", kItemList},
                     {"setlist.txt", kSetList},
                     {"unilist.txt", kUniList}});
    CapturingErrorBox errors;
    TForm1 form(&errors);
    int captions = 0;
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(needed <= label->width(),
                 qPrintable(label->objectName() + ": " + QString::number(needed) + " > " +
                            QString::number(label->width())));
        QVERIFY(label->fontMetrics().height() <= label->height());
        ++captions;
    }
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty())
            continue;
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                 qPrintable(button->objectName()));
        ++captions;
    }
    // The labels include the data folder's, the result list's banner and its
    // "1 in N" heading; the last two are the line of the data check and its
    // button.
    QCOMPARE(captions, 25 + 12 + 2);
}

// On a 1366 x 768 screen, at 1.5 times the size too (run again in a process
// of its own, as the scale is the whole program's).
void StartupTest::fitsTheScreen() {
    CapturingErrorBox errors;
    TForm1 form(&errors);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect room = form.screen()->availableGeometry();
    QTRY_VERIFY2(room.contains(form.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                     .arg(form.x())
                                                                     .arg(form.y())
                                                                     .arg(form.width())
                                                                     .arg(form.height())));
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return;
    QProcess scaled;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_SCALE_FACTOR", "1.5");
    scaled.setProcessEnvironment(env);
    scaled.start(QCoreApplication::applicationFilePath(), {"fitsTheScreen"});
    QVERIFY(scaled.waitForFinished(20000));
    QVERIFY2(scaled.exitCode() == 0, scaled.readAllStandardOutput().constData());
}

void StartupTest::noDisplayNamesTheTool_data() {
    namespace fs = std::filesystem;
    const fs::path tool = fs::path(DROPCALC_APP).parent_path() / "dropcalc-cli";
    const QString relative =
        QString::fromStdString(fs::relative(tool, std::string(DROPCALC_EXAMPLES)).string());
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("path"); // the PATH
    QTest::addColumn<QString>("example");
    QTest::newRow("no folder") << QStringList() << "/usr/bin"
                               << relative + " --data . --sort chance";
    QTest::newRow("a folder named") << QStringList("/tmp/my data") << "/usr/bin"
                                    << relative + " --data '/tmp/my data' --sort chance";
    QTest::newRow("installed on the PATH")
        << QStringList("../data") << "/usr/bin:" + QString::fromStdString(tool.parent_path())
        << "dropcalc-cli --data ../data --sort chance";
}

void StartupTest::noDisplayNamesTheTool() {
    QFETCH(QStringList, args);
    QFETCH(QString, path);
    QFETCH(QString, example);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("PATH", path);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QStringLiteral(DROPCALC_EXAMPLES));
    process.start(QStringLiteral(DROPCALC_APP), args);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()),
             "dropcalc: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not "
             "set); the command-line tool runs the same searches, for example: " +
                 example + " monster \"Cave Lurker\"\n");
}

// A control's state as the test sets and reads it: a button's tick, a text,
// a tab's index.
namespace {

QVariant choiceOf(const QWidget& control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return button->isChecked();
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control))
        return edit->text();
    return qobject_cast<const QTabWidget*>(&control)->currentIndex();
}

void choose(QWidget& control, const QVariant& value) {
    if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setChecked(value.toBool());
    else if (auto* edit = qobject_cast<QLineEdit*>(&control))
        edit->setText(value.toString());
    else
        qobject_cast<QTabWidget*>(&control)->setCurrentIndex(value.toInt());
}

} // namespace

void StartupTest::choicesKept_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QVariant>("chosen"); // set and kept by closing the window
    QTest::addColumn<QVariant>("stored"); // or written to the settings as they are
    QTest::addColumn<QVariant>("started");
    const auto row = [](const char* name, const char* control, const QVariant& chosen,
                        const QVariant& stored, const QVariant& started) {
        QTest::newRow(name) << QString(control) << chosen << stored << started;
    };
    // Without settings: the start state, as the controls are made.
    row("first start: sort", "SortChance", {}, {}, true);
    row("first start: tab", "ItemTab", {}, {}, 1);
    row("first start: magic find", "MagicFind", {}, {}, "0");
    row("sort by name", "SortName", true, {}, true);
    row("sort highest", "SortHighest", true, {}, true);
    row("magic find", "MagicFind", "275", {}, "275");
    row("item in Nightmare ticked", "ItNm", true, {}, true);
    row("item in Normal unticked", "ItNormal", false, {}, false);
    row("set item in Hell ticked", "HellSetCheck", true, {}, true);
    row("unique item in Normal unticked", "NormUniCheck", false, {}, false);
    row("monster in Hell", "MonHell", true, {}, true);
    row("set monster in Nightmare", "NmSetRadio", true, {}, true);
    row("unique monster in Hell", "HellUniRadio", true, {}, true);
    row("tab Unique Items", "ItemTab", 2, {}, 2);
    row("tab Normal Items", "ItemTab", 0, {}, 0);
    // What no control can take leaves it as it is made.
    row("no such tab", "ItemTab", {}, 7, 1);
    row("tab not a number", "ItemTab", {}, "Set", 1);
    row("a radio button cleared", "SortChance", {}, false, true);
}

void StartupTest::choicesKept() {
    QFETCH(QString, control);
    QFETCH(QVariant, chosen);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, started);
    const auto forget = qScopeGuard([] {
        const std::unique_ptr<QSettings> settings = dropSettings();
        settings->remove(QStringLiteral("choices"));
    });
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList}});
    CapturingErrorBox errors;
    if (chosen.isValid()) {
        TForm1 form(&errors);
        choose(*ctl<QWidget>(form, control.toLatin1().constData()), chosen);
        form.close();
    }
    if (stored.isValid())
        dropSettings()->setValue("choices/" + control, stored);
    const TForm1 next(&errors);
    QCOMPARE(choiceOf(*ctl<QWidget>(next, control.toLatin1().constData())), started);
}

// What a screen reader hears: no control that takes the focus is without a
// name, on any tab.
void StartupTest::everyControlNamed() {
    DataFolder data({{"Normal/monsterlist.txt", kMonsterList}});
    CapturingErrorBox errors;
    TForm1 form(&errors);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList unnamed;
    int focusable = 0;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        if (node->state().focusable) {
            ++focusable;
            if (node->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.append(QStringLiteral("%1/%2").arg(
                    node->object() != nullptr ? node->object()->metaObject()->className()
                                              : QString(),
                    QString::number(node->role())));
        }
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(&form));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(' ')));
    QVERIFY(focusable >= 40); // the walk reached every tab's controls
    const struct {
        const char* control;
        QString name;
    } rows[] = {
        {"MonNormal", "Normal"},        {"ItNm", "Nightmare"},       {"HellSetRadio", "Hell"},
        {"NmUniCheck", "Nightmare"},    {"MagicFind", "Magic find"}, {"BaseSetList", "Base set"},
        {"UniItemList", "Unique item"}, {"DropList", "Results"},     {"SortHighest", "Highest"},
    };
    for (const auto& row : rows) {
        // A name box takes the keys in its text box.
        QWidget* control = ctl<QWidget>(form, row.control);
        if (auto* box = qobject_cast<QComboBox*>(control))
            control = box->lineEdit();
        QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), row.name);
    }
    // And is labelled by the caption beside it.
    const auto labels = QAccessible::queryAccessibleInterface(ctl<QWidget>(form, "BaseSetList"))
                            ->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front().first->object(), ctl<QObject>(form, "BaseLabel"));
    // The list is heard with the heading of its answer.
    ctl<QComboBox>(form, "MonList")->setEditText(QStringLiteral("Tunnel Rat"));
    ctl<QPushButton>(form, "MonSearch")->click();
    waitForSearch(form);
    const QString heard = QAccessible::queryAccessibleInterface(ctl<QWidget>(form, "DropList"))
                              ->text(QAccessible::Name);
    QCOMPARE(heard, QStringLiteral("Results: Tunnel Rat \u00B7 Normal \u00B7 0 entries"));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
