#include "platform/ui/DataCombo.h"

#include "platform/ui/ComboSearch.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>
#include <QStringListModel>

namespace ui {

DataCombo::DataCombo(QWidget* parent) : QComboBox(parent)
{
    // The list holds texts only (the values stay beside it): a plain list of
    // texts takes thousands of rows at once, where the default model makes an
    // item for each.
    setModel(new QStringListModel(this));
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_filling || index < 0 || index >= m_values.size())
            return;
        m_value = m_values[index];
        Q_EMIT valueChosen(m_value);
    });
}

void DataCombo::setRowSource(const db::Recordset& rows, const QString& boundColumn, const QString& listField)
{
    m_rows = rows;
    m_boundColumn = boundColumn;
    m_listField = listField;
    refill();
}

void DataCombo::refill()
{
    m_filling = true;
    clear();
    m_values.clear();
    if (!m_rows.isNull() && m_rows.isOpen()) {
        db::Recordset cursor = m_rows.clone();
        cursor.moveFirst();
        if (!cursor.eof()) {
            // Fields looked up once and the texts added in one insertion: a client
            // list of thousands of rows is filled on every opening of a document.
            const int bound = cursor.fieldIndex(m_boundColumn);
            const int list = cursor.fieldIndex(m_listField);
            QStringList texts;
            for (; !cursor.eof(); cursor.moveNext()) {
                // An unknown name fails as the recordset tells it.
                m_values.push_back(bound >= 0 ? cursor.value(bound) : cursor.value(m_boundColumn));
                texts.append((list >= 0 ? cursor.value(list) : cursor.value(m_listField)).toString());
            }
            if (auto* list = qobject_cast<QStringListModel*>(model()))
                list->setStringList(texts);
            else
                addItems(texts);
        }
    }
    selectCurrent();
    m_filling = false;
}

void DataCombo::setBoundValue(const core::Variant& value)
{
    m_value = value;
    m_filling = true;
    selectCurrent();
    m_filling = false;
}

QString DataCombo::listText() const
{
    const int index = currentIndex();
    return index >= 0 ? itemText(index) : QString();
}

void DataCombo::selectCurrent()
{
    int found = -1;
    for (int i = 0; i < m_values.size(); ++i) {
        if (m_values[i].sameValue(m_value)) {
            found = i;
            break;
        }
    }
    // Not in the list: nothing selected, the stored value stays.
    setCurrentIndex(found);
}

void DataCombo::keyPressEvent(QKeyEvent* event)
{
    if (ComboSearch::handleKey(this, event))
        return;
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        showPopup();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace ui
