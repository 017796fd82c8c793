#include "common/comRegistry.h"
#include "common/frmForFolders.h"
#include "platform/registry/RegistryStore.h"
#include "startup/SharedState.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/ProgramFixture.h"

#include <QDir>

class FolderChooserTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        gRegKeySettings = QStringLiteral("Software\\Vantrel\\Corvessa\\Settings");
    }
    core::Variant stored() const
    {
        return LeggiRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_SZ, QStringLiteral("appset_curdb"));
    }
};

TEST_F(FolderChooserTest, TheChosenFolderIsStoredWithoutATrailingSeparator)
{
    const QString folder = m_home.path() + QStringLiteral("/Dati/");
    m_dialogs.answerFolder(folder).answerMessageBox(ui::vbOK);
    frmForFolders::Apri();
    EXPECT_EQ(stored().toString(), m_home.path() + QStringLiteral("/Dati"));
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("Operazione eseguita con successo.\nRiavviare il programma.")});
}

TEST_F(FolderChooserTest, CancelLeavesTheSettingAlone)
{
    ScriviRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_SZ, QStringLiteral("appset_curdb"),
                   core::Variant(QStringLiteral("/prima")));
    m_dialogs.answerFolder(QString());
    frmForFolders::Apri();
    EXPECT_EQ(stored().toString(), QStringLiteral("/prima"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(FolderChooserTest, AFailedWriteIsSaidAndNoSuccessClaimed)
{
    reg::Store::setFilePath(QStringLiteral("/proc/corvessa-none/registry.json"));
    m_dialogs.answerFolder(m_home.path() + QStringLiteral("/Dati")).answerMessageBox(ui::vbOK);
    frmForFolders::Apri();
    reg::Store::setFilePath(QDir(m_home.path()).filePath(QStringLiteral("registry.json")));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().startsWith(QStringLiteral("Impossibile salvare la cartella scelta.")))
        << m_dialogs.messages().first().toStdString();
    EXPECT_TRUE(m_dialogs.unexpected().isEmpty());
}
