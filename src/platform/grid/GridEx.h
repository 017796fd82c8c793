#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"
#include "platform/database/Types.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridTypes.h"

#include <QHash>
#include <QIcon>
#include <QPoint>
#include <QSet>
#include <QStringList>
#include <QString>
#include <QVector>
#include <QWidget>

class QLabel;
class QStandardItemModel;
class QTableView;
class QToolButton;
class QTreeView;
class QModelIndex;

namespace grid {

class GridModel;
class GridDelegate;
class GroupByBox;
struct ColumnInfo;
struct GridRow;

// A list or editable table bound to a recordset: one grid row per row of the
// recordset, columns in its order, numbered from 1. The grid opens its own
// client-side recordset on the connection string and the SQL record source,
// or shows a recordset it is given, or an unbound item count whose values it
// asks for by event.
//
// Edits are kept in the row being edited until the row is committed (moving
// to another row, commitRowEdit()): only then do they reach the recordset,
// which writes them at once or keeps them for its batch update, as its lock
// type says. Sort keys order the rows by value; the recordset's own order is
// left alone.
//
// Rows and columns are 1-based; row 0 is "no row". With new rows allowed the
// new-row line is row rowCount() + 1.
class GridEx : public QWidget {
    Q_OBJECT
public:
    explicit GridEx(QWidget* parent = nullptr);
    ~GridEx() override;

    // Binding.
    void setConnectionString(const QString& connectionString);
    QString connectionString() const { return m_connectionString; }
    void setRecordSource(const QString& sql);
    QString recordSource() const { return m_recordSource; }
    // The lock of the recordsets the grid opens (batch-optimistic unless set).
    void setLockType(db::LockType lock) { m_lockType = lock; }
    db::LockType lockType() const { return m_lockType; }
    // Runs the record source again on a connection of its own. Column settings
    // stay when the query brings the same columns; sort keys are cleared. A query
    // the database refuses leaves the grid empty, raises error() and gives false.
    // `retrieveStructure` is accepted for the callers' sake; the rows are always read anew.
    bool rebind(bool retrieveStructure = false);
    // Shows a recordset opened by the caller (also a fabricated one).
    void setRecordset(const db::Recordset& recordset);
    // The recordset behind the grid (a handle: the caller's edits and batch calls reach it).
    db::Recordset recordset() const { return m_recordset; }
    // Reads the rows of the recordset again (after the caller changed it), keeping
    // columns, sort keys and, when it is still there, the current row.
    void refresh();
    // Reads again the rows whose column `column` (1-based) holds `key`: `sql` is
    // the record source narrowed to them. Their old rows leave the list, the
    // rows read take their sorted places and the first becomes current. False
    // (after reporting the error) when the query fails, the list as it was.
    bool refreshRows(const QString& sql, int column, const core::Variant& key);

    // An unbound grid: `count` rows whose values come from unboundReadData.
    void setItemCount(int count);
    int itemCount() const;
    // Appends a column that the grid does not read from the recordset; its values come by event.
    GridColumn addUnboundColumn(const QString& key, const QString& caption = {});

    // Columns.
    int columnCount() const;
    GridColumn column(int index) const; // throws core::Error 3265 when out of range
    GridColumn column(const QString& key) const; // ignores case; throws core::Error 3265 when missing
    int columnIndex(const QString& key) const;   // 0 when missing

    // Sort keys: order 1 ascending, -1 descending.
    void clearSortKeys();
    void addSortKey(int column, int order = SortOrder::Ascending);
    int sortKeyCount() const;
    int sortKeyColumn(int key = 1) const; // 0 without keys
    int sortKeyOrder(int key = 1) const;  // 0 without keys
    // A header click sorts by that column, toggling the order on repeated clicks.
    void setHeaderClickSorts(bool on) { m_headerClickSorts = on; }

    // Rows.
    int rowCount() const;
    int row() const { return m_currentRow + 1; }
    void setRow(int row);
    // The current column as a display position (1-based), and its column index.
    int col() const;
    void setCol(int position);
    int currentColumnIndex() const;
    core::Variant value(int column) const;
    core::Variant value(const QString& key) const;
    // Sets a cell of the current row; it raises the column events as a typed edit does.
    void setValue(int column, const core::Variant& value);
    void setValue(const QString& key, const core::Variant& value);
    core::Variant cellValue(int row, int column) const;
    QString cellText(int row, int column) const; // as shown
    db::Bookmark rowBookmark(int row) const;
    // Rows are numbered without the group rows of a grouped display: never a group row.
    bool isGroupRow(int) const { return false; }
    bool isNewRowLine(int row) const;

    // Makes the first row from `startRow` that satisfies `condition` current; with
    // `wrap` the search goes on from the first row. False when none matches.
    bool find(int column, int condition, const core::Variant& value, int startRow = 1, bool wrap = false);
    // Scrolls the current row into view.
    void ensureCurrentVisible();

    // Editing.
    void setAllowEdit(bool on);
    bool allowEdit() const { return m_allowEdit; }
    void setAllowAddNew(bool on);
    bool allowAddNew() const { return m_allowAddNew; }
    void setAllowDelete(bool on) { m_allowDelete = on; }
    bool allowDelete() const { return m_allowDelete; }
    bool isEditingRow() const;
    // Passes the row being edited to the recordset; false when a handler or the
    // recordset refused it (the row stays in edit with its values).
    bool commitRowEdit();
    // Drops the edit of the row being edited.
    void cancelRowEdit();
    bool deleteCurrentRow();
    // The data rows (1-based) the user selected, in display order; the current
    // row alone when nothing else is selected.
    QVector<int> selectedRows() const;
    // Deletes the given rows through the recordset, one by one: a row another
    // user changed or deleted meanwhile, or one the database refuses to delete,
    // stays and is listed in `refused` (with the database's reason).
    struct DeleteResult {
        int deleted = 0;
        QStringList refused; // one reason per refused row
    };
    DeleteResult deleteRows(const QVector<int>& rows);
    // Several rows selectable (Shift/Ctrl+click, Shift+arrows, the row headers).
    void setMultiSelect(bool on);
    bool multiSelect() const { return m_multiSelect; }
    // A cell editor is open (its typing is not in the row yet).
    bool isCellEditorOpen() const;
    // Takes what an open cell editor holds into the row, then commits the row;
    // false when either was refused.
    bool commitPendingEdit();

    // Look.
    void addRowStyle(const QString& name, const RowStyle& style);
    bool hasRowStyle(const QString& name) const { return m_styles.contains(name); }
    RowStyle rowStyle(const QString& name) const { return m_styles.value(name); }
    void addFormatCondition(int column, int condition, const core::Variant& value, const RowStyle& style);
    void addImage(const QIcon& icon);
    void setRowHeight(int twips);
    void setColumnHeadersVisible(bool on);
    void setRowHeadersVisible(bool on);

    // The record navigator at the foot: "<before> 3 <between> 12" with the
    // first / previous / next / last buttons, following the current row and
    // the row count. `texts` holds the two words as "Record:|di".
    void setNavigatorVisible(bool on);
    bool isNavigatorVisible() const;
    void setNavigatorTexts(const QString& texts);
    QString navigatorText() const;

    // The group-by box above the rows: a column header dragged into it groups
    // the rows by that column, the next one inside it; a column dragged out of
    // it ungroups. Grouping only changes what is shown, and the grouped rows
    // are shown read-only until every column is ungrouped.
    void setGroupByBoxVisible(bool on);
    bool isGroupByBoxVisible() const;
    void setGroupByBoxHint(const QString& hint);
    void groupBy(int column);
    void ungroup(int column);
    QVector<int> groupColumns() const { return m_groupColumns; }
    QTreeView* groupView() const { return m_groupView; }

    // The texts of the date cells' calendar: `today` on its today button and,
    // when not empty, `empty` on a button that empties a cell whose column
    // allows Null.
    void setCalendarTexts(const QString& today, const QString& empty);
    QString calendarTodayText() const { return m_calendarToday; }
    QString calendarEmptyText() const { return m_calendarEmpty; }

    QTableView* view() const { return m_view; }
    GridModel* gridModel() const { return m_model; }
    int twipsToPixels(int twips) const;
    int pixelsToTwips(int pixels) const;

    // For the grid's own parts (model, delegate, column handles).
    ColumnInfo& columnInfo(int index);
    void applyColumn(int index);
    bool handleKey(QObject* target, QEvent* event);
    void raiseButtonClick(int column) { Q_EMIT buttonClick(column + 1); }

Q_SIGNALS:
    void focusGained();
    void focusLost();
    // The focus is about to leave for another control; cancel keeps it here.
    void validate(bool& cancel);
    void columnHeaderClick(int column);
    void dblClick();
    // keyCode is the key's virtual-key number (Enter 13, Esc 27, F4 115, Delete 46);
    // shift holds 1 Shift, 2 Ctrl, 4 Alt. Setting keyCode to 0 swallows the key.
    void keyDown(int& keyCode, int shift);
    // A typed character; 0 swallows it, another code types that one instead.
    void keyPress(int& keyAscii);
    void currentCellChanged(int previousRow, int previousColumn);
    void buttonClick(int column);
    // The cell already holds the new value; cancel puts `oldValue` back.
    void beforeColUpdate(int column, const core::Variant& oldValue, bool& cancel);
    void afterColUpdate(int column);
    // Before the row being edited is passed on: the row check (cells may still be set).
    void beforeUpdate(bool& cancel);
    // Last word before the row is written to the recordset.
    void beforeRowWrite(bool& cancel);
    void afterUpdate();
    void beforeDelete(bool& cancel);
    void afterDelete();
    // For each row drawn: name one of the row styles (empty: the default look).
    void rowFormat(int row, QString& styleName);
    void unboundReadData(int row, int column, core::Variant& value);
    void fetchIcon(int row, int column, int& iconIndex);
    // The database refused a query or a write.
    void error(long number, const QString& description);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateNavigator();
    void moveByNavigator(int target);
    void startHeaderDrag(int section);
    void rebuildGroups();
    void onGroupCurrentChanged();
    void bindRecordset(const db::Recordset& recordset);
    QVector<GridRow> readRows();
    void applyAllColumns();
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void showCurrent();
    bool clickOutsideCells(class QMouseEvent* event);
    void onHeaderClicked(int section);
    void onFocusChanged(QWidget* old, QWidget* now);
    bool applyCellEdit(int row, int column, const core::Variant& value);
    void moveRecordsetTo(int row);
    void setCurrent(int row, int column);
    bool containsWidget(const QWidget* widget) const;
    void reportError(long number, const QString& description);

    QTableView* m_view = nullptr;
    GridModel* m_model = nullptr;
    GridDelegate* m_delegate = nullptr;

    QString m_connectionString;
    QString m_recordSource;
    db::LockType m_lockType = db::LockType::BatchOptimistic;
    db::Recordset m_recordset;
    bool m_unbound = false;

    bool m_allowEdit = false;
    bool m_allowAddNew = false;
    bool m_allowDelete = false;
    bool m_headerClickSorts = false;

    int m_currentRow = -1; // 0-based display row; -1 none
    bool m_movingBack = false;
    bool m_showingCurrent = false;
    bool m_replayingKey = false;
    QSet<int> m_updatingColumns;

    QHash<QString, RowStyle> m_styles;
    QVector<QIcon> m_images;
    bool m_multiSelect = false;

    QWidget* m_navigator = nullptr;
    QLabel* m_navigatorLabel = nullptr;
    QString m_navigatorBefore = QStringLiteral("Record:");
    QString m_navigatorBetween = QStringLiteral("di");

    GroupByBox* m_groupBox = nullptr;
    QTreeView* m_groupView = nullptr;
    QStandardItemModel* m_groupModel = nullptr;
    QVector<int> m_groupColumns; // 0-based, outermost first
    int m_headerPressSection = -1;
    QPoint m_headerPressAt;

    QString m_calendarToday = QStringLiteral("Oggi");
    QString m_calendarEmpty;
};

} // namespace grid
