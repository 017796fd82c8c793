#pragma once

#include "platform/core/Currency.h"
#include "platform/report/Report.h"

#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace report::test {

// Widgets and font metrics need an application object for the whole run.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_report";
            static char* argv[] = {name, nullptr};
            m_app = std::make_unique<QApplication>(argc, argv);
        }
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

inline QString dataPath(const QString& name)
{
    return QStringLiteral(CORVESSA_TEST_DATA_DIR "/report/") + name;
}

// A label or a field added to `s` at (left, top), one line high; a field
// shows its column's name as its caption, as the designer makes it.
ReportControl& addLabel(ReportSection& s, const QString& name, const QString& caption, double left, double top,
                        double width = 2000);
ReportControl& addField(ReportSection& s, const QString& name, const QString& dataField, double left, double top,
                        double width = 1500);

// A batch of documents as a print engine delivers them: one row per line.
struct SampleLine {
    int fatId;
    QString description;
    core::Currency amount;
    QString vatCode;
};

std::vector<SampleLine> sampleLines();

// A report built in code with every section kind: report header and footer,
// page header and footer, the group "Testa" by "fatId" (a new page each,
// header repeated on every page) with its footer "Calce", an inner group by a
// value set while fetching (the VAT code), the detail; sums per group and in
// total, page number and count within the document, and a picture.
Report sampleReport(const std::vector<SampleLine>& lines);
QImage samplePicture();

// Runs a program and returns its standard output ("" and a test failure if it fails).
QByteArray runTool(const QString& program, const QStringList& arguments);
// The pages of a PDF as pdftotext reads them.
QStringList pdfPages(const QString& path);
// One member of a zip file (an .xlsx is one).
QByteArray zipMember(const QString& zipPath, const QString& member);

} // namespace report::test
