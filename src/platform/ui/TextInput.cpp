#include "platform/ui/TextInput.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>

namespace ui {

namespace {

class NulFreeValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        const QChar nul(0);
        if (!input.contains(nul))
            return Acceptable;
        pos -= static_cast<int>(input.left(pos).count(nul));
        input.remove(nul);
        return Acceptable;
    }
};

constexpr const char* kGuarded = "corvessa_nul_free";

} // namespace

QString withoutNul(QString text)
{
    text.remove(QChar(0));
    return text;
}

void dropNulOnInput(QLineEdit* box)
{
    if (!box || box->validator())
        return;
    box->setValidator(new NulFreeValidator(box));
}

void dropNulOnInput(QPlainTextEdit* box)
{
    if (!box || box->property(kGuarded).toBool())
        return;
    box->setProperty(kGuarded, true);
    QTextDocument* document = box->document();
    QObject::connect(document, &QTextDocument::contentsChange, box, [document](int position, int, int added) {
        if (added <= 0)
            return;
        // Walks back so each removal leaves the positions still to look at in place.
        for (int at = position + added - 1; at >= position; --at) {
            if (document->characterAt(at) == QChar(0)) {
                QTextCursor cursor(document);
                cursor.setPosition(at);
                cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
            }
        }
    });
}

} // namespace ui
