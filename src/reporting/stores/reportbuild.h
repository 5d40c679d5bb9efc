#pragma once

#include "reporting/rules/reportlayout.h"
#include "reporting/rules/reportlist.h"

#include "services/core/outcome.h"

namespace Orlavo::Services {
class DataAccess;
}

namespace Orlavo::Reporting {

// What a print command asks of one report.
struct ReportRequest {
    QString formula;                        // selection formula, may be empty
    QHash<QString, QString> formulas;       // named texts, e.g. DICITURA
    int firstPage = 1;                      // registers carry on their numbering
};

// "DICITURA='PROPOSTA DI FATTURA'" → {"DICITURA": "PROPOSTA DI FATTURA"}.
QHash<QString, QString> parseNamedFormulas(const QStringList &assignments);

// The report of an entry laid out on its pages: definition file, query,
// rows. Failures carry the engine's message for the operator.
Services::Outcome<ReportDocument> buildReport(Services::DataAccess &db, const ReportEntry &entry,
                                              const ReportRequest &request);

} // namespace Orlavo::Reporting
