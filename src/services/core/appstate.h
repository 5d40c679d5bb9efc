#pragma once

#include <QString>

#include <optional>

namespace Orlavo::Services {

// Transaction isolation as the settings name it (OLE DB codes).
enum class Isolation : int {
    Chaos = 16,
    ReadCommitted = 4096,
    RepeatableRead = 65536,
    Serializable = 1048576,
};

// The process-wide record every window reads: folders, database names and
// type, list sizes, the current company, year and user.
struct AppState {
    QString appFolder; // ends with "/"
    QString pathDb;    // PATHDB, ends with "/" unless empty
    QString pathIco;
    QString pathRpt;
    QString pathRptPers;
    QString pathImage;
    QString dbName;         // DB; "CONTAB" & code & ".MDB" once a company is open
    QString dbServicesName; // DBSER
    QString dbType;         // TIPODB, normalised
    bool serverDb = false;
    std::optional<Isolation> isolation;
    int rowsTab = 10;
    int rowsList = 20;
    QString backgroundFile; // SFONDOINI
    QString vatRoundUp;     // ARROTIVASUPERIORE
    QString icon;           // ICONA
    QString iconForms;      // ICONAF

    QString company;
    QString companyName;
    QString year;
    // The company's base data (DATIBASE) and the descriptions of its codes.
    QString bankCode;
    QString bankDescription;
    QString vatCode;
    QString vatDescription;
    QString vatPeriod;
    bool separateNumbering = false;
    bool vatRegister = false;
    QString baseDataDate;
    QString warehouse;
    // Section DATIAGGIUNTI: the installation's identifier, and the caption
    // of the extra menu when stock movements are linked to it.
    QString identifier;
    QString extraMenuCaption;
    bool stockMovesLinked = false;

    QString user;
    // -1 until a login completes: no user type is known, no refusal applies.
    int userType = -1;
    QString agentFlag;

    QString openMode;
    QString openKey;
    bool upperCaseKeys = false;
};

} // namespace Orlavo::Services
