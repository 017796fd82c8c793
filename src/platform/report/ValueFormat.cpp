#include "platform/report/ValueFormat.h"

#include "platform/core/Format.h"

namespace report {

QString formatValue(const core::Variant& value, const QString& pattern)
{
    return core::format(value, pattern);
}

} // namespace report
