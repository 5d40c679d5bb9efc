#include "masterdata/rules/tableforms.h"

#include "services/core/tablenames.h"

namespace Orlavo::Masterdata {

namespace {

namespace T = Services::Tables;
using K = FormCheck::Kind;
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

FormCheck check(K kind, const char *field, const char *message)
{
    FormCheck c;
    c.kind = kind;
    c.field = QString::fromLatin1(field);
    c.message = QString::fromUtf8(message);
    return c;
}

FormCheck known(const char *field, const QString &table, const char *tableColumn, const char *message)
{
    FormCheck c = check(K::Known, field, message);
    c.table = table;
    c.tableColumn = QString::fromLatin1(tableColumn);
    return c;
}

FormCheck scoped(FormCheck c, const char *scopeField, const char *scopeTableColumn)
{
    c.scopeField = QString::fromLatin1(scopeField);
    c.scopeTableColumn = QString::fromLatin1(scopeTableColumn);
    return c;
}

FormCheck when(FormCheck c, const char *field, const char *value)
{
    c.whenField = QString::fromLatin1(field);
    c.whenValue = QString::fromLatin1(value);
    return c;
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
QList<FormCheck> bankCoordinates()
{
    return {scoped(known("CAB", T::TAB_CAB, "CAB", "Codice C.A.B. sconosciuto !"), "ABI", "ABI"),
            check(K::Required, "CAB", "Codice C.A.B. - Obbligatorio !"),
            known("ABI", T::TAB_ABI, "CODICE", "Codice A.B.I. sconosciuto !"),
            check(K::Required, "ABI", "Codice A.B.I. - Obbligatorio !")};
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
    form.checks << check(K::Required, "DESCRIZIONE", "Descrizione Banca d'Appoggio - Obbligatoria !")
                << check(K::NotTaken, "CODICE", "Codice Banca d'Appoggio già presente in archivio !")
                << check(K::Required, "CODICE", "Codice Banca d'Appoggio - Obbligatorio !");
    form.saveWhere = QStringLiteral("Registra Banca Appoggio");
    form.deleteWhere = QStringLiteral("Elimina Banca Appoggio");
    form.takenMessage = QStringLiteral("Codice Banca d'Appoggio già presente in archivio !");
    form.reportKey = QStringLiteral("TABBANAP");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista BANCHE D'APPOGGIO");
    return form;
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
    form.checks << check(K::Required, "DESCRIZIONE", "Descrizione Banca Pagamento - Obbligatoria !")
                << check(K::NotTaken, "CODICE", "Codice Banca Pagamento già presente in archivio !")
                << check(K::Required, "CODICE", "Codice Banca Pagamento - Obbligatorio !");
    form.saveWhere = QStringLiteral("Registra Banca Pagamento");
    form.deleteWhere = QStringLiteral("Elimina Banca Pagamento");
    form.takenMessage = QStringLiteral("Codice Banca Pagamento già presente in archivio !");
    form.reportKey = QStringLiteral("TABBANPA");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista BANCHE DI PAGAMENTO");
    return form;
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
                   check(K::Required, "BANCA", "Descrione Filiale - Obbligatoria !"),
                   check(K::NotTaken, "CAB", "Codice Filiale già presente in archivio !"),
                   known("ABI", T::TAB_ABI, "CODICE", "Codice A.B.I. sconosciuto !"),
                   check(K::Required, "CAB", "Codice FIliale - Obbligatorio !"),
                   check(K::Required, "ABI", "Codice A.B.I. - Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra Filiale");
    form.deleteWhere = QStringLiteral("Elimina Filiale");
    form.takenMessage = QStringLiteral("Codice Filiale già presente in archivio !");
    form.reportKey = QStringLiteral("TABCAB");
    form.printColumns = {QStringLiteral("CAB"), QStringLiteral("BANCA")};
    form.listTitle = QStringLiteral("Lista FILIALI");
    form.townField = QStringLiteral("CITTA");
    form.postalField = QStringLiteral("CAP");
    form.provinceField = QStringLiteral("PROV");
    return form;
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
                   check(K::Required, "PROVINCIA", "Provincia - Obbligatoria !"),
                   check(K::Required, "CITTA", "Città collegata - Obbligatoria !"),
                   check(K::NotTaken, "CAP", "C.A.P. già esistente per questa città e provincia"),
                   check(K::Required, "CAP", "C.A.P. -Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra CAP");
    form.deleteWhere = QStringLiteral("Elimina CAP");
    form.takenMessage = QStringLiteral("C.A.P. già esistente per questa città e provincia");
    form.reportKey = QStringLiteral("TABCAP");
    form.printColumns = {QStringLiteral("CAP"), QStringLiteral("CITTA")};
    form.listTitle = QStringLiteral("Lista C.A.P.");
    return form;
}

TableForm countries()
{
    TableForm form;
    form.name = QStringLiteral("frmPaesi");
    form.title = QStringLiteral("Gestione Paesi");
    form.table = T::TAB_PAESI;
    form.fields = {code("PAESE", "Codice", 3, true), code("COD_ISO", "Codice ISO", 2),
                   text("DESCRIZIONE", "Descrizione", 40)};
    form.checks = {check(K::Required, "DESCRIZIONE", "Descrizione paese - Obbligatoria !"),
                   check(K::NotTaken, "PAESE", "Codice Paese già presente in archivio !"),
                   check(K::Required, "PAESE", "Codice Paese - Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra Paesi");
    form.deleteWhere = QStringLiteral("Elimina Paesi");
    form.takenMessage = QStringLiteral("Codice Paese già presente in archivio !");
    form.reportKey = QStringLiteral("TABPAESI");
    form.printColumns = {QStringLiteral("PAESE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista PAESI");
    return form;
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
    form.checks = {when(check(K::AboveZero, "PERC_RIT", "Percentuale Ritenuta d'Acconto deve essere maggiore di zero"),
                        "RITENUTA", "S"),
                   when(check(K::NotNegative, "PERC_ENA", "Percentuale Ritenuta Enasarco deve essere maggiore di zero"),
                        "RITENUTA", "S"),
                   check(K::Required, "DESCRIZIONE", "Descrizione Tipo Fornitore - Obbligatorio !"),
                   check(K::NotTaken, "CODICE", "Codice Tipo Fornitore già presente in archivio !"),
                   check(K::Required, "CODICE", "Codice Tipo Fornitore - Obbligatorio !")};
    form.saveWhere = QStringLiteral("Registra Tipo Fornitore");
    form.deleteWhere = QStringLiteral("Elimina Tipo Fornitore");
    form.takenMessage = QStringLiteral("Codice Tipo Fornitore già presente in archivio !");
    form.reportKey = QStringLiteral("TABTIFOR");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista TIPO FORNITORI");
    return form;
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
    form.checks = {check(K::NotNegative, "PERC_PROV", "Percentuale Provvigione Agente deve essere maggiore di zero"),
                   check(K::Required, "DESCRIZIONE", "Descrizione marca obbligatoria !"),
                   check(K::NotTaken, "CODICE", "Marca già presente in archivio !"),
                   check(K::Required, "CODICE", "Marca obbligatoria !")};
    form.saveWhere = QStringLiteral("Registra Provvigioni Marca");
    form.deleteWhere = QStringLiteral("Elimina Provvigioni Marca");
    form.takenMessage = QStringLiteral("Marca già presente in archivio !");
    form.reportKey = QStringLiteral("TABMARCH");
    form.printColumns = {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE")};
    form.listTitle = QStringLiteral("Lista MARCHE");
    return form;
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
