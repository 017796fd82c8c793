#include "support/TestApplication.h"

#include "platform/ui/ItalianSetup.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

TEST(ItalianSetup, QtsOwnButtonsSpeakItalian)
{
    QApplication& app = bareTestApplication();
    const bool available = QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                                             + QStringLiteral("/qtbase_it.qm"));
    const bool loaded = ui::setupItalian(app);
    EXPECT_EQ(loaded, available);
    EXPECT_EQ(QLocale().language(), QLocale::Italian);
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    if (!available)
        GTEST_SKIP() << "Qt's Italian translations are not installed";

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes
                             | QDialogButtonBox::No);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annulla"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Sì"));

    EXPECT_TRUE(ui::setupItalian(app)); // a second call keeps the one translator
    EXPECT_EQ(app.findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}
