#pragma once

#include <QString>
#include <exception>

namespace core {

// An error with its number (for the code that tells errors apart), its
// description (what the user reads) and the component that raised it. Every
// layer throws this type (or one derived from it).
class Error : public std::exception {
public:
    Error(long number, QString description, QString source = {});

    long number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }
    // What a message box shows: the description alone, since a raw error
    // number means nothing to the person reading it.
    QString text() const;

    const char* what() const noexcept override { return m_what.constData(); }

private:
    long m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

} // namespace core
