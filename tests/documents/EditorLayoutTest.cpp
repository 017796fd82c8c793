// The editor at its default size: the lines take the height, the VAT summary
// only what its rows need, drawn as a live list, and every text is whole.
#include "EditorDriver.h"
#include "support/WholeControls.h"

#include "platform/grid/GridEx.h"

#include <QHeaderView>
#include <QTableView>

namespace {

class EditorLayoutTest : public EditorTest {
protected:
    // A document of 12 lines over three codes, its summary stored, opened in the editor.
    void openLongDocument()
    {
        exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatData, fatCliForId, fatCliForPag, fatDescrizione, "
                            "fatNote, fatpcRitAcc, fatRitPrePerc, fatRitPreDesc, fatRitAccPerc, fatRitAccDesc, "
                            "fatRitAccPercSuImp, fatRitAccSuRitPre, fatModId) VALUES (1, 0, 7, #03/05/2024#, ")
             + QString::number(m_cliId)
             + QStringLiteral(", 0, 'Consulenza', 'Note', False, 4, 'Rivalsa (4%)', 0, 'Ritenuta d''acconto', 100, False, 1)"));
        const int fatId = count(QStringLiteral("SELECT fatId FROM Fatture"));
        const char* codes[] = {"22", "10", "N1"};
        for (int i = 1; i <= 12; ++i)
            exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtQuanti, fdtDescrizione, fdtImporto, fdtTotRiga, "
                                "fdtCodiceIVA) VALUES (%1, 1, 'Prestazione %2', 100, 100, '%3')")
                     .arg(fatId)
                     .arg(i)
                     .arg(QLatin1String(codes[i % 3])));
        for (const char* code : codes)
            exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva, fciImporto, fciSoggettivo, fciImponibile, "
                                "fciImposta, fciTotRiga, fciRit01) VALUES (%1, '%2', 400, 16, 416, 0, 416, 0)")
                     .arg(fatId)
                     .arg(QLatin1String(code)));
        frm_fattura::Modifica(fatId);
        ASSERT_NE(editor(), nullptr);
        QApplication::processEvents();
    }

    // Rows the grid shows from top to bottom without cutting one.
    static int wholeRows(const grid::GridEx* g)
    {
        return g->view()->viewport()->height() / g->view()->verticalHeader()->defaultSectionSize();
    }
};

TEST_F(EditorLayoutTest, TheLinesTakeTheHeightAndTheSummaryOnlyItsRows)
{
    openLongDocument();
    auto* lines = control<grid::GridEx>(QStringLiteral("gexdet"));
    auto* summary = control<grid::GridEx>(QStringLiteral("gexDetIVA"));
    EXPECT_GE(wholeRows(lines), 10);

    // The three summary rows all show, with no empty row's room beneath them.
    ASSERT_EQ(summary->rowCount(), 3);
    const int rowHeight = summary->view()->verticalHeader()->defaultSectionSize();
    EXPECT_GE(summary->view()->viewport()->height(), 3 * rowHeight);
    EXPECT_LT(summary->view()->viewport()->height(), 4 * rowHeight);
    // Drawn as a live list, with no row of it current, and out of the focus chain.
    EXPECT_TRUE(summary->isEnabled());
    EXPECT_EQ(summary->row(), 0);
    EXPECT_EQ(summary->view()->focusPolicy(), Qt::NoFocus);

    // A taller window gives its height to the lines.
    const int before = wholeRows(lines);
    editor()->resize(editor()->width(), editor()->height() + 200);
    QApplication::processEvents();
    EXPECT_GT(wholeRows(lines), before + 4);
    EXPECT_LT(summary->view()->viewport()->height(), 4 * rowHeight);
}

TEST_F(EditorLayoutTest, EveryTextOfTheEditorIsWhole)
{
    openLongDocument();
    const QStringList cut = cutControls(editor());
    EXPECT_TRUE(cut.isEmpty()) << cut.join('\n').toStdString();
}

} // namespace
