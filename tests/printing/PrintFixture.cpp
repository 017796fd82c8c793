#include "printing/PrintFixture.h"

#include "common/comDataBase.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "printing/StampaDocumento.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

std::int32_t ultimoId(const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, session().dataConStr);
    return rs.eof() ? 0 : rs.value(0).toLong();
}

} // namespace

void PrintFixture::SetUp()
{
    ProgramFixture::SetUp();
    for (const char* nome : {"tarvix_m0.rpx", "tarvix_m1.rpx", "tarvix_m2.rpx", "tarvix_m01.rpx", "empty_mod.rpx"})
        ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QLatin1String(nome)),
                                QDir(AppPath()).filePath(QLatin1String(nome))))
            << nome;
    useUpgradedDatabase();
    CaricaModelli();
    session().sezId = 1;
    exec(QStringLiteral("UPDATE SezioniModelli SET modFatIntTipo=2, modFatInt05='Studio Rossi', "
                        "modFatInt06='Dott. Mario Rossi - Dottore commercialista', modFatInt=True, "
                        "modFatInt01='Via Garibaldi 8 - 20121 Milano (MI)', modFatInt02='Tel. 02 1234567 - studio@rossi.it', "
                        "modFatInt03='P. IVA 09876543210', modFatInt04='C.F. RSSMRA70B02F205X', modFatPie=True, "
                        "modFatPie01='Iscritto all''Ordine dei Dottori Commercialisti di Milano n. 1234', "
                        "modFatPie02='IBAN IT60 X054 2811 1010 0000 0123 456' WHERE sezId=1"));
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliIndirizzo, cliCAP, cliLocalita, cliProvincia, cliPartitaIVA, "
                        "cliCodiceFiscale, cliBancaApp01, cliBancaApp03, cliBancaApp04, sezId) VALUES ('D''Amico Consulting S.r.l.', "
                        "'Via Roma 12', '00184', 'Roma', 'RM', '01234567890', 'DMCMRA80A01H501U', 'Banca Intesa', '03069', "
                        "'05020', 1)"));
    m_cliente = ultimoId(QStringLiteral("SELECT MAX(cliId) FROM CliFor"));
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione) VALUES ('Bonifico bancario 30 gg d.f.')"));
    m_pagamento = ultimoId(QStringLiteral("SELECT MAX(pagId) FROM Pagamenti"));
}

PrintFixture::Documento PrintFixture::fattura()
{
    Documento d;
    d.righe = {{2, QStringLiteral("Consulenza fiscale"), 150}, {1, QStringLiteral("Redazione del bilancio d'esercizio"), 1234.5}};
    d.iva = {{QStringLiteral("22"), 1534.5, 61.38, 1595.88, 351.09, 1946.97, 306.9}};
    return d;
}

std::int32_t PrintFixture::inserisci(const Documento& d)
{
    const double* t = d.tot;
    exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatCliForPag, "
                        "fatDescrizione, fatNote, fatRitPreDesc, fatRitAccDesc, fatTotImporto, fatTotSoggettivo, "
                        "fatTotImponibile, fatTotImposta, fatTotDoc, fatTotRitAcc, fatTotNetto) VALUES (1, %1, %2, %3, %4, %5, "
                        "%6, %7, %8, %9, %10, %11, %12, %13, %14, %15, %16, %17)")
             .arg(d.tipo)
             .arg(d.numero, d.prefisso, SqlData(d.data))
             .arg(d.cliente ? d.cliente : m_cliente)
             .arg(d.pagamento ? d.pagamento : m_pagamento)
             .arg(SqlQuoted(d.descrizione), SqlQuoted(d.note), SqlQuoted(d.ritPreDesc), SqlQuoted(d.ritAccDesc))
             .arg(SqlNumber(t[0]), SqlNumber(t[1]), SqlNumber(t[2]), SqlNumber(t[3]), SqlNumber(t[4]), SqlNumber(t[5]),
                  SqlNumber(t[6])));
    const std::int32_t id = ultimoId(QStringLiteral("SELECT MAX(fatId) FROM Fatture"));
    int n = 0;
    for (const Riga& r : d.righe)
        exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtRiga, fdtQuanti, fdtDescrizione, fdtImporto, "
                            "fdtTotRiga, fdtCodiceIVA) VALUES (%1, %2, %3, %4, %5, %6, %7)")
                 .arg(id)
                 .arg(++n)
                 .arg(SqlNumber(r.quantita), SqlQuoted(r.descrizione), SqlNumber(r.prezzo), SqlNumber(r.quantita * r.prezzo),
                      SqlQuoted(r.codiceIva)));
    for (const RigaIva& v : d.iva)
        exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, "
                            "fciImposta, fciTotRiga, fciRit01) VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                 .arg(id)
                 .arg(SqlQuoted(v.codice), SqlNumber(v.importo), SqlNumber(v.soggettivo), SqlNumber(v.imponibile),
                      SqlNumber(v.imposta), SqlNumber(v.totale), SqlNumber(v.ritenuta)));
    return id;
}

QString PrintFixture::percorso(const QString& nome) const
{
    return QDir(m_home.path()).filePath(nome);
}

QString PrintFixture::esportaPdf(std::int32_t fatId, int tipo)
{
    return esportaPdf(tipo, SqlStampaDocumento(fatId));
}

QString PrintFixture::esportaPdf(int tipo, const QString& sql)
{
    static int numero = 0;
    const QString file = percorso(QStringLiteral("documento%1.pdf").arg(++numero));
    auto rpt = StampaDocumento(session().sezId, tipo, session().dataConStr, sql);
    if (!rpt)
        return {};
    m_dialogs.answerSaveFile(file);
    if (!EsportaPdf(*rpt))
        return {};
    return QFileInfo::exists(file) ? file : QString();
}

QString PrintFixture::testoPdf(const QString& path, int pagina)
{
    QStringList args;
    if (pagina > 0)
        args << QStringLiteral("-f") << QString::number(pagina) << QStringLiteral("-l") << QString::number(pagina);
    args << path << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    // NFKC folds the ligatures ("ﬁ") the PDF text carries.
    QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

QStringList PrintFixture::righePdf(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    QStringList righe;
    for (const QString& riga : text.split(QLatin1Char('\n'))) {
        const QString pulita = riga.trimmed();
        if (!pulita.isEmpty())
            righe << pulita;
    }
    return righe;
}

int PrintFixture::paginePdf(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}
