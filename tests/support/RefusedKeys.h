#pragma once

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

// Types each character of `refused` over the whole text of `box`, then over
// nothing at its end, and pastes them: none may change the text or the
// selection (a refused key has no effect, it never erases what was selected).
inline void expectRefusedKeysChangeNothing(QLineEdit* box, const QString& refused)
{
    box->setFocus();
    const QString before = box->text();
    for (const QChar c : refused) {
        SCOPED_TRACE(QString(c).toStdString());
        box->selectAll();
        QTest::keyClicks(box, QString(c));
        EXPECT_EQ(box->text().toStdString(), before.toStdString());
        EXPECT_EQ(box->selectedText().toStdString(), before.toStdString());
        box->deselect();
        box->end(false);
        QTest::keyClicks(box, QString(c));
        EXPECT_EQ(box->text().toStdString(), before.toStdString());
    }
    box->selectAll();
    QGuiApplication::clipboard()->setText(refused);
    box->paste();
    EXPECT_EQ(box->text().toStdString(), before.toStdString()) << "a paste of refused keys";
}
