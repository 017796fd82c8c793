#include "platform/ui/TextInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
#include <QValidator>

namespace ui {

namespace {

constexpr const char* kGuarded = "corvessa_nul_free";
constexpr const char* kLimit = "corvessa_text_limit";

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case '\n':
    case '\r':
    case '\t':
    case '\v':
    case '\f':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// The text as a one-line box shows it: each line break (CR LF counts as one) a blank.
QString asOneLine(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            continue;
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            continue;
        out.append(isLineBreak(c) ? QChar(QLatin1Char(' ')) : c);
    }
    return out;
}

// At most `room` units of `text`, ending on a whole character.
QString wholeCharacters(const QString& text, qsizetype room)
{
    if (room <= 0)
        return {};
    if (text.size() <= room)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(room);
    if (!finder.isAtBoundary())
        finder.toPreviousBoundary();
    return text.left(std::max<qsizetype>(0, finder.position()));
}

void tellCut(QWidget* box, int units)
{
    QApplication::beep();
    if (box->isVisible())
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), cutHint(units), box);
}

class OneLineValidator : public QValidator {
public:
    explicit OneLineValidator(QLineEdit* box) : QValidator(box), m_box(box), m_last(box->text())
    {
        connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { m_last = text; });
    }

    State validate(QString& input, int& pos) const override
    {
        // Text the program sets is not the user's and stays as it is.
        if (m_box && m_box->isModified())
            fitOneLine(m_box, m_last, input, pos);
        return Acceptable;
    }

private:
    QPointer<QLineEdit> m_box;
    QString m_last;
};

} // namespace

QString withoutNul(QString text)
{
    text.remove(QChar(0));
    return text;
}

QString cutHint(int units)
{
    return QStringLiteral("La casella contiene al massimo %1 caratteri: il testo in più non è stato inserito.").arg(units);
}

void setTextLimit(QWidget* box, int units)
{
    if (box)
        box->setProperty(kLimit, std::max(0, units));
}

int textLimit(const QWidget* box)
{
    return box ? box->property(kLimit).toInt() : 0;
}

InsertedRun insertedRun(const QString& before, const QString& after)
{
    const qsizetype common = std::min(after.size(), before.size());
    qsizetype prefix = 0;
    while (prefix < common && after[prefix] == before[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix && after[after.size() - 1 - suffix] == before[before.size() - 1 - suffix])
        ++suffix;
    return {prefix, after.mid(prefix, after.size() - prefix - suffix)};
}

QString replaceRun(const QString& input, const InsertedRun& run, const QString& kept)
{
    return input.left(run.start) + kept + input.mid(run.end());
}

int cursorAfterRun(int pos, const InsertedRun& run, qsizetype keptSize)
{
    if (pos >= run.end())
        return pos - static_cast<int>(run.text.size() - keptSize);
    if (pos > run.start)
        return static_cast<int>(run.start + std::min<qsizetype>(keptSize, pos - run.start));
    return pos;
}

void fitOneLine(QLineEdit* box, const QString& before, QString& input, int& pos)
{
    if (input == before)
        return;
    const InsertedRun run = insertedRun(before, input);
    if (run.text.isEmpty())
        return;
    QString kept = asOneLine(run.text);
    const int limit = textLimit(box);
    const qsizetype rest = input.size() - run.text.size();
    bool cut = false;
    if (limit > 0 && rest + kept.size() > limit) {
        kept = wholeCharacters(kept, limit - rest);
        cut = true;
    }
    if (kept == run.text)
        return;
    input = replaceRun(input, run, kept);
    pos = cursorAfterRun(pos, run, kept.size());
    if (cut)
        tellCut(box, limit);
}

void dropNulOnInput(QLineEdit* box)
{
    if (!box || box->validator())
        return;
    box->setValidator(new OneLineValidator(box));
}

void dropNulOnInput(QPlainTextEdit* box)
{
    if (!box || box->property(kGuarded).toBool())
        return;
    box->setProperty(kGuarded, true);
    QTextDocument* document = box->document();
    QPointer<QPlainTextEdit> guard(box);
    QObject::connect(document, &QTextDocument::contentsChange, box, [document, guard](int position, int, int added) {
        if (added <= 0)
            return;
        // Walks back so each removal leaves the positions still to look at in place.
        int end = position + added;
        for (int at = end - 1; at >= position; --at) {
            if (document->characterAt(at) == QChar(0)) {
                QTextCursor cursor(document);
                cursor.setPosition(at);
                cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
                --end;
            }
        }
        // What went past the limit leaves again, from the inserted run only.
        const int limit = guard ? textLimit(guard) : 0;
        const int length = document->characterCount() - 1; // the document's final paragraph mark
        if (limit <= 0 || length <= limit || !guard || guard->signalsBlocked())
            return;
        const QString inserted = document->toPlainText().mid(position, end - position);
        const int room = static_cast<int>(inserted.size()) - (length - limit);
        const int keep = static_cast<int>(wholeCharacters(inserted, room).size());
        QTextCursor cursor(document);
        cursor.setPosition(position + keep);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        tellCut(guard, limit);
    });
}

} // namespace ui
