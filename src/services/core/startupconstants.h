#pragma once

#include <array>

namespace Orlavo::Services {

// Simple code tables edited by the generic code-table window, by index.
inline constexpr std::array<const char *, 20> kCodeTables = {"TAB_DOC_ID",
                                                             "TAB_UBICAZIONE",
                                                             "TAB_REGISTRI",
                                                             "TAB_ATTIVITA",
                                                             "TAB_ZONA",
                                                             "TAB_PROV",
                                                             "TAB_MERCE",
                                                             "TAB_ABI",
                                                             "",
                                                             "TAB_ASPET_EST",
                                                             "TAB_CAU_MAG",
                                                             "TAB_TRASP",
                                                             "TAB_CCOS",
                                                             "",
                                                             "TAB_GRUPP",
                                                             "TAB_MAGAZZINI",
                                                             "TAB_SOGRUP",
                                                             "",
                                                             "TAB_UNTMIS",
                                                             "TAB_TIPO_CAUS"};

// Modes of the shared master-data windows, one column per archive.
inline constexpr std::array<const char *, 3> kModeInsert = {"FORNCOD", "PUBCLICOD", "PUBFORCOD"};
inline constexpr std::array<const char *, 3> kModeModify = {"FORNMOD", "PUBCLIMOD", "PUBFORMOD"};
inline constexpr std::array<const char *, 3> kModeSearch = {"FORNRIC", "PUBCLIRIC", "PUBFORRIC"};
// The same for the supplier and agent archives.
inline constexpr std::array<const char *, 2> kModeInsertSupplierAgent = {"ANAFORCOD", "ANAAGECOD"};
inline constexpr std::array<const char *, 2> kModeModifySupplierAgent = {"ANAFORMOD", "ANAAGEMOD"};
inline constexpr char kModeSpuntaEm[] = "SPUNTAEM";
inline constexpr char kModeSpuntaMa[] = "SPUNTAMA";

// Shown when an update finds that another workstation changed the data.
inline constexpr char kChangedByOthers[] = "Rilevate modifiche effettuate da altri utenti ! \n"
                                           "Si consiglia di verificare . \n"
                                           "OK per continuare ugualmente.";
inline constexpr char kDeletedByOthers[] = "Il record è stato eliminato da altri utenti ! \n"
                                           "Si consiglia di verificare . \n"
                                           "OK per continuare ugualmente.";
inline constexpr char kInsertedByOthers[] = "Il record è stato inserito da altri utenti ! \n"
                                            "Si consiglia di verificare . \n"
                                            "OK per continuare ugualmente.";

} // namespace Orlavo::Services
