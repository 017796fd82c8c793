#include "SectionsFixture.h"

#include "platform/database/Recordset.h"
#include "startup/SharedState.h"

#include <QLineEdit>
#include <QTest>

void SectionsFixture::SetUp()
{
    ProgramFixture::SetUp();
    useUpgradedDatabase();
    for (int t = 0; t < 3; ++t) {
        exec(QStringLiteral("INSERT INTO finData (finId, finNome, finLay) VALUES (%1, 'Modello %2', 'x')")
                 .arg(t + 1)
                 .arg(QLatin1Char(char('A' + t))));
        exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (1, %1, %2)").arg(t + 1).arg(t));
    }
    exec(QStringLiteral("INSERT INTO Sezioni (sezId, sezTitolo, sezNome, sezCognome, sezRitPrePerc, sezRitPreDesc, "
                        "sezRitAccPerc, sezRitAccPercSuImp, sezPreIVA) VALUES (2, 'Dott.', 'Maria', 'Rossi', 4, "
                        "'Rivalsa (4%)', 20, 100, '22')"));
    exec(QStringLiteral("INSERT INTO SezioniModelli (sezId, modFatInt, modFatIntTipo) VALUES (2, True, 0)"));
    session().sezId = 1;
}

void SectionsFixture::TearDown()
{
    ProgramFixture::TearDown();
}

void SectionsFixture::type(QWidget* w, const QString& name, const QString& text)
{
    auto* box = get<QLineEdit>(w, name);
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}
