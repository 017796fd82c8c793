#pragma once

#include "masterdata/MasterDataForm.h"
#include "platform/core/Variant.h"

#include <QString>
#include <QVector>
#include <cstdint>

class QCheckBox;
class QLineEdit;

// VAT code entry form; the key is the code itself. Modes as the other entry forms.
// "Predefinito" makes the saved code the current section's default VAT code,
// in the same transaction as the code itself.
class frm_io_IVA : public MasterDataForm, public DefaultInstance<frm_io_IVA> {
    Q_OBJECT
public:
    static core::Variant Nuovo(std::int32_t nMode);
    static core::Variant Apri(const QString& key, std::int32_t nMode);

    QVector<QLineEdit*> txtData;
    QVector<QCheckBox*> chkData;

protected:
    QString campoChiave() const override { return QStringLiteral("cdiCodice"); }
    QString messaggioRifiuto(SaveRefusal refusal, const core::Error& error) const override;
    void scriviRecord() override;

private:
    friend class DefaultInstance<frm_io_IVA>;
    frm_io_IVA();
    void CollegaCampi();
    void Form_Load();
    QString LeggiPredefinito() const;

    // The code the form was opened on; empty for a new code.
    QString m_codice;
};
