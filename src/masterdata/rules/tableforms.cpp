#include "masterdata/rules/tableforms.h"

#include "services/core/tablenames.h"

namespace Orlavo::Masterdata {

namespace {

namespace T = Services::Tables;
using F = FormField::Kind;

FormField code(const char *column, const char *caption, int length, bool key = false)
{
    return {QString::fromLatin1(column), QString::fromUtf8(caption), F::Code, length, 0, key, std::nullopt};
}

FormField text(const char *column, const char *caption, int length)
{
    return {QString::fromLatin1(column), QString::fromUtf8(caption), F::Text, length, 0, false, std::nullopt};
}

FormField number(const char *column, const char *caption, int decimals)
{
    return {QString::fromLatin1(column), QString::fromUtf8(caption), F::Number, 0, decimals, false, std::nullopt};
}

FormField withLookup(FormField field, FormLookup lookup)
{
    field.lookup = std::move(lookup);
    return field;
}

Services::CheckDef required(const char *field, const char *message)
{
    return Services::Check::required(QString::fromLatin1(field), QString::fromUtf8(message));
}

Services::CheckDef known(const char *field, const QString &table, const char *tableColumn, const char *message)
{
    return Services::Check::known(QString::fromLatin1(field), table, QString::fromLatin1(tableColumn),
                                  QString::fromUtf8(message));
}

Services::CheckDef scoped(Services::CheckDef c, const char *scopeField, const char *scopeTableColumn)
{
    c.scopeColumn = QString::fromLatin1(scopeField);
    c.scopeTableColumn = QString::fromLatin1(scopeTableColumn);
    return c;
}

// Applies only while the flag is set.
Services::CheckDef whenSet(Services::CheckDef c, const char *flag)
{
    c.whenColumn = QString::fromLatin1(flag);
    c.whenValue = true;
    return c;
}

Services::CheckDef aboveZero(const char *field, const char *message)
{
    return Services::Check::custom(QString::fromLatin1(field), QString::fromUtf8(message),
                                   [](const QVariant &value) { return value.toDouble() > 0; });
}

Services::CheckDef notNegative(const char *field, const char *message)
{
    return Services::Check::custom(QString::fromLatin1(field), QString::fromUtf8(message),
                                   [](const QVariant &value) { return value.toDouble() >= 0; });
}

// The table's key as a new row's: not stored yet.
Services::CheckDef notTaken(const TableForm &form, const char *field, const char *message)
{
    return Services::Check::unique(QString::fromLatin1(field), form.table, form.keyColumns(),
                                   QString::fromUtf8(message));
}

// The kit's description of the table, from the fields.
TableForm finished(TableForm form)
{
    namespace Col = Services::Column;
    form.def.table = form.table;
    form.def.target = form.target;
    for (const FormField &field : form.fields) {
        Services::ColumnDef column;
        switch (field.kind) {
        case F::Code: column = Col::code(field.column, field.length); break;
        case F::Text: column = Col::text(field.column, field.length); break;
        case F::Number: column = Col::amount(field.column, field.decimals); break;
        case F::Flag: column = Col::flagSN(field.column); break;
        }
        form.def.columns << (field.key ? Col::key(column) : column);
    }
    return form;
}

FormLookup abiLookup()
{
    return {T::TAB_ABI,
            QStringLiteral("Lista ISTITUTI BANCARI"),
            {{QStringLiteral("CODICE"), QStringLiteral("05C"), QStringLiteral("A.B.I.")},
             {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("ISTITUTO BANCARIO")}},
            {QStringLiteral("ABI")},
            {},
            {}};
}

FormLookup branchLookup()
{
    return {T::TAB_CAB,
            QStringLiteral("Lista FILIALI"),
            {{QStringLiteral("ABI"), QStringLiteral("05C"), QStringLiteral("A.B.I.")},
             {QStringLiteral("CAB"), QStringLiteral("05C"), QStringLiteral("C.A.B.")},
             {QStringLiteral("BANCA"), QStringLiteral("40C"), QStringLiteral("FILIALE")}},
            {QStringLiteral("ABI"), QStringLiteral("CAB")},
            QStringLiteral("ABI"),
            QStringLiteral("ABI")};
}

FormLookup provinceLookup(const char *field)
{
    return {T::TAB_PROV,
            QStringLiteral("Lista PROVINCIE"),
            {{QStringLiteral("CODICE"), QStringLiteral("04C"), QStringLiteral("PROV.")},
             {QStringLiteral("DESCRIZIONE"), QStringLiteral("30C"), QString()}},
            {QString::fromLatin1(field)},
            {},
            {}};
}

FormLookup accountLookup()
{
    return {T::TAB_PIANO_CONTI,
            QStringLiteral("Lista CONTI"),
            {{QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("CONTO")},
             {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QString()}},
            {QStringLiteral("CNT_CONTAB")},
            {},
            {}};
}

// ABI and CAB of a bank, checked alike by both bank windows.
QList<Services::CheckDef> bankCoordinates()
{
    return {scoped(known("CAB", T::TAB_CAB, "CAB", "Codice C.A.B. sconosciuto !"), "ABI", "ABI"),
            required("CAB", "Codice C.A.B. - Obbligatorio !"),
            known("ABI", T::TAB_ABI, "CODICE", "Codice A.B.I. sconosciuto !"),
            required("ABI", "Codice A.B.I. - Obbligatorio !")};
}

TableForm supportBanks()
{
    TableForm form;
    form.name = QStringLiteral("frmBanApp");
    form.title = QStringLiteral("Gestione Banche d'Appoggio");
    form.table = T::TAB_BAN_APP;
    form.fields = {code("CODICE", "Codice", 5, true), text("DESCRIZIONE", "Descrizione", 40),
                   withLookup(code("ABI", "A.B.I.", 5), abiLookup()),
                   withLookup(code("CAB", "C.A.B.", 5), branchLookup())};
    form.checks = bankCoordinates();
    form.checks << required("DESCRIZIONE", "Descrizione Banca d'Appoggio - Obbligatoria !")
                << notTaken(form, "CODICE", "Codice Banca d'Appoggio già presente in archivio !")
                << required("CODICE", "Codice Banca d'Appoggio - Obbligatorio !");
    form.saveWhere = QStringLiteral("Registra Banca Appoggio");
    form.deleteWhere = QStringLiteral("Elimina Banca Appoggio");
    form.takenMessage = QStringLiteral("Codice Banca d'Appoggio già presente in archivio !");
    form.reportKey = QStringLiteral("TABBANAP");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista BANCHE D'APPOGGIO");
    return finished(form);
}

TableForm payingBanks()
{
    TableForm form;
    form.name = QStringLiteral("frmBanPag");
    form.title = QStringLiteral("Gestione Banche di Pagamento");
    form.table = T::TAB_BAN_PAG;
    form.fields = {code("CODICE", "Codice", 5, true),
                   text("DESCRIZIONE", "Descrizione", 40),
                   withLookup(code("ABI", "A.B.I.", 5), abiLookup()),
                   withLookup(code("CAB", "C.A.B.", 5), branchLookup()),
                   text("NRO_CONTO", "Numero conto", 20),
                   number("FIDO", "Fido", 2),
                   withLookup(code("CNT_CONTAB", "Conto contabile", 6), accountLookup())};
    form.checks = {known("CNT_CONTAB", T::TAB_PIANO_CONTI, "CODICE", "Conto non presente sul Piano dei Conti !")};
    form.checks << bankCoordinates();
    // The code and description messages follow the other bank window's.
    form.checks << required("DESCRIZIONE", "Descrizione Banca Pagamento - Obbligatoria !")
                << notTaken(form, "CODICE", "Codice Banca Pagamento già presente in archivio !")
                << required("CODICE", "Codice Banca Pagamento - Obbligatorio !");
    form.saveWhere = QStringLiteral("Registra Banca Pagamento");
    form.deleteWhere = QStringLiteral("Elimina Banca Pagamento");
    form.takenMessage = QStringLiteral("Codice Banca Pagamento già presente in archivio !");
    form.reportKey = QStringLiteral("TABBANPA");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista BANCHE DI PAGAMENTO");
    return finished(form);
}

TableForm branches()
{
    TableForm form;
    form.name = QStringLiteral("frmCab");
    form.title = QStringLiteral("Gestione Filiali Bancarie (C.A.B.)");
    form.table = T::TAB_CAB;
    form.fields = {withLookup(code("ABI", "A.B.I.", 5, true), abiLookup()),
                   code("CAB", "C.A.B.", 5, true),
                   text("BANCA", "Filiale", 50),
                   text("INDIRI", "Indirizzo", 50),
                   text("CITTA", "Località", 40),
                   code("CAP", "C.A.P.", 5),
                   withLookup(code("PROV", "Prov.", 2), provinceLookup("PROV"))};
    form.checks = {known("PROV", T::TAB_PROV, "CODICE", "Provincia sconosciuta !"),
                   required("BANCA", "Descrione Filiale - Obbligatoria !"),
                   notTaken(form, "CAB", "Codice Filiale già presente in archivio !"),
                   known("ABI", T::TAB_ABI, "CODICE", "Codice A.B.I. sconosciuto !"),
                   required("CAB", "Codice FIliale - Obbligatorio !"),
                   required("ABI", "Codice A.B.I. - Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra Filiale");
    form.deleteWhere = QStringLiteral("Elimina Filiale");
    form.takenMessage = QStringLiteral("Codice Filiale già presente in archivio !");
    form.reportKey = QStringLiteral("TABCAB");
    form.printColumns = {QStringLiteral("CAB"), QStringLiteral("BANCA")};
    form.listTitle = QStringLiteral("Lista FILIALI");
    form.townField = QStringLiteral("CITTA");
    form.postalField = QStringLiteral("CAP");
    form.provinceField = QStringLiteral("PROV");
    return finished(form);
}

TableForm postalCodes()
{
    TableForm form;
    form.name = QStringLiteral("frmCap");
    form.title = QStringLiteral("Gestione C.A.P.");
    form.table = T::TAB_CAP;
    form.fields = {code("CAP", "C.A.P.", 5, true), text("CITTA", "Città", 40),
                   withLookup(code("PROVINCIA", "Provincia", 2, true), provinceLookup("PROVINCIA"))};
    form.fields[1].key = true;
    form.checks = {known("PROVINCIA", T::TAB_PROV, "CODICE", "Provincia sconosciuta !"),
                   required("PROVINCIA", "Provincia - Obbligatoria !"),
                   required("CITTA", "Città collegata - Obbligatoria !"),
                   notTaken(form, "CAP", "C.A.P. già esistente per questa città e provincia"),
                   required("CAP", "C.A.P. -Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra CAP");
    form.deleteWhere = QStringLiteral("Elimina CAP");
    form.takenMessage = QStringLiteral("C.A.P. già esistente per questa città e provincia");
    form.reportKey = QStringLiteral("TABCAP");
    form.printColumns = {QStringLiteral("CAP"), QStringLiteral("CITTA")};
    form.listTitle = QStringLiteral("Lista C.A.P.");
    return finished(form);
}

TableForm countries()
{
    TableForm form;
    form.name = QStringLiteral("frmPaesi");
    form.title = QStringLiteral("Gestione Paesi");
    form.table = T::TAB_PAESI;
    form.fields = {code("PAESE", "Codice", 3, true), code("COD_ISO", "Codice ISO", 2),
                   text("DESCRIZIONE", "Descrizione", 40)};
    form.checks = {required("DESCRIZIONE", "Descrizione paese - Obbligatoria !"),
                   notTaken(form, "PAESE", "Codice Paese già presente in archivio !"),
                   required("PAESE", "Codice Paese - Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra Paesi");
    form.deleteWhere = QStringLiteral("Elimina Paesi");
    form.takenMessage = QStringLiteral("Codice Paese già presente in archivio !");
    form.reportKey = QStringLiteral("TABPAESI");
    form.printColumns = {QStringLiteral("PAESE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista PAESI");
    return finished(form);
}

TableForm supplierTypes()
{
    TableForm form;
    form.name = QStringLiteral("frmTipFo");
    form.title = QStringLiteral("Gestione Tipo Fornitori");
    form.table = T::TAB_TIPO_FOR;
    FormField withholding = code("RITENUTA", "Soggetto a ritenuta d'acconto", 1);
    withholding.kind = F::Flag;
    form.fields = {code("CODICE", "Codice", 2, true),
                   text("DESCRIZIONE", "Descrizione", 30),
                   withholding,
                   number("PERC_RIT", "Perc. Ritenuta d'Acconto", 2),
                   number("PERC_ENA", "Perc. Ritenuta Enasarco", 2),
                   code("MOD770", "Quadro Mod. 770", 10)};
    // A supplier subject to withholding needs its rate; the pension-fund
    // rate may be nought (professionals pay none) but never negative.
    form.checks = {whenSet(aboveZero("PERC_RIT", "Percentuale Ritenuta d'Acconto deve essere maggiore di zero"), "RITENUTA"),
                   whenSet(notNegative("PERC_ENA", "Percentuale Ritenuta Enasarco deve essere maggiore di zero"), "RITENUTA"),
                   required("DESCRIZIONE", "Descrizione Tipo Fornitore - Obbligatorio !"),
                   notTaken(form, "CODICE", "Codice Tipo Fornitore già presente in archivio !"),
                   required("CODICE", "Codice Tipo Fornitore - Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra Tipo Fornitore");
    form.deleteWhere = QStringLiteral("Elimina Tipo Fornitore");
    form.takenMessage = QStringLiteral("Codice Tipo Fornitore già presente in archivio !");
    form.reportKey = QStringLiteral("TABTIFOR");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista TIPO FORNITORI");
    return finished(form);
}

TableForm brands()
{
    TableForm form;
    form.name = QStringLiteral("frmMarca");
    form.title = QStringLiteral("Provvigioni per Marca");
    form.table = T::TAB_MARCHE;
    form.fields = {code("CODICE", "Marca", 3, true), text("DESCRIZIONE", "Descrizione", 30),
                   number("PERC_PROV", "Perc. Provvigione Agente", 2)};
    // Nought is a brand with no commission of its own.
    form.checks = {notNegative("PERC_PROV", "Percentuale Provvigione Agente deve essere maggiore di zero"),
                   required("DESCRIZIONE", "Descrizione marca obbligatoria !"),
                   notTaken(form, "CODICE", "Marca già presente in archivio !"),
                   required("CODICE", "Marca obbligatoria !")};
    form.saveWhere = QStringLiteral("Registra Provvigioni Marca");
    form.deleteWhere = QStringLiteral("Elimina Provvigioni Marca");
    form.takenMessage = QStringLiteral("Marca già presente in archivio !");
    form.reportKey = QStringLiteral("TABMARCH");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista MARCHE");
    return finished(form);
}

} // namespace

QStringList TableForm::keyColumns() const
{
    QStringList keys;
    for (const FormField &f : fields) {
        if (f.key)
            keys << f.column;
    }
    return keys;
}

const FormField *TableForm::field(const QString &column) const
{
    for (const FormField &f : fields) {
        if (f.column == column)
            return &f;
    }
    return nullptr;
}

const QList<TableForm> &tableForms()
{
    static const QList<TableForm> forms = {supportBanks(), payingBanks(),   branches(), postalCodes(),
                                           countries(),    supplierTypes(), brands()};
    return forms;
}

const TableForm *findTableForm(const QString &name)
{
    for (const TableForm &form : tableForms()) {
        if (form.name.compare(name, Qt::CaseInsensitive) == 0)
            return &form;
    }
    return nullptr;
}

} // namespace Orlavo::Masterdata
