#pragma once

#include "services/core/lookupcolumn.h"
#include "services/core/record.h"
#include "services/core/sqlterms.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Masterdata {

// A lookup a field offers on F4: the table, its columns, and which field
// each picked value goes to (an empty name skips the value). A scope column
// lists only the rows matching another field (the branches of the typed ABI).
struct FormLookup {
    QString table;
    QString title;
    QList<Services::LookupColumn> columns;
    QStringList fills;
    QString scopeField;       // the field whose value limits the list
    QString scopeTableColumn; // the table's column compared with it
};

// One field of a table window, in screen order.
struct FormField {
    enum class Kind { Code, Text, Number, Flag };
    QString column;
    QString caption;
    Kind kind = Kind::Text;
    int length = 0;   // codes and texts
    int decimals = 0; // numbers
    bool key = false;
    std::optional<FormLookup> lookup;
};

// A window that keeps the rows of one table with more than a code and a
// description.
struct TableForm {
    QString name;  // object name, also the window's tag: "frmCap"
    QString title; // window title
    QString table; // the table-name variable
    Services::Target target = Services::Target::Company;
    QList<FormField> fields;
    // The table as the kit sees it, made from the fields.
    Services::TableDef def;
    // The checks in the window's order; a blank value passes every check but
    // Required. The Unique one applies to a new row only.
    QList<Services::CheckDef> checks;
    QString saveWhere;    // error title of a failed save
    QString deleteWhere;  // error title of a failed delete
    QString takenMessage; // the key stored meanwhile by another workstation
    QString reportKey;
    QString listTitle;
    QStringList printColumns; // the code and the description of the print list
    // Field that fills postal code and province from TAB_CAP when left.
    QString townField, postalField, provinceField;

    QStringList keyColumns() const;
    const FormField *field(const QString &column) const;
};

// frmBanApp, frmBanPag, frmCab, frmCap, frmPaesi, frmTipFo, frmMarca.
const QList<TableForm> &tableForms();
const TableForm *findTableForm(const QString &name);

} // namespace Orlavo::Masterdata
