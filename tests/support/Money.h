#pragma once

#include "platform/core/Currency.h"

#include <QString>

// An amount written in a test as plain decimal text: money("1234.56").
inline core::Currency money(const char* text)
{
    return core::Currency::fromDouble(QString::fromLatin1(text).toDouble());
}
