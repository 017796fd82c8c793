#include "platform/grid/GridDelegate.h"

#include "platform/grid/GridEx.h"
#include "platform/grid/GridModel.h"
#include "platform/grid/ValueOrder.h"
#include "platform/ui/DateBox.h"

#include <QAction>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCalendarWidget>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace grid {

namespace {
// Which kind of list a combo editor holds, kept on the editor itself.
constexpr const char* kListKind = "gridListKind";
constexpr int kDropDown = 1;
constexpr int kValueList = 2;
} // namespace

GridDelegate::GridDelegate(GridEx* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!m_grid)
        return nullptr;
    QWidget* editor = makeEditor(parent, index);
    m_openEditor = editor;
    return editor;
}

QWidget* GridDelegate::makeEditor(QWidget* parent, const QModelIndex& index) const
{
    const ColumnInfo& info = m_grid->columnInfo(index.column());
    GridModel* model = m_grid->gridModel();
    int bound = -1;
    int shown = -1;
    if (model->dropDownColumns(index.column(), bound, shown)) {
        auto* combo = new QComboBox(parent);
        combo->setProperty(kListKind, kDropDown);
        GridModel* list = info.dropDown->gridModel();
        for (int r = 0; r < list->dataRowCount(); ++r) {
            QString text = list->displayText(r, shown);
            // A list that stores and shows the same code names it with the next visible column too.
            if (shown == bound) {
                for (int c = 0; c < list->columnCount(); ++c) {
                    if (c != shown && list->columns()[c].visible) {
                        text += QStringLiteral("  ") + list->displayText(r, c);
                        break;
                    }
                }
            }
            combo->addItem(text, r);
        }
        // The open list shows its items whole, however narrow the column.
        int longest = 0;
        const QFontMetrics metrics(combo->view()->font());
        for (int i = 0; i < combo->count(); ++i)
            longest = std::max(longest, metrics.horizontalAdvance(combo->itemText(i)));
        combo->view()->setMinimumWidth(longest + 4 * metrics.averageCharWidth() + 2 * combo->view()->frameWidth()
                                       + combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        return combo;
    }
    if (!info.valueList.isEmpty()) {
        auto* combo = new QComboBox(parent);
        combo->setProperty(kListKind, kValueList);
        for (int i = 0; i < info.valueList.size(); ++i)
            combo->addItem(info.valueList[i].second, i);
        return combo;
    }
    if (info.type == db::DataType::Date && !info.button) {
        // A date cell takes typed dates and offers the calendar; clearing it is the row check's to judge.
        auto* box = new ui::DateBox(parent);
        box->setFrame(false);
        box->setNullable(true);
        box->setRefusalsToOwner(true);
        QWidget* popup = box->calendarWidget()->parentWidget();
        if (auto* today = popup->findChild<QPushButton*>(QStringLiteral("cmdOggi")))
            today->setText(m_grid->calendarTodayText());
        if (!m_grid->calendarEmptyText().isEmpty() && info.nullable && popup->layout()) {
            // Empties the cell at once: the row then stores Null.
            auto* empty = new QPushButton(m_grid->calendarEmptyText(), popup);
            empty->setObjectName(QStringLiteral("cmdVuoto"));
            empty->setFocusPolicy(Qt::NoFocus);
            popup->layout()->addWidget(empty);
            popup->layout()->setAlignment(empty, Qt::AlignHCenter);
            auto* self = const_cast<GridDelegate*>(this);
            connect(empty, &QPushButton::clicked, box, [self, box] {
                box->hideCalendar();
                box->setDate(QDate());
                box->setFocus(Qt::PopupFocusReason);
                Q_EMIT self->commitData(box);
            });
        }
        return box;
    }
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (info.button) {
        QAction* action = edit->addAction(edit->style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                          QLineEdit::TrailingPosition);
        const int column = index.column();
        GridEx* grid = m_grid;
        connect(action, &QAction::triggered, grid, [grid, column] { grid->raiseButtonClick(column); });
    }
    return edit;
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    QRect rect = option.rect;
    rect.setWidth(std::max(rect.width(), combo->sizeHint().width()));
    rect.setHeight(std::max(rect.height(), combo->minimumSizeHint().height()));
    // Kept inside the list: a cell near the right edge opens its editor leftwards.
    if (const QWidget* area = editor->parentWidget()) {
        if (rect.right() > area->width() - 1)
            rect.moveRight(area->width() - 1);
        if (rect.left() < 0)
            rect.moveLeft(0);
    }
    editor->setGeometry(rect);
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (!m_grid)
        return;
    GridModel* model = m_grid->gridModel();
    const core::Variant current = model->value(index.row(), index.column());
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const ColumnInfo& info = m_grid->columnInfo(index.column());
        int selected = -1;
        if (combo->property(kListKind).toInt() == kDropDown) {
            int bound = -1;
            int shown = -1;
            model->dropDownColumns(index.column(), bound, shown);
            const int found = info.dropDown->gridModel()->find(bound, Condition::Equal, current, 0, false);
            selected = combo->findData(found);
        } else {
            for (int i = 0; i < info.valueList.size(); ++i) {
                if (conditionHolds(Condition::Equal, current, {}, info.valueList[i].first))
                    selected = i;
            }
        }
        combo->setCurrentIndex(selected);
        return;
    }
    if (auto* box = qobject_cast<ui::DateBox*>(editor)) {
        if (box->isModified())
            return;
        // A text the row check refused stays as typed, to be put right.
        if (current.isDate())
            box->setDate(current.toDate());
        else if (current.isString())
            box->setText(current.toString());
        else
            box->setDate(QDate());
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        // A key that opened the editor has typed into it already; keep what it typed.
        if (!edit->isModified())
            edit->setText(editTextOf(current));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* itemModel, const QModelIndex& index) const
{
    if (!m_grid)
        return;
    GridModel* model = m_grid->gridModel();
    const ColumnInfo& info = m_grid->columnInfo(index.column());
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int item = combo->currentIndex();
        if (item < 0)
            return;
        core::Variant chosen;
        if (combo->property(kListKind).toInt() == kDropDown) {
            int bound = -1;
            int shown = -1;
            if (!model->dropDownColumns(index.column(), bound, shown))
                return;
            chosen = info.dropDown->gridModel()->value(combo->itemData(item).toInt(), bound);
        } else {
            chosen = info.valueList.value(combo->itemData(item).toInt()).first;
        }
        if (!chosen.sameValue(model->value(index.row(), index.column())))
            model->userEdit(index.row(), index.column(), chosen);
        return;
    }
    if (auto* box = qobject_cast<ui::DateBox*>(editor)) {
        const ui::DateBox::Reading typed = ui::DateBox::read(box->text());
        const core::Variant current = model->value(index.row(), index.column());
        // The same day leaves the cell alone (and any time of day it holds).
        if (typed.date.isValid() && current.isDate() && current.toDate() == typed.date)
            return;
        if (typed.empty && current.isEmptyOrNull())
            return;
        if (!typed.empty && !typed.date.isValid() && box->text() == model->editText(index.row(), index.column()))
            return;
        core::Variant value;
        if (typed.empty)
            value = core::Variant::null();
        else if (typed.date.isValid())
            value = core::Variant(typed.date);
        else
            value = core::Variant(box->text()); // not a date: the row check refuses it
        model->userEdit(index.row(), index.column(), value);
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        // An editor closed without a change leaves the row as it was (no edit starts).
        if (edit->text() == model->editText(index.row(), index.column()))
            return;
        model->userEdit(index.row(), index.column(), valueFromEditText(edit->text(), info.type));
        return;
    }
    QStyledItemDelegate::setModelData(editor, itemModel, index);
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (m_grid && m_grid->handleKey(object, event))
        return true;
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace grid
