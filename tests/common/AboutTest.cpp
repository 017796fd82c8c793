#include "common/comfrmAbout.h"
#include "support/ProgramFixture.h"

#include <QElapsedTimer>
#include <QTest>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <memory>

class AboutTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        // These tests are about the splash's own time.
        comfrmAbout::setLongestSplash(-1);
        m_ownerWindow = std::make_unique<QWidget>();
        m_owner = m_ownerWindow.get();
    }
    void TearDown() override
    {
        comfrmAbout::Unload();
        m_ownerWindow.reset();
        comfrmAbout::setLongestSplash(0);
        ProgramFixture::TearDown();
    }
    std::unique_ptr<QWidget> m_ownerWindow;
    QWidget* m_owner = nullptr;
};

TEST_F(AboutTest, TheSplashStandsItsTimeAndNoLonger)
{
    struct Case {
        int interval;
        int waitBeforeOff;
        int atLeast;
        int atMost;
    };
    const Case cases[] = {
        {300, 0, 280, 2000},  // hidden early: waits for the rest
        {150, 300, 0, 100},   // the time has passed: hides at once
        {0, 0, 0, 100},       // no interval, no wait
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        QElapsedTimer clock;
        clock.start();
        comfrmAbout::SplashOn(m_owner, c.interval, QStringLiteral("/dati/TarvixDB"));
        comfrmAbout* f = comfrmAbout::instance();
        ASSERT_TRUE(f->isVisible());
        EXPECT_TRUE(f->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_FALSE(f->findChild<QPushButton*>(QStringLiteral("cmdOK"))->isVisibleTo(f));
        EXPECT_EQ(f->findChild<QLabel*>(QStringLiteral("lblPathEXE"))->text(), QStringLiteral("/dati/TarvixDB"));
        if (c.waitBeforeOff > 0) {
            QTest::qWait(c.waitBeforeOff);
            clock.restart();
        }
        comfrmAbout::SplashOff();
        EXPECT_FALSE(f->isVisible());
        EXPECT_GE(clock.elapsed(), c.atLeast);
        EXPECT_LE(clock.elapsed(), c.atMost);
    }
}

TEST_F(AboutTest, TheAboutBoxAfterTheSplashHasItsTitleAndButtons)
{
    comfrmAbout::SplashOn(m_owner, 0, QString());
    comfrmAbout::SplashOff();
    m_dialogs.answerModal([](QWidget* w) {
        EXPECT_FALSE(w->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Corvessa"));
        auto* ok = w->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        EXPECT_TRUE(ok->isVisible());
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("lblPathEXE"))->text(), QStringLiteral("/dati/qelvo.mdb"));
        EXPECT_TRUE(w->findChild<QLabel*>(QStringLiteral("lblVersion"))->text().startsWith(QStringLiteral("Versione ")));
        // No maker's address is published: its links stay hidden.
        EXPECT_FALSE(w->findChild<QLabel*>(QStringLiteral("lblMain"))->isVisible());
        EXPECT_FALSE(w->findChild<QLabel*>(QStringLiteral("lblWeb"))->isVisible());
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_FALSE(w->isVisible());
    });
    comfrmAbout::About(m_owner, QStringLiteral("/dati/qelvo.mdb"));
}
