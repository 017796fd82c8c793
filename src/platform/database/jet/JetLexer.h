#pragma once

#include <QString>
#include <QVector>

namespace db::jet {

struct Token {
    enum class Kind {
        End,
        Name,        // a bare word: keyword or identifier
        QuotedName,  // [bracketed] or `backquoted` name
        Number,
        Text,        // 'single' or "double" quoted: both are text literals in Jet
        Date,        // #...#, the text between the signs
        Symbol,      // punctuation and operators: ( ) , . ; * + - / \ ^ & = <> < > <= >= ! ?
    };
    Kind kind = Kind::End;
    QString text; // name, literal content (quotes removed, doubled quotes undone), or symbol
    int position = 0; // character offset in the statement, 0-based

    bool isWord(const char* word) const { return kind == Kind::Name && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0; }
    bool isSymbol(const char* symbol) const { return kind == Kind::Symbol && text == QLatin1String(symbol); }
};

// Splits a Jet SQL text into tokens. Throws DbError(Syntax) for an unterminated
// literal or a character the dialect does not know.
class JetLexer {
public:
    static QVector<Token> tokenize(const QString& text);
};

// The Italian syntax error every reader of the dialect raises.
[[noreturn]] void throwSyntaxError(const QString& statement, int position, const QString& near);

} // namespace db::jet
