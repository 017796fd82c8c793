#include "common/comRegistry.h"
#include "common/frmForFolders.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MsgBoxStyle.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QString kKey = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
}

// A registry file of its own and every dialog answered through the seam.
class FolderChooserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication();
        ASSERT_TRUE(m_home.isValid());
        reg::Store::setFilePath(QDir(m_home.path()).filePath(QStringLiteral("registry.json")));
        m_scope = std::make_unique<ui::ScopedDialogHandler>(m_dialogs);
    }
    void TearDown() override
    {
        m_scope.reset();
        reg::Store::setFilePath(QString());
    }
    core::Variant stored() const
    {
        return LeggiRegistro(HKEY_CURRENT_USER, kKey, REG_SZ, QStringLiteral("appset_curdb"));
    }

    QTemporaryDir m_home;
    ui::ScriptedDialogs m_dialogs;
    std::unique_ptr<ui::ScopedDialogHandler> m_scope;
};

TEST_F(FolderChooserTest, TheChosenFolderIsStoredWithoutATrailingSeparator)
{
    const QString folder = m_home.path() + QStringLiteral("/Dati/");
    m_dialogs.answerFolder(folder).answerMessageBox(ui::vbOK);
    frmForFolders::Apri(kKey, QStringLiteral("Corvessa"));
    EXPECT_EQ(stored().toString(), m_home.path() + QStringLiteral("/Dati"));
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("Operazione eseguita con successo.\nRiavviare il programma.")});
}

TEST_F(FolderChooserTest, CancelLeavesTheSettingAlone)
{
    ScriviRegistro(HKEY_CURRENT_USER, kKey, REG_SZ, QStringLiteral("appset_curdb"), core::Variant(QStringLiteral("/prima")));
    m_dialogs.answerFolder(QString());
    frmForFolders::Apri(kKey, QStringLiteral("Corvessa"));
    EXPECT_EQ(stored().toString(), QStringLiteral("/prima"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(FolderChooserTest, AFailedWriteIsSaidAndNoSuccessClaimed)
{
    reg::Store::setFilePath(QStringLiteral("/proc/corvessa-none/registry.json"));
    m_dialogs.answerFolder(m_home.path() + QStringLiteral("/Dati")).answerMessageBox(ui::vbOK);
    frmForFolders::Apri(kKey, QStringLiteral("Corvessa"));
    reg::Store::setFilePath(QDir(m_home.path()).filePath(QStringLiteral("registry.json")));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Impossibile salvare la cartella scelta.")))
        << m_dialogs.messages().first().toStdString();
}
