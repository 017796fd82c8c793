#pragma once

#include "startup/Session.h"

#include <QDate>
#include <QString>

// The application title, as the platform reports it at run time.
QString AppTitle();
// The program folder: the folder of the executable (tests may point it elsewhere).
QString AppPath();
void ImpostaCartellaProgramma(const QString& cartella);
// Sets the working date and its year together, in the current session.
void ImpostaDataLavoro(const QDate& data);
