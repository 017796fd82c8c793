#include "platform/report/ReportSection.h"

#include "platform/report/ReportError.h"

namespace report {

ReportControl* ReportSection::findControl(const QString& controlName)
{
    for (auto& c : controls)
        if (c.name.compare(controlName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const ReportControl* ReportSection::findControl(const QString& controlName) const
{
    return const_cast<ReportSection*>(this)->findControl(controlName);
}

ReportControl& ReportSection::control(const QString& controlName)
{
    if (auto* c = findControl(controlName))
        return *c;
    raiseError(ErrorNumber::ItemNotFound,
               QStringLiteral("Controllo '%1' non trovato nella sezione '%2'").arg(controlName, name));
}

const ReportControl& ReportSection::control(const QString& controlName) const
{
    return const_cast<ReportSection*>(this)->control(controlName);
}

ReportControl& ReportSection::addControl(const QString& className, const QString& controlName)
{
    auto kind = ReportControl::kindFromClassName(className);
    if (!kind)
        kind = ReportControl::kindFromTypeName(className);
    if (!kind)
        raiseError(ErrorNumber::InvalidProperty, QStringLiteral("Tipo di controllo sconosciuto: '%1'").arg(className));
    return addControl(*kind, controlName);
}

ReportControl& ReportSection::addControl(ControlKind kind, const QString& controlName)
{
    ReportControl c;
    c.kind = kind;
    c.name = controlName;
    if (c.name.isEmpty()) {
        for (int n = 1;; ++n) {
            const QString candidate = c.typeName() + QString::number(n);
            if (!findControl(candidate)) {
                c.name = candidate;
                break;
            }
        }
    }
    if (kind == ControlKind::Line)
        c.height = 0;
    controls.push_back(std::move(c));
    return controls.back();
}

bool ReportSection::removeControl(const QString& controlName)
{
    for (auto it = controls.begin(); it != controls.end(); ++it) {
        if (it->name.compare(controlName, Qt::CaseInsensitive) == 0) {
            controls.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace report
