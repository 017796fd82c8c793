#include "platform/ui/DataBinding.h"

#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/TextInput.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace ui {

namespace {

// The typed text as a value of the column's type; nullopt when it does not read as one.
std::optional<core::Variant> valueForField(const QString& text, db::DataType type)
{
    const QString trimmed = text.trimmed();
    if (db::isNumericType(type)) {
        if (trimmed.isEmpty())
            return core::Variant::null();
        const std::optional<double> number = core::parseTypedNumber(trimmed);
        if (!number)
            return std::nullopt;
        switch (type) {
        case db::DataType::Currency:
            return core::Variant(core::Currency::fromDouble(*number));
        case db::DataType::SmallInt:
        case db::DataType::UnsignedTinyInt:
        case db::DataType::Integer:
        case db::DataType::BigInt:
            return core::Variant::fromInt64(core::Variant(*number).toInt64());
        default:
            return core::Variant(*number);
        }
    }
    if (type == db::DataType::Date) {
        if (trimmed.isEmpty())
            return core::Variant::null();
        const std::optional<QDate> date = core::parseItalianDate(trimmed);
        if (!date)
            return std::nullopt;
        return core::Variant(*date);
    }
    return core::Variant(withoutNul(text));
}

} // namespace

DataBinding::DataBinding(QObject* parent) : QObject(parent) {}

void DataBinding::setRecordset(const db::Recordset& recordset)
{
    m_recordset = recordset;
    refresh();
}

int DataBinding::textColumnWidth(const QString& field) const
{
    if (m_recordset.isNull() || !m_recordset.isOpen() || m_recordset.fieldIndex(field) < 0)
        return 0;
    const db::Field f = m_recordset.field(field);
    return f.type() == db::DataType::VarWChar && f.definedSize() > 0 ? f.definedSize() : 0;
}

bool DataBinding::hasRow() const
{
    return !m_recordset.isNull() && m_recordset.isOpen() && !m_recordset.eof() && !m_recordset.bof();
}

void DataBinding::bind(QLineEdit* box, const QString& field, const QString& displayFormat)
{
    dropNulOnInput(box);
    m_bindings.push_back({Kind::Line, box, field, displayFormat});
    const Binding& b = m_bindings.back();
    setTextLimit(box, textColumnWidth(field));
    connect(box, &QLineEdit::textEdited, this, [this, index = m_bindings.size() - 1] { store(m_bindings[index]); });
    // A formatted number is shown plain while typed and formatted again when the box is left;
    // text that does not read stays as typed, for the form's check to refuse, and never
    // gives way to the last value that did read.
    connect(box, &QLineEdit::editingFinished, this, [this, index = m_bindings.size() - 1] {
        const Binding& b = m_bindings[index];
        if (b.displayFormat.isEmpty() || !b.widget || !hasRow())
            return;
        const db::DataType type = m_recordset.field(b.field).type();
        if (valueForField(static_cast<QLineEdit*>(b.widget.data())->text(), type))
            show(b);
    });
    show(b);
}

void DataBinding::bind(QPlainTextEdit* box, const QString& field)
{
    dropNulOnInput(box);
    setTextLimit(box, textColumnWidth(field));
    m_bindings.push_back({Kind::Plain, box, field, {}});
    connect(box, &QPlainTextEdit::textChanged, this, [this, index = m_bindings.size() - 1] {
        if (!m_showing)
            store(m_bindings[index]);
    });
    show(m_bindings.back());
}

void DataBinding::bind(QCheckBox* box, const QString& field)
{
    m_bindings.push_back({Kind::Check, box, field, {}});
    connect(box, &QCheckBox::clicked, this, [this, index = m_bindings.size() - 1] { store(m_bindings[index]); });
    show(m_bindings.back());
}

void DataBinding::bind(QDateEdit* box, const QString& field)
{
    m_bindings.push_back({Kind::Date, box, field, {}});
    connect(box, &QDateEdit::dateChanged, this, [this, index = m_bindings.size() - 1] {
        if (!m_showing)
            store(m_bindings[index]);
    });
    show(m_bindings.back());
}

void DataBinding::bind(DateBox* box, const QString& field)
{
    m_bindings.push_back({Kind::DateBox, box, field, {}});
    connect(box, &DateBox::dateEdited, this, [this, index = m_bindings.size() - 1] {
        if (!m_showing)
            store(m_bindings[index]);
    });
    show(m_bindings.back());
}

void DataBinding::bind(DataCombo* combo, const QString& field)
{
    m_bindings.push_back({Kind::Combo, combo, field, {}});
    connect(combo, &DataCombo::valueChosen, this, [this, index = m_bindings.size() - 1] { store(m_bindings[index]); });
    show(m_bindings.back());
}

void DataBinding::clear()
{
    for (const Binding& b : m_bindings)
        if (b.widget)
            b.widget->disconnect(this);
    m_bindings.clear();
}

void DataBinding::refresh()
{
    for (const Binding& b : m_bindings)
        show(b);
}

void DataBinding::commit()
{
    for (const Binding& b : m_bindings)
        store(b);
}

void DataBinding::show(const Binding& b)
{
    if (!b.widget)
        return;
    m_showing = true;
    const core::Variant value = hasRow() ? m_recordset.value(b.field) : core::Variant::null();
    switch (b.kind) {
    case Kind::Line: {
        auto* box = static_cast<QLineEdit*>(b.widget.data());
        QString text;
        if (value.isDate())
            text = core::format(value, QStringLiteral("Short Date"));
        else if (value.isNumber())
            text = core::format(value, b.displayFormat);
        else
            text = value.toString();
        if (box->text() != text)
            box->setText(text);
        break;
    }
    case Kind::Plain: {
        auto* box = static_cast<QPlainTextEdit*>(b.widget.data());
        if (box->toPlainText() != value.toString())
            box->setPlainText(value.toString());
        break;
    }
    case Kind::Check:
        static_cast<QCheckBox*>(b.widget.data())->setChecked(!value.isEmptyOrNull() && value.toBool());
        break;
    case Kind::Date: {
        auto* box = static_cast<QDateEdit*>(b.widget.data());
        const QDate date = value.toDate();
        box->setDate(date.isValid() ? date : box->minimumDate());
        break;
    }
    case Kind::DateBox: {
        auto* box = static_cast<DateBox*>(b.widget.data());
        box->setDate(value.isEmptyOrNull() ? QDate() : value.toDate());
        break;
    }
    case Kind::Combo:
        static_cast<DataCombo*>(b.widget.data())->setBoundValue(value);
        break;
    }
    m_showing = false;
}

void DataBinding::store(const Binding& b)
{
    if (!b.widget || m_showing || !hasRow())
        return;
    core::Variant value;
    try {
        const db::DataType type = m_recordset.field(b.field).type();
        switch (b.kind) {
        case Kind::Line: {
            const std::optional<core::Variant> v = valueForField(static_cast<QLineEdit*>(b.widget.data())->text(), type);
            if (!v) {
                Q_EMIT fieldRejected(b.field, QStringLiteral("Valore non valido"));
                return;
            }
            value = *v;
            break;
        }
        case Kind::Plain:
            value = core::Variant(withoutNul(static_cast<QPlainTextEdit*>(b.widget.data())->toPlainText()));
            break;
        case Kind::Check:
            value = core::Variant(static_cast<QCheckBox*>(b.widget.data())->isChecked());
            break;
        case Kind::Date:
            value = core::Variant(static_cast<QDateEdit*>(b.widget.data())->date());
            break;
        case Kind::DateBox: {
            auto* box = static_cast<DateBox*>(b.widget.data());
            // A date still being typed is read first; a refused one stores nothing.
            if (!box->commit())
                return;
            value = box->isNull() ? core::Variant::null() : core::Variant(box->date());
            break;
        }
        case Kind::Combo:
            value = static_cast<DataCombo*>(b.widget.data())->boundValue();
            break;
        }
        if (value.sameValue(m_recordset.value(b.field)))
            return;
        if (value.isNull() && m_recordset.value(b.field).isNull())
            return;
        m_recordset.setValue(b.field, value);
    } catch (const core::Error& e) {
        Q_EMIT fieldRejected(b.field, e.description());
        return;
    }
    Q_EMIT fieldChanged(b.field);
}

} // namespace ui
