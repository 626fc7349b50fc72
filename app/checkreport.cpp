#include "app/checkreport.h"

#include "app/checkline.h"
#include "app/dropunit.h"
#include "app/nametext.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { kFile, kLine, kSeverity, kMessage };

// The file's path as the system names it: a problem of the data folder
// itself names the folder as given.
QString filePath(const QString& folder, const std::string& path) {
    return QDir(folder).filePath(QFile::decodeName(QByteArray::fromStdString(path)));
}

} // namespace

CheckReportDialog::CheckReportDialog(const qdc::CheckReport& report, const QString& folder,
                                     QWidget* parent)
    : QDialog(parent), openUrl([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      rows_(new QTreeWidget(this)), open_(new QPushButton(QStringLiteral("&Open in editor"))),
      folder_(folder) {
    setObjectName(QStringLiteral("CheckReport"));
    setWindowTitle(QStringLiteral("Data check - %1").arg(kWindowTitle));
    auto* heading =
        new QLabel(QStringLiteral("%1: %2").arg(problemSummary(report.errors(), report.warnings()),
                                                QDir::toNativeSeparators(folder)),
                   this);
    heading->setTextFormat(Qt::PlainText);
    heading->setWordWrap(true);

    rows_->setObjectName(QStringLiteral("CheckRows"));
    rows_->setAccessibleName(QStringLiteral("Problems"));
    rows_->setRootIsDecorated(false);
    rows_->setUniformRowHeights(true);
    rows_->setAllColumnsShowFocus(true);
    rows_->setWordWrap(false);
    rows_->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Line"),
                            QStringLiteral("Severity"), QStringLiteral("Message")});
    for (const qdc::Problem& p : report.problems) {
        auto* row = new QTreeWidgetItem(rows_);
        const QString path = QFile::decodeName(QByteArray::fromStdString(p.path));
        row->setText(kFile, QDir::toNativeSeparators(path));
        row->setData(kFile, Qt::UserRole, filePath(folder, p.path));
        row->setText(kLine, p.line > 0 ? QString::number(p.line) : QString());
        row->setTextAlignment(kLine, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(kSeverity, p.severity == qdc::Severity::Error ? QStringLiteral("error")
                                                                   : QStringLiteral("warning"));
        const QString message = NameText::decode(p.message);
        row->setText(kMessage, message);
        row->setToolTip(kMessage, message);
    }
    for (int column : {kFile, kLine, kSeverity})
        rows_->resizeColumnToContents(column);
    rows_->setCurrentItem(rows_->topLevelItem(0));
    connect(rows_, &QTreeWidget::itemActivated, this, &CheckReportDialog::openCurrent);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(open_, QDialogButtonBox::ActionRole);
    // Enter opens the current row's file through the list, not a default
    // button as well.
    for (QAbstractButton* button : buttons->buttons())
        if (auto* push = qobject_cast<QPushButton*>(button))
            push->setAutoDefault(false);
    connect(open_, &QPushButton::clicked, this, &CheckReportDialog::openCurrent);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(rows_);
    layout->addWidget(buttons);
    resize(720, 360);
    rows_->setFocus();
}

void CheckReportDialog::openCurrent() {
    const QTreeWidgetItem* row = rows_->currentItem();
    if (row != nullptr && openUrl)
        openUrl(QUrl::fromLocalFile(row->data(kFile, Qt::UserRole).toString()));
}
