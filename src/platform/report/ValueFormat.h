#pragma once

#include "platform/core/Variant.h"

#include <QString>

namespace report {

// The text of a value in an output format of the layouts'
// pattern language ("#,##0.00;-#,##0.00; ", "#;#;#;-", "dd\/mm\/yy", "Short Date"),
// the Italian way. The one place the report component formats values.
QString formatValue(const core::Variant& value, const QString& pattern);

} // namespace report
