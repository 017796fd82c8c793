#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

// A plain window (no dialog, so no default button of Qt's own) whose controls
// stand one under another in the order they are added, which is also their tab
// order. A test's window derives from it, adds its controls as members and
// calls showActive() once they are all there.
class TestWindow {
public:
    QWidget window;

    // `focus`, when given, is the focus policy of every control added.
    explicit TestWindow(std::optional<Qt::FocusPolicy> focus = std::nullopt) : m_focus(focus)
    {
        new QVBoxLayout(&window);
    }

    template <typename W>
    W* add(const char* name)
    {
        auto* w = new W(&window);
        w->setObjectName(QString::fromLatin1(name));
        if (m_focus)
            w->setFocusPolicy(*m_focus);
        window.layout()->addWidget(w);
        return w;
    }

    // Shows the window and waits until it is the active one, as a user sees it.
    void showActive()
    {
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // The name of the control that has the focus; empty when none has it.
    static QString focused()
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }

private:
    std::optional<Qt::FocusPolicy> m_focus;
};
