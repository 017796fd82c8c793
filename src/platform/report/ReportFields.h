#pragma once

#include "platform/core/Variant.h"

#include <QHash>
#include <QString>
#include <vector>

namespace report {

struct ReportField {
    QString name;
    core::Variant value;
};

// The report's field collection: the values the controls print by data field.
// Names ignore case. A value object: copying a report copies its fields.
class ReportFields {
public:
    // Adds a field (Empty value); an existing field of that name is returned as it is.
    ReportField& add(const QString& name);
    ReportField* find(const QString& name);
    const ReportField* find(const QString& name) const;
    // Throws core::Error when there is no such field.
    ReportField& item(const QString& name);
    const ReportField& item(const QString& name) const;
    bool contains(const QString& name) const { return find(name) != nullptr; }
    void setValue(const QString& name, const core::Variant& value) { item(name).value = value; }
    core::Variant value(const QString& name) const { return item(name).value; }

    int count() const { return static_cast<int>(m_fields.size()); }
    ReportField& at(int index) { return m_fields.at(index); }
    const ReportField& at(int index) const { return m_fields.at(index); }
    void clear();

private:
    std::vector<ReportField> m_fields;
    QHash<QString, int> m_index; // lower-case name -> position
    QHash<QString, int> m_exact; // names as asked for so far -> position (no case folding on a repeat)
};

} // namespace report
