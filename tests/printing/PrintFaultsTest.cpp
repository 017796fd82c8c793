// What the user is told when a document cannot be printed, and that nothing
// half-made comes out.
#include "printing/PrintFixture.h"

#include "platform/report/ReportPrinter.h"
#include "platform/ui/MsgBoxStyle.h"
#include "printing/StampaDocumento.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <functional>

namespace {

class PrintFaultsTest : public PrintFixture {
public:
    using PrintFixture::exec;
    using PrintFixture::inserisci;
};

TEST_F(PrintFaultsTest, DocumentsThatCannotBePreparedAreRefusedWithAMessage)
{
    struct Caso {
        const char* nome;
        std::function<std::int32_t(PrintFaultsTest&)> prepara; // returns the document to print
        const char* messaggio;
    };
    const Caso casi[] = {
        {"no print settings",
         [](PrintFaultsTest& t) {
             t.exec(QStringLiteral("DELETE FROM SezioniModelli WHERE sezId=1"));
             return t.inserisci(fattura());
         },
         "Mancano le impostazioni di stampa del professionista"},
        {"no layout for the kind",
         [](PrintFaultsTest& t) {
             t.exec(QStringLiteral("DELETE FROM finRel WHERE fnrDocType=0"));
             return t.inserisci(fattura());
         },
         "Nessun modello di stampa è associato ai documenti di tipo \"Fattura\""},
        {"unreadable layout",
         [](PrintFaultsTest& t) {
             t.exec(QStringLiteral("UPDATE finData SET finLay='non un modello' WHERE finId=1"));
             return t.inserisci(fattura());
         },
         "Il modello di stampa \"Modello fattura\" non è leggibile"},
        {"no lines",
         [](PrintFaultsTest& t) {
             Documento d = fattura();
             d.righe.clear();
             return t.inserisci(d);
         },
         "Nessun documento da stampare"},
        {"no client",
         [](PrintFaultsTest& t) {
             Documento d = fattura();
             d.cliente = 999;
             return t.inserisci(d);
         },
         "Nessun documento da stampare"},
        {"five VAT rows",
         [](PrintFaultsTest& t) {
             Documento d = fattura();
             d.iva.clear();
             for (const char* c : {"22", "10", "5", "4", "N1"})
                 d.iva.push_back({QString::fromLatin1(c), 1, 0, 1, 0, 1, 0});
             return t.inserisci(d);
         },
         "ha 5 aliquote IVA nel riepilogo, ma il modello di stampa ne può mostrare al massimo 4"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        ASSERT_TRUE(QFile::remove(defaultDatabasePath()));
        useUpgradedDatabase(); // a fresh database per case
        exec(QStringLiteral("DELETE FROM finData"));
        exec(QStringLiteral("DELETE FROM finRel"));
        CaricaModelli();
        exec(QStringLiteral("INSERT INTO CliFor (cliNome) VALUES ('Cliente')"));
        m_cliente = 1;
        m_pagamento = 0;
        restartDialogs();
        const std::int32_t id = c.prepara(*this);
        m_dialogs.answerMessageBox(ui::vbOK);
        EXPECT_FALSE(StampaDocumento(1, 0, session().dataConStr, SqlStampaDocumento(id)).has_value());
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages().first().contains(QString::fromUtf8(c.messaggio)))
            << m_dialogs.messages().first().toStdString();
        EXPECT_TRUE(m_dialogs.requests(ui::DialogKind::SaveFile).isEmpty());
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty());
    }
}

TEST_F(PrintFaultsTest, AnExportFileThatCannotBeReplacedLeavesEverythingAsItWas)
{
    auto rpt = StampaDocumento(1, 0, session().dataConStr, SqlStampaDocumento(inserisci(fattura())));
    ASSERT_TRUE(rpt);
    // The chosen name is taken by a folder: it cannot become the PDF, whoever runs the test.
    const QString cartella = percorso(QStringLiteral("uscita"));
    const QString bersaglio = QDir(cartella).filePath(QStringLiteral("fattura.pdf"));
    ASSERT_TRUE(QDir().mkpath(bersaglio));
    QFile dentro(QDir(bersaglio).filePath(QStringLiteral("dentro.txt")));
    ASSERT_TRUE(dentro.open(QIODevice::WriteOnly));
    dentro.close();
    m_dialogs.answerSaveFile(bersaglio).answerMessageBox(ui::vbOK);
    EXPECT_FALSE(EsportaPdf(*rpt));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Esportazione in PDF non riuscita")));
    EXPECT_TRUE(QFileInfo(bersaglio).isDir());
    EXPECT_TRUE(QFileInfo::exists(dentro.fileName()));
    // No half-written file is left beside it.
    EXPECT_EQ(QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"fattura.pdf"});
}

TEST_F(PrintFaultsTest, AnExportIntoAMissingFolderSaysSo)
{
    auto rpt = StampaDocumento(1, 0, session().dataConStr, SqlStampaDocumento(inserisci(fattura())));
    ASSERT_TRUE(rpt);
    m_dialogs.answerSaveFile(percorso(QStringLiteral("non/esiste/fattura.pdf"))).answerMessageBox(ui::vbOK);
    EXPECT_FALSE(EsportaPdf(*rpt));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Esportazione in PDF non riuscita")));
    EXPECT_FALSE(QFileInfo::exists(percorso(QStringLiteral("non/esiste/fattura.pdf"))));
}

TEST_F(PrintFaultsTest, CancelledExportDialogWritesNothing)
{
    auto rpt = StampaDocumento(1, 0, session().dataConStr, SqlStampaDocumento(inserisci(fattura())));
    ASSERT_TRUE(rpt);
    m_dialogs.answerSaveFile(QString());
    EXPECT_FALSE(EsportaPdf(*rpt));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(PrintFaultsTest, PrintingGoesThroughThePrinterDialogAndAFailingPrinterIsReported)
{
    auto rpt = StampaDocumento(1, 0, session().dataConStr, SqlStampaDocumento(inserisci(fattura())));
    ASSERT_TRUE(rpt);
    int dialoghi = 0;
    report::ReportPrinter::setPrintDialogHandler([&](QPrinter&) {
        ++dialoghi;
        return true;
    });
    const QString stampato = percorso(QStringLiteral("stampa.pdf"));
    rpt->printer().outputFileName = stampato;
    EXPECT_TRUE(StampaReport(*rpt));
    EXPECT_EQ(dialoghi, 1);
    EXPECT_TRUE(testoPdf(stampato).contains(QStringLiteral("Netto dovuto")));

    rpt->printer().outputFileName.clear();
    rpt->printer().deviceName = QStringLiteral("Stampante inesistente");
    m_dialogs.answerMessageBox(ui::vbOK);
    EXPECT_FALSE(StampaReport(*rpt));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Stampa non riuscita")));

    report::ReportPrinter::setPrintDialogHandler([&](QPrinter&) { return false; });
    rpt->printer().deviceName.clear();
    rpt->printer().outputFileName = percorso(QStringLiteral("annullata.pdf"));
    EXPECT_FALSE(StampaReport(*rpt));
    EXPECT_FALSE(QFileInfo::exists(percorso(QStringLiteral("annullata.pdf"))));
    report::ReportPrinter::setPrintDialogHandler(nullptr);
}

} // namespace
