#include "platform/core/Error.h"

namespace core {

Error::Error(long number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(text().toUtf8())
{
}

QString Error::text() const
{
    return m_description;
}

} // namespace core
