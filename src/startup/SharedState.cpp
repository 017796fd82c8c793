#include "startup/SharedState.h"

#include <QCoreApplication>

QString AppTitle()
{
    return QCoreApplication::applicationName();
}

QString AppPath()
{
    const QString& cartella = session().cartellaProgramma;
    return cartella.isEmpty() ? QCoreApplication::applicationDirPath() : cartella;
}

void ImpostaCartellaProgramma(const QString& cartella)
{
    session().cartellaProgramma = cartella;
}

void ImpostaDataLavoro(const QDate& data)
{
    session().impostaDataLavoro(data);
}
