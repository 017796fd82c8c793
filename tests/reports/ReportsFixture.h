#pragma once

#include "printing/PrintFixture.h"

#include <QMap>
#include <QString>
#include <QStringList>

class frmPrintReportMov;

// The print fixture's database filled as a professional's year leaves it:
// invoices (one paid, one paid in part, one not paid), a credit note, a pro
// forma, collections, services with and without a client, and the clients
// of the section with a shared one of another section. Two printers are
// installed; every print is caught and written to a PDF of its own.
class ReportsFixture : public PrintFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the chooser on the printer "Stampante di prova" and picks report `id`.
    frmPrintReportMov* apri(int id = 1);
    void scegli(int id);
    // The chooser's commands.
    void anteprima();
    void stampa();
    void esporta(int modo);
    // Exports to a file of that name in the home folder; the path ("" when none was written).
    QString esportaIn(int modo, const QString& nome);

    // A cell of a worksheet: its text, and whether it is a number cell.
    struct Cella {
        QString testo;
        bool numero = false;
    };
    // One member of a zip file (an .xlsx is one), as its bytes.
    static QByteArray membroZip(const QString& zip, const QString& membro);
    // The cells of the first sheet of an .xlsx file, by reference ("B3").
    static QMap<QString, Cella> celleXlsx(const QString& path);
    // The texts of an HTML export in document order, or a failure when it does not parse cleanly.
    static QStringList testiHtml(const QString& path);
    // All texts of a preview's pages.
    static QString testoPagine(const QWidget* anteprima);

    struct Stampata {
        QString stampante;
        QString pdf;
        int pagine = 0;
    };
    QList<Stampata> m_stampe;

    frmPrintReportMov* m_scelta = nullptr;
    std::int32_t m_bianchi = 0;
    std::int32_t m_verdi = 0;    // shared, of section 2
    std::int32_t m_neri = 0;     // not shared, of section 2
    std::int32_t m_fattura15 = 0; // paid in full
    std::int32_t m_fattura16 = 0; // paid in part: 100 of 1.220,00
    std::int32_t m_fattura17 = 0; // not paid
};
