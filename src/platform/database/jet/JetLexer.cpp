#include "platform/database/jet/JetLexer.h"

#include "platform/database/Types.h"

namespace db::jet {

void throwSyntaxError(const QString& statement, int position, const QString& near)
{
    Q_UNUSED(statement);
    const QString shown = near.isEmpty() ? QStringLiteral("fine dell'istruzione") : near;
    throw DbError(ErrorKind::Syntax, ErrorNumber::Syntax,
                  QStringLiteral("Errore di sintassi nell'istruzione SQL vicino a '%1' (posizione %2).")
                      .arg(shown)
                      .arg(position + 1));
}

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

QVector<Token> JetLexer::tokenize(const QString& text)
{
    QVector<Token> tokens;
    const int n = text.size();
    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.position = i;
        if (isNameStart(c)) {
            int j = i + 1;
            while (j < n && isNamePart(text.at(j)))
                ++j;
            t.kind = Token::Kind::Name;
            t.text = text.mid(i, j - i);
            i = j;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && text.at(j).isDigit())
                ++j;
            if (j < n && text.at(j) == QLatin1Char('.')) {
                ++j;
                while (j < n && text.at(j).isDigit())
                    ++j;
            }
            if (j < n && (text.at(j) == QLatin1Char('e') || text.at(j) == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (text.at(k) == QLatin1Char('+') || text.at(k) == QLatin1Char('-')))
                    ++k;
                if (k < n && text.at(k).isDigit()) {
                    while (k < n && text.at(k).isDigit())
                        ++k;
                    j = k;
                }
            }
            t.kind = Token::Kind::Number;
            t.text = text.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text.at(j) == c) {
                    if (j + 1 < n && text.at(j + 1) == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                value += text.at(j++);
            }
            if (!closed)
                throwSyntaxError(text, i, text.mid(i, 20));
            t.kind = Token::Kind::Text;
            t.text = value;
            i = j;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('`')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('`');
            const int end = text.indexOf(close, i + 1);
            if (end < 0)
                throwSyntaxError(text, i, text.mid(i, 20));
            t.kind = Token::Kind::QuotedName;
            t.text = text.mid(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == QLatin1Char('#')) {
            const int end = text.indexOf(QLatin1Char('#'), i + 1);
            if (end < 0)
                throwSyntaxError(text, i, text.mid(i, 20));
            t.kind = Token::Kind::Date;
            t.text = text.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            t.kind = Token::Kind::Symbol;
            const QString two = text.mid(i, 2);
            if (two == QLatin1String("<>") || two == QLatin1String("<=") || two == QLatin1String(">=")
                || two == QLatin1String("!=")) {
                t.text = two == QLatin1String("!=") ? QStringLiteral("<>") : two;
                i += 2;
            } else if (QStringLiteral("(),.;*+-/\\^&=<>!?").contains(c)) {
                t.text = c;
                ++i;
            } else {
                throwSyntaxError(text, i, QString(c));
            }
        }
        tokens.push_back(t);
    }
    Token end;
    end.kind = Token::Kind::End;
    end.position = n;
    tokens.push_back(end);
    return tokens;
}

} // namespace db::jet
