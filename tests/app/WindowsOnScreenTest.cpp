// Every window of the program opens whole on the screen, frame included, on the
// smallest screen it is made for and on a laptop's, wherever the main window
// stands when the user opens it.
#include "WindowsFixture.h"

#include <QApplication>
#include <QScreen>

namespace {

class WindowsOnScreenTest : public WindowsFixture {
protected:
    static void expectWhole(QWidget* w, const char* name)
    {
        QApplication::processEvents();
        const QRect room = w->screen()->availableGeometry();
        EXPECT_TRUE(room.contains(w->frameGeometry()))
            << name << ": " << w->objectName().toStdString() << " frame " << w->frameGeometry().x() << ","
            << w->frameGeometry().y() << " " << w->frameGeometry().width() << "x" << w->frameGeometry().height()
            << " on a screen of " << room.width() << "x" << room.height();
    }

};

TEST_F(WindowsOnScreenTest, TheMainWindowOpensWhole)
{
    expectWhole(m_main, "main window");
}

// The main window where the user left it: as it opened, in the top left
// corner, and pushed to the bottom right with part of it past the screen.
TEST_F(WindowsOnScreenTest, EveryWindowOpensWholeWhereverTheMainWindowStands)
{
    const QRect room = m_main->screen()->availableGeometry();
    const QPoint places[] = {m_main->pos(), room.topLeft(), room.bottomRight() - QPoint(400, 300)};
    for (const QPoint& place : places) {
        m_main->move(place);
        QApplication::processEvents();
        for (const Window& window : windows()) {
            SCOPED_TRACE(window.name);
            window.open([&](QWidget* w) { expectWhole(w, window.name); });
            frm_fattura::Unload();
            frm_io_Clienti::Unload();
            frm_io_IVA::Unload();
            frm_io_Pagamenti::Unload();
            frm_io_Prestazioni::Unload();
            finfrmArdFat::Unload();
            frmPrintReportMov::Unload();
            settle();
            restartDialogs();
        }
    }
}

} // namespace
