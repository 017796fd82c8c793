// Writes the template database "master.gen": the base tables and the rows a
// first start needs, from the program's own schema definition. With
// --upgraded it writes the template already brought to the full schema, as a
// start leaves it (for tests that need the whole schema without a start).
#include "platform/core/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Transaction.h"
#include "startup/Schema.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bool upgraded = argc == 3 && std::strcmp(argv[1], "--upgraded") == 0;
    if (argc != 2 && !upgraded) {
        std::fprintf(stderr, "usage: make_template [--upgraded] <output file>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[argc - 1]);
    try {
        QFile::remove(path);
        db::Connection::createDatabase(path);
        db::Connection cn;
        cn.open(db::Connection::connectionStringFor(path));
        db::Transaction tx(cn);
        for (const QString& sql : startup::templateSchemaStatements())
            cn.execute(sql);
        tx.commit();
        cn.close();
        if (upgraded) {
            session().dataConStr = db::Connection::connectionStringFor(path);
            AggiornaDb();
            CaricaUms();
            CreaTabelleFin();
        }
    } catch (const core::Error& e) {
        std::fprintf(stderr, "make_template: %s\n", qPrintable(e.text()));
        QFile::remove(path);
        return 1;
    }
    return 0;
}
