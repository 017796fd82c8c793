#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"
#include "platform/database/Types.h"
#include "platform/grid/GridTypes.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace grid {

class GridEx;

// One column's settings; indices are 0-based inside the grid.
struct ColumnInfo {
    QString key;               // the field name (or the key given to an unbound column)
    QString caption;
    int field = -1;            // recordset field index; -1 for an unbound column
    db::DataType type = db::DataType::Variant;
    int widthTwips = -1;       // -1: the view's own width
    bool visible = true;
    QString format;
    core::Variant defaultValue;
    bool editable = true;
    bool nullable = true;      // the field may hold Null
    bool selectable = true;
    bool button = false;       // the cell shows a button (buttonClick)
    bool icon = false;         // the cell shows an icon asked for by fetchIcon
    QPointer<GridEx> dropDown; // another grid as the drop-down list
    QString dropBoundKey;      // its column stored in the cell (empty: its first column)
    QString dropShownKey;      // its column shown in the cell (empty: the bound one)
    QVector<QPair<core::Variant, QString>> valueList; // value -> text shown
};

// A row of the list. A row of the bound recordset is read through its handle,
// so the list holds no second copy of the recordset's values; `values` holds
// what has no place there: every column of a row the grid keeps itself (an
// unbound grid's, one read apart), the unbound columns of a stored one.
struct GridRow {
    db::Bookmark bookmark = 0;
    db::RowHandle stored;
    QVector<core::Variant> values; // by column; may be shorter than the columns
    bool unboundFetched = false;
};

struct FormatCondition {
    int column = 0;
    int op = Condition::Equal;
    core::Variant value;
    RowStyle style;
};

// The rows the grid shows: the recordset's rows (or an unbound grid's item
// count) in display order, with the row being edited held apart until it is
// committed. Sorting works on the values, never on the display text.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(GridEx* grid);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The drop-down list's columns (0-based) for a column, or false without a usable list.
    bool dropDownColumns(int column, int& bound, int& shown) const;

    // Structure.
    void resetAll(QVector<ColumnInfo> columns, QVector<GridRow> rows);
    void setRows(QVector<GridRow> rows);
    const QVector<ColumnInfo>& columns() const { return m_columns; }
    ColumnInfo& column(int index) { return m_columns[index]; }
    int addColumn(ColumnInfo column);
    void columnChanged(int index);
    int columnIndex(const QString& key) const; // -1 when missing; ignores case

    void setNewRowLine(bool on);
    bool hasNewRowLine() const { return m_newRowLine; }
    int dataRowCount() const { return int(m_order.size()); }
    bool isNewRowLine(int row) const { return m_newRowLine && row == dataRowCount(); }

    // Values by display row (0-based) and column (0-based), with the edit overlaid.
    core::Variant value(int row, int column) const;
    QString displayText(int row, int column) const;
    QString editText(int row, int column) const;
    db::Bookmark bookmark(int row) const;
    int rowOfBookmark(db::Bookmark bookmark) const; // -1 when not shown
    int storageIndex(int row) const { return m_order[row]; }

    // Sort keys (0-based columns).
    void setSortKeys(QVector<QPair<int, int>> keys);
    const QVector<QPair<int, int>>& sortKeys() const { return m_sortKeys; }

    // 0-based row of the first match, or -1.
    int find(int column, int condition, const core::Variant& value, int startRow, bool wrap) const;

    // The row being edited.
    bool isEditing() const { return m_editRow >= 0; }
    int editRow() const { return m_editRow; }
    bool editIsNew() const { return m_editIsNew; }
    void startEdit(int row);
    void setEditValue(int column, const core::Variant& value);
    const QVector<core::Variant>& editValues() const { return m_editValues; }
    bool editChanged(int column) const { return m_editChanged.value(column); }
    void cancelEdit();
    // The edit was written: the row takes these values (a new row joins the end).
    void finishEdit(const GridRow& written);
    void removeRow(int row);
    // Puts `row` where the sort keys place it (at the end without keys), in
    // place of display row `replace` when that is >= 0; returns its display row.
    int putRow(int replace, GridRow row);

    // Styles.
    void setStyles(const QHash<QString, RowStyle>* styles) { m_styles = styles; }
    void addFormatCondition(FormatCondition condition);
    void invalidateRowStyles();
    void setImages(const QVector<QIcon>* images) { m_images = images; }

    void setAllowEdit(bool on) { m_allowEdit = on; }
    // An edit typed by the user (from the view or an editor); goes through the grid's events.
    bool userEdit(int row, int column, const core::Variant& value);

    // Hooks to the grid's events; rows are 0-based display rows, columns 0-based.
    std::function<bool(int row, int column, const core::Variant& value)> onUserEdit;
    std::function<core::Variant(int row, int column)> onFetchUnbound;
    std::function<QString(int row)> onRowFormat;
    std::function<int(int row, int column)> onFetchIcon;

private:
    const GridRow& rowAt(int row) const;
    // A cell as the row holds it (its unbound values as last fetched).
    const core::Variant& cellOf(const GridRow& row, int column) const;
    // A cell by storage index, its unbound values fetched first.
    const core::Variant& storedCell(int storage, int column) const;
    void fetchUnbound(int storage) const;
    bool hasUnboundColumns() const;
    QString formatValue(int column, const core::Variant& value) const;
    void sortRows();
    const QVector<QString>& findTexts(int column) const;
    void keepFoldedFirstKey();
    RowStyle styleOf(int row) const;
    void invalidateCaches();

    GridEx* m_grid;
    QVector<ColumnInfo> m_columns;
    mutable QVector<GridRow> m_rows;
    QVector<int> m_order; // display row -> storage index
    QVector<QPair<int, int>> m_sortKeys;
    bool m_newRowLine = false;

    int m_editRow = -1;
    bool m_editIsNew = false;
    QVector<core::Variant> m_editValues;
    QVector<bool> m_editChanged;

    const QHash<QString, RowStyle>* m_styles = nullptr;
    const QVector<QIcon>* m_images = nullptr;
    QVector<FormatCondition> m_conditions;
    // The style each row asked for, by storage index: an index into the few
    // names given (-1: not asked yet), a quarter of what a text slot a row weighs.
    mutable QVector<int> m_styleOf;
    mutable QStringList m_styleNames;
    mutable QHash<int, QVector<QString>> m_findTexts;     // by column, by storage index
    QVector<int> m_displayOf;                             // storage index -> display row
    int m_foldedColumn = -1;                              // first sort key, ascending plain text
    bool m_allowEdit = false;
};

} // namespace grid
