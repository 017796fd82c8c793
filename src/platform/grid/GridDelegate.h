#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace grid {

class GridEx;

// Editors of the grid's cells: a line edit (with a button when the column has
// one), a date box for date columns, a list for drop-down and value-list columns. Keys reach the grid's key
// events before the editor's own handling.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(GridEx* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    // A list editor is as wide as its items need, over the next cells when its
    // own is narrower; other editors take their cell.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The editor open on a cell, if any.
    QWidget* openEditor() const { return m_openEditor; }
    // The grid is being destroyed: an editor that still gets events while the
    // grid's widget part goes (its hiding, its focus) reaches no grid any more.
    void detach() { m_grid = nullptr; }

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QWidget* makeEditor(QWidget* parent, const QModelIndex& index) const;

    GridEx* m_grid;
    mutable QPointer<QWidget> m_openEditor;
};

} // namespace grid
