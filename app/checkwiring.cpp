// How the window checks its data folder and watches the files its last
// search read.

#include "app/checkline.h"
#include "app/datacheck.h"
#include "app/datafolder.h"
#include "app/datawatch.h"
#include "app/dropunit.h"

namespace {

const QString kDataChangedNote = QStringLiteral("The data changed: searched again.");

} // namespace

void TForm1::setUpDataCheck() {
    // Below the folder's line, as wide as the window's controls.
    checkLine_ = new CheckLine(this);
    checkLine_->setGeometry(16, 480, 689, 17);
    checks_ = new DataCheck(this);
    watch_ = new DataWatch(this);
    connect(checks_, &DataCheck::checked, this,
            [this](const qdc::CheckReport& report) { checkLine_->setReport(report, dataFolder_); });
}

void TForm1::checkFolder() {
    checks_->start(localPath(dataFolder_), decimalSeparator_);
}

void TForm1::leaveFolder() {
    watch_->stop();
    checkLine_->clear();
}

// A search that ran on a folder left since is not watched. Running it again
// is left to a search already running, which reads the files as they are;
// the folder is checked again either way.
void TForm1::watchAnswer(const qdc::SearchKind& search, const qdc::SearchRequest& request,
                         QStringList firstNotes, const SearchAnswer& answer) {
    if (answer.folder != localPath(dataFolder_))
        return;
    firstNotes.removeAll(kDataChangedNote);
    watch_->watch(dataFolder_, answer.paths, [this, search, request, firstNotes] {
        if (!searching())
            runSearch(search, request, QStringList{kDataChangedNote} + firstNotes);
        checkFolder();
    });
}
