#include "app/answertext.h"

#include "results/odds.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

const QString kDot = QStringLiteral(" \u00b7 ");

} // namespace

QString difficultyList(qdc::DifficultySet difficulties) {
    QStringList names;
    for (const qdc::Difficulty d : qdc::kAllDifficulties)
        if (difficulties.has(d))
            names.append(QString::fromStdString(qdc::difficultyName(d)));
    return names.join(QStringLiteral(", "));
}

QString difficultyList(qdc::Difficulty difficulty) {
    return QString::fromStdString(qdc::difficultyName(difficulty));
}

QString headingText(const SearchQuestion& question, int entries) {
    QStringList parts{question.name};
    if (!question.difficulties.isEmpty())
        parts.append(question.difficulties);
    if (!question.magicFind.isEmpty())
        parts.append(QStringLiteral("magic find %1").arg(question.magicFind));
    parts.append(entries == 1 ? QStringLiteral("1 entry")
                              : QStringLiteral("%1 entries").arg(entries));
    return parts.join(kDot);
}

QString stoppedText(const QString& path, int line) {
    if (path.isEmpty())
        return QStringLiteral("Stopped by an error: the list holds only the entries found before "
                              "it.");
    const QString place = line > 0 ? QStringLiteral("%1, line %2").arg(path).arg(line) : path;
    return QStringLiteral("Stopped by an error in %1: the list holds only the entries found "
                          "before it.")
        .arg(place);
}

QString oneInText(double chancePercent) {
    const qdc::Odds odds = qdc::oddsFor(chancePercent);
    return odds.oneIn ? QStringLiteral("1 in %1").arg(*odds.oneIn) : QString();
}

QString oddsTip(double chancePercent) {
    const qdc::Odds odds = qdc::oddsFor(chancePercent);
    QStringList lines;
    if (odds.kills90)
        lines.append(*odds.kills90 == 1
                         ? QStringLiteral("90 % sure to drop in 1 kill")
                         : QStringLiteral("90 % sure to drop in %1 kills").arg(*odds.kills90));
    if (chancePercent > 100)
        lines.append(QStringLiteral("Over 100 %: the sum of the chances of its lines (those after "
                                    "a \"-\" line add to those before), not a probability."));
    return lines.join('\n');
}

QString suggestedFileName(const QString& name) {
    QString file = name.trimmed();
    for (QChar& c : file)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            c = '_';
    return file.isEmpty() ? QStringLiteral("drops") : file;
}

QString wrapAtBlanks(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split('\n')) {
        QString line;
        for (const QString& word : paragraph.split(' ')) {
            const QString longer = line.isEmpty() ? word : line + ' ' + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines.append(line);
                line = word;
            } else {
                line = longer;
            }
        }
        lines.append(line);
    }
    return lines.join('\n');
}
