// Writes the default document layouts (invoice, credit note, pro forma, the
// designer's default and its empty layout) into the program folder.
#include "printing/finModelli.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_layouts <program folder>\n");
        return 2;
    }
    QString errore;
    if (!finModelli::ScriviFile(QString::fromLocal8Bit(argv[1]), &errore)) {
        std::fprintf(stderr, "make_layouts: %s\n", qPrintable(errore));
        return 1;
    }
    return 0;
}
