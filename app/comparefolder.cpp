#include "app/comparefolder.h"

#include "app/nametext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

void showComparison(QWidget* parent, const QString& heading, const QString& other,
                    const std::vector<qdc::DiffRow>& rows) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Comparison"));
    dialog.setWindowTitle(QStringLiteral("Compared with %1").arg(QDir::toNativeSeparators(other)));
    auto* layout = new QVBoxLayout(&dialog);
    const QString counted = rows.empty() ? QStringLiteral("nothing changes")
                            : rows.size() == 1
                                ? QStringLiteral("1 entry changes")
                                : QStringLiteral("%1 entries change").arg(rows.size());
    auto* summary = new QLabel(
        QStringLiteral("%1: on %2, %3.").arg(heading, QDir::toNativeSeparators(other), counted),
        &dialog);
    summary->setTextFormat(Qt::PlainText);
    summary->setWordWrap(true);
    layout->addWidget(summary);
    if (!rows.empty()) {
        auto* list = new QListWidget(&dialog);
        list->setObjectName(QStringLiteral("ComparisonRows"));
        list->setAccessibleName(QStringLiteral("Changes"));
        for (const qdc::DiffRow& row : rows)
            list->addItem(NameText::decode(qdc::diffRowText(row)));
        list->setMinimumWidth(std::min(list->sizeHintForColumn(0) + 40, 900));
        layout->addWidget(list);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}
