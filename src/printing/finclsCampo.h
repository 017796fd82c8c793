#pragma once

#include <QString>
#include <cstdint>

// One entry of the field catalogue: a name that a document layout can show.
// The length is the defined size of the print column (metadata for the
// designer and the layouts, never a cut of the printed text).
class finclsCampo {
public:
    finclsCampo() = default;
    finclsCampo(QString nome, std::int32_t lunghezza, std::int32_t sezione)
        : m_nome(std::move(nome)), m_lunghezza(lunghezza), m_sezione(sezione)
    {
    }

    const QString& Nome() const { return m_nome; }
    void setNome(const QString& nome) { m_nome = nome; }
    std::int32_t Lunghezza() const { return m_lunghezza; }
    void setLunghezza(std::int32_t lunghezza) { m_lunghezza = lunghezza; }
    // 0: a document field (the same on every row of a document); 1: a line field.
    std::int32_t Sezione() const { return m_sezione; }
    void setSezione(std::int32_t sezione) { m_sezione = sezione; }

private:
    QString m_nome;
    std::int32_t m_lunghezza = 0;
    std::int32_t m_sezione = 0;
};
