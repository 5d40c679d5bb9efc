#pragma once

#include "services/core/sqlterms.h"

#include <QList>
#include <QString>

namespace Orlavo::Masterdata {

// A table of codes and descriptions kept by the code-table window: where it
// lives, how long its fields are, how the window and its list name it.
struct CodeTable {
    QString table; // name as the statements use it (services tables qualified)
    QString title; // the window is "Gestione Tabella " & title
    QString codeHeading;
    QString descriptionHeading;
    int codeLength = 0;
    int descriptionLength = 0;
    Services::Target database = Services::Target::Company;
    QString reportKey; // print list in RPTINI.TXT; empty when there is none
    QString listTitle; // title of the list printed from the menu
};

// Every table the code-table window keeps, in menu order.
const QList<CodeTable> &codeTables();
// The entry of a table, matched by its bare name ("TAB_PROV") or as the
// statements name it ("servizi.TAB_PROV"); nullptr when not kept here.
const CodeTable *findCodeTable(const QString &table);

} // namespace Orlavo::Masterdata
