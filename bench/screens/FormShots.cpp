// Pictures of the document editor and the entry forms as they open, at their
// default sizes, on the screen the program runs on. Run under a virtual X
// screen of the size to look at, for instance
//   CORVESSA_SHOTS=/tmp/shots QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/bench/screens/form_shots
// Each picture is the whole screen, so a window larger than the screen shows cut.
#include "documents/frm_fattura.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/frmMain.h"
#include "masterdata/frm_io_Clienti.h"
#include "masterdata/frm_io_IVA.h"
#include "masterdata/frm_io_Pagamenti.h"
#include "masterdata/frm_io_Prestazioni.h"
#include "masterdata/frm_list_Prestazioni.h"
#include "platform/database/Recordset.h"
#include "platform/grid/GridEx.h"
#include "platform/report/ReportPreview.h"
#include "printing/StampaDocumento.h"
#include "startup/SchemaUpgrade.h"
#include "startup/Section.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTableView>
#include <QTest>

namespace {

class FormShots : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        // The default layouts, so the editor's preview has one to print with.
        for (const char* nome : {"tarvix_m0.rpx", "tarvix_m1.rpx", "tarvix_m2.rpx", "tarvix_m01.rpx", "empty_mod.rpx"})
            QFile::copy(QDir(QStringLiteral(CORVESSA_PROGRAM_DIR)).filePath(QLatin1String(nome)),
                        QDir(AppPath()).filePath(QLatin1String(nome)));
        useUpgradedDatabase();
        CaricaModelli();
        session().sezId = 1;
        CaricaSezione();
        ImpostaDataLavoro(QDate(2026, 3, 5));
        m_dir = qEnvironmentVariable("CORVESSA_SHOTS", QStringLiteral("shots"));
        QDir().mkpath(m_dir);
        const QSize size = QGuiApplication::primaryScreen()->size();
        m_suffix = QStringLiteral("-%1x%2").arg(size.width()).arg(size.height());
    }

    // The whole screen, so what lies outside it is seen missing.
    void shoot(QWidget* w, const QString& name)
    {
        w->show();
        w->raise();
        w->activateWindow();
        QTest::qWait(300);
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        screen.save(QDir(m_dir).filePath(name + m_suffix + QStringLiteral(".png")));
        w->grab().save(QDir(m_dir).filePath(name + m_suffix + QStringLiteral("-window.png")));
    }

    std::int32_t scalarId(const QString& sql)
    {
        db::Recordset rs;
        rs.open(sql, session().dataConStr, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
        const std::int32_t id = rs.eof() ? 0 : rs.value(0).toLong();
        rs.close();
        return id;
    }

    QString m_dir;
    QString m_suffix;
};

TEST_F(FormShots, EditorAndEntryForms)
{
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, pagNoteFat, sezId, pagShared) "
                        "VALUES ('Bonifico bancario a 30 giorni data fattura', 'IBAN IT00 X000 0000 0000 0000 0000 000', 1, False)"));
    const std::int32_t pagId = scalarId(QStringLiteral("SELECT pagId FROM Pagamenti"));
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliIndirizzo, cliCAP, cliLocalita, cliProvincia, cliTelefono, cliMobile, "
                        "cliFax, cliEmail, SostImposta, cliShared, sezId, cliPagamento) VALUES ('Studio Associato Bianchi e "
                        "Ferraris', 'Via Giuseppe Garibaldi 128', '20121', 'Milano', 'MI', '+39 02 1234 5678', "
                        "'+39 333 123 4567', '+39 02 8765 4321', 'amministrazione@studiobianchi.it', True, False, 1, ")
         + QString::number(pagId) + QStringLiteral(")"));
    const std::int32_t cliId = scalarId(QStringLiteral("SELECT cliId FROM CliFor"));
    exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatCliForPag, fatDescrizione, "
                        "fatNote, fatpcRitAcc, fatRitPrePerc, fatRitPreDesc, fatRitAccPerc, fatRitAccDesc, fatRitAccPercSuImp, "
                        "fatRitAccSuRitPre, fatModId) VALUES (1, 0, 12, #03/05/2026#, ")
         + QString::number(cliId) + QStringLiteral(", ") + QString::number(pagId)
         + QStringLiteral(", 'Consulenza fiscale primo trimestre', 'Pagamento a 30 giorni', True, 4, 'Rivalsa (4%)', 20, "
                          "'Ritenuta d''acconto 20%', 100, False, 1)"));
    const std::int32_t fatId = scalarId(QStringLiteral("SELECT fatId FROM Fatture"));
    for (int i = 1; i <= 12; ++i)
        exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtQuanti, fdtDescrizione, fdtImporto, fdtTotRiga, "
                            "fdtCodiceIVA) VALUES (%1, %2, 'Prestazione professionale numero %3', %4, %5, '%6')")
                 .arg(fatId)
                 .arg(i % 3 + 1)
                 .arg(i)
                 .arg(100 * i)
                 .arg(100 * i * (i % 3 + 1))
                 .arg(i % 4 == 0 ? QStringLiteral("N1") : i % 4 == 1 ? QStringLiteral("22") : QStringLiteral("10")));
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Dichiarazione dei redditi', '22', 250, 1, 0)"));

    // The editor on the document, its summary rebuilt from the lines.
    frm_fattura::Modifica(fatId);
    frm_fattura* f = frm_fattura::current();
    ASSERT_NE(f, nullptr);
    f->gexdet->setRow(1);
    f->gexdet->view()->setFocus();
    // Its summary rebuilt from the lines and stored, then opened again as a user finds it.
    double pre = 4, acc = 20;
    f->CalcolaRiepilogoIVA(pre, acc);
    f->CalcolaTotali();
    ASSERT_TRUE(f->Salva());
    frm_fattura::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frm_fattura::Modifica(fatId);
    f = frm_fattura::current();
    ASSERT_NE(f, nullptr);
    f->gexdet->setRow(1);
    f->gexdet->view()->setFocus();
    shoot(f, QStringLiteral("editor"));

    // The document's preview, as the editor's Anteprima opens it.
    if (report::ReportPreview* anteprima = AnteprimaFattura(fatId, 0)) {
        QTest::qWait(200);
        shoot(anteprima, QStringLiteral("preview"));
        anteprima->close();
    }

    // The VAT-code cell in edit, its list open.
    f->gexdet->setRow(2);
    f->gexdet->setCol(4);
    f->gexdet->view()->setFocus();
    QTest::keyClick(f->gexdet->view(), Qt::Key_F2);
    QTest::qWait(100);
    if (auto* editor = f->gexdet->view()->findChild<QComboBox*>())
        editor->showPopup();
    // The open list is a popup of its own: the screen as it stands, nothing raised.
    QTest::qWait(300);
    QGuiApplication::primaryScreen()->grabWindow(0).save(
        QDir(m_dir).filePath(QStringLiteral("editor-vatcode") + m_suffix + QStringLiteral(".png")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    frm_fattura::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    frm_io_Clienti::Apri(cliId, 0);
    shoot(frm_io_Clienti::instance(), QStringLiteral("clienti"));
    frm_io_Clienti::Unload();
    frm_io_IVA::Apri(QStringLiteral("N1"), 0);
    shoot(frm_io_IVA::instance(), QStringLiteral("iva"));
    frm_io_IVA::Unload();
    frm_io_Pagamenti::Apri(pagId, 0);
    frm_io_Pagamenti* pag = frm_io_Pagamenti::instance();
    // The status text of the note box is the longest help of the form.
    if (QWidget* note = pag->findChild<QWidget*>(QStringLiteral("txtData(0)")))
        note->setFocus();
    shoot(pag, QStringLiteral("pagamenti"));
    frm_io_Pagamenti::Unload();
    frm_io_Prestazioni::Apri(scalarId(QStringLiteral("SELECT preId FROM Prestazioni")), 0);
    shoot(frm_io_Prestazioni::instance(), QStringLiteral("prestazioni"));
    frm_io_Prestazioni::Unload();
    m_dialogs.answerModal([this](QWidget* w) { shoot(w, QStringLiteral("picker")); });
    frm_list_Prestazioni::Apri(cliId);
    frm_list_Prestazioni::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(FormShots, MainWindowInvoices)
{
    for (int c = 1; c <= 8; ++c)
        exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliLocalita, cliShared, sezId) VALUES ('Cliente %1 S.r.l.', 'Torino', False, 1)")
                 .arg(QChar(QLatin1Char('A' + c))));
    for (int i = 1; i <= 60; ++i)
        exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatDescrizione, fatTotImponibile, "
                            "fatTotDoc, fatTotNetto) SELECT 1, 0, %1, #%2/%3/2026#, MIN(cliId) + %4, 'Consulenza n. %1', %5, %6, %6 FROM CliFor")
                 .arg(i)
                 .arg(i % 12 + 1)
                 .arg(i % 28 + 1)
                 .arg(i % 8)
                 .arg(150 * i)
                 .arg(183 * i));
    setInstalledPrintersSource([] {
        return InstalledPrinters{{{QStringLiteral("Laser"), QStringLiteral("HP LaserJet")}}, QStringLiteral("Laser")};
    });
    frmMain::Visualizza();
    frmMain* main = frmMain::instance();
    ASSERT_NE(main, nullptr);
    main->findChild<QAction*>(QStringLiteral("mnuViewItem(1)"))->trigger();
    QTest::qWait(200);
    auto* gex = main->findChild<grid::GridEx*>(QStringLiteral("gexView"));
    ASSERT_NE(gex, nullptr);
    // Sorted by the date, as a click on its heading does, then the fifth row highlighted.
    QHeaderView* header = gex->view()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(3) + 10, 5));
    gex->setRow(5);
    shoot(main, QStringLiteral("main-invoices"));
    frmMain::Unload();
    setInstalledPrintersSource({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
