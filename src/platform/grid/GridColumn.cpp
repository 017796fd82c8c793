#include "platform/grid/GridColumn.h"

#include "platform/grid/GridEx.h"
#include "platform/grid/GridModel.h"

#include <QHeaderView>
#include <QTableView>

namespace grid {

GridColumn::GridColumn(GridEx* grid, int index) : m_grid(grid), m_index(index) {}

QString GridColumn::key() const { return m_grid->columnInfo(m_index).key; }
bool GridColumn::isBound() const { return m_grid->columnInfo(m_index).field >= 0; }

QString GridColumn::caption() const { return m_grid->columnInfo(m_index).caption; }
void GridColumn::setCaption(const QString& caption)
{
    m_grid->columnInfo(m_index).caption = caption;
    m_grid->applyColumn(m_index);
}

int GridColumn::width() const
{
    const ColumnInfo& info = m_grid->columnInfo(m_index);
    if (!info.visible)
        return info.widthTwips < 0 ? 0 : info.widthTwips;
    if (info.widthTwips >= 0)
        return info.widthTwips;
    return m_grid->pixelsToTwips(m_grid->view()->columnWidth(m_index));
}

void GridColumn::setWidth(int twips)
{
    m_grid->columnInfo(m_index).widthTwips = std::max(0, twips);
    m_grid->applyColumn(m_index);
}

bool GridColumn::visible() const { return m_grid->columnInfo(m_index).visible; }
void GridColumn::setVisible(bool visible)
{
    m_grid->columnInfo(m_index).visible = visible;
    m_grid->applyColumn(m_index);
}

QString GridColumn::format() const { return m_grid->columnInfo(m_index).format; }
void GridColumn::setFormat(const QString& pattern)
{
    m_grid->columnInfo(m_index).format = pattern;
    m_grid->applyColumn(m_index);
}

core::Variant GridColumn::defaultValue() const { return m_grid->columnInfo(m_index).defaultValue; }
void GridColumn::setDefaultValue(const core::Variant& value)
{
    m_grid->columnInfo(m_index).defaultValue = value;
    m_grid->applyColumn(m_index);
}

bool GridColumn::editable() const { return m_grid->columnInfo(m_index).editable; }
void GridColumn::setEditable(bool editable) { m_grid->columnInfo(m_index).editable = editable; }

bool GridColumn::selectable() const { return m_grid->columnInfo(m_index).selectable; }
void GridColumn::setSelectable(bool selectable) { m_grid->columnInfo(m_index).selectable = selectable; }

int GridColumn::position() const { return m_grid->view()->horizontalHeader()->visualIndex(m_index) + 1; }
void GridColumn::setPosition(int position)
{
    QHeaderView* header = m_grid->view()->horizontalHeader();
    const int to = std::clamp(position - 1, 0, header->count() - 1);
    header->moveSection(header->visualIndex(m_index), to);
}

void GridColumn::setButton(bool on) { m_grid->columnInfo(m_index).button = on; }
void GridColumn::setIcon(bool on)
{
    m_grid->columnInfo(m_index).icon = on;
    m_grid->applyColumn(m_index);
}

void GridColumn::setDropDown(GridEx* list, const QString& boundColumn, const QString& shownColumn)
{
    ColumnInfo& info = m_grid->columnInfo(m_index);
    info.dropDown = list;
    info.dropBoundKey = boundColumn;
    info.dropShownKey = shownColumn;
    m_grid->applyColumn(m_index);
}

GridEx* GridColumn::dropDown() const { return m_grid->columnInfo(m_index).dropDown; }

void GridColumn::setValueList(const QVector<QPair<core::Variant, QString>>& items)
{
    m_grid->columnInfo(m_index).valueList = items;
    m_grid->applyColumn(m_index);
}

} // namespace grid
