#include "domain/PasswordHash.h"

#include "platform/core/Error.h"

#include <sodium.h>

namespace {

void initialiseSodium()
{
    static const int ready = sodium_init();
    if (ready < 0)
        throw core::Error(-1, QStringLiteral("La libreria di cifratura non si è avviata: impossibile proteggere la password."),
                          QStringLiteral("PasswordHash"));
}

} // namespace

QString hashPassword(const QString& plain)
{
    initialiseSodium();
    const QByteArray bytes = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // The interactive limits: a login answers in a fraction of a second while a
    // guess still costs 64 MiB of memory.
    if (crypto_pwhash_str(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw core::Error(-1, QStringLiteral("Memoria insufficiente per proteggere la password."), QStringLiteral("PasswordHash"));
    return QString::fromLatin1(out);
}

bool isPasswordHash(const QString& stored)
{
    return stored.startsWith(QLatin1String("$argon2id$")) || stored.startsWith(QLatin1String("$argon2i$"));
}

bool verifyPasswordHash(const QString& hash, const QString& plain)
{
    if (!isPasswordHash(hash))
        return false;
    initialiseSodium();
    const QByteArray encoded = hash.toLatin1();
    if (encoded.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray bytes = plain.toUtf8();
    return crypto_pwhash_str_verify(encoded.constData(), bytes.constData(), static_cast<unsigned long long>(bytes.size())) == 0;
}
