// The report chooser as the user meets it: what it shows on opening, the
// filters each report asks for, and closing.
#include "reports/ReportsFixture.h"

#include "platform/grid/GridEx.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/MsgBoxStyle.h"
#include "output/EsportaReport.h"
#include "reports/frmPrintReportMov.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using ChooserTest = ReportsFixture;

TEST_F(ChooserTest, OpensOnTheWorkingYearAllClientsInvoicesAndThePrinterPassed)
{
    frmPrintReportMov* f = apri();
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isModal());
    EXPECT_EQ(f->windowTitle(), QStringLiteral(" Stampe Documenti - Listini - Anagrafiche"));
    EXPECT_EQ(f->Dat1->date(), QDate(2024, 1, 1));
    EXPECT_EQ(f->Dat2->date(), QDate(2024, 12, 31));
    EXPECT_EQ(f->cmbCli->currentText(), QStringLiteral("(Tutti)"));
    EXPECT_TRUE(f->optview[0]->isChecked());
    EXPECT_EQ(f->TipoDocumento(), 0);
    EXPECT_EQ(f->cmbPrinters->currentText(), QStringLiteral("Stampante di prova"));
    EXPECT_EQ(f->cmbPrinters->count(), 2);

    // The section's clients and the shared one of another section, by name.
    QStringList clienti;
    for (int i = 0; i < f->cmbCli->count(); ++i)
        clienti << f->cmbCli->itemText(i);
    EXPECT_EQ(clienti, (QStringList{"(Tutti)", "Bianchi Mario", "D'Amico Consulting S.r.l.", "Verdi S.p.A."}));

    // The seven reports, by title.
    QStringList titoli;
    for (int r = 1; r <= f->GridEX1->rowCount(); ++r)
        titoli << f->GridEX1->cellText(r, 3);
    EXPECT_EQ(titoli, (QStringList{"Documenti", "Lista Documenti", "Totali per Cliente", "Listino Prestazioni",
                                   "Clienti (Rubrica)", "Clienti (Anagrafica)", "Incassi"}));

    // A document type chosen stays for the reports that do not show it.
    f->optview[1]->click();
    scegli(3);
    EXPECT_EQ(f->TipoDocumento(), 1);
    EXPECT_TRUE(f->SqlTotaliCliente().contains(QLatin1String("(fatTipo=1)")));
}

TEST_F(ChooserTest, EachReportShowsItsFiltersInItsOrder)
{
    frmPrintReportMov* f = apri();
    const struct {
        int report;
        std::vector<int> frames; // visible, top to bottom
    } cases[] = {
        {1, {0, 1, 2}}, {2, {0, 1, 2}}, {3, {1, 2}}, {4, {3, 2}}, {5, {}}, {6, {}}, {7, {4, 1, 2}},
    };
    for (const auto& c : cases) {
        scegli(c.report);
        QApplication::processEvents();
        std::vector<std::pair<int, int>> visibili; // top, frame
        for (int i = 0; i < 5; ++i)
            if (f->frmFilter[i]->isVisible())
                visibili.emplace_back(f->frmFilter[i]->mapTo(f, QPoint(0, 0)).y(), i);
        std::sort(visibili.begin(), visibili.end());
        std::vector<int> ordine;
        for (const auto& v : visibili)
            ordine.push_back(v.second);
        EXPECT_EQ(ordine, c.frames) << "report " << c.report;
        // Report 1 is exported to PDF only.
        for (int modo : {kModoExcel, kModoRtf, kModoHtml})
            EXPECT_EQ(f->mnuexp.at(modo)->isVisible(), c.report > 1) << "report " << c.report;
        EXPECT_TRUE(f->mnuexp.at(kModoPdf)->isVisible());
    }
}

TEST_F(ChooserTest, EscClosesTheChooserAndItsPreviews)
{
    frmPrintReportMov* f = apri(5);
    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    QPointer<report::ReportPreview> preview = f->Anteprime().first();
    EXPECT_TRUE(preview->isVisible());
    QTest::keyClick(f, Qt::Key_Escape);
    EXPECT_FALSE(f->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmPrintReportMov::isLoaded());
    EXPECT_TRUE(preview.isNull() || !preview->isVisible());
}

TEST_F(ChooserTest, ADateStillBeingTypedCountsAndAWrongOneStopsTheRun)
{
    frmPrintReportMov* f = apri(2);
    f->Dat1->setFocus();
    f->Dat1->selectAll();
    QTest::keyClicks(f->Dat1, QStringLiteral("01/04/2024"));
    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    const QString mostrato = testoPagine(f->Anteprime().first());
    EXPECT_TRUE(mostrato.contains(QStringLiteral("dal 01/04/24 al 31/12/24"))) << mostrato.toStdString();
    EXPECT_FALSE(mostrato.contains(QStringLiteral("D'Amico"))) << "the March invoice is before the range";

    f->Dat2->setFocus();
    f->Dat2->selectAll();
    QTest::keyClicks(f->Dat2, QStringLiteral("31/02/2024"));
    m_dialogs.answerMessageBox(ui::vbOK);
    anteprima();
    QApplication::processEvents();
    EXPECT_EQ(f->Anteprime().size(), 1);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(f->Dat2->date(), QDate(2024, 12, 31));
}

TEST_F(ChooserTest, AWrongDateClickedAwayWithTheMouseStopsEveryCommand)
{
    frmPrintReportMov* f = apri(2);
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    const int anteprime = static_cast<int>(f->Anteprime().size());
    for (QPushButton* button : {f->cmdPreview, f->cmdOK}) {
        for (ui::DateBox* box : {f->Dat1, f->Dat2}) {
            SCOPED_TRACE(button->objectName().toStdString() + " " + box->objectName().toStdString());
            const QDate before = box->date();
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("31/02/2024"));
            m_dialogs.answerMessageBox(ui::vbOK);
            QTest::mouseClick(button, Qt::LeftButton);
            QApplication::processEvents();
            EXPECT_EQ(f->Anteprime().size(), anteprime);
            EXPECT_TRUE(m_stampe.isEmpty());
            ASSERT_EQ(m_dialogs.messages().size(), 1);
            EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("febbraio 2024 ha 29 giorni")));
            EXPECT_EQ(box->date(), before);
            EXPECT_TRUE(box->hasFocus());
            restartDialogs();
        }
    }
}

TEST_F(ChooserTest, AKeyboardUserTabsOutOfTheListRunsWithEnterAndClosesAPreviewWithEsc)
{
    frmPrintReportMov* f = apri(2);
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));

    // Tab leaves the list for the filters and the buttons.
    f->GridEX1->view()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* dopo = QApplication::focusWidget();
    ASSERT_NE(dopo, nullptr);
    EXPECT_FALSE(f->GridEX1->isAncestorOf(dopo)) << dopo->objectName().toStdString();
    EXPECT_TRUE(f->isAncestorOf(dopo));

    // Enter on the list runs the current report as the default button does.
    f->GridEX1->view()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(m_stampe.size(), 1);
    EXPECT_TRUE(testoPdf(m_stampe.last().pdf).contains(QStringLiteral("Lista Documenti")));

    // Esc closes the preview in front and leaves the chooser open.
    anteprima();
    ASSERT_EQ(f->Anteprime().size(), 1);
    QPointer<report::ReportPreview> preview = f->Anteprime().first();
    preview->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : preview.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull() || !preview->isVisible());
    EXPECT_TRUE(f->isVisible());
}
