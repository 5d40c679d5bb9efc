#pragma once

#include "services/core/sqlterms.h"

#include <QString>

namespace Orlavo::Services {

// Schema of the services tables on both engines: an attached file on SQLite,
// a schema of the one database on PostgreSQL. Company tables are unqualified
// and resolve to the open company (main file, or the company schema first on
// the search path).
inline constexpr char kServicesSchema[] = "servizi";

// The database a table's statements go to: the services schema's tables
// ("servizi.X") or the company's.
inline Target databaseOf(const QString &table)
{
    return table.startsWith(QLatin1String(kServicesSchema)) ? Target::Services : Target::Company;
}

// The table-name variables: every statement names its tables through these.
namespace Tables {
inline const QString AGENTI = QStringLiteral("AGENTI");
inline const QString ANAG_CLI = QStringLiteral("ANAG_CLI");
inline const QString ANAG_FOR = QStringLiteral("ANAG_FOR");
inline const QString ARTICOLI = QStringLiteral("ARTICOLI");
inline const QString ARTICOMP = QStringLiteral("ARTICOMP");
inline const QString APPUNTAMENTI = QStringLiteral("APPUNTAMENTI");
inline const QString BOLLED = QStringLiteral("BOLLED");
inline const QString BOLLED_MOVMAG = QStringLiteral("BOLLED_MOVMAG");
inline const QString BOLLET = QStringLiteral("BOLLET");
inline const QString BOLLED_A = QStringLiteral("BOLLED_A");
inline const QString BOLLET_A = QStringLiteral("BOLLET_A");
inline const QString COMMD = QStringLiteral("COMMD");
inline const QString COMMT = QStringLiteral("COMMT");
inline const QString CONT_CLI = QStringLiteral("CONT_CLI");
inline const QString CONT_FOR = QStringLiteral("CONT_FOR");
inline const QString CONTRATTI = QStringLiteral("CONTRATTI");
inline const QString CONS_MERCE = QStringLiteral("CONS_MERCE");
inline const QString MOVMAG = QStringLiteral("MOVMAG");
inline const QString DATIBASE = QStringLiteral("servizi.DATIBASE");
inline const QString DIVISE = QStringLiteral("DIVISE");
inline const QString FACQUD = QStringLiteral("FACQUD");
inline const QString FACQUT = QStringLiteral("FACQUT");
inline const QString FATT_CLI = QStringLiteral("FATT_CLI");
inline const QString FATT_FOR = QStringLiteral("FATT_FOR");
inline const QString FVENDD = QStringLiteral("FVENDD");
inline const QString FVENDD_PR = QStringLiteral("FVENDD_PR");
inline const QString FVENDD_S = QStringLiteral("FVENDD_S");
inline const QString FVENDD_R = QStringLiteral("FVENDD_R");
inline const QString FVENDT = QStringLiteral("FVENDT");
inline const QString FVENDT_PR = QStringLiteral("FVENDT_PR");
inline const QString FVENDT_S = QStringLiteral("FVENDT_S");
inline const QString FVENACC = QStringLiteral("FVENACC");
inline const QString FVENACC_PR = QStringLiteral("FVENACC_PR");
inline const QString FATA_NFT = QStringLiteral("FATA_NFT");
inline const QString FATA_NFD = QStringLiteral("FATA_NFD");
inline const QString GIORN = QStringLiteral("GIORN");
inline const QString GIORN_BILAVE = QStringLiteral("GIORN_BILAVE");
inline const QString GIORN2 = QStringLiteral("GIORN2");
inline const QString GIORNRIEP = QStringLiteral("GIORNRIEP");
inline const QString GIORN_STAMPA = QStringLiteral("GIORN_STAMPA");
inline const QString INS_CLI = QStringLiteral("INS_CLI");
inline const QString INS_FOR = QStringLiteral("INS_FOR");
inline const QString IVA = QStringLiteral("IVA");
inline const QString IVA2 = QStringLiteral("IVA2");
inline const QString IVA_DICH = QStringLiteral("IVA_DICH");
inline const QString IVA_RIEP = QStringLiteral("IVA_RIEP");
inline const QString LIST_ACQ = QStringLiteral("LIST_ACQ");
inline const QString LIST_VEN = QStringLiteral("LIST_VEN");
inline const QString LIST_VEN_RIEP = QStringLiteral("LIST_VEN_RIEP");
inline const QString NUMERA = QStringLiteral("NUMERA");
inline const QString NUMERA_S = QStringLiteral("NUMERA_S");
inline const QString ORDFORD = QStringLiteral("ORDFORD");
inline const QString ORDFORT = QStringLiteral("ORDFORT");
inline const QString OFFERD = QStringLiteral("OFFERD");
inline const QString OFFERT = QStringLiteral("OFFERT");
inline const QString PERS_CLI = QStringLiteral("PERS_CLI");
inline const QString PREVD = QStringLiteral("PREVD");
inline const QString PREVT = QStringLiteral("PREVT");
inline const QString RICOR_SING = QStringLiteral("RICOR_SING");
inline const QString RICOR_ANN = QStringLiteral("RICOR_ANN");
inline const QString RITENUTA = QStringLiteral("RITENUTA");
inline const QString RIT_FOR = QStringLiteral("RIT_FOR");
inline const QString SALVAT = QStringLiteral("SALVAT");
inline const QString SEMAFORO = QStringLiteral("SEMAFORO");
inline const QString SCADF = QStringLiteral("SCADF");
inline const QString SCADF_PR = QStringLiteral("SCADF_PR");
inline const QString SOCIETA = QStringLiteral("servizi.SOCIETA");
inline const QString TAB_ABI = QStringLiteral("servizi.TAB_ABI");
inline const QString TAB_ASPET_EST = QStringLiteral("servizi.TAB_ASPET_EST");
inline const QString TAB_ATTIVITA = QStringLiteral("TAB_ATTIVITA");
inline const QString TAB_BAN_APP = QStringLiteral("TAB_BAN_APP");
inline const QString TAB_BAN_PAG = QStringLiteral("TAB_BAN_PAG");
inline const QString TAB_CAB = QStringLiteral("TAB_CAB");
inline const QString TAB_CAP = QStringLiteral("TAB_CAP");
inline const QString TAB_CAU_CONT = QStringLiteral("TAB_CAU_CONT");
inline const QString TAB_CAU_MAG = QStringLiteral("TAB_CAU_MAG");
inline const QString TAB_CCOS = QStringLiteral("TAB_CCOS");
inline const QString TAB_COND_PAG = QStringLiteral("TAB_COND_PAG");
inline const QString TAB_C_STATIS = QStringLiteral("TAB_C_STATIS");
inline const QString TAB_DOC_ID = QStringLiteral("servizi.TAB_DOC_ID");
inline const QString TAB_GRUPP = QStringLiteral("TAB_GRUPP");
inline const QString TAB_MAGAZZINI = QStringLiteral("TAB_MAGAZZINI");
inline const QString TAB_MERCE = QStringLiteral("TAB_MERCE");
inline const QString TAB_MARCHE = QStringLiteral("TAB_MARCHE");
inline const QString TAB_MODELLI = QStringLiteral("TAB_MODELLI");
inline const QString TAB_PAESI = QStringLiteral("TAB_PAESI");
inline const QString TAB_PERIVA = QStringLiteral("TAB_PERIVA");
inline const QString TAB_PIANO_CONTI = QStringLiteral("TAB_PIANO_CONTI");
inline const QString TAB_PROV = QStringLiteral("servizi.TAB_PROV");
inline const QString TAB_COMUNI = QStringLiteral("servizi.TAB_COMUNI");
inline const QString TAB_REGISTRI = QStringLiteral("TAB_REGISTRI");
inline const QString TAB_SOGRUP = QStringLiteral("TAB_SOGRUP");
inline const QString TAB_SCONCLI = QStringLiteral("TAB_SCONCLI");
inline const QString TAB_SCONFOR = QStringLiteral("TAB_SCONFOR");
inline const QString TAB_TIPO_ART = QStringLiteral("TAB_TIPO_ART");
inline const QString TAB_TIPOBARRE = QStringLiteral("TAB_TIPOBARRE");
inline const QString TAB_TIPO_BOLLE = QStringLiteral("TAB_TIPO_BOLLE");
inline const QString TAB_TIPO_CAUS = QStringLiteral("TAB_TIPO_CAUS");
inline const QString TAB_TIPO_CLI = QStringLiteral("TAB_TIPO_CLI");
inline const QString TAB_TIPO_DOC = QStringLiteral("servizi.TAB_TIPO_DOC");
inline const QString TAB_TIPO_FOR = QStringLiteral("TAB_TIPO_FOR");
inline const QString TAB_TRASP = QStringLiteral("servizi.TAB_TRASP");
inline const QString TAB_UBICAZIONE = QStringLiteral("servizi.TAB_UBICAZIONE");
inline const QString TAB_UNTMIS = QStringLiteral("servizi.TAB_UNTMIS");
inline const QString TAB_UTENTI = QStringLiteral("servizi.TAB_UTENTI");
inline const QString TAB_ZONA = QStringLiteral("TAB_ZONA");
inline const QString VEICOLI = QStringLiteral("VEICOLI");
inline const QString VEICOLI_INCR = QStringLiteral("VEICOLI_INCR");
inline const QString VEICSOS = QStringLiteral("VEICSOS");
// The company database's own copy of its SOCIETA row.
inline const QString SOCIETA_CONTAB = QStringLiteral("SOCIETA");
inline const QString VERSIONE_SCHEMA = QStringLiteral("VERSIONE_SCHEMA");
} // namespace Tables

} // namespace Orlavo::Services
