#pragma once

#include "sales/rules/documenttypes.h"
#include "services/core/outcome.h"

#include <QDate>
#include <QList>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// What the list of documents is asked: a year, a range of document
// numbers (0 for open), a customer (0 for all), the tax receipts only or
// all but them.
struct InvoiceFilter {
    Family family = Family::Definitive;
    QString year;
    int from = 0, to = 0;
    int customer = 0;
    enum class Receipts { Included, Only, Excluded } receipts = Receipts::Included;
};

struct ListedInvoice {
    QString year;
    int internal = 0, document = 0;
    QDate date;
    QString type, series;
    int customer = 0;
    QString name;
    double total = 0;
    bool printed = false, cancelled = false;
};

struct InvoiceList {
    QList<ListedInvoice> rows;
    bool limited = false; // more matched than the list holds
};

inline constexpr int kInvoiceListLimit = 10000;

// The documents of the filter by year, series and number.
Services::Outcome<InvoiceList> searchInvoices(Services::DataAccess &db, const InvoiceFilter &filter);

} // namespace Orlavo::Sales
