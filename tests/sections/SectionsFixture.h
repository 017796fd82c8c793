#pragma once

#include "platform/core/Variant.h"
#include "support/ProgramFixture.h"

#include <QString>
#include <QWidget>
#include <ostream>

// The upgraded database with three layouts assigned to the administrator and
// a second professional, Maria Rossi (section 2), with her print page row.
class SectionsFixture : public ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    int count(const QString& sql) { return static_cast<int>(scalar(sql).toLong()); }

    template <class T>
    static T* get(QWidget* w, const QString& name)
    {
        return child<T>(w, name);
    }
    // Replaces a box's text as the user does: select all, type.
    static void type(QWidget* w, const QString& name, const QString& text);
    // Unexpected requests of the dialog seam, for the failure message.
    std::string unexpected() const { return m_dialogs.unexpected().join(QLatin1Char('\n')).toStdString(); }
};

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
