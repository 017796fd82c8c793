#pragma once

#include <QString>
#include <exception>

namespace core {

// An error the system shows as "number - description", with the component that
// raised it. Every layer throws this type (or one derived from it).
class Error : public std::exception {
public:
    Error(long number, QString description, QString source = {});

    long number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }
    // "number - description", as message boxes show it.
    QString text() const;

    const char* what() const noexcept override { return m_what.constData(); }

private:
    long m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

} // namespace core
