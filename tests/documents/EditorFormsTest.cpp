// The editor and the entry forms together: F5 adds a client on the fly, F4
// fills a line from the price list.
#include "EditorDriver.h"

#include "platform/grid/GridEx.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

TEST_F(EditorTest, F5OnTheClientAddsOneThroughTheClientForm)
{
    frm_fattura::Nuovo(0);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    bool formShown = false;
    m_dialogs.answerModal([&](QWidget* w) {
        formShown = w->objectName() == QLatin1String("frm_io_Clienti");
        auto* name = w->findChild<QLineEdit*>(QStringLiteral("txtData(0)"));
        ASSERT_NE(name, nullptr);
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Studio Bianchi"));
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdSalva")), Qt::LeftButton);
    });
    focus(control<ui::DataCombo>(QStringLiteral("dtcData(0)")));
    key(Qt::Key_F5);

    EXPECT_TRUE(formShown);
    const int newId = count(QStringLiteral("SELECT cliId FROM CliFor WHERE cliNome='Studio Bianchi'"));
    ASSERT_GT(newId, 0);
    EXPECT_EQ(control<ui::DataCombo>(QStringLiteral("dtcData(0)"))->boundValue().toLong(), newId);
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatCliForId")).toLong(), newId);
}

TEST_F(EditorTest, F4InTheDescriptionFillsTheLineFromThePriceList)
{
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Parere scritto', '10', 180.5, 1, 0)"));
    frm_fattura::Nuovo(0);
    chooseClient(QStringLiteral("D'A"));
    auto* gexdet = control<grid::GridEx>(QStringLiteral("gexdet"));
    focus(control<QPlainTextEdit>(QStringLiteral("txtData(1)")));
    key(Qt::Key_Tab);
    ASSERT_TRUE(gexdet->isAncestorOf(focused()));
    gexdet->setCol(gexdet->column(QStringLiteral("fdtDescrizione")).position());
    bool pickerShown = false;
    m_dialogs.answerModal([&](QWidget* w) {
        pickerShown = w->objectName() == QLatin1String("frm_list_Prestazioni");
        auto* list = w->findChild<grid::GridEx*>(QStringLiteral("gexPre"));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->rowCount(), 1);
        list->setRow(1);
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    key(Qt::Key_F4);
    EXPECT_TRUE(pickerShown);
    EXPECT_EQ(gexdet->value(QStringLiteral("fdtDescrizione")).toString(), QStringLiteral("Parere scritto"));
    EXPECT_EQ(gexdet->value(QStringLiteral("fdtCodiceIVA")).toString(), QStringLiteral("10"));
    EXPECT_EQ(gexdet->value(QStringLiteral("fdtImporto")).toCurrency(), core::Currency::fromDouble(180.5));
}
