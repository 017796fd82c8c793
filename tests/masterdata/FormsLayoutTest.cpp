// Each entry form, opened at its default size on a record of ordinary
// values, shows every text whole: boxes, labels, buttons and the field help.
#include "MasterDataFixture.h"
#include "support/WholeControls.h"

#include <QStatusBar>

namespace {

class FormsLayoutTest : public MasterDataFixture {
protected:

    // Every control's text and every field help fit the form as it opens.
    static void expectWhole(QWidget* form)
    {
        QApplication::processEvents();
        const QStringList controls = cutControls(form);
        EXPECT_TRUE(controls.isEmpty()) << form->objectName().toStdString() << "\n" << controls.join('\n').toStdString();
        auto* bar = form->findChild<QStatusBar*>(QStringLiteral("sb"));
        ASSERT_NE(bar, nullptr);
        const QStringList helps = cutHelps(form, bar);
        EXPECT_TRUE(helps.isEmpty()) << form->objectName().toStdString() << "\n" << helps.join('\n').toStdString();
    }
};

TEST_F(FormsLayoutTest, EveryEntryFormShowsItsTextsWhole)
{
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, pagNoteFat, sezId, pagShared) "
                        "VALUES ('Bonifico bancario a 30 giorni data fattura', 'IBAN IT00 X000 0000 0000', 1, False)"));
    const std::int32_t pagId = scalar(QStringLiteral("SELECT pagId FROM Pagamenti")).toLong();
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliIndirizzo, cliCAP, cliLocalita, cliProvincia, cliPartitaIVA, "
                        "cliCodiceFiscale, cliTelefono, cliMobile, cliFax, cliEmail, cliBancaApp01, cliBancaApp03, cliBancaApp04, "
                        "SostImposta, cliShared, sezId, cliPagamento) VALUES ('Studio Bianchi', 'Via Garibaldi 12', '20121', "
                        "'Milano', 'MI', '01234567890', 'BNCLCU70A01F205X', '+39 02 1234 5678', '+39 333 123 4567', "
                        "'+39 02 8765 4321', 'studio@bianchi.it', 'Banca Popolare di Milano', '05584', '01600', "
                        "False, False, 1, ")
         + QString::number(pagId) + QStringLiteral(")"));
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Dichiarazione dei redditi', '22', 250, 1, 0)"));

    frm_io_Clienti::Apri(scalar(QStringLiteral("SELECT cliId FROM CliFor")).toLong(), 0);
    expectWhole(shown<frm_io_Clienti>());
    frm_io_IVA::Apri(QStringLiteral("N1"), 0);
    expectWhole(shown<frm_io_IVA>());
    frm_io_Pagamenti::Apri(pagId, 0);
    expectWhole(shown<frm_io_Pagamenti>());
    frm_io_Prestazioni::Apri(scalar(QStringLiteral("SELECT preId FROM Prestazioni")).toLong(), 0);
    expectWhole(shown<frm_io_Prestazioni>());
}

} // namespace
