#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"
#include "printing/PrintFixture.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

// The database a first start leaves (three layouts, assigned to section 1's
// three document kinds), a client and the professional's heading.
class LayoutsFixture : public PrintFixture {
protected:
    void TearDown() override;

    static long count(const QString& sql) { return scalar(QStringLiteral("SELECT Count(*) FROM ") + sql).toLong(); }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
};
