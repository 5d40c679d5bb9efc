#include "masterdata/rules/codetables.h"

#include "services/core/tablenames.h"

namespace Orlavo::Masterdata {

using Services::Target;
namespace T = Services::Tables;

const QList<CodeTable> &codeTables()
{
    static const QList<CodeTable> tables = [] {
        const QString code = QStringLiteral("CODICE");
        const QString shortCode = QStringLiteral("COD.");
        const QString description = QStringLiteral("DESCRIZIONE");
        const auto company = Target::Company;
        const auto services = Target::Services;
        return QList<CodeTable>{
            {T::TAB_ATTIVITA, QStringLiteral(" Tipo Attività"), code, description, 6, 40, company,
             QStringLiteral("TABATTIV"), QStringLiteral("Lista ATTIVITA'")},
            {T::TAB_TIPO_CLI, QStringLiteral("Tipo anagrafico Cliente"), shortCode, description, 2, 20, company,
             QStringLiteral("TABTICLI"), QStringLiteral("Lista TIPO CLIENTI")},
            {T::TAB_DOC_ID, QStringLiteral("Tipi Documenti Identità"), shortCode, description, 1, 40, services,
             QStringLiteral("TABDOCID"), QStringLiteral("Lista DOCUMENTI IDENTITA'")},
            {T::TAB_ZONA, QStringLiteral("Zona Territoriali"), code, description, 4, 200, company,
             QStringLiteral("TABZONA"), QStringLiteral("Lista ZONE")},
            {T::TAB_PROV, QStringLiteral("Provincie"), QStringLiteral("PROV."), description, 2, 30, services,
             QStringLiteral("TABPROV"), QStringLiteral("Lista PROVINCIE")},
            {T::TAB_UBICAZIONE, QStringLiteral("Ubicazione"), shortCode, description, 1, 15, services,
             QStringLiteral("TABUBIC"), QStringLiteral("Lista UBICAZIONI")},
            {T::TAB_MARCHE, QStringLiteral("Marche"), code, description, 3, 30, company, QStringLiteral("TABMARCH"),
             QStringLiteral("Lista MARCHE")},
            {T::TAB_TIPO_ART, QStringLiteral("Tipo Articoli"), QStringLiteral("TIPO ARTICOLO"), description, 2, 30,
             company, QString(), QStringLiteral("Lista TIPO ARTICOLI")},
            {T::TAB_MAGAZZINI, QStringLiteral("Magazzini"), code, description, 2, 30, company,
             QStringLiteral("TABMAGAZ"), QStringLiteral("Lista MAGAZZINI")},
            {T::TAB_UNTMIS, QStringLiteral("Unità di misura"), shortCode, description, 2, 30, services,
             QStringLiteral("TABUMIS"), QStringLiteral("Lista Unità di Misura")},
            {T::TAB_MERCE, QStringLiteral("Gruppo Merciologico"), code, description, 6, 30, company,
             QStringLiteral("TABMERCE"), QStringLiteral("Lista GRUPPI MERCEOLOGICI")},
            {T::TAB_C_STATIS, QStringLiteral("Raggruppamenti statistici"), code, description, 12, 40, company,
             QStringLiteral("TABCSTAT"), QStringLiteral("Lista RAGGRUPPAMENTI STATISTICI")},
            {T::TAB_TIPO_DOC, QStringLiteral("Tipi Documento"), shortCode, description, 3, 30, services,
             QStringLiteral("TABTDOC"), QStringLiteral("Lista TIPI DOCUMENTO")},
            {T::TAB_TRASP, QStringLiteral("Causali di Trasporto"), code, description, 2, 30, services,
             QStringLiteral("TABTRASP"), QStringLiteral("Lista CAUSALI DI TRASPORTO")},
            {T::TAB_ASPET_EST, QStringLiteral("Aspetto dei beni"), code, description, 2, 30, services,
             QStringLiteral("TABASPET"), QStringLiteral("Lista ASPETTO DEI BENI")},
            {T::TAB_REGISTRI, QStringLiteral("Registri Iva"), code, description, 2, 40, company,
             QStringLiteral("TABREIVA"), QStringLiteral("Lista REGISTRI IVA")},
            {T::TAB_GRUPP, QStringLiteral("Gruppo Appartenenza Conto"), QStringLiteral("GRUPPO"), description, 2, 40,
             company, QStringLiteral("TABGRUPP"), QStringLiteral("Lista GRUPPI CONTI")},
            {T::TAB_SOGRUP, QStringLiteral("Sottogruppo Appartenenza Conto"), QStringLiteral("S.GRUP."), description, 3,
             40, company, QStringLiteral("TABSOGRU"), QStringLiteral("Lista SOTTOGRUPPI CONTI")},
            {T::TAB_TIPO_CAUS, QStringLiteral(" Tipo Causale"), QStringLiteral("TIPO"), description, 2, 30, company,
             QStringLiteral("TABTCAU"), QStringLiteral("Lista TIPI CAUSALE")},
            {T::TAB_CCOS, QStringLiteral("Centri di Costo"), QStringLiteral("CCOS"), description, 2, 30, company,
             QStringLiteral("TABCCOS"), QStringLiteral("Lista CENTRI DI COSTO")},
            {T::TAB_ABI, QStringLiteral("Coordinate Bancarie (A.B.I.)"), QStringLiteral("A.B.I."),
             QStringLiteral("ISTITUTO BANCARIO"), 5, 50, services, QString(), QStringLiteral("Lista BANCHE (A.B.I.)")},
        };
    }();
    return tables;
}

const CodeTable *findCodeTable(const QString &table)
{
    const QString wanted = table.section(QLatin1Char('.'), -1);
    for (const CodeTable &entry : codeTables()) {
        if (entry.table.section(QLatin1Char('.'), -1).compare(wanted, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

} // namespace Orlavo::Masterdata
