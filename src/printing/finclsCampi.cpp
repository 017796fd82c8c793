#include "printing/finclsCampi.h"

#include "platform/core/Error.h"

finclsCampo& finclsCampi::Add(const QString& Nome, std::int32_t Lunghezza, std::int32_t Sezione)
{
    m_campi.emplace_back(Nome, Lunghezza, Sezione);
    return m_campi.back();
}

const finclsCampo& finclsCampi::Item(std::int32_t posizione) const
{
    if (posizione < 1 || posizione > Count())
        throw core::Error(9, QStringLiteral("Indice non compreso nell'intervallo"), QStringLiteral("finclsCampi"));
    return m_campi[static_cast<std::size_t>(posizione - 1)];
}

finclsCampi finclsCampi::Catalogo()
{
    finclsCampi c;
    for (int i = 1; i <= 12; ++i)
        c.Add(QStringLiteral("Intestazione%1").arg(i), 60, 0);
    c.Add(QStringLiteral("NumDoc"), 16, 0);
    c.Add(QStringLiteral("TipoDoc"), 20, 0);
    c.Add(QStringLiteral("DataDoc"), 12, 0);
    c.Add(QStringLiteral("DescrizioneDocumento"), 255, 0);
    c.Add(QStringLiteral("Cliente_Nome"), 50, 0);
    c.Add(QStringLiteral("Cliente_Indirizzo"), 60, 0);
    c.Add(QStringLiteral("Cliente_Localita"), 60, 0);
    c.Add(QStringLiteral("Cliente_PartitaIVA"), 16, 0);
    c.Add(QStringLiteral("Cliente_CodiceFiscale"), 16, 0);
    c.Add(QStringLiteral("Cliente_Pagamento"), 50, 0);
    c.Add(QStringLiteral("Cliente_BancaAppoggio"), 50, 0);
    c.Add(QStringLiteral("Cliente_ABI"), 5, 0);
    c.Add(QStringLiteral("Cliente_CAB"), 5, 0);
    c.Add(QStringLiteral("IntSog"), 50, 0);
    c.Add(QStringLiteral("IntRitAcc"), 50, 0);
    // The four VAT rows, column by column.
    for (const char* nome : {"CIva", "DescrizioneIva", "Importo", "Imponibile", "Iva", "RitPre", "RitAcc", "Totale", "Netto"})
        for (int n = 1; n <= 4; ++n)
            c.Add(QString::fromLatin1(nome) + QString::number(n), qstrcmp(nome, "CIva") == 0 ? 3 : 50, 0);
    c.Add(QStringLiteral("TotImporto"), 20, 0);
    c.Add(QStringLiteral("TotSoggettivo"), 20, 0);
    c.Add(QStringLiteral("TotImponibile"), 20, 0);
    c.Add(QStringLiteral("TotImposta"), 20, 0);
    c.Add(QStringLiteral("TotRitAcc"), 20, 0);
    c.Add(QStringLiteral("TotDoc"), 20, 0);
    c.Add(QStringLiteral("TotNetto"), 20, 0);
    c.Add(QStringLiteral("Note"), 1024, 0);
    c.Add(QStringLiteral("Quantita"), 20, 1);
    c.Add(QStringLiteral("Descrizione"), 255, 1);
    c.Add(QStringLiteral("ImportoUnitario"), 20, 1);
    c.Add(QStringLiteral("CodIVA"), 10, 1);
    c.Add(QStringLiteral("ImportoRiga"), 20, 1);
    return c;
}
