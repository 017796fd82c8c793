#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"

#include <QComboBox>

namespace ui {

// A drop-down list filled from a recordset: it shows one column (the list
// field) and stands for the value of another (the bound column). Typing searches the list, spaces included
// (ComboSearch); F4 and Alt+Down open it.
//
// A value that is not in the list (a payment term of another section, a client
// deleted since) is kept as it is and shown blank, until the user picks a row.
class DataCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DataCombo(QWidget* parent = nullptr);

    void setRowSource(const db::Recordset& rows, const QString& boundColumn, const QString& listField);
    // Reloads the rows from the row source (after rows were added to it).
    void refill();
    db::Recordset rowSource() const { return m_rows; }

    core::Variant boundValue() const { return m_value; }
    void setBoundValue(const core::Variant& value);
    // The text the list shows for the current value ("" when not in the list).
    QString listText() const;

Q_SIGNALS:
    // The user chose another row (never emitted by setBoundValue).
    void valueChosen(const core::Variant& value);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void selectCurrent();

    db::Recordset m_rows;
    QString m_boundColumn;
    QString m_listField;
    QVector<core::Variant> m_values;
    core::Variant m_value;
    bool m_filling = false;
};

} // namespace ui
