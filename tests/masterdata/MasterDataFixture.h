#pragma once

#include "masterdata/frm_io_Clienti.h"
#include "masterdata/frm_io_IVA.h"
#include "masterdata/frm_io_Pagamenti.h"
#include "masterdata/frm_io_Prestazioni.h"
#include "masterdata/frm_list_Prestazioni.h"
#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

// The upgraded database with section 1 current, and every entry form unloaded after each test.
class MasterDataFixture : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useUpgradedDatabase();
        session().sezId = 1;
        exec(QStringLiteral("INSERT INTO Sezioni (sezTitolo, sezNome, sezCognome) VALUES ('Dott.', 'Luca', 'Bianchi')"));
    }
    void TearDown() override
    {
        frm_list_Prestazioni::Unload();
        frm_io_Prestazioni::Unload();
        frm_io_Clienti::Unload();
        frm_io_Pagamenti::Unload();
        frm_io_IVA::Unload();
        ProgramFixture::TearDown();
    }

    // The single instance of a form opened modeless, once its window is active (as a user sees it).
    template <typename Form>
    static Form* shown()
    {
        Form* f = Form::instance();
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(QTest::qWaitForWindowActive(f));
        return f;
    }
    // A click where the user would click: a check box on its box, anything else in its middle.
    static void click(QWidget* w)
    {
        if (qobject_cast<QCheckBox*>(w))
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
        else
            QTest::mouseClick(w, Qt::LeftButton);
    }
    // Key clicks, accented letters included (QTest knows only ASCII keys).
    static void keys(QWidget* w, const QString& text)
    {
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClicks(w, QString(c));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &release);
        }
    }
    static void type(QWidget* w, const QString& text)
    {
        w->setFocus();
        keys(w, text);
    }
};
