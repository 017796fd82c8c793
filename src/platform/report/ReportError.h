#pragma once

#include "platform/core/Error.h"

#include <QString>

namespace report {

// Error numbers raised by the report component; descriptions are Italian, as
// the program shows them.
namespace ErrorNumber {
constexpr long FileNotReadable = 30001;  // a layout file that cannot be opened
constexpr long NotALayout = 30002;       // bytes that are not a layout of ours
constexpr long UnsupportedVersion = 30003;
constexpr long ItemNotFound = 30004;     // a section, control or field named but missing
constexpr long InvalidProperty = 30005;  // a property name or value that does not fit
constexpr long UnknownExportFilter = 30006;
constexpr long ExportFailed = 30007;
constexpr long FileNotWritable = 30008;
constexpr long DataSourceFailed = 30009;
constexpr long PrintFailed = 30010;
} // namespace ErrorNumber

[[noreturn]] inline void raiseError(long number, const QString& description)
{
    throw core::Error(number, description, QStringLiteral("Report"));
}

} // namespace report
