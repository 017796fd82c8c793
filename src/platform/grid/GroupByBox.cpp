#include "platform/grid/GroupByBox.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>

namespace grid {

namespace {
constexpr const char* kColumnMime = "application/x-grid-column";
constexpr const char* kTagColumn = "groupColumn";
} // namespace

GroupByBox::GroupByBox(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("groupByBox"));
    setFrameShape(QFrame::StyledPanel);
    setAcceptDrops(true);
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(4, 2, 4, 2);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("lblGroupByHint"));
    m_hint->setEnabled(false);
    m_layout->addWidget(m_hint);
    m_layout->addStretch();
}

void GroupByBox::setHint(const QString& hint) { m_hint->setText(hint); }
QString GroupByBox::hint() const { return m_hint->text(); }

void GroupByBox::setColumns(const QVector<QPair<int, QString>>& columns)
{
    // A tag may be the one being dragged out right now: it goes once its events are done.
    for (QLabel* tag : m_tags) {
        tag->hide();
        tag->removeEventFilter(this);
        tag->deleteLater();
    }
    m_tags.clear();
    for (const auto& [column, caption] : columns) {
        auto* tag = new QLabel(caption, this);
        tag->setObjectName(QStringLiteral("groupColumn(%1)").arg(column + 1));
        tag->setFrameShape(QFrame::Panel);
        tag->setFrameShadow(QFrame::Raised);
        tag->setProperty(kTagColumn, column);
        tag->installEventFilter(this);
        m_layout->insertWidget(int(m_tags.size()), tag);
        m_tags.append(tag);
    }
    m_hint->setVisible(m_tags.isEmpty());
}

QMimeData* GroupByBox::columnData(const QWidget* grid, int column)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kColumnMime),
                  QByteArray::number(quintptr(grid)) + ' ' + QByteArray::number(column));
    return data;
}

int GroupByBox::columnOf(const QMimeData* data, const QWidget* grid)
{
    if (!data || !data->hasFormat(QString::fromLatin1(kColumnMime)))
        return -1;
    const QList<QByteArray> parts = data->data(QString::fromLatin1(kColumnMime)).split(' ');
    // A header of another grid means nothing here.
    if (parts.size() != 2 || parts[0].toULongLong() != quintptr(grid))
        return -1;
    bool ok = false;
    const int column = parts[1].toInt(&ok);
    return ok ? column : -1;
}

void GroupByBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (columnOf(event->mimeData(), parentWidget()) >= 0)
        event->acceptProposedAction();
}

void GroupByBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (columnOf(event->mimeData(), parentWidget()) >= 0)
        event->acceptProposedAction();
}

void GroupByBox::dropEvent(QDropEvent* event)
{
    const int column = columnOf(event->mimeData(), parentWidget());
    if (column < 0)
        return;
    event->acceptProposedAction();
    if (onDropColumn)
        onDropColumn(column);
}

bool GroupByBox::eventFilter(QObject* watched, QEvent* event)
{
    auto* tag = qobject_cast<QLabel*>(watched);
    if (!tag || !m_tags.contains(tag))
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressAt = static_cast<QMouseEvent*>(event)->position().toPoint();
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        auto* move = static_cast<QMouseEvent*>(event);
        if ((move->buttons() & Qt::LeftButton)
            && (move->position().toPoint() - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
            dragTag(tag);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void GroupByBox::dragTag(QLabel* tag)
{
    const int column = tag->property(kTagColumn).toInt();
    auto* drag = new QDrag(tag);
    drag->setMimeData(columnData(parentWidget(), column));
    drag->setPixmap(tag->grab());
    // Dropped back on the strip it stays; anywhere else it leaves the grouping.
    const bool droppedHere = drag->exec(Qt::MoveAction) != Qt::IgnoreAction && drag->target()
                             && (drag->target() == this || isAncestorOf(qobject_cast<QWidget*>(drag->target())));
    if (!droppedHere && onDragOut)
        onDragOut(column);
}

} // namespace grid
