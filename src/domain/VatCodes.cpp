#include "domain/VatCodes.h"

#include "common/comDataBase.h"
#include "common/comUtility.h"
#include "platform/database/FirstValue.h"
#include "platform/database/Recordset.h"

QVector<VatCode> readVatCodes(const QString& connectionString)
{
    db::Recordset codes;
    codes.open(QStringLiteral("SELECT * FROM CodiciIVA ORDER BY cdiCodice"), connectionString, db::CursorType::ForwardOnly,
               db::LockType::ReadOnly, db::CommandType::Text);
    // A database not yet upgraded has no withholding flag: every code then withholds.
    const bool hasRitAcc = codes.fieldIndex(QStringLiteral("cdiRitAcc")) >= 0;
    QVector<VatCode> result;
    for (; !codes.eof(); codes.moveNext()) {
        VatCode code;
        code.code = NzStr(codes.value(QStringLiteral("cdiCodice")), QString());
        code.rate = NzNum(codes.value(QStringLiteral("cdiValore")), 0.0);
        code.noSurcharge = NzNum(codes.value(QStringLiteral("cdiEsenzione")), 0.0) != 0.0;
        code.noWithholding = hasRitAcc && NzNum(codes.value(QStringLiteral("cdiRitAcc")), 0.0) != 0.0;
        result.push_back(code);
    }
    codes.close();
    return result;
}

double vatCodeRate(const QString& connectionString, const QString& code)
{
    return NzNum(db::firstValue(connectionString, QStringLiteral("SELECT cdiValore FROM CodiciIVA WHERE cdiCodice=") + SqlQuoted(code)),
                 0.0);
}

bool vatCodeExempt(const QString& connectionString, const QString& code)
{
    return NzNum(db::firstValue(connectionString,
                        QStringLiteral("SELECT cdiEsenzione FROM CodiciIVA WHERE cdiCodice=") + SqlQuoted(code)),
                 0.0)
        != 0.0;
}

bool vatCodeNoWithholding(const QString& connectionString, const QString& code)
{
    return NzNum(db::firstValue(connectionString, QStringLiteral("SELECT cdiRitAcc FROM CodiciIVA WHERE cdiCodice=") + SqlQuoted(code)),
                 0.0)
        != 0.0;
}

QString paymentTermNote(const QString& connectionString, std::int32_t pagId)
{
    return NzStr(db::firstValue(connectionString, QStringLiteral("SELECT pagNoteFat FROM Pagamenti WHERE PagId=") + QString::number(pagId)),
                 QString());
}
