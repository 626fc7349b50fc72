#include "app/helpviewer.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent), text_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Quarnhold Drop Calculator: Readme.txt"));
    text_->setObjectName(QStringLiteral("HelpText"));
    text_->setReadOnly(true);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(640, 560);
}

QString HelpViewer::guidePath() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString candidates[] = {
        programDir.filePath(QStringLiteral("Readme.txt")),
        programDir.filePath(QStringLiteral("../share/doc/dropcalc/Readme.txt")),
        QStringLiteral(DROPCALC_SOURCE_DIR "/Readme.txt"),
    };
    for (const QString& path : candidates)
        if (QFile::exists(path))
            return QDir::cleanPath(path);
    return {};
}

bool HelpViewer::load() {
    QFile file(guidePath());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    text_->setPlainText(QString::fromUtf8(file.readAll()));
    return true;
}
