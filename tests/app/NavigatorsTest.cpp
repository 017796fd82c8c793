// The windows whose grids carry a record navigator show it, with their own words.
#include "WindowsFixture.h"

#include "platform/grid/GridEx.h"

#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

// Readable failures: texts print as text.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class NavigatorsTest : public WindowsFixture {};

TEST_F(NavigatorsTest, TheSevenWindowsShowTheirGridsNavigatorWithItsTexts)
{
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, preCodiceIVA, preImporto, sezId, preCliId) "
                        "VALUES ('Dichiarazione dei redditi', '22', 250, 1, 0)"));
    exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto, incDescrizione) VALUES (%1, #03/20/2024#, 500, "
                        "'Acconto')").arg(m_fattura));
    const std::int32_t cli = cliente();
    const auto tableBrowser = [](QWidget* w) {
        auto* combo = w->findChild<QComboBox*>(QStringLiteral("cmbTables"));
        const int i = combo->findText(QStringLiteral("Sezioni"));
        combo->setCurrentIndex(i);
        Q_EMIT combo->activated(i);
    };
    // The setup's grid lies on the second page of its second tab strip, a user clicks there.
    const auto setupPage = [](QWidget* w) {
        for (const auto& [strip, caption] : {std::pair{"SSTab1", "Aspetto della Fattura"},
                                             std::pair{"SSTab2", "Associazione modelli"}}) {
            auto* tabs = w->findChild<QTabWidget*>(QString::fromLatin1(strip));
            ASSERT_NE(tabs, nullptr);
            QTabBar* bar = tabs->findChild<QTabBar*>();
            for (int i = 0; i < bar->count(); ++i)
                if (bar->tabText(i) == QString::fromLatin1(caption))
                    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        }
    };
    const struct {
        const char* window;
        std::function<void(std::function<void(QWidget*)>)> open;
        const char* grid;
        std::function<void(QWidget*)> prepare;
        const char* text;
    } cases[] = {
        {"setup", modal([] { frm_setup::Apri(1); }), "gex", setupPage, "Record: 1 di 3"},
        {"table browser", modal([this] { comfrmManData::Mostra(m_main, session().dataConStr); }), "gexTable", tableBrowser,
         "Record: 1 di 2"},
        {"service picker", modal([cli] { frm_list_Prestazioni::Apri(cli); }), "gexPre", {}, "Record: 1 di 1"},
        {"editor", modeless([this] { frm_fattura::Modifica(m_fattura); return frm_fattura::current(); }), "gexdet", {},
         "riga: 1 di 2"},
        // The collections open on the line of a new one.
        {"collections", modal([this] { frmIncassi::Apri(m_fattura, m_main); }), "gex", {}, "Record: * di 1"},
        {"layout list", modal([this] { finfrmReps::Mostra(m_main); }), "gex", {}, "Record: 1 di 3"},
        {"layout assignment", modal([] { finfrmRepRels::Apri(1); }), "gex", {}, "Record: 1 di 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        bool seen = false;
        c.open([&](QWidget* w) {
            if (c.prepare)
                c.prepare(w);
            auto* g = w->findChild<grid::GridEx*>(QString::fromLatin1(c.grid));
            ASSERT_NE(g, nullptr);
            QWidget* navigator = g->findChild<QWidget*>(QStringLiteral("navigator"));
            ASSERT_NE(navigator, nullptr);
            EXPECT_TRUE(navigator->isVisible());
            EXPECT_EQ(g->findChild<QLabel*>(QStringLiteral("lblNavigator"))->text(), QString::fromUtf8(c.text));
            for (const char* name : {"cmdNavFirst", "cmdNavPrevious", "cmdNavNext", "cmdNavLast"}) {
                auto* button = navigator->findChild<QToolButton*>(QString::fromLatin1(name));
                ASSERT_NE(button, nullptr) << name;
                EXPECT_TRUE(button->isVisible()) << name;
                EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << name;
            }
            seen = true;
        });
        EXPECT_TRUE(seen);
        frm_fattura::Unload();
        settle();
        restartDialogs();
    }
}

} // namespace
