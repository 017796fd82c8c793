#pragma once

#include "platform/core/Variant.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// A database of its own for each test, without windows: the template brought
// to the full schema, as a start leaves it, with no layouts stored yet.
class DomainFixture : public ::testing::Test {
protected:
    void SetUp() override;

    void exec(const QString& sql);
    // The first column of the first row; Null when there is none.
    core::Variant scalar(const QString& sql);
    int count(const QString& sql) { return static_cast<int>(scalar(sql).toLong()); }
    // The three default layouts with ids 1 to 3, assigned to section 1.
    void addDefaultLayouts();

    QTemporaryDir m_dir;
    QString m_cs;
};

// Readable failures: texts print as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
