#include "platform/grid/GridEx.h"

#include "platform/core/Error.h"
#include "platform/database/Field.h"
#include "platform/grid/GridDelegate.h"
#include "platform/grid/GridModel.h"
#include "platform/grid/GroupByBox.h"
#include "platform/grid/ValueOrder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <numeric>

namespace grid {

namespace {

// The virtual-key numbers the system's handlers test (Enter 13, F4 115, ...).
int virtualKeyOf(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key; // 65..90, as the virtual keys
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

core::Error itemNotFound()
{
    return core::Error(3265, QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."),
                       QStringLiteral("GridEX"));
}

} // namespace

GridEx::GridEx(QWidget* parent) : QWidget(parent)
{
    m_view = new QTableView(this);
    m_model = new GridModel(this);
    m_delegate = new GridDelegate(this);
    m_view->setModel(m_model);
    m_view->setItemDelegate(m_delegate);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(true);
    m_view->verticalHeader()->setVisible(false);
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->setWordWrap(false);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    setFocusProxy(m_view);

    m_groupBox = new GroupByBox(this);
    m_groupBox->hide();
    m_groupBox->onDropColumn = [this](int column) { groupBy(column + 1); };
    m_groupBox->onDragOut = [this](int column) { ungroup(column + 1); };
    m_view->horizontalHeader()->viewport()->installEventFilter(this);

    // The grouped rows: a tree of group rows over the same rows, shown in the
    // table's place while any column is grouped.
    m_groupView = new QTreeView(this);
    m_groupView->setObjectName(QStringLiteral("groupView"));
    m_groupModel = new QStandardItemModel(this);
    m_groupView->setModel(m_groupModel);
    m_groupView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_groupView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_groupView->setUniformRowHeights(true);
    m_groupView->installEventFilter(this);
    m_groupView->hide();
    connect(m_groupView->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { onGroupCurrentChanged(); });

    m_navigator = new QWidget(this);
    m_navigator->setObjectName(QStringLiteral("navigator"));
    auto* navigation = new QHBoxLayout(m_navigator);
    navigation->setContentsMargins(0, 0, 0, 0);
    navigation->setSpacing(2);
    const auto navigatorButton = [this, navigation](const char* name, QStyle::StandardPixmap icon, const QString& tip,
                                                    std::function<int()> target) {
        auto* button = new QToolButton(m_navigator);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(icon));
        button->setToolTip(tip);
        button->setAutoRaise(true);
        // The grid keeps the keyboard: its own keys move as these buttons do.
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, target] { moveByNavigator(target()); });
        navigation->addWidget(button);
        return button;
    };
    navigatorButton("cmdNavFirst", QStyle::SP_MediaSkipBackward, QStringLiteral("Primo"), [] { return 0; });
    navigatorButton("cmdNavPrevious", QStyle::SP_MediaSeekBackward, QStringLiteral("Precedente"),
                    [this] { return m_currentRow - 1; });
    m_navigatorLabel = new QLabel(m_navigator);
    m_navigatorLabel->setObjectName(QStringLiteral("lblNavigator"));
    m_navigatorLabel->setContentsMargins(6, 0, 6, 0);
    navigation->addWidget(m_navigatorLabel);
    navigatorButton("cmdNavNext", QStyle::SP_MediaSeekForward, QStringLiteral("Successivo"),
                    [this] { return m_currentRow < 0 ? 0 : m_currentRow + 1; });
    navigatorButton("cmdNavLast", QStyle::SP_MediaSkipForward, QStringLiteral("Ultimo"),
                    [this] { return m_model->dataRowCount() - 1; });
    navigation->addStretch();
    m_navigator->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_groupBox);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_groupView, 1);
    layout->addWidget(m_navigator);

    m_styles.insert(QStringLiteral("Default"), RowStyle{});
    m_model->setStyles(&m_styles);
    m_model->setImages(&m_images);

    m_model->onUserEdit = [this](int row, int column, const core::Variant& value) {
        return applyCellEdit(row, column, value);
    };
    m_model->onFetchUnbound = [this](int row, int column) {
        core::Variant value;
        Q_EMIT unboundReadData(row + 1, column + 1, value);
        return value;
    };
    m_model->onRowFormat = [this](int row) {
        QString style;
        Q_EMIT rowFormat(row + 1, style);
        return style;
    };
    m_model->onFetchIcon = [this](int row, int column) {
        int icon = 0;
        Q_EMIT fetchIcon(row + 1, column + 1, icon);
        return icon;
    };

    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &GridEx::onCurrentChanged);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { showCurrent(); });
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this, &GridEx::onHeaderClicked);
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { Q_EMIT dblClick(); });
    connect(qApp, &QApplication::focusChanged, this, &GridEx::onFocusChanged);

    // The navigator and the grouped rows follow every change of the rows.
    const auto rowsChanged = [this] {
        updateNavigator();
        rebuildGroups();
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, rowsChanged);
    connect(this, &GridEx::afterUpdate, this, [this] { rebuildGroups(); });
    updateNavigator();
}

GridEx::~GridEx()
{
    // The child view loses the focus while it is destroyed, after this object's
    // own part is gone: the application must not call back into it then.
    disconnect(qApp, &QApplication::focusChanged, this, &GridEx::onFocusChanged);
    if (m_view) {
        m_view->removeEventFilter(this);
        m_view->viewport()->removeEventFilter(this);
        m_view->horizontalHeader()->viewport()->removeEventFilter(this);
    }
    if (m_groupView)
        m_groupView->removeEventFilter(this);
    if (m_delegate)
        m_delegate->detach();
}

// ---- binding -------------------------------------------------------------

void GridEx::setConnectionString(const QString& connectionString) { m_connectionString = connectionString; }
void GridEx::setRecordSource(const QString& sql) { m_recordSource = sql; }

bool GridEx::rebind(bool)
{
    db::Recordset recordset;
    try {
        recordset.setCursorLocation(db::CursorLocation::Client);
        recordset.open(m_recordSource, m_connectionString, db::CursorType::Static, m_lockType, db::CommandType::Text);
    } catch (const core::Error& e) {
        m_recordset = db::Recordset();
        m_unbound = false;
        m_currentRow = -1;
        m_model->resetAll({}, {});
        reportError(e.number(), e.description());
        return false;
    }
    bindRecordset(recordset);
    return true;
}

void GridEx::setRecordset(const db::Recordset& recordset)
{
    bindRecordset(recordset);
}

void GridEx::bindRecordset(const db::Recordset& recordset)
{
    m_model->cancelEdit();
    m_recordset = recordset;
    m_unbound = false;

    QVector<ColumnInfo> columns;
    const int fields = m_recordset.isOpen() ? m_recordset.fieldCount() : 0;
    for (int i = 0; i < fields; ++i) {
        const db::Field field = m_recordset.field(i);
        ColumnInfo info;
        info.key = field.name();
        info.caption = field.name();
        info.field = i;
        info.type = field.type();
        info.editable = !field.isAutoIncrement();
        info.nullable = field.isNullable();
        columns.append(info);
    }
    // The same columns as before (a rebind of the same query): keep what the caller set on them.
    const QVector<ColumnInfo>& previous = m_model->columns();
    int previousBound = 0;
    for (const ColumnInfo& info : previous)
        previousBound += info.field >= 0 ? 1 : 0;
    bool same = previousBound == columns.size() && !columns.isEmpty();
    for (int i = 0; same && i < columns.size(); ++i)
        same = previous[i].field == i && previous[i].key.compare(columns[i].key, Qt::CaseInsensitive) == 0;
    if (same) {
        QVector<ColumnInfo> kept = previous;
        for (int i = 0; i < columns.size(); ++i)
            kept[i].type = columns[i].type;
        columns = kept;
    }

    QVector<GridRow> rows = [&] {
        // Rows are read with the new columns known to the model's width.
        m_model->resetAll(columns, {});
        return readRows();
    }();
    m_model->resetAll(columns, std::move(rows));
    applyAllColumns();
    setCurrent(m_model->dataRowCount() > 0 ? 0 : -1, -1);
}

QVector<GridRow> GridEx::readRows()
{
    QVector<GridRow> rows;
    if (m_recordset.isNull() || !m_recordset.isOpen())
        return rows;
    try {
        rows.reserve(m_recordset.recordCount());
        if (m_recordset.recordCount() > 0)
            m_recordset.moveFirst();
        while (!m_recordset.eof()) {
            // The row is read where the recordset keeps it, never copied.
            GridRow row;
            row.stored = m_recordset.currentRow();
            row.bookmark = row.stored.bookmark();
            rows.append(std::move(row));
            m_recordset.moveNext();
        }
    } catch (const core::Error& e) {
        reportError(e.number(), e.description());
    }
    return rows;
}

bool GridEx::refreshRows(const QString& sql, int column, const core::Variant& key)
{
    const int keyColumn = column - 1;
    if (m_unbound || keyColumn < 0 || keyColumn >= m_model->columnCount())
        return false;
    QVector<GridRow> read;
    try {
        db::Recordset rs;
        rs.setCursorLocation(db::CursorLocation::Client);
        rs.open(sql, m_connectionString, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
        while (!rs.eof()) {
            // Bookmark 0: the row has no place in the recordset the list was bound to.
            // Its fields stand as the list's, the query being the record source narrowed.
            GridRow row;
            row.stored = rs.currentRow();
            read.append(std::move(row));
            rs.moveNext();
        }
        rs.close();
    } catch (const core::Error& e) {
        reportError(e.number(), e.description());
        return false;
    }
    m_model->cancelEdit();
    int removedAt = -1;
    for (int r = m_model->dataRowCount() - 1; r >= 0; --r) {
        if (m_model->value(r, keyColumn) == key) {
            m_model->removeRow(r);
            removedAt = r;
        }
    }
    int current = -1;
    for (int i = 0; i < read.size(); ++i) {
        const int at = m_model->putRow(-1, std::move(read[i]));
        current = i == 0 ? at : (at <= current ? current + 1 : current);
    }
    // A row gone leaves the current row where it stood; nothing changed, nothing moves.
    if (current < 0 && removedAt >= 0)
        current = std::min(removedAt, m_model->dataRowCount() - 1);
    if (current < 0 && removedAt < 0)
        return true;
    m_currentRow = -1;
    if (current >= 0)
        setCurrent(current, -1);
    updateNavigator();
    return true;
}

void GridEx::refresh()
{
    if (m_unbound) {
        const int current = m_currentRow;
        setItemCount(itemCount());
        if (current >= 0 && current < m_model->rowCount())
            setCurrent(current, -1);
        return;
    }
    const db::Bookmark current = rowBookmark(row());
    m_model->cancelEdit();
    m_model->setRows(readRows());
    int row = current != 0 ? m_model->rowOfBookmark(current) : -1;
    if (row < 0 && m_model->dataRowCount() > 0)
        row = 0;
    setCurrent(row, -1);
}

void GridEx::setItemCount(int count)
{
    m_unbound = true;
    m_model->cancelEdit();
    QVector<GridRow> rows(std::max(0, count));
    for (int r = 0; r < rows.size(); ++r) {
        rows[r].bookmark = r + 1;
        rows[r].values.resize(m_model->columnCount());
    }
    m_model->setRows(std::move(rows));
    setCurrent(count > 0 ? 0 : -1, -1);
}

int GridEx::itemCount() const { return m_model->dataRowCount(); }

GridColumn GridEx::addUnboundColumn(const QString& key, const QString& caption)
{
    ColumnInfo info;
    info.key = key;
    info.caption = caption.isNull() ? key : caption;
    info.field = -1;
    const int index = m_model->addColumn(info);
    applyColumn(index);
    return GridColumn(this, index);
}

// ---- columns -------------------------------------------------------------

int GridEx::columnCount() const { return m_model->columnCount(); }

GridColumn GridEx::column(int index) const
{
    if (index < 1 || index > m_model->columnCount())
        throw itemNotFound();
    return GridColumn(const_cast<GridEx*>(this), index - 1);
}

GridColumn GridEx::column(const QString& key) const
{
    const int index = m_model->columnIndex(key);
    if (index < 0)
        throw itemNotFound();
    return GridColumn(const_cast<GridEx*>(this), index);
}

int GridEx::columnIndex(const QString& key) const { return m_model->columnIndex(key) + 1; }

ColumnInfo& GridEx::columnInfo(int index)
{
    // A column handle kept across a rebind that brought fewer columns.
    if (index < 0 || index >= m_model->columnCount())
        throw itemNotFound();
    return m_model->column(index);
}

int GridEx::twipsToPixels(int twips) const { return grid::twipsToPixels(twips, logicalDpiX()); }
int GridEx::pixelsToTwips(int pixels) const { return grid::pixelsToTwips(pixels, logicalDpiX()); }

void GridEx::applyColumn(int index)
{
    const ColumnInfo& info = m_model->columns()[index];
    const bool hidden = !info.visible || info.widthTwips == 0;
    m_view->setColumnHidden(index, hidden);
    if (!hidden && info.widthTwips > 0)
        m_view->setColumnWidth(index, twipsToPixels(info.widthTwips));
    m_model->columnChanged(index);
    // A current cell in a column just hidden would keep the arrows from moving:
    // the row stays current in its first visible column.
    const QModelIndex current = m_view->currentIndex();
    if (hidden && current.isValid() && current.column() == index && m_currentRow >= 0) {
        QHeaderView* header = m_view->horizontalHeader();
        for (int p = 0; p < header->count(); ++p) {
            const int logical = header->logicalIndex(p);
            if (!header->isSectionHidden(logical)) {
                setCurrent(m_currentRow, logical);
                break;
            }
        }
    }
}

void GridEx::applyAllColumns()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        applyColumn(c);
}

// ---- sort keys -----------------------------------------------------------

void GridEx::clearSortKeys()
{
    const db::Bookmark current = rowBookmark(row());
    m_model->setSortKeys({});
    if (current != 0)
        setCurrent(m_model->rowOfBookmark(current), -1);
    m_view->horizontalHeader()->setSortIndicatorShown(false);
}

void GridEx::addSortKey(int column, int order)
{
    if (column < 1 || column > m_model->columnCount())
        throw itemNotFound();
    if (!commitRowEdit())
        return;
    auto keys = m_model->sortKeys();
    keys.append({column - 1, order < 0 ? SortOrder::Descending : SortOrder::Ascending});
    const db::Bookmark current = rowBookmark(row());
    m_model->setSortKeys(keys);
    // The first key is the one the header shows.
    QHeaderView* header = m_view->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(keys.first().first, keys.first().second < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
    setCurrent(current != 0 ? m_model->rowOfBookmark(current) : (m_model->dataRowCount() > 0 ? 0 : -1), -1);
}

int GridEx::sortKeyCount() const { return int(m_model->sortKeys().size()); }

int GridEx::sortKeyColumn(int key) const
{
    const auto& keys = m_model->sortKeys();
    return key >= 1 && key <= keys.size() ? keys[key - 1].first + 1 : 0;
}

int GridEx::sortKeyOrder(int key) const
{
    const auto& keys = m_model->sortKeys();
    return key >= 1 && key <= keys.size() ? keys[key - 1].second : 0;
}

void GridEx::onHeaderClicked(int section)
{
    Q_EMIT columnHeaderClick(section + 1);
    if (!m_headerClickSorts)
        return;
    const bool wasAscending = sortKeyCount() > 0 && sortKeyColumn(1) == section + 1 && sortKeyOrder(1) == SortOrder::Ascending;
    clearSortKeys();
    addSortKey(section + 1, wasAscending ? SortOrder::Descending : SortOrder::Ascending);
}

// ---- rows ----------------------------------------------------------------

int GridEx::rowCount() const { return m_model->dataRowCount(); }

bool GridEx::isNewRowLine(int row) const { return m_model->isNewRowLine(row - 1); }

void GridEx::setRow(int row)
{
    const int target = row - 1;
    if (target < -1 || target >= m_model->rowCount())
        return;
    setCurrent(target, -1);
}

int GridEx::col() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? m_view->horizontalHeader()->visualIndex(current.column()) + 1 : 0;
}

void GridEx::setCol(int position)
{
    const int logical = m_view->horizontalHeader()->logicalIndex(position - 1);
    if (logical < 0)
        return;
    setCurrent(m_currentRow, logical);
}

int GridEx::currentColumnIndex() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

core::Variant GridEx::value(int column) const { return cellValue(row(), column); }

core::Variant GridEx::value(const QString& key) const
{
    const int index = m_model->columnIndex(key);
    if (index < 0)
        throw itemNotFound();
    return cellValue(row(), index + 1);
}

void GridEx::setValue(int column, const core::Variant& value)
{
    if (column < 1 || column > m_model->columnCount())
        throw itemNotFound();
    if (m_currentRow < 0)
        throw core::Error(3021, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."),
                          QStringLiteral("GridEX"));
    applyCellEdit(m_currentRow, column - 1, value);
}

void GridEx::setValue(const QString& key, const core::Variant& value)
{
    const int index = m_model->columnIndex(key);
    if (index < 0)
        throw itemNotFound();
    setValue(index + 1, value);
}

core::Variant GridEx::cellValue(int row, int column) const
{
    if (column < 1 || column > m_model->columnCount())
        throw itemNotFound();
    return m_model->value(row - 1, column - 1);
}

QString GridEx::cellText(int row, int column) const
{
    if (column < 1 || column > m_model->columnCount())
        throw itemNotFound();
    return m_model->displayText(row - 1, column - 1);
}

db::Bookmark GridEx::rowBookmark(int row) const { return m_model->bookmark(row - 1); }

bool GridEx::find(int column, int condition, const core::Variant& value, int startRow, bool wrap)
{
    if (column < 1 || column > m_model->columnCount())
        throw itemNotFound();
    const int found = m_model->find(column - 1, condition, value, std::max(0, startRow - 1), wrap);
    if (found < 0)
        return false;
    setCurrent(found, -1);
    return m_currentRow == found;
}

void GridEx::ensureCurrentVisible()
{
    if (m_view->currentIndex().isValid())
        m_view->scrollTo(m_view->currentIndex());
}

void GridEx::setCurrent(int row, int column)
{
    if (row < 0) {
        if (!commitRowEdit())
            return;
        const int previous = m_currentRow;
        const int previousColumn = col();
        m_currentRow = -1;
        m_view->selectionModel()->clearCurrentIndex();
        m_view->clearSelection();
        updateNavigator();
        if (previous != -1)
            Q_EMIT currentCellChanged(previous + 1, previousColumn);
        return;
    }
    int logical = column;
    if (logical < 0) {
        const QModelIndex current = m_view->currentIndex();
        logical = current.isValid() ? current.column() : -1;
        // The first visible column, in display order.
        QHeaderView* header = m_view->horizontalHeader();
        for (int p = 0; logical < 0 && p < header->count(); ++p) {
            if (!header->isSectionHidden(header->logicalIndex(p)))
                logical = header->logicalIndex(p);
        }
        if (logical < 0)
            logical = 0;
    }
    const QModelIndex target = m_model->index(row, logical);
    if (!target.isValid())
        return;
    const QModelIndex before = m_view->selectionModel()->currentIndex();
    m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect
                                                          | (m_view->selectionBehavior() == QAbstractItemView::SelectRows
                                                                 ? QItemSelectionModel::Rows
                                                                 : QItemSelectionModel::NoUpdate));
    if (before == target && m_currentRow != row) {
        // The view stood there already (its rows moved under it): no change was
        // reported, yet this is the current row now.
        const int previous = m_currentRow;
        m_currentRow = row;
        moveRecordsetTo(row);
        Q_EMIT currentCellChanged(previous + 1, col());
    }
    showCurrent();
    m_view->scrollTo(target);
    updateNavigator();
}

void GridEx::onCurrentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (m_movingBack)
        return;
    const int previousRow = m_currentRow;
    const int previousColumn = previous.isValid() ? m_view->horizontalHeader()->visualIndex(previous.column()) + 1 : 0;
    const int newRow = current.isValid() ? current.row() : -1;
    if (newRow != previousRow && m_model->isEditing() && m_model->editRow() == previousRow) {
        // Leaving the edited row writes it; a refusal keeps the user on it.
        if (!commitRowEdit()) {
            m_movingBack = true;
            const QModelIndex back = m_model->index(previousRow, previous.isValid() ? previous.column() : 0);
            m_view->selectionModel()->setCurrentIndex(back, QItemSelectionModel::ClearAndSelect);
            m_movingBack = false;
            return;
        }
    }
    m_currentRow = newRow;
    showCurrent();
    if (newRow != previousRow)
        moveRecordsetTo(newRow);
    updateNavigator();
    Q_EMIT currentCellChanged(previousRow + 1, previousColumn);
}

void GridEx::showCurrent()
{
    // The row a command acts on is the row the user sees highlighted: whatever
    // took the highlight away (a Ctrl+click, Ctrl+Space, the view choosing a
    // current cell on its own) gives it back.
    if (m_showingCurrent || m_currentRow < 0)
        return;
    QItemSelectionModel* selection = m_view->selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (!current.isValid() || current.row() != m_currentRow)
        return;
    const bool rows = m_view->selectionBehavior() == QAbstractItemView::SelectRows;
    if (rows ? selection->isRowSelected(m_currentRow, {}) : selection->isSelected(current))
        return;
    // With several rows selectable, what the user selected is what commands act on.
    if (m_multiSelect && selection->hasSelection())
        return;
    m_showingCurrent = true;
    selection->select(current, QItemSelectionModel::ClearAndSelect
                                   | (rows ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    m_showingCurrent = false;
}

bool GridEx::clickOutsideCells(QMouseEvent* event)
{
    if (m_view->indexAt(event->position().toPoint()).isValid())
        return false;
    // Below the last row there is no row to act on: none is current. Beside the
    // last column of a row is that row.
    const int row = m_view->rowAt(event->position().toPoint().y());
    if (event->type() == QEvent::MouseButtonPress && event->button() == Qt::LeftButton) {
        setCurrent(row, -1);
        if (!m_view->hasFocus())
            m_view->setFocus(Qt::MouseFocusReason);
    }
    return true;
}

void GridEx::moveRecordsetTo(int row)
{
    if (m_unbound || m_recordset.isNull() || !m_recordset.isOpen() || row < 0 || row >= m_model->dataRowCount())
        return;
    if (m_model->bookmark(row) == 0)
        return;
    try {
        m_recordset.setBookmark(m_model->bookmark(row));
    } catch (const core::Error& e) {
        reportError(e.number(), e.description());
    }
}

// ---- editing -------------------------------------------------------------

void GridEx::setAllowEdit(bool on)
{
    m_allowEdit = on;
    m_model->setAllowEdit(on);
    m_view->setSelectionBehavior(on ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    m_view->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                     | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                               : QAbstractItemView::NoEditTriggers);
}

void GridEx::setAllowAddNew(bool on)
{
    m_allowAddNew = on;
    m_model->setNewRowLine(on);
}

bool GridEx::isEditingRow() const { return m_model->isEditing(); }

bool GridEx::applyCellEdit(int row, int column, const core::Variant& value)
{
    if (row < 0 || row >= m_model->rowCount())
        return false;
    if (m_model->editRow() != row) {
        if (m_model->isEditing() && !commitRowEdit())
            return false;
        m_model->startEdit(row);
    }
    const core::Variant old = m_model->value(row, column);
    m_model->setEditValue(column, value);
    // A handler that sets the column it is being told about does not hear of it again.
    if (m_updatingColumns.contains(column))
        return true;
    m_updatingColumns.insert(column);
    bool cancel = false;
    Q_EMIT beforeColUpdate(column + 1, old, cancel);
    if (cancel)
        m_model->setEditValue(column, old);
    else
        Q_EMIT afterColUpdate(column + 1);
    m_updatingColumns.remove(column);
    return !cancel;
}

bool GridEx::commitRowEdit()
{
    if (!m_model->isEditing())
        return true;
    bool cancel = false;
    Q_EMIT beforeUpdate(cancel);
    if (cancel || !m_model->isEditing())
        return !cancel && !m_model->isEditing();
    Q_EMIT beforeRowWrite(cancel);
    if (cancel)
        return false;

    const int row = m_model->editRow();
    const bool isNew = m_model->editIsNew();
    const QVector<core::Variant> values = m_model->editValues();
    GridRow written;
    written.values = values;
    const bool bound = !m_unbound && !m_recordset.isNull() && m_recordset.isOpen();
    if (bound) {
        try {
            if (isNew)
                m_recordset.addNew();
            else
                m_recordset.setBookmark(m_model->bookmark(row));
            for (int c = 0; c < values.size(); ++c) {
                const int field = m_model->columns()[c].field;
                if (field >= 0 && m_model->editChanged(c))
                    m_recordset.setValue(field, values[c]);
            }
            m_recordset.update();
            // The row shows what the recordset holds: its conversions and counter values.
            written.stored = m_recordset.currentRow();
            written.bookmark = written.stored.bookmark();
        } catch (const core::Error& e) {
            try {
                if (m_recordset.editMode() != db::EditMode::None)
                    m_recordset.cancelUpdate();
            } catch (const core::Error&) {
            }
            reportError(e.number(), e.description());
            return false;
        }
    } else {
        // Nothing behind an unbound grid to read back from: the row keeps what was typed.
        written.bookmark = isNew ? m_model->dataRowCount() + 1 : m_model->bookmark(row);
        written.unboundFetched = true;
    }
    m_model->finishEdit(written);
    Q_EMIT afterUpdate();
    return true;
}

void GridEx::cancelRowEdit()
{
    if (QWidget* editor = m_delegate->openEditor())
        Q_EMIT m_delegate->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    m_model->cancelEdit();
}

bool GridEx::deleteCurrentRow()
{
    const int row = m_currentRow;
    if (row < 0 || row >= m_model->dataRowCount())
        return false;
    bool cancel = false;
    Q_EMIT beforeDelete(cancel);
    if (cancel)
        return false;
    if (m_model->editRow() == row)
        m_model->cancelEdit();
    if (!m_unbound && !m_recordset.isNull() && m_recordset.isOpen()) {
        try {
            m_recordset.setBookmark(m_model->bookmark(row));
            m_recordset.deleteRecord();
        } catch (const core::Error& e) {
            reportError(e.number(), e.description());
            return false;
        }
    }
    m_model->removeRow(row);
    m_currentRow = -1;
    const int next = std::min(row, m_model->rowCount() - 1);
    setCurrent(next, -1);
    Q_EMIT afterDelete();
    return true;
}

// ---- look ----------------------------------------------------------------

void GridEx::addRowStyle(const QString& name, const RowStyle& style)
{
    m_styles.insert(name, style);
    m_model->invalidateRowStyles();
}

void GridEx::addFormatCondition(int column, int condition, const core::Variant& value, const RowStyle& style)
{
    if (column < 1 || column > m_model->columnCount())
        throw itemNotFound();
    m_model->addFormatCondition(FormatCondition{column - 1, condition, value, style});
}

void GridEx::addImage(const QIcon& icon) { m_images.append(icon); }

void GridEx::setRowHeight(int twips)
{
    QHeaderView* rows = m_view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(std::max(1, twipsToPixels(twips)));
}

void GridEx::setColumnHeadersVisible(bool on) { m_view->horizontalHeader()->setVisible(on); }
void GridEx::setRowHeadersVisible(bool on) { m_view->verticalHeader()->setVisible(on); }

// ---- events --------------------------------------------------------------

bool GridEx::containsWidget(const QWidget* widget) const
{
    // Walks past window boundaries too, so a drop-down list's popup counts as inside.
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == this)
            return true;
    }
    return false;
}

void GridEx::onFocusChanged(QWidget* old, QWidget* now)
{
    const bool wasInside = old && containsWidget(old);
    const bool isInside = now && containsWidget(now);
    if (wasInside == isInside)
        return;
    if (isInside) {
        Q_EMIT focusGained();
        return;
    }
    if (now) {
        bool cancel = false;
        Q_EMIT validate(cancel);
        if (cancel) {
            m_view->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    Q_EMIT focusLost();
}

bool GridEx::handleKey(QObject* target, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || m_replayingKey)
        return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    int code = virtualKeyOf(keyEvent->key());
    if (code != 0) {
        Q_EMIT keyDown(code, shiftStateOf(keyEvent->modifiers()));
        if (code == 0)
            return true;
    }
    const QString text = keyEvent->text();
    if (text.size() != 1)
        return false;
    const int original = text.at(0).unicode();
    if (original < 32 && original != 8 && original != 13 && original != 27)
        return false;
    int ascii = original;
    Q_EMIT keyPress(ascii);
    if (ascii == 0)
        return true;
    if (ascii != original) {
        // The handler typed another character in place of this one.
        QKeyEvent replaced(QEvent::KeyPress, 0, keyEvent->modifiers(), QString(QChar(ascii)));
        m_replayingKey = true;
        QCoreApplication::sendEvent(target, &replaced);
        m_replayingKey = false;
        return true;
    }
    return false;
}

bool GridEx::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_view || watched == m_groupView) && handleKey(watched, event))
        return true;
    if (watched == m_view->horizontalHeader()->viewport() && m_groupBox->isVisible()) {
        // A header dragged far enough leaves for the group-by box; a plain click still sorts.
        if (event->type() == QEvent::MouseButtonPress) {
            auto* press = static_cast<QMouseEvent*>(event);
            m_headerPressAt = press->position().toPoint();
            m_headerPressSection = press->button() == Qt::LeftButton
                                       ? m_view->horizontalHeader()->logicalIndexAt(m_headerPressAt)
                                       : -1;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_headerPressSection = -1;
        } else if (event->type() == QEvent::MouseMove && m_headerPressSection >= 0) {
            auto* move = static_cast<QMouseEvent*>(event);
            if ((move->buttons() & Qt::LeftButton)
                && (move->position().toPoint() - m_headerPressAt).manhattanLength() >= QApplication::startDragDistance()) {
                const int section = m_headerPressSection;
                m_headerPressSection = -1;
                startHeaderDrag(section);
                return true;
            }
        }
    }
    if (watched == m_view->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
            || event->type() == QEvent::MouseButtonDblClick)
        && clickOutsideCells(static_cast<QMouseEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void GridEx::reportError(long number, const QString& description)
{
    Q_EMIT error(number, description);
}

// ---- record navigator ----------------------------------------------------

void GridEx::setNavigatorVisible(bool on)
{
    m_navigator->setVisible(on);
    updateNavigator();
}

bool GridEx::isNavigatorVisible() const { return !m_navigator->isHidden(); }

void GridEx::setNavigatorTexts(const QString& texts)
{
    const QStringList parts = texts.split(QLatin1Char('|'));
    m_navigatorBefore = parts.value(0);
    m_navigatorBetween = parts.value(1);
    updateNavigator();
}

QString GridEx::navigatorText() const { return m_navigatorLabel->text(); }

void GridEx::updateNavigator()
{
    if (!m_navigatorLabel)
        return;
    const int count = m_model->dataRowCount();
    // The new-row line has no number yet: it shows as its row header does.
    const QString current = m_currentRow < 0 ? QStringLiteral("0")
                            : m_model->isNewRowLine(m_currentRow) ? QStringLiteral("*")
                                                                  : QString::number(m_currentRow + 1);
    QStringList words;
    for (const QString& word : {m_navigatorBefore, current, m_navigatorBetween, QString::number(count)}) {
        if (!word.isEmpty())
            words << word;
    }
    m_navigatorLabel->setText(words.join(QLatin1Char(' ')));
    const bool atFirst = m_currentRow <= 0;
    const bool atLast = m_currentRow >= count - 1;
    for (const char* name : {"cmdNavFirst", "cmdNavPrevious"}) {
        if (auto* button = m_navigator->findChild<QToolButton*>(QString::fromLatin1(name)))
            button->setEnabled(count > 0 && !atFirst);
    }
    for (const char* name : {"cmdNavNext", "cmdNavLast"}) {
        if (auto* button = m_navigator->findChild<QToolButton*>(QString::fromLatin1(name)))
            button->setEnabled(count > 0 && !atLast);
    }
}

void GridEx::moveByNavigator(int target)
{
    const int count = m_model->dataRowCount();
    if (count == 0)
        return;
    setCurrent(std::clamp(target, 0, count - 1), -1);
    if (!m_groupColumns.isEmpty())
        rebuildGroups();
}

// ---- several rows and their deletion -------------------------------------

void GridEx::setMultiSelect(bool on)
{
    m_multiSelect = on;
    m_view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_groupView->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QVector<int> GridEx::selectedRows() const
{
    QSet<int> rows;
    if (!m_groupColumns.isEmpty()) {
        for (const QModelIndex& index : m_groupView->selectionModel()->selectedRows()) {
            const QVariant row = index.data(Qt::UserRole);
            if (row.isValid())
                rows.insert(row.toInt());
        }
    } else {
        for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes())
            rows.insert(index.row());
    }
    QVector<int> result;
    for (int row : rows) {
        if (row >= 0 && row < m_model->dataRowCount())
            result.append(row + 1);
    }
    if (result.isEmpty() && m_currentRow >= 0 && m_currentRow < m_model->dataRowCount())
        result.append(m_currentRow + 1);
    std::sort(result.begin(), result.end());
    return result;
}

GridEx::DeleteResult GridEx::deleteRows(const QVector<int>& rows)
{
    DeleteResult result;
    // The row being edited goes with the others, or is written first.
    if (m_model->isEditing()) {
        if (rows.contains(m_model->editRow() + 1))
            cancelRowEdit();
        else if (!commitPendingEdit())
            return result;
    }
    QVector<db::Bookmark> marks;
    for (int row : rows) {
        if (row >= 1 && row <= m_model->dataRowCount())
            marks.append(m_model->bookmark(row - 1));
    }
    int first = rows.isEmpty() ? 0 : rows.first() - 1;
    const bool bound = !m_unbound && !m_recordset.isNull() && m_recordset.isOpen();
    for (db::Bookmark mark : marks) {
        const int row = m_model->rowOfBookmark(mark);
        if (row < 0)
            continue;
        bool cancel = false;
        Q_EMIT beforeDelete(cancel);
        if (cancel)
            continue;
        if (bound) {
            try {
                m_recordset.setBookmark(mark);
                m_recordset.deleteRecord();
            } catch (const core::Error& e) {
                result.refused << e.description();
                continue;
            }
        }
        m_model->removeRow(row);
        ++result.deleted;
        Q_EMIT afterDelete();
    }
    m_currentRow = -1;
    const int count = m_model->dataRowCount();
    setCurrent(count > 0 ? std::clamp(first, 0, count - 1) : -1, -1);
    updateNavigator();
    return result;
}

bool GridEx::isCellEditorOpen() const { return m_delegate->openEditor() != nullptr; }

bool GridEx::commitPendingEdit()
{
    if (QWidget* editor = m_delegate->openEditor()) {
        // The editor's text reaches the row as leaving the cell would give it.
        Q_EMIT m_delegate->commitData(editor);
        Q_EMIT m_delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    return commitRowEdit();
}

// ---- grouping --------------------------------------------------------------

void GridEx::setGroupByBoxVisible(bool on) { m_groupBox->setVisible(on); }
bool GridEx::isGroupByBoxVisible() const { return !m_groupBox->isHidden(); }
void GridEx::setGroupByBoxHint(const QString& hint) { m_groupBox->setHint(hint); }

void GridEx::startHeaderDrag(int section)
{
    auto* drag = new QDrag(m_view->horizontalHeader());
    drag->setMimeData(GroupByBox::columnData(this, section));
    drag->exec(Qt::MoveAction);
}

void GridEx::groupBy(int column)
{
    const int index = column - 1;
    if (index < 0 || index >= m_model->columnCount() || m_groupColumns.contains(index))
        return;
    // The grouped rows are shown read-only: an edit in progress is written first.
    if (!commitPendingEdit())
        return;
    m_groupColumns.append(index);
    QVector<QPair<int, QString>> tags;
    for (int c : m_groupColumns)
        tags.append({c, m_model->columns()[c].caption});
    m_groupBox->setColumns(tags);
    m_view->hide();
    m_groupView->show();
    rebuildGroups();
}

void GridEx::ungroup(int column)
{
    if (!m_groupColumns.removeOne(column - 1))
        return;
    QVector<QPair<int, QString>> tags;
    for (int c : m_groupColumns)
        tags.append({c, m_model->columns()[c].caption});
    m_groupBox->setColumns(tags);
    if (m_groupColumns.isEmpty()) {
        m_groupModel->clear();
        m_groupView->hide();
        m_view->show();
        if (m_currentRow >= 0)
            setCurrent(m_currentRow, -1);
        return;
    }
    rebuildGroups();
}

void GridEx::rebuildGroups()
{
    if (m_groupColumns.isEmpty() || !m_groupModel)
        return;
    // Columns grouped away from this grid's columns (a rebind brought others) go.
    m_groupColumns.erase(std::remove_if(m_groupColumns.begin(), m_groupColumns.end(),
                                        [this](int c) { return c >= m_model->columnCount(); }),
                         m_groupColumns.end());
    if (m_groupColumns.isEmpty()) {
        m_groupBox->setColumns({});
        m_groupModel->clear();
        m_groupView->hide();
        m_view->show();
        return;
    }
    // Which groups were open, by their path of texts, so a rebuild keeps them so.
    QSet<QString> closed;
    const std::function<void(const QModelIndex&, const QString&)> collect = [&](const QModelIndex& parent, const QString& path) {
        for (int r = 0; r < m_groupModel->rowCount(parent); ++r) {
            const QModelIndex index = m_groupModel->index(r, 0, parent);
            if (!index.data(Qt::UserRole + 1).isValid())
                continue;
            const QString here = path + QLatin1Char('\x1f') + index.data(Qt::UserRole + 1).toString();
            if (!m_groupView->isExpanded(index))
                closed.insert(here);
            collect(index, here);
        }
    };
    collect({}, {});

    QHeaderView* header = m_view->horizontalHeader();
    QVector<int> shown; // the table's visible columns, in display order
    for (int p = 0; p < header->count(); ++p) {
        const int logical = header->logicalIndex(p);
        if (!m_view->isColumnHidden(logical))
            shown.append(logical);
    }
    m_groupModel->clear();
    QStringList captions;
    for (int c : shown)
        captions << m_model->columns()[c].caption;
    m_groupModel->setHorizontalHeaderLabels(captions);

    QVector<int> all(m_model->dataRowCount());
    std::iota(all.begin(), all.end(), 0);
    QStandardItem* currentItem = nullptr;
    const std::function<void(QStandardItem*, const QVector<int>&, int, const QString&)> build =
        [&](QStandardItem* parent, const QVector<int>& rows, int level, const QString& path) {
            if (level == m_groupColumns.size()) {
                for (int row : rows) {
                    QList<QStandardItem*> cells;
                    for (int c : shown) {
                        auto* cell = new QStandardItem(m_model->displayText(row, c));
                        cell->setData(row, Qt::UserRole);
                        cells << cell;
                    }
                    if (row == m_currentRow)
                        currentItem = cells.first();
                    parent->appendRow(cells);
                }
                return;
            }
            const int column = m_groupColumns[level];
            // Groups in the order of their values, rows inside keeping the table's order.
            QVector<QPair<SortKey, QVector<int>>> groups;
            for (int row : rows) {
                const SortKey key = sortKeyOf(m_model->value(row, column));
                auto it = std::find_if(groups.begin(), groups.end(),
                                       [&](const auto& g) { return compareSortKeys(g.first, key) == 0; });
                if (it == groups.end())
                    groups.append({key, {row}});
                else
                    it->second.append(row);
            }
            std::stable_sort(groups.begin(), groups.end(),
                             [](const auto& a, const auto& b) { return compareSortKeys(a.first, b.first) < 0; });
            for (const auto& [key, members] : groups) {
                const QString text = m_model->displayText(members.first(), column);
                const int n = int(members.size());
                auto* group = new QStandardItem(QStringLiteral("%1: %2 (%3 %4)")
                                                    .arg(m_model->columns()[column].caption, text)
                                                    .arg(n)
                                                    .arg(n == 1 ? QStringLiteral("riga") : QStringLiteral("righe")));
                group->setData(text, Qt::UserRole + 1);
                group->setData(n, Qt::UserRole + 2);
                QFont font = group->font();
                font.setBold(true);
                group->setFont(font);
                parent->appendRow(group);
                build(group, members, level + 1, path + QLatin1Char('\x1f') + text);
            }
        };
    build(m_groupModel->invisibleRootItem(), all, 0, {});

    const std::function<void(const QModelIndex&, const QString&)> open = [&](const QModelIndex& parent, const QString& path) {
        for (int r = 0; r < m_groupModel->rowCount(parent); ++r) {
            const QModelIndex index = m_groupModel->index(r, 0, parent);
            if (!index.data(Qt::UserRole + 1).isValid())
                continue;
            m_groupView->setFirstColumnSpanned(r, parent, true);
            const QString here = path + QLatin1Char('\x1f') + index.data(Qt::UserRole + 1).toString();
            m_groupView->setExpanded(index, !closed.contains(here));
            open(index, here);
        }
    };
    open({}, {});
    if (currentItem) {
        const QSignalBlocker quiet(m_groupView->selectionModel());
        m_groupView->selectionModel()->setCurrentIndex(currentItem->index(), QItemSelectionModel::ClearAndSelect
                                                                                  | QItemSelectionModel::Rows);
    }
}

void GridEx::onGroupCurrentChanged()
{
    const QVariant row = m_groupView->currentIndex().data(Qt::UserRole);
    if (row.isValid() && row.toInt() != m_currentRow)
        setCurrent(row.toInt(), -1);
}

// ---- calendar texts --------------------------------------------------------

void GridEx::setCalendarTexts(const QString& today, const QString& empty)
{
    m_calendarToday = today;
    m_calendarEmpty = empty;
}

} // namespace grid
