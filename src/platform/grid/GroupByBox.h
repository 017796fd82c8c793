#pragma once

#include <QFrame>
#include <QString>
#include <QVector>
#include <functional>

class QHBoxLayout;
class QLabel;
class QMimeData;

namespace grid {

// The strip above a grid that takes column headers dragged into it. It shows
// its hint while empty and one tag per grouped column after that; a tag
// dragged out of the strip ungroups its column.
class GroupByBox : public QFrame {
    Q_OBJECT
public:
    explicit GroupByBox(QWidget* parent);

    void setHint(const QString& hint);
    QString hint() const;
    // The grouped columns as (column, caption), outermost first.
    void setColumns(const QVector<QPair<int, QString>>& columns);

    // What a header drag carries: the column of the grid it leaves.
    static QMimeData* columnData(const QWidget* grid, int column);
    // The column a drag from `grid` carries, or -1.
    static int columnOf(const QMimeData* data, const QWidget* grid);

    std::function<void(int column)> onDropColumn;
    std::function<void(int column)> onDragOut;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dragTag(QLabel* tag);

    QHBoxLayout* m_layout;
    QLabel* m_hint;
    QVector<QLabel*> m_tags;
    QPoint m_pressAt;
};

} // namespace grid
