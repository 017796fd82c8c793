#pragma once

#include "printing/finclsCampo.h"

#include <QString>
#include <cstdint>
#include <vector>

// The field catalogue: the entries in the order they were added, positions
// 1 to Count. Names are unique by construction (the engine adds them once).
class finclsCampi {
public:
    finclsCampo& Add(const QString& Nome, std::int32_t Lunghezza, std::int32_t Sezione);
    // Throws core::Error for a position outside 1 .. Count.
    const finclsCampo& Item(std::int32_t posizione) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(m_campi.size()); }

    // For-each over the entries in order.
    std::vector<finclsCampo>::const_iterator begin() const { return m_campi.begin(); }
    std::vector<finclsCampo>::const_iterator end() const { return m_campi.end(); }

    // The catalogue the print engine builds: 76 entries, always the same.
    static finclsCampi Catalogo();

private:
    std::vector<finclsCampo> m_campi;
};
