#pragma once

#include "sales/stores/documentstore.h"
#include "services/core/record.h"

#include <QHash>
#include <QList>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// An invoice as its window holds it before confirmation: the typed
// document, the texts of the fields whose typing is judged (DATA_DOC,
// DATA_REG, SPESE_TRA, SPESE_BAN, BOLLI, DATA_RIT, PERC_RIT), the due-date
// lines as typed and what the window computed.
struct TypedInvoice {
    SalesDocument document;
    QHash<QString, QString> typed;
    bool withholding = false; // the box ticked
    struct Due {
        QString date, amount, commission;
    };
    QList<Due> dues;
    double dueImbalance = 0;
    double commissionImbalance = 0;
    bool checkCommissions = true; // CONTROLLO_PROVVIGIONI
    bool newDocument = true;
    QString workingYear;
    bool vatAccepted = true; // typed VAT amounts within their tolerance
    bool creditNotesApart = false;
    bool debitNotesApart = false;
};

// The failing checks in the window's order; the window marks every one and
// shows the first. A row's column is "RIGA<n>.<column>", n from 1.
QList<Services::FieldProblem> invoiceProblems(Services::DataAccess &db, const TypedInvoice &invoice);

// The column of row `index` (from 0) in a problem.
QString rowColumn(int index, const QString &column);

} // namespace Orlavo::Sales
