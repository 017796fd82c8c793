#include "support/TestApplication.h"

#include "platform/ui/ApplicationHabits.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class ScreenFitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::installApplicationHabits(bareTestApplication());
        m_room = QGuiApplication::primaryScreen()->availableGeometry();
    }
    void expectWhole(const QWidget& w) const
    {
        QApplication::processEvents();
        EXPECT_TRUE(m_room.contains(w.frameGeometry()))
            << w.frameGeometry().x() << "," << w.frameGeometry().y() << " " << w.frameGeometry().width() << "x"
            << w.frameGeometry().height();
    }
    QRect m_room;
};

TEST_F(ScreenFitTest, AWindowLargerThanTheScreenOpensAtTheScreensSizeWithItsContentsReachable)
{
    for (bool dialog : {false, true}) {
        SCOPED_TRACE(dialog);
        QDialog owner;
        QWidget window(dialog ? &owner : nullptr, dialog ? Qt::Dialog : Qt::Window);
        auto* layout = new QVBoxLayout(&window);
        auto* text = new QPlainTextEdit;
        text->setPlainText(QString(400, QLatin1Char('x')).append(QString(200, QLatin1Char('\n'))));
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(text);
        window.resize(m_room.width() + 600, m_room.height() + 400);
        window.show();
        expectWhole(window);
        EXPECT_GT(window.width(), m_room.width() - 50);
        EXPECT_GT(window.height(), m_room.height() - 80);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        // What no longer fits stays reachable by scrolling.
        EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
        EXPECT_GT(text->horizontalScrollBar()->maximum(), 0);
        EXPECT_TRUE(m_room.contains(text->mapToGlobal(text->rect().bottomRight())));
    }
}

TEST_F(ScreenFitTest, AWindowPlacedPastTheEdgeIsPushedInsideAndAShownAgainWindowKeepsItsPlace)
{
    QWidget main;
    main.resize(500, 400);
    main.show();
    expectWhole(main);
    // The user moves the main window partly past the bottom right corner.
    main.move(m_room.right() - 200, m_room.bottom() - 150);
    QApplication::processEvents();

    QWidget form(&main, Qt::Window);
    form.resize(300, 200);
    form.show();
    expectWhole(form);

    QWidget placed(nullptr, Qt::Window);
    placed.resize(300, 200);
    placed.move(-100, m_room.bottom() - 50);
    placed.show();
    expectWhole(placed);

    // Hidden and shown again (a form turned modal): it stays where it was.
    form.move(m_room.left() + 40, m_room.top() + 60);
    QApplication::processEvents();
    const QPoint before = form.pos();
    form.hide();
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.pos(), before);
}

} // namespace
