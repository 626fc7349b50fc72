#include "app/helpviewer.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
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
    // Only a regular file: opening a FIFO would wait for a writer.
    for (const QString& path : candidates) {
        const QFileInfo info(path);
        if (info.isFile())
            return QDir::cleanPath(path);
        if (info.exists())
            qWarning().noquote() << QStringLiteral("dropcalc: note: %1 is not a regular file: "
                                                   "the guide is not read from it")
                                        .arg(QDir::toNativeSeparators(QDir::cleanPath(path)));
    }
    return {};
}

void HelpViewer::load() {
    QFile file(guidePath());
    if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly)) {
        text_->setPlainText(QString::fromUtf8(file.readAll()));
        return;
    }
    text_->setPlainText(
        QStringLiteral("The guide Readme.txt was found neither next to the program (%1) nor in "
                       "its documentation folder (%2).")
            .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                 QDir::toNativeSeparators(QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                          "/../share/doc/dropcalc"))));
}

void HelpViewer::showFor(QWidget* window) {
    auto* viewer = window->findChild<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
    if (viewer == nullptr)
        viewer = new HelpViewer(window);
    viewer->load();
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

namespace {

class GuideClick : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            HelpViewer::showFor(static_cast<QWidget*>(watched)->window());
        return false;
    }
};

} // namespace

void HelpViewer::openOnClick(QLabel* label) {
    label->installEventFilter(new GuideClick(label));
    label->setCursor(Qt::PointingHandCursor);
}
