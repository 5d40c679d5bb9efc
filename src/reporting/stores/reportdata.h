#pragma once

#include "reporting/rules/reportdefinition.h"
#include "reporting/rules/reportlayout.h"

#include "services/core/outcome.h"

namespace Orlavo::Services {
class DataAccess;
}

namespace Orlavo::Reporting {

// The query of a report: its tables bound to the databases by the
// data-file codes, the fixed filter ANDed with the caller's formula.
struct ReportQuery {
    QString sql;
    QVariantList params;
    QStringList columns;        // "TABLE.COLUMN", in select order
};

// Messages of the report engine, kept as the operator always read them.
namespace ReportErrors {
inline constexpr char kFormula[] = "Selezione dei dati o formule non corretti";
inline constexpr char kLoad[] = "Errore durante il caricamento";
inline constexpr char kOpenDatabase[] = "Apertura del Database non riuscita";
inline constexpr char kReadDatabase[] = "Errori durante apertura del Database";
inline constexpr char kConnectDatabase[] = "Connessione al Database non riuscita";
inline constexpr char kNoMemory[] = "Risorse di sitema tutte occupate";
inline constexpr char kNoPrinter[] = "Impostare stampante predefinita";
inline constexpr char kDiskFull[] = "Disco pieno";
inline constexpr char kCannotPrint[] = "Impossibile stampare: ";
inline constexpr char kInvalidOperation[] = "Opeazione invalida ";
QString missingReport(const QString &file);
} // namespace ReportErrors

// Builds the query; the columns named by the formula, joins and filter are
// checked against the database before any row is read.
Services::Outcome<ReportQuery> buildReportQuery(Services::DataAccess &db, const ReportDefinition &definition,
                                                const QString &dataCodes, const QString &formula);

// Reads every row of the report in one statement, so its figures agree
// while others post.
Services::Outcome<ReportRows> readReportRows(Services::DataAccess &db, const ReportQuery &query);

} // namespace Orlavo::Reporting
