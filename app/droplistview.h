#pragma once

#include "results/resultlist.h"

#include <QListView>
#include <QStringList>

#include <vector>

class DropListModel;
class QAction;
class QLabel;

// The result list. Beside each entry stands its "1 in N", in a column under
// the heading "1 in N" just after the widest entry; an entry too wide for the
// list has the middle of its name cut, so that its difficulty, chance and
// "1 in N" stay in view (Copy and Save as keep it whole). Its tooltip tells
// the kills for 90 %, and the full text of an entry that is cut. Ctrl+C copies the selected
// entries, Ctrl+A selects them all, and the context menu copies or saves the whole list. Over the
// entries, inside the list's frame, a banner tells what the answer is (its heading) and the notes
// that go with it, each wrapped at blanks.
class DropListView : public QListView {
    Q_OBJECT
  public:
    explicit DropListView(QWidget* parent = nullptr);

    void setDropModel(DropListModel* model);
    // The banner's heading and notes; `fileName` is what Save as suggests.
    // `suggestions`: the names the last note suggests (see
    // qdc::suggestionText()); each shows in it as a link that emits
    // suggestionChosen() with its index.
    void setBanner(const QString& heading, const QStringList& notes, const QString& fileName,
                   const QStringList& suggestions = {});
    // Whether a search is running; the banner says so and the pointer is busy.
    void setBusy(bool busy);
    const QString& heading() const { return heading_; }
    const QStringList& notes() const { return notes_; }
    const QStringList& suggestions() const { return suggestions_; }
    bool busy() const { return busy_; }
    const QLabel* banner() const { return banner_; }

    // In the viewport's coordinates: the right edge of the "1 in N" column,
    // and the room for an entry's text before it; the widest "1 in N".
    int oddsRight() const;
    int textRoom() const;
    int oddsWidth() const { return oddsWidth_; }
    int textMargin() const;
    // The entry's text as the list shows it: whole, or with the middle of its
    // name cut to fit before the "1 in N" column.
    QString shownText(const QModelIndex& index) const;

    // The parts of the selected entries, in list order.
    std::vector<qdc::EntryParts> selectedParts() const;
    // Selects an entry of each of these parts (name, chance, difficulty), as
    // the list holds them now: after the separator command rewrote and
    // sorted them again, the same entries.
    void selectParts(const std::vector<qdc::EntryParts>& parts);

    void copySelected() const;
    void copyAll() const;
    // Asks for a file, suggesting the searched name, and writes the entries
    // as text, or as CSV (qdc::entriesCsv, as the page and the tool write it)
    // when the CSV type is chosen or the name ends with ".csv"; a name
    // without either ending gets the chosen type's.
    void saveAs();
    // Writes the entries to `path`; false when it could not (the user is told).
    bool saveTo(const QString& path, bool csv);

  signals:
    void suggestionChosen(int index);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QList<int> selectedRows() const;
    void showTip(const QPoint& pos, const QPoint& globalPos);
    void layoutBanner();
    void measureColumns();

    DropListModel* drop_ = nullptr;
    QLabel* banner_;
    QLabel* oddsHead_;
    int widestEntry_ = 0;
    int oddsWidth_ = 0;
    QString heading_;
    QStringList notes_;
    QStringList suggestions_;
    QString fileName_;
    bool busy_ = false;
    QAction* copy_;
    QAction* copyAll_;
    QAction* save_;
};
