#pragma once

#include "platform/core/Variant.h"

#include <QString>
#include <cstdint>

// VAT code entry form; the key is the code itself. Modes as the other entry forms.
class frm_io_IVA {
public:
    static core::Variant Nuovo(std::int32_t nMode);
    static core::Variant Apri(const QString& key, std::int32_t nMode);
    static void Unload();
};
