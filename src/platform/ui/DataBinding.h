#pragma once

#include "platform/database/Recordset.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;

namespace ui {

class DataCombo;
class DateBox;

// Binds a form's controls to the columns of a recordset's current row: each
// control shows its
// column's value, and what the user changes goes straight to the field (the
// recordset then holds the pending edit until the form saves or cancels).
//
// Text boxes bound to a text column get its width as their limit (ui::setTextLimit). Numbers
// are shown and read the Italian way ("12,5"), with an optional format pattern
// for display (e.g. "#,##0.00"). Check boxes store Jet Booleans (-1/0).
class DataBinding : public QObject {
    Q_OBJECT
public:
    explicit DataBinding(QObject* parent = nullptr);

    void setRecordset(const db::Recordset& recordset);
    db::Recordset recordset() const { return m_recordset; }

    void bind(QLineEdit* box, const QString& field, const QString& displayFormat = {});
    void bind(QPlainTextEdit* box, const QString& field);
    void bind(QCheckBox* box, const QString& field);
    void bind(QDateEdit* box, const QString& field);
    // An empty date box stands for Null.
    void bind(DateBox* box, const QString& field);
    void bind(DataCombo* combo, const QString& field);
    void clear();

    // Shows the current row's values again (after the row moved, or the
    // recordset was changed in code).
    void refresh();
    // Writes every bound control's value to its field (for controls edited
    // without a change signal, e.g. before a save).
    void commit();

Q_SIGNALS:
    // A control's value reached its field through the user.
    void fieldChanged(const QString& field);
    // A typed value could not be stored (too long, not a number): the field keeps
    // its previous value; the caller decides what to tell the user.
    void fieldRejected(const QString& field, const QString& reason);

private:
    enum class Kind { Line, Plain, Check, Date, DateBox, Combo };
    struct Binding {
        Kind kind;
        QPointer<QWidget> widget;
        QString field;
        QString displayFormat;
    };
    void show(const Binding& binding);
    void store(const Binding& binding);
    bool hasRow() const;
    // The width of a text column (0 for other columns), the limit of its box.
    int textColumnWidth(const QString& field) const;

    db::Recordset m_recordset;
    QVector<Binding> m_bindings;
    bool m_showing = false;
};

} // namespace ui
