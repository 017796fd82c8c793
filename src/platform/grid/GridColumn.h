#pragma once

#include "platform/core/Variant.h"

#include <QPointer>
#include <QString>
#include <QVector>

namespace grid {

class GridEx;

// One column of a grid, by handle: it refers to the grid's column and stays
// usable while the grid keeps the same columns (until a rebind brings others).
// Widths are twips.
class GridColumn {
public:
    GridColumn(GridEx* grid, int index);

    int index() const { return m_index + 1; } // 1-based, in the order of the record source
    QString key() const;                     // the field name
    bool isBound() const;                    // false for a column added unbound

    QString caption() const;
    void setCaption(const QString& caption);
    int width() const;
    void setWidth(int twips); // 0 hides the column
    bool visible() const;
    void setVisible(bool visible);
    QString format() const;
    void setFormat(const QString& pattern);
    core::Variant defaultValue() const;
    void setDefaultValue(const core::Variant& value);
    bool editable() const;
    void setEditable(bool editable);
    bool selectable() const;
    void setSelectable(bool selectable);
    // 1-based display position; hidden columns keep theirs.
    int position() const;
    void setPosition(int position);
    // The cell carries a button that raises buttonClick.
    void setButton(bool on);
    // The cell shows the image that fetchIcon names (1-based in the grid's images).
    void setIcon(bool on);

    // Another grid as the list the cell is chosen from: the cell stores the
    // list's `boundColumn` and shows its `shownColumn` (the bound one when empty).
    void setDropDown(GridEx* list, const QString& boundColumn = {}, const QString& shownColumn = {});
    GridEx* dropDown() const;
    // Fixed values shown by their texts and chosen from them.
    void setValueList(const QVector<QPair<core::Variant, QString>>& items);

private:
    QPointer<GridEx> m_grid;
    int m_index; // 0-based
};

} // namespace grid
