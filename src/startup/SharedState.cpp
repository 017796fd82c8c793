#include "startup/SharedState.h"

#include <QCoreApplication>

QString AppTitle()
{
    return QCoreApplication::applicationName();
}

namespace {
QString cartellaProgramma;
}

QString AppPath()
{
    return cartellaProgramma.isEmpty() ? QCoreApplication::applicationDirPath() : cartellaProgramma;
}

void ImpostaCartellaProgramma(const QString& cartella)
{
    cartellaProgramma = cartella;
}

void ImpostaDataLavoro(const QDate& data)
{
    gDataLavoro = data;
    gAnnoLavoro = static_cast<std::int16_t>(data.year());
}
