#include "platform/report/ReportFields.h"

#include "platform/report/ReportError.h"

namespace report {

ReportField& ReportFields::add(const QString& name)
{
    if (auto* f = find(name))
        return *f;
    m_index.insert(name.toLower(), static_cast<int>(m_fields.size()));
    m_fields.push_back(ReportField{name, {}});
    return m_fields.back();
}

ReportField* ReportFields::find(const QString& name)
{
    // A run asks for the same few names once per control and row.
    if (const auto exact = m_exact.constFind(name); exact != m_exact.constEnd())
        return &m_fields[*exact];
    const auto it = m_index.constFind(name.toLower());
    if (it == m_index.constEnd())
        return nullptr;
    m_exact.insert(name, *it);
    return &m_fields[*it];
}

const ReportField* ReportFields::find(const QString& name) const
{
    return const_cast<ReportFields*>(this)->find(name);
}

ReportField& ReportFields::item(const QString& name)
{
    if (auto* f = find(name))
        return *f;
    raiseError(ErrorNumber::ItemNotFound, QStringLiteral("Campo '%1' non trovato nel report").arg(name));
}

const ReportField& ReportFields::item(const QString& name) const
{
    return const_cast<ReportFields*>(this)->item(name);
}

void ReportFields::clear()
{
    m_fields.clear();
    m_index.clear();
    m_exact.clear();
}

} // namespace report
