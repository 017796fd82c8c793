#include "platform/grid/GridModel.h"

#include "platform/core/Format.h"
#include "platform/grid/GridEx.h"
#include "platform/grid/ValueOrder.h"

#include <QBrush>
#include <QFont>
#include <algorithm>
#include <numeric>

namespace grid {

GridModel::GridModel(GridEx* grid) : QAbstractTableModel(grid), m_grid(grid) {}

int GridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return dataRowCount() + (m_newRowLine ? 1 : 0);
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

const GridRow& GridModel::rowAt(int row) const
{
    const int storage = m_order[row];
    if (!m_rows[storage].unboundFetched)
        fetchUnbound(storage);
    return m_rows[storage];
}

const core::Variant& GridModel::cellOf(const GridRow& row, int column) const
{
    static const core::Variant empty;
    const int field = m_columns[column].field;
    if (field >= 0 && !row.stored.isNull())
        return row.stored.value(field);
    return column < row.values.size() ? row.values[column] : empty;
}

const core::Variant& GridModel::storedCell(int storage, int column) const
{
    if (!m_rows[storage].unboundFetched)
        fetchUnbound(storage);
    return cellOf(m_rows[storage], column);
}

bool GridModel::hasUnboundColumns() const
{
    return std::any_of(m_columns.begin(), m_columns.end(), [](const ColumnInfo& c) { return c.field < 0; });
}

void GridModel::fetchUnbound(int storage) const
{
    GridRow& row = m_rows[storage];
    row.unboundFetched = true;
    if (!onFetchUnbound || !hasUnboundColumns())
        return;
    if (row.values.size() < m_columns.size())
        row.values.resize(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].field < 0)
            row.values[c] = onFetchUnbound(m_displayOf.value(storage, -1), c);
    }
}

core::Variant GridModel::value(int row, int column) const
{
    if (row < 0 || column < 0 || column >= m_columns.size())
        return {};
    if (row == m_editRow)
        return m_editValues.value(column);
    if (isNewRowLine(row))
        return m_columns[column].defaultValue;
    if (row >= dataRowCount())
        return {};
    return cellOf(rowAt(row), column);
}

QString GridModel::formatValue(int column, const core::Variant& value) const
{
    const ColumnInfo& info = m_columns[column];
    for (const auto& [item, text] : info.valueList) {
        if (conditionHolds(Condition::Equal, value, {}, item))
            return text;
    }
    int bound = -1;
    int shown = -1;
    if (!value.isEmptyOrNull() && dropDownColumns(column, bound, shown) && shown != bound) {
        GridModel* list = info.dropDown->gridModel();
        const int found = list->find(bound, Condition::Equal, value, 0, false);
        if (found >= 0)
            return list->displayText(found, shown);
    }
    // Free text stays as typed; only a pattern or a non-text value goes through the formatter.
    if (value.isString() && info.format.isEmpty())
        return value.toString();
    if (value.isEmptyOrNull())
        return core::format(value, info.format);
    if (info.format.isEmpty() && value.type() == core::VarType::Currency)
        return core::format(value, QStringLiteral("#,##0.00;-#,##0.00;0.00"));
    return core::format(value, info.format);
}

bool GridModel::dropDownColumns(int column, int& bound, int& shown) const
{
    const ColumnInfo& info = m_columns[column];
    if (!info.dropDown)
        return false;
    GridModel* list = info.dropDown->gridModel();
    if (list->columnCount() == 0)
        return false;
    bound = info.dropBoundKey.isEmpty() ? 0 : list->columnIndex(info.dropBoundKey);
    shown = info.dropShownKey.isEmpty() ? bound : list->columnIndex(info.dropShownKey);
    return bound >= 0 && shown >= 0;
}

QString GridModel::displayText(int row, int column) const
{
    return formatValue(column, value(row, column));
}

QString GridModel::editText(int row, int column) const
{
    return editTextOf(value(row, column));
}

db::Bookmark GridModel::bookmark(int row) const
{
    if (row < 0 || row >= dataRowCount())
        return 0;
    return m_rows[m_order[row]].bookmark;
}

int GridModel::rowOfBookmark(db::Bookmark bookmark) const
{
    for (int s = 0; s < m_rows.size(); ++s) {
        if (m_rows[s].bookmark == bookmark)
            return m_displayOf.value(s, -1);
    }
    return -1;
}

RowStyle GridModel::styleOf(int row) const
{
    RowStyle style;
    if (row >= dataRowCount() || row == m_editRow)
        return style;
    const int storage = m_order[row];
    if (m_styleOf.size() != m_rows.size())
        m_styleOf = QVector<int>(m_rows.size(), -1);
    if (m_styleOf[storage] < 0) {
        const QString asked = onRowFormat ? onRowFormat(row) : QString();
        qsizetype known = m_styleNames.indexOf(asked);
        if (known < 0) {
            known = m_styleNames.size();
            m_styleNames.append(asked);
        }
        m_styleOf[storage] = int(known);
    }
    const QString name = m_styleNames[m_styleOf[storage]];
    if (m_styles && !name.isEmpty())
        style = m_styles->value(name);
    for (const FormatCondition& condition : m_conditions) {
        const core::Variant cell = value(row, condition.column);
        if (conditionHolds(condition.op, cell, displayText(row, condition.column), condition.value)) {
            const RowStyle& extra = condition.style;
            style.bold = style.bold || extra.bold;
            style.italic = style.italic || extra.italic;
            if (extra.foreColor.isValid())
                style.foreColor = extra.foreColor;
            if (extra.backColor.isValid())
                style.backColor = extra.backColor;
        }
    }
    return style;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    const ColumnInfo& info = m_columns[column];
    switch (role) {
    case Qt::DisplayRole:
        if (info.type == db::DataType::Boolean && info.valueList.isEmpty())
            return {};
        if (info.icon)
            return {};
        return displayText(row, column);
    case Qt::EditRole:
        return editText(row, column);
    case Qt::CheckStateRole:
        if (info.type == db::DataType::Boolean && info.valueList.isEmpty()) {
            const core::Variant v = value(row, column);
            return v.toBool() ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    case Qt::DecorationRole:
        if (info.icon && m_images && onFetchIcon && row < dataRowCount()) {
            const int icon = onFetchIcon(row, column);
            if (icon >= 1 && icon <= m_images->size())
                return m_images->at(icon - 1);
        }
        return {};
    case Qt::TextAlignmentRole:
        if (db::isNumericType(info.type) && info.valueList.isEmpty() && !info.dropDown)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole: {
        const RowStyle style = styleOf(row);
        if (!style.bold && !style.italic)
            return {};
        QFont font = m_grid->font();
        font.setBold(style.bold);
        font.setItalic(style.italic);
        return font;
    }
    case Qt::ForegroundRole: {
        const RowStyle style = styleOf(row);
        return style.foreColor.isValid() ? QVariant(QBrush(style.foreColor)) : QVariant();
    }
    case Qt::BackgroundRole: {
        const RowStyle style = styleOf(row);
        return style.backColor.isValid() ? QVariant(QBrush(style.backColor)) : QVariant();
    }
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_columns.size() ? m_columns[section].caption : QString();
    if (isNewRowLine(section))
        return QStringLiteral("*");
    return section == m_editRow ? QStringLiteral("\u270E") : QString::number(section + 1);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const ColumnInfo& info = m_columns[index.column()];
    Qt::ItemFlags result = Qt::ItemIsEnabled;
    if (info.selectable)
        result |= Qt::ItemIsSelectable;
    if (m_allowEdit && info.editable) {
        if (info.type == db::DataType::Boolean && info.valueList.isEmpty())
            result |= Qt::ItemIsUserCheckable;
        else
            result |= Qt::ItemIsEditable;
    }
    return result;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    const ColumnInfo& info = m_columns[index.column()];
    core::Variant converted;
    if (role == Qt::CheckStateRole)
        converted = core::Variant(value.toInt() == Qt::Checked);
    else if (role == Qt::EditRole)
        converted = valueFromEditText(value.toString(), info.type);
    else
        return false;
    return userEdit(index.row(), index.column(), converted);
}

bool GridModel::userEdit(int row, int column, const core::Variant& value)
{
    return onUserEdit ? onUserEdit(row, column, value) : false;
}

void GridModel::resetAll(QVector<ColumnInfo> columns, QVector<GridRow> rows)
{
    beginResetModel();
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_editRow = -1;
    m_editIsNew = false;
    m_sortKeys.clear();
    m_conditions.clear();
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    m_displayOf = m_order;
    invalidateCaches();
    endResetModel();
}

void GridModel::setRows(QVector<GridRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_editRow = -1;
    m_editIsNew = false;
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    m_displayOf = m_order;
    invalidateCaches();
    sortRows();
    endResetModel();
}

int GridModel::addColumn(ColumnInfo column)
{
    const int index = int(m_columns.size());
    beginInsertColumns({}, index, index);
    m_columns.append(std::move(column));
    for (GridRow& row : m_rows)
        row.unboundFetched = false;
    if (m_editRow >= 0) {
        m_editValues.resize(m_columns.size());
        m_editChanged.resize(m_columns.size());
    }
    endInsertColumns();
    return index;
}

void GridModel::columnChanged(int index)
{
    m_findTexts.remove(index);
    if (index == m_foldedColumn)
        m_foldedColumn = -1;
    Q_EMIT headerDataChanged(Qt::Horizontal, index, index);
    if (rowCount() > 0)
        Q_EMIT dataChanged(this->index(0, index), this->index(rowCount() - 1, index));
}

int GridModel::columnIndex(const QString& key) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].key.compare(key, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void GridModel::setNewRowLine(bool on)
{
    if (on == m_newRowLine)
        return;
    const int row = dataRowCount();
    if (on) {
        beginInsertRows({}, row, row);
        m_newRowLine = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, row, row);
        m_newRowLine = false;
        endRemoveRows();
    }
}

void GridModel::setSortKeys(QVector<QPair<int, int>> keys)
{
    m_sortKeys = std::move(keys);
    Q_EMIT layoutAboutToBeChanged();
    sortRows();
    Q_EMIT layoutChanged();
}

void GridModel::sortRows()
{
    if (m_sortKeys.isEmpty()) {
        // Without keys the rows stand in the order of the record source.
        std::iota(m_order.begin(), m_order.end(), 0);
    } else {
        // Unbound values must be known before ordering by them (storedCell fetches them).
        QVector<QVector<SortKey>> keys;
        keys.reserve(m_sortKeys.size());
        for (const auto& [column, order] : m_sortKeys) {
            QVector<SortKey> columnKeys(m_rows.size());
            for (int s = 0; s < m_rows.size(); ++s)
                columnKeys[s] = sortKeyOf(storedCell(s, column));
            keys.append(std::move(columnKeys));
        }
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            for (int k = 0; k < keys.size(); ++k) {
                const int c = compareSortKeys(keys[k][a], keys[k][b]);
                if (c != 0)
                    return m_sortKeys[k].second < 0 ? c > 0 : c < 0;
            }
            return false;
        });
    }
    m_displayOf = QVector<int>(m_rows.size(), -1);
    for (int r = 0; r < m_order.size(); ++r)
        m_displayOf[m_order[r]] = r;
    keepFoldedFirstKey();
}

void GridModel::keepFoldedFirstKey()
{
    m_foldedColumn = -1;
    if (m_sortKeys.isEmpty() || m_sortKeys.first().second < 0)
        return;
    const int column = m_sortKeys.first().first;
    const ColumnInfo& info = m_columns[column];
    if (!info.valueList.isEmpty() || info.dropDown)
        return;
    // Only plain text reads as it sorts; Null reads as "" and sorts first, which keeps the order.
    for (int r = 0; r < m_order.size(); ++r) {
        const core::Variant& v = storedCell(m_order[r], column);
        if (!v.isEmptyOrNull() && (!v.isString() || !info.format.isEmpty()))
            return;
    }
    m_foldedColumn = column;
}

const QVector<QString>& GridModel::findTexts(int column) const
{
    auto it = m_findTexts.find(column);
    if (it == m_findTexts.end()) {
        QVector<QString> texts(m_rows.size());
        for (int s = 0; s < m_rows.size(); ++s) {
            const core::Variant& v = storedCell(s, column);
            texts[s] = v.isString() && m_columns[column].valueList.isEmpty() && !m_columns[column].dropDown
                           ? v.toString()
                           : formatValue(column, v);
        }
        it = m_findTexts.insert(column, std::move(texts));
    }
    return *it;
}

int GridModel::find(int column, int condition, const core::Variant& operand, int startRow, bool wrap) const
{
    const int count = dataRowCount();
    if (column < 0 || column >= m_columns.size() || count == 0)
        return -1;
    const int start = std::clamp(startRow, 0, count);
    const int steps = wrap ? count : count - start;
    if (condition == Condition::BeginsWith || condition == Condition::Contains) {
        const QString wanted = operand.toString();
        if (condition == Condition::BeginsWith && m_foldedColumn == column) {
            // Sorted ascending by this text column: the rows that begin with the
            // text stand together, so the first of them is found by halving. The
            // few rows it looks at are folded then: a folded copy of the column
            // would hold its texts twice.
            const QString folded = wanted.toCaseFolded();
            const auto foldedAt = [&](int r) { return storedCell(m_order[r], column).toString().toCaseFolded(); };
            int row = 0;
            for (int past = count; row < past;) {
                const int middle = row + (past - row) / 2;
                if (foldedAt(middle).compare(folded) < 0)
                    row = middle + 1;
                else
                    past = middle;
            }
            const auto matches = [&](int r) { return r < count && (folded.isEmpty() || foldedAt(r).startsWith(folded)); };
            if (matches(std::max(row, start)))
                return std::max(row, start);
            return wrap && matches(row) ? row : -1;
        }
        const QVector<QString>& texts = findTexts(column);
        const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
        for (int i = 0; i < steps; ++i) {
            const int row = (start + i) % count;
            const QString& text = texts[m_order[row]];
            // Every text, also a Null one, begins with nothing.
            if (wanted.isEmpty() || (condition == Condition::BeginsWith ? text.startsWith(wanted, cs) : text.contains(wanted, cs)))
                return row;
        }
        return -1;
    }
    for (int i = 0; i < steps; ++i) {
        const int row = (start + i) % count;
        if (conditionHolds(condition, storedCell(m_order[row], column), QString(), operand))
            return row;
    }
    return -1;
}

void GridModel::startEdit(int row)
{
    m_editRow = row;
    m_editIsNew = isNewRowLine(row);
    m_editValues.resize(m_columns.size());
    m_editChanged = QVector<bool>(m_columns.size(), false);
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_editIsNew) {
            m_editValues[c] = m_columns[c].defaultValue;
            m_editChanged[c] = !m_columns[c].defaultValue.isEmpty();
        } else {
            m_editValues[c] = cellOf(rowAt(row), c);
        }
    }
    Q_EMIT headerDataChanged(Qt::Vertical, row, row);
}

void GridModel::setEditValue(int column, const core::Variant& value)
{
    if (m_editRow < 0 || column < 0 || column >= m_columns.size())
        return;
    m_editValues[column] = value;
    m_editChanged[column] = true;
    const int row = m_editRow;
    Q_EMIT dataChanged(index(row, column), index(row, column));
}

void GridModel::cancelEdit()
{
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    m_editRow = -1;
    m_editIsNew = false;
    Q_EMIT headerDataChanged(Qt::Vertical, row, row);
    if (row < rowCount())
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void GridModel::finishEdit(const GridRow& written)
{
    const int row = m_editRow;
    const bool isNew = m_editIsNew;
    m_editRow = -1;
    m_editIsNew = false;
    if (isNew) {
        // The committed row takes the place of the new-row line, which moves below it.
        const int storage = int(m_rows.size());
        beginInsertRows({}, row + 1, row + 1);
        m_rows.append(written);
        m_order.append(storage);
        m_displayOf.append(row);
        endInsertRows();
    } else {
        const int storage = m_order[row];
        m_rows[storage] = written;
    }
    invalidateCaches();
    Q_EMIT headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void GridModel::removeRow(int row)
{
    if (row < 0 || row >= dataRowCount())
        return;
    beginRemoveRows({}, row, row);
    const int storage = m_order[row];
    m_rows.remove(storage);
    m_order.remove(row);
    for (int& s : m_order) {
        if (s > storage)
            --s;
    }
    m_displayOf = QVector<int>(m_rows.size(), -1);
    for (int r = 0; r < m_order.size(); ++r)
        m_displayOf[m_order[r]] = r;
    invalidateCaches();
    endRemoveRows();
}

int GridModel::putRow(int replace, GridRow row)
{
    if (replace >= 0 && replace < dataRowCount())
        removeRow(replace);
    const int storage = int(m_rows.size());
    m_rows.append(std::move(row));
    fetchUnbound(storage);
    int at = dataRowCount();
    if (!m_sortKeys.isEmpty()) {
        QVector<SortKey> mine;
        for (const auto& [column, order] : m_sortKeys)
            mine.append(sortKeyOf(cellOf(m_rows[storage], column)));
        // After the rows that sort equal to it, as a stable sort would leave a row read last.
        auto before = [&](int other) {
            for (int k = 0; k < m_sortKeys.size(); ++k) {
                const int c = compareSortKeys(mine[k], sortKeyOf(storedCell(other, m_sortKeys[k].first)));
                if (c != 0)
                    return m_sortKeys[k].second < 0 ? c > 0 : c < 0;
            }
            return false;
        };
        at = int(std::partition_point(m_order.begin(), m_order.end(), [&](int other) { return !before(other); })
                 - m_order.begin());
    }
    beginInsertRows({}, at, at);
    m_order.insert(at, storage);
    m_displayOf = QVector<int>(m_rows.size(), -1);
    for (int r = 0; r < m_order.size(); ++r)
        m_displayOf[m_order[r]] = r;
    invalidateCaches();
    keepFoldedFirstKey();
    endInsertRows();
    return at;
}

void GridModel::addFormatCondition(FormatCondition condition)
{
    m_conditions.append(std::move(condition));
    invalidateRowStyles();
}

void GridModel::invalidateRowStyles()
{
    m_styleOf.clear();
    m_styleNames.clear();
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void GridModel::invalidateCaches()
{
    m_styleOf.clear();
    m_styleNames.clear();
    m_findTexts.clear();
    // Edited or moved rows no longer stand where the halving search expects them.
    m_foldedColumn = -1;
}

} // namespace grid
