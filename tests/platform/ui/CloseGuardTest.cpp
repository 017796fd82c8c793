#include "support/TestApplication.h"

#include "platform/ui/CloseGuard.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

using namespace ui;

namespace {

class CloseGuard : public ::testing::Test {
protected:
    void SetUp() override { bareTestApplication(); }
};

// The close request of the title bar, Alt+F4 or the window manager.
bool closeFromWindowManager(QWidget* window)
{
    QCloseEvent event;
    QCoreApplication::sendEvent(window, &event);
    if (event.isAccepted())
        window->hide();
    return event.isAccepted();
}

} // namespace

TEST_F(CloseGuard, BlockedFormRefusesOutsideClosesAndClosesThroughItsOwnButton)
{
    QWidget form;
    auto* cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), &form);
    QObject::connect(cmdChiudi, &QPushButton::clicked, &form, [&form] { closeForm(&form); });
    blockWindowClose(&form, true);
    form.show();

    EXPECT_TRUE(isWindowCloseBlocked(&form));
    EXPECT_FALSE(form.close());
    EXPECT_FALSE(closeFromWindowManager(&form));
    EXPECT_TRUE(form.isVisible());

    cmdChiudi->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CloseGuard, CloseAllowedScopeAndUnblocking)
{
    QWidget form;
    blockWindowClose(&form, true);
    form.show();
    {
        CloseAllowed allowed(&form);
        EXPECT_TRUE(form.close());
    }
    form.show();
    EXPECT_FALSE(form.close()); // the scope ended

    blockWindowClose(&form, false);
    EXPECT_FALSE(isWindowCloseBlocked(&form));
    EXPECT_TRUE(form.close());
}

TEST_F(CloseGuard, DialogButtonsStillWorkWhileCloseIsBlocked)
{
    QDialog dialog;
    blockWindowClose(&dialog, true);
    dialog.show();
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(CloseGuard, FormDeletedOnCloseClosesSafely)
{
    QPointer<QWidget> form = new QWidget;
    form->setAttribute(Qt::WA_DeleteOnClose);
    blockWindowClose(form, true);
    form->show();
    EXPECT_FALSE(form->close());
    {
        CloseAllowed allowed(form);
        EXPECT_TRUE(form->close());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}
