#include "app/answertext.h"

#include <QFontMetrics>
#include <QStringList>

QString oneInText(const qdc::EntryParts& entry) {
    return entry.odds.oneIn ? QStringLiteral("1 in %1").arg(*entry.odds.oneIn) : QString();
}

bool overHundred(const qdc::EntryParts& entry) {
    return entry.value && *entry.value > 100;
}

QString oddsTip(const qdc::EntryParts& entry) {
    QStringList lines;
    if (const auto kills = entry.odds.kills90)
        lines.append(*kills == 1 ? QStringLiteral("90 % sure to drop in 1 kill")
                                 : QStringLiteral("90 % sure to drop in %1 kills").arg(*kills));
    if (overHundred(entry))
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
