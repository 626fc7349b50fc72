#include "app/checkline.h"

#include "app/checkreport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QString problemSummary(int errors, int warnings) {
    const QString counts = QString::fromStdString(qdc::problemCounts(errors, warnings));
    return counts.isEmpty() ? counts : counts + QStringLiteral(" in this data folder");
}

CheckLine::CheckLine(QWidget* parent)
    : QWidget(parent), summary_(new QLabel(this)), show_(new QPushButton(this)) {
    setObjectName(QStringLiteral("CheckLine"));
    summary_->setObjectName(QStringLiteral("CheckSummary"));
    summary_->setTextFormat(Qt::PlainText);
    show_->setObjectName(QStringLiteral("CheckShow"));
    show_->setText(QStringLiteral("Show\u2026"));
    show_->setAutoDefault(true);
    // As small as the window's other buttons.
    show_->setFixedSize(65, 17);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(summary_);
    layout->addWidget(show_);
    layout->addStretch();
    connect(show_, &QPushButton::clicked, this, &CheckLine::showReport);
    hide();
}

void CheckLine::setReport(const qdc::CheckReport& report, const QString& folder) {
    report_ = report;
    folder_ = folder;
    const QString text = problemSummary(report.errors(), report.warnings());
    summary_->setText(text);
    show_->setAccessibleName(QStringLiteral("Show the problems: %1").arg(text));
    setVisible(!text.isEmpty());
}

void CheckLine::clear() {
    report_ = {};
    hide();
}

void CheckLine::showReport() {
    if (report_.problems.empty())
        return;
    auto* dialog = new CheckReportDialog(report_, folder_, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
