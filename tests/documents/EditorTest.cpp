#include "EditorDriver.h"

#include "platform/core/Currency.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/DataCombo.h"
#include "startup/SharedState.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

core::Currency money(const char* text) { return core::Currency::fromDouble(QString::fromLatin1(text).toDouble()); }

} // namespace

TEST_F(EditorTest, NewInvoiceOnTwoCodesAddsUpAndSavesAsNumberOne)
{
    frm_fattura::Nuovo(0);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    frm_fattura* f = editor();
    const std::int32_t id = f->documentId();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Nuova fattura"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(0)"))->text(), QStringLiteral("1"));

    chooseClient(QStringLiteral("D'A"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblDataCli(0)"))->text(), QStringLiteral(" Via Roma 1"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblDataCli(1)"))->text(), QStringLiteral(" 00100 Roma RM"));
    // The client is a withholding agent: the box is ticked with the section's rate.
    EXPECT_TRUE(control<QCheckBox>(QStringLiteral("chkData(0)"))->isChecked());

    enterLine({}, QStringLiteral("2"), QStringLiteral("Consulenza"), QStringLiteral("500"));
    enterLine(QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("Spese"), QStringLiteral("0.3333"));
    enterLine(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Relazione"), QStringLiteral("250"));
    ASSERT_EQ(f->lineRecordset().recordCount(), 3);

    // 22: 1000 + 40 surcharge = 1040, VAT 228,80, withholding 200.
    // 10: 250,9999 + 10,04 = 261,0399, VAT 26,10, withholding 50,20.
    const db::Recordset h = f->headerRecordset();
    EXPECT_EQ(h.value(QStringLiteral("fatTotImporto")).toCurrency(), money("1250.9999"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotSoggettivo")).toCurrency(), money("50.04"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotImponibile")).toCurrency(), money("1301.0399"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotImposta")).toCurrency(), money("254.9"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotDoc")).toCurrency(), money("1555.9399"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotRitAcc")).toCurrency(), money("250.2"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotNetto")).toCurrency(), money("1305.7399"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(10)"))->text(), QStringLiteral("1.305,74"));
    EXPECT_TRUE(control<QLineEdit>(QStringLiteral("txtData(10)"))->isReadOnly());
    EXPECT_EQ(control<grid::GridEx>(QStringLiteral("gexDetIVA"))->rowCount(), 2);

    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    const QString where = QStringLiteral(" WHERE fatId=") + QString::number(id);
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture") + where), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT fatTipoMol FROM Fatture") + where), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT fatCliForId FROM Fatture") + where), m_cliId);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fatTotNetto FROM Fatture") + where).toDouble(), 1305.7399);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio WHERE fdtfatId=") + QString::number(id)), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SUM(fdtTotRiga) FROM FattureDettaglio WHERE fdtfatId=") + QString::number(id)).toDouble(),
              1250.9999);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureIva WHERE fcifatId=") + QString::number(id)), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fciImposta FROM FattureIva WHERE fciCodiceIva='10' AND fcifatId=") + QString::number(id))
                  .toDouble(),
              26.1);
    EXPECT_EQ(count(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parsezId=1 AND parKey4=2024 AND parKey3 Is Null")), 1);
    EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << m_dialogs.unexpected().join(QLatin1Char('\n')).toStdString();
}
