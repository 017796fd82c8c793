// Writes the template database "master.gen": the base tables and the rows a
// first start needs, from the program's own schema definition.
#include "platform/core/Error.h"
#include "platform/database/Connection.h"
#include "startup/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_template <output file>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    try {
        QFile::remove(path);
        db::Connection::createDatabase(path);
        db::Connection cn;
        cn.open(db::Connection::connectionStringFor(path));
        cn.beginTrans();
        for (const QString& sql : startup::templateSchemaStatements())
            cn.execute(sql);
        cn.commitTrans();
        cn.close();
    } catch (const core::Error& e) {
        std::fprintf(stderr, "make_template: %s\n", qPrintable(e.text()));
        QFile::remove(path);
        return 1;
    }
    return 0;
}
