#pragma once

#include "masterdata/MasterDataForm.h"
#include "platform/core/Variant.h"

#include <QVector>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

// Payment-term entry form. Mode 1 shows it modal and returns the saved pagId (Null
// when cancelled); any other mode shows it modeless and it refreshes the main
// window itself after saving.
class frm_io_Pagamenti : public MasterDataForm, public DefaultInstance<frm_io_Pagamenti> {
    Q_OBJECT
public:
    static core::Variant Nuovo(std::int32_t nMode);
    static core::Variant Apri(std::int32_t key, std::int32_t nMode);

    // txtData(0) is the several-line note, txtData(1) the description.
    QPlainTextEdit* txtNote = nullptr;
    QLineEdit* txtDescrizione = nullptr;
    QVector<QWidget*> txtData;
    QVector<QCheckBox*> chkData;

protected:
    QString campoChiave() const override { return QStringLiteral("pagId"); }

private:
    friend class DefaultInstance<frm_io_Pagamenti>;
    frm_io_Pagamenti();
    void CollegaCampi();
    void chkData_Click(int index);
    void mostraCondiviso();
};
