// The window answers every search of tests/parity/cases.tsv as the tool does:
// its controls set as the case's arguments say, the same entries with the
// same parts, heading, notes, error description and CSV bytes as the tool's
// JSON and CSV.

#include "app_test_helpers.h"

#include "app/errorbox.h"
#include "app/nametext.h"
#include "tests/support/spawn.h"

#include <QAbstractButton>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>

#include <fstream>
#include <sstream>

namespace {

// A case's fields: the data folder, then the tool's arguments; "\xHH" stands
// for the byte HH.
std::vector<std::vector<std::string>> readCases() {
    std::ifstream file(DROPCALC_SOURCE_DIR "/tests/parity/cases.tsv", std::ios::binary);
    std::vector<std::vector<std::string>> cases;
    for (std::string line; std::getline(file, line);) {
        if (line.empty())
            continue;
        std::vector<std::string> fields(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\t')
                fields.emplace_back();
            else if (line.compare(i, 2, "\\x") == 0 && i + 3 < line.size()) {
                fields.back() += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else
                fields.back() += line[i];
        }
        cases.push_back(fields);
    }
    return cases;
}

// What a case asks of the window, read from the tool's arguments.
struct Asked {
    QString sort = "chance";
    QStringList difficulties = {"normal"};
    QString magicFind = "0";
    char separator = '.';
    std::string command;
    std::vector<std::string> names;
};

Asked asked(const std::vector<std::string>& args) {
    Asked a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const QString value = i + 1 < args.size() ? QString::fromStdString(args[i + 1]) : "";
        if (args[i] == "--sort")
            a.sort = value;
        else if (args[i] == "--difficulty")
            a.difficulties = value.split(',', Qt::SkipEmptyParts);
        else if (args[i] == "--mf")
            a.magicFind = value;
        else if (args[i] == "--decimal-separator")
            a.separator = args[i + 1].at(0);
        else {
            a.command = args[i];
            a.names.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        ++i;
    }
    return a;
}

// The form's controls of each search, as a player finds them.
struct Row {
    const char* command;
    const char* tab;
    const char* button;
    std::vector<const char*> boxes;
    std::array<const char*, 3> difficulties; // Normal, Nightmare, Hell
};
const Row kRows[] = {
    {"monster", "NormalTab", "MonSearch", {"MonList"}, {"MonNormal", "MonNm", "MonHell"}},
    {"item", "NormalTab", "ItSearch", {"ItList"}, {"ItNormal", "ItNm", "ItHell"}},
    {"unique-item",
     "UniTab",
     "UniItemSearch",
     {"UniItemList"},
     {"NormUniCheck", "NmUniCheck", "HellUniCheck"}},
    {"unique-monster",
     "UniTab",
     "UniMonsterSearch",
     {"UniMonList"},
     {"NormUniRadio", "NmUniRadio", "HellUniRadio"}},
    {"set-item",
     "SetTab",
     "SetItSearch",
     {"BaseSetList", "SetList"},
     {"NormSetCheck", "NmSetCheck", "HellSetCheck"}},
    {"set-monster",
     "SetTab",
     "SetMonSearch",
     {"MonSetList"},
     {"NormSetRadio", "NmSetRadio", "HellSetRadio"}},
};

QString str(const QJsonValue& v) {
    return v.isNull() ? QString() : v.toString();
}

QString shown(const std::string& bytes) {
    return NameText::decode(bytes);
}

// The number that `pattern` captures in `text`, -1 when it is not there.
long long numberIn(const QString& text, const QString& pattern) {
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

class ParityTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { isolateSettings(); }
    void sameAsTheTool_data();
    void sameAsTheTool();
};

void ParityTest::sameAsTheTool_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArrayList>("args");
    int n = 0;
    for (const std::vector<std::string>& c : readCases()) {
        QByteArrayList args;
        for (std::size_t i = 1; i < c.size(); ++i)
            args.append(QByteArray::fromStdString(c[i]));
        QTest::addRow("%d %s", ++n, qPrintable(NameText::decode(args.join(' ').toStdString())))
            << QString::fromStdString(DROPCALC_SOURCE_DIR "/" + c.at(0)) << args;
    }
    QVERIFY(n >= 16);
}

void ParityTest::sameAsTheTool() {
    QFETCH(QString, folder);
    QFETCH(QByteArrayList, args);
    std::vector<std::string> toolArgs;
    for (const QByteArray& a : args)
        toolArgs.push_back(a.toStdString());
    const Asked a = asked(toolArgs);
    const Row* row = nullptr;
    for (const Row& r : kRows)
        if (a.command == r.command)
            row = &r;
    QVERIFY2(row != nullptr, a.command.c_str());

    // The window, its controls set as a player would.
    CapturingErrorBox errors;
    TForm1 form(&errors, a.separator, folder);
    QCOMPARE(errors.messages, QStringList());
    ctl<QTabWidget>(form, "ItemTab")->setCurrentWidget(ctl<QWidget>(form, row->tab));
    const QString sortRadio = a.sort == "name"      ? "SortName"
                              : a.sort == "highest" ? "SortHighest"
                                                    : "SortChance";
    ctl<QAbstractButton>(form, qPrintable(sortRadio))->setChecked(true);
    const char* const difficulties[] = {"normal", "nightmare", "hell"};
    bool radioSet = false;
    for (std::size_t i = 0; i < 3; ++i) {
        auto* button = ctl<QAbstractButton>(form, row->difficulties[i]);
        const bool chosen = a.difficulties.contains(difficulties[i]);
        if (!button->autoExclusive()) {
            button->setChecked(chosen);
        } else if (chosen && !radioSet) {
            button->setChecked(true);
            radioSet = true;
        }
    }
    ctl<QLineEdit>(form, "MagicFind")->setText(a.magicFind);
    QCOMPARE(a.names.size(), row->boxes.size());
    for (std::size_t i = 0; i < a.names.size(); ++i)
        ctl<QComboBox>(form, row->boxes[i])->setEditText(shown(a.names[i]));
    ctl<QAbstractButton>(form, row->button)->click();
    waitForSearch(form);
    const auto* list = ctl<DropListView>(form, "DropList");
    const DropListModel* model = dropModel(form);

    // The tool.
    const auto tool = [&](const char* format) {
        std::vector<std::string> command = {DROPCALC_CLI, "--data", folder.toStdString(),
                                            "--format", format};
        if (!args.join(' ').contains("--decimal-separator"))
            command.insert(command.end(), {"--decimal-separator", "."});
        command.insert(command.end(), toolArgs.begin(), toolArgs.end());
        return qdc::test::spawn(command);
    };
    const qdc::test::Spawned json = tool("json");
    QJsonParseError parseError;
    const QJsonObject answer =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &parseError).object();
    QVERIFY2(parseError.error == QJsonParseError::NoError, json.err.c_str());

    QCOMPARE(list->heading(), answer["heading"].toString());
    const QJsonArray entries = answer["entries"].toArray();
    QCOMPARE(model->rowCount(), entries.size());
    for (int i = 0; i < model->rowCount(); ++i) {
        const qdc::EntryParts& parts = model->entries().parts(i);
        const QJsonObject e = entries[i].toObject();
        const QModelIndex index = model->index(i);
        const QString odds = index.data(Qt::ToolTipRole).toString();
        const QStringList window = {
            shown(parts.name),
            shown(std::string(parts.plainName())),
            shown(parts.difficulty),
            shown(parts.chance),
            QString::number(
                numberIn(index.data(DropListModel::OneInRole).toString(), "^1 in (\\d+)$")),
            QString::number(numberIn(odds, "drop in (\\d+) kill"))};
        const QStringList fromTool = {
            e["name"].toString(),
            e["plain_name"].toString(),
            e["difficulty"].toString(),
            e["chance"].toString(),
            QString::number(e["one_in"].isNull() ? -1 : e["one_in"].toInteger()),
            QString::number(e["kills_90"].isNull() ? -1 : e["kills_90"].toInteger())};
        QCOMPARE(window, fromTool);
    }

    QStringList notes;
    for (const QJsonValue& note : answer["notes"].toArray())
        notes.append(note.toString());
    const QJsonObject error = answer["error"].toObject();
    if (!answer["error"].isNull())
        notes.append(error["stopped"].toString());
    QCOMPARE(list->notes(), notes);

    QCOMPARE(errors.reports.size(), answer["error"].isNull() ? 0 : 1);
    if (!errors.reports.isEmpty()) {
        const qdc::ErrorDescription& d = errors.reports[0].description;
        const QJsonObject namedBy = error["named_by"].toObject();
        const QStringList window = {
            errors.reports[0].message,
            shown(d.path),
            QString::number(d.line),
            shown(d.text),
            d.namedBy ? shown(d.namedBy->path) + ":" + QString::number(d.namedBy->line) : "",
            shown(d.hint)};
        const QStringList fromTool = {str(error["message"]),
                                      str(error["path"]),
                                      QString::number(error["line"].toInt()),
                                      str(error["text"]),
                                      error["named_by"].isNull()
                                          ? ""
                                          : str(namedBy["path"]) + ":" +
                                                QString::number(namedBy["line"].toInt()),
                                      str(error["hint"])};
        QCOMPARE(window, fromTool);
    }

    // The CSV, as Save As writes it.
    QTemporaryDir dir;
    const QString csvPath = dir.filePath("answer.csv");
    QVERIFY(ctl<DropListView>(form, "DropList")->saveTo(csvPath, true));
    QFile saved(csvPath);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray::fromStdString(tool("csv").out));
}

QTEST_MAIN(ParityTest)
#include "parity_test.moc"
