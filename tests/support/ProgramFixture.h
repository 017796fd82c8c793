#pragma once

#include "platform/core/Variant.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"
#include "startup/Session.h"
#include "support/TestApplication.h"

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// A clean world for one test of the program: an empty home folder, a registry
// file of its own, a program folder holding the built template, a fresh
// session, and every dialog answered through the scripted seam. A dialog
// the test did not script, or a scripted answer no dialog used, fails the test.
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The database of the default folder (~/Documents/TarvixDB/qelvo.mdb).
    QString defaultDatabasePath() const;
    // Creates the default database from the template and points the session at it.
    void useFreshDatabase();
    // The same, then brought to the full schema with the default data, as a start does.
    void useUpgradedDatabase();
    // Runs SQL on the current session's database.
    void exec(const QString& sql);
    // The first column of the first row `sql` reads there; Null when there is none.
    static core::Variant scalar(const QString& sql);
    // Lets the deferred deletions of windows that unloaded themselves run.
    static void settle();
    // The control of `form` named `name`; a test failure when there is none.
    template <typename T>
    static T* child(QWidget* form, const QString& name)
    {
        T* w = form->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // Fails the test on a dialog it did not script or a scripted answer left unused.
    void expectDialogsDone();
    // The same check, then an empty script for the next case of a table.
    void restartDialogs();

    QTemporaryDir m_home;
    QTemporaryDir m_program;
    ui::ScriptedDialogs m_dialogs;
    std::unique_ptr<ui::ScopedDialogHandler> m_scope;
    Session m_session;
    std::unique_ptr<Session::Scope> m_sessionScope;
};
