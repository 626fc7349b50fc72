#pragma once

#include <QListView>

#include <string>
#include <vector>

class DropListModel;
class QAction;

// The result list: entries are never cut; a horizontal scroll bar appears when
// one is wider than the list, and such an entry shows its full text as a
// tooltip. Ctrl+C copies the selected entries, Ctrl+A selects them all, and the
// context menu copies or saves the whole list. A search that found nothing
// may leave a note, drawn greyed over the empty list.
class DropListView : public QListView {
    Q_OBJECT
  public:
    explicit DropListView(QWidget* parent = nullptr);

    void setDropModel(DropListModel* model);
    void setNote(const QString& note);
    const QString& note() const { return note_; }

    // The selected entries as the core holds them, in list order.
    std::vector<std::string> selectedEntries() const;
    // Selects the first entry of each of these texts.
    void selectEntries(const std::vector<std::string>& entries);

    void copySelected() const;
    void copyAll() const;
    // Asks for a file and writes the entries as text, or as CSV when the CSV
    // type is chosen or the name ends with ".csv".
    void saveAs();
    // Writes the entries to `path`; false when it could not (the user is told).
    bool saveTo(const QString& path, bool csv);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QList<int> selectedRowNumbers() const;
    void showFullText(const QPoint& pos, const QPoint& globalPos);

    DropListModel* drop_ = nullptr;
    QString note_;
    QAction* copy_;
    QAction* copyAll_;
    QAction* save_;
};
