#include "shell/rules/menutable.h"

namespace Orlavo::Shell {

namespace {

using K = MenuRow::Kind;

MenuRow menu(const char *name, const char *caption, const char *parent = "", unsigned profile = MenuRow::Everyone)
{
    return {K::Menu, QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromLatin1(parent), {}, profile};
}

MenuRow entry(const char *name, const char *caption, const char *parent, unsigned profile = MenuRow::Everyone)
{
    return {K::Entry, QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromLatin1(parent), {},
            profile};
}

MenuRow separator(const char *parent)
{
    return {K::Separator, {}, {}, QString::fromLatin1(parent), {}, MenuRow::Everyone};
}

QList<MenuRow> build()
{
    using P = MenuRow::Profile;
    return {
        // Anagrafica
        menu("mnu_anagrafica", "&Anagrafica"),
        menu("mnu_clienti", "&Clienti", "mnu_anagrafica"),
        entry("codi_clienti", "&Codifica", "mnu_clienti"),
        entry("list_clienti", "&Lista/Modifica", "mnu_clienti"),
        menu("mnu_fornitori", "&Fornitori", "mnu_anagrafica"),
        entry("codi_fornitore", "&Codifica", "mnu_fornitori"),
        entry("list_fornitore", "&Lista/Modifica", "mnu_fornitori"),
        menu("mnu_agenti", "A&genti", "mnu_anagrafica"),
        entry("mnuAgentiIn", "&Codifica", "mnu_agenti"),
        entry("mnu_AgentiAg", "&Lista/Modifica", "mnu_agenti"),
        menu("mnu_anag_tabelle", "&Tabelle", "mnu_anagrafica"),
        entry("TabAttivita", "Attività", "mnu_anag_tabelle"),
        entry("TabTipoCli", "Tipo Clienti", "mnu_anag_tabelle"),
        entry("TapTipoForn", "Tipo Fornitori", "mnu_anag_tabelle"),
        entry("TabDocId", "Tipo Documenti Identità", "mnu_anag_tabelle"),
        entry("TabCondPag", "Condizioni Pagamento", "mnu_anag_tabelle"),
        entry("TabZona", "Zona", "mnu_anag_tabelle"),
        entry("TabProv", "Provincie", "mnu_anag_tabelle"),
        entry("TabNazioni", "Nazioni", "mnu_anag_tabelle"),
        entry("TabUbicazione", "Ubicazione", "mnu_anag_tabelle"),
        entry("TabCap", "C.A.P.", "mnu_anag_tabelle"),
        menu("mnu_anag_stampa", "&Stampa", "mnu_anagrafica"),
        entry("St_TabAttivita", "Attività", "mnu_anag_stampa"),
        entry("St_TabTipoCli", "Tipo Clienti", "mnu_anag_stampa"),
        entry("St_TapTipoForn", "Tipo Fornitori", "mnu_anag_stampa"),
        entry("St_TabDocId", "Tipo Documenti Identità", "mnu_anag_stampa"),
        entry("St_TabCondPag", "Condizioni Pagamento", "mnu_anag_stampa"),
        entry("St_TabZona", "Zona", "mnu_anag_stampa"),
        entry("St_TabProv", "Provincie", "mnu_anag_stampa"),
        entry("St_TabNazioni", "Nazioni", "mnu_anag_stampa"),
        entry("St_TabUbicazione", "Ubicazione", "mnu_anag_stampa"),
        entry("St_TabCap", "C.A.P.", "mnu_anag_stampa"),
        entry("mnuAgenda", "A&ppuntamenti", "mnu_anagrafica"),
        menu("mnu_azienda", "A&zienda", "mnu_anagrafica"),
        entry("codi_azienda", "&Codifica", "mnu_azienda"),
        entry("list_azienda", "&Lista Modifica", "mnu_azienda"),
        entry("SceltaAzienda", "&Scelta Azienda", "mnu_azienda"),
        separator("mnu_anagrafica"),
        entry("esci", "Fine &programma", "mnu_anagrafica"),

        // Magazzino
        menu("mnu_magazzino", "&Magazzino"),
        menu("mnu_articoli", "&Articoli", "mnu_magazzino"),
        entry("codi_articoli", "&Codifica", "mnu_articoli"),
        entry("modi_articoli", "&Lista/Modifica", "mnu_articoli"),
        entry("mnu_listarticoli", "Liste Articoli", "mnu_magazzino"),
        entry("mnuSitMaga", "Situazione magazzino", "mnu_magazzino"),
        separator("mnu_magazzino"),
        entry("mnu_ricalesist", "Ricalcolo esistenza", "mnu_magazzino"),
        entry("mnuCompNegativ", "Compensazione esistenze negative", "mnu_magazzino"),
        entry("mnuFvMag", "Sistemazione Movmag da fatture", "mnu_magazzino"),
        entry("mnuRicUltCosto", "Ricalcolo ultimo costo d'acquisto", "mnu_magazzino"),
        entry("mnuRicPrezMed", "Ricalcolo prezzi medi d'acquisto", "mnu_magazzino"),
        separator("mnu_magazzino"),
        entry("m223Esenzione", "Esenzione", "mnu_magazzino"),
        menu("mnu_scontifor", "Sconti Fornitori", "mnu_magazzino"),
        entry("mnuScForCod", "&Codifica", "mnu_scontifor"),
        entry("mnuScForMod", "&Lista/Modifica", "mnu_scontifor"),
        menu("mnu_scontocli", "Sconti Clienti", "mnu_magazzino"),
        entry("MnuScCliCod", "&Codifica", "mnu_scontocli"),
        entry("MnuScCliMod", "&Lista/Modifica", "mnu_scontocli"),
        menu("mnu_listiniacq", "Listini Acquisto", "mnu_magazzino"),
        entry("mnu_listAcqMod", "Listini Fornitori", "mnu_listiniacq"),
        entry("mnu_genListAcq", "Genera listino", "mnu_listiniacq"),
        entry("mnu_listacqbase", "Prezzi da Scheda Articolo", "mnu_listiniacq"),
        menu("mnu_listiniven", "Listini Vendita", "mnu_magazzino"),
        entry("mnu_listVenMod", "Listini Clienti", "mnu_listiniven"),
        entry("mnu_listVenGen", "Genera listino", "mnu_listiniven"),
        entry("mnu_listvenbase", "Prezzi da Scheda Articolo", "mnu_listiniven"),
        menu("mnu_ddtcarico", "D.d.T. di carico", "mnu_magazzino"),
        entry("mnuDDTcaricoIn", "&Codifica", "mnu_ddtcarico"),
        entry("mnuDDTcaricoAg", "&Lista/Modifica", "mnu_ddtcarico"),
        menu("mnu_movimag", "Movimenti", "mnu_magazzino"),
        entry("codi_movimenti", "&Codifica", "mnu_movimag"),
        entry("modi_movimenti", "&Lista/Modifica", "mnu_movimag"),
        menu("mnu_commesse", "Commesse", "mnu_magazzino"),
        entry("commcodif", "&Codifica", "mnu_commesse"),
        entry("commModif", "&Lista/Modifica", "mnu_commesse"),
        menu("mnu_maga_tabelle", "&Tabelle", "mnu_magazzino"),
        entry("TabMarche", "Marche", "mnu_maga_tabelle"),
        entry("TabTipoArt", "Tipo Articoli", "mnu_maga_tabelle"),
        entry("TabMagazzini", "Magazzini", "mnu_maga_tabelle"),
        entry("TabUntMis", "Unità di misura", "mnu_maga_tabelle"),
        entry("TabMerce", "Gruppo Merceologico", "mnu_maga_tabelle"),
        entry("TabCStatis", "Gruppo Statistico", "mnu_maga_tabelle"),
        entry("TabCausMaga", "Causali Magazzino", "mnu_maga_tabelle"),
        entry("mnutabprovvmarca", "Provvigioni per marca", "mnu_maga_tabelle"),
        menu("mnu_maga_stampa", "&Stampa", "mnu_magazzino"),
        entry("St_TabMarche", "Marche", "mnu_maga_stampa"),
        entry("St_TabMagazzini", "Magazzini", "mnu_maga_stampa"),
        entry("St_TabUntMis", "Unità di misura", "mnu_maga_stampa"),
        entry("St_TabMerce", "Gruppo Merceologico", "mnu_maga_stampa"),
        entry("St_TabCStatis", "Gruppo Statistico", "mnu_maga_stampa"),
        entry("St_TabCausMaga", "Causali Magazzino", "mnu_maga_stampa"),

        // The installation's own extra menu, captioned by MENUDESC.
        menu("mnuGenerico", "Partite"),
        entry("mnuGenCodif", "&Codifica", "mnuGenerico"),
        entry("mnuGenModif", "&Lista/Modifica", "mnuGenerico"),

        // Documenti
        menu("mnu_documenti", "&Documenti"),
        menu("mnu_ordini", "Ordini da Cliente", "mnu_documenti"),
        entry("mnuOffIn", "&Codifica", "mnu_ordini"),
        entry("mnuOffAgg", "&Lista/Modifica", "mnu_ordini"),
        menu("mnu_ddt", "Documenti di Trasporto", "mnu_documenti"),
        entry("codi_bolle", "&Emissione", "mnu_ddt"),
        entry("modi_bolle", "&Modifica/Stampa", "mnu_ddt"),
        menu("mnu_ricfisc", "Ricevute fiscali", "mnu_documenti"),
        entry("mnuricfiscemis", "&Emissione", "mnu_ricfisc"),
        entry("mnuricfiscmodi", "&Lista/Modifica", "mnu_ricfisc"),
        menu("mnu_fvendita", "Fatture Vendita", "mnu_documenti", P::NotType3),
        entry("mnu_FVencod", "&Emissione", "mnu_fvendita"),
        entry("mnu_FVenModi", "&Modifica/Stampa", "mnu_fvendita"),
        entry("mnu_ddt_genfven", "&Generazione automatica", "mnu_fvendita", P::InvoiceGeneration),
        entry("mnufattcli", "Fatturato Clienti", "mnu_documenti"),
        entry("mnustatvend", "Statistiche Venduto", "mnu_documenti"),
        menu("mnu_simulaFvend", "Simulazione Fattura di Vendita", "mnu_documenti",
             P::NotType3 | P::InvoiceGeneration),
        entry("mnu_sim_genfvend", "&Generazione automatica", "mnu_simulaFvend"),
        entry("mnu_sim_modifFvend", "&Modifica/Stampa", "mnu_simulaFvend"),
        menu("mnu_proposte", "Proposte di fattura", "mnu_documenti"),
        entry("mnu_propFvendCodi", "&Emissione", "mnu_proposte"),
        entry("mnu_PropFvendModi", "&Modifica/Stampa", "mnu_proposte"),
        entry("mnu_PropFvendInc", "&Incassi", "mnu_proposte"),
        menu("mnu_facq", "Fatture d'Acquisto", "mnu_documenti", P::NotType3),
        entry("mnu_facq_codi", "&Codifica", "mnu_facq"),
        entry("mnu_facq_modi", "&Lista/Modifica", "mnu_facq"),
        entry("mnufattfor", "&Fatturato Fornitori", "mnu_facq"),
        menu("mnu_preventivi", "Preventivi veloci", "mnu_documenti"),
        entry("prevCodif", "&Codifica", "mnu_preventivi"),
        entry("prevModif", "&Lista/Modifica", "mnu_preventivi"),
        menu("mnu_doc_tabelle", "&Tabelle", "mnu_documenti"),
        entry("TabIva", "Aliquote Iva", "mnu_doc_tabelle"),
        entry("mnu_TipoDDT", "Tipo Documenti Trasporto", "mnu_doc_tabelle"),
        entry("TabTipoDoc", "Tipo Documenti", "mnu_doc_tabelle"),
        entry("TabCausTrasp", "Causali Trasporto", "mnu_doc_tabelle"),
        entry("TabAspetto", "Aspetto dei beni", "mnu_doc_tabelle"),
        entry("mnuModelli", "Modelli", "mnu_doc_tabelle"),
        menu("mnu_doc_stampa", "&Stampa", "mnu_documenti"),
        entry("StTabIva", "Aliquote Iva", "mnu_doc_stampa"),
        entry("Stmnu_TipoDDT", "Tipo Documenti Trasporto", "mnu_doc_stampa"),
        entry("StTabTipoDoc", "Tipo Documenti", "mnu_doc_stampa"),
        entry("StTabCausTrasp", "Causali Trasporto", "mnu_doc_stampa"),
        entry("StTabAspetto", "Aspetto dei beni", "mnu_doc_stampa"),
        entry("mnuricprov", "Ricalcolo provvigioni", "mnu_documenti"),

        // Contabilità
        menu("mnu_contabilita", "&Contabilità", "", P::NotType3),
        menu("mnu_scadenze", "Scadenze", "mnu_contabilita"),
        entry("mnu_scadPag", "&Pagamenti", "mnu_scadenze"),
        entry("mnu_scadInca", "&Incassi", "mnu_scadenze"),
        entry("mnuScadCliFor", "&Clienti/Fornitori", "mnu_scadenze"),
        entry("mnuEffetti", "&Effetti all'incasso", "mnu_scadenze"),
        menu("mnu_contoaconto", "Conto a Conto", "mnu_contabilita"),
        entry("mnuConaConINS", "&Codifica", "mnu_contoaconto"),
        entry("mnuConaConMOD", "&Lista/Modifica", "mnu_contoaconto"),
        menu("mnu_corrispettivi", "Corrispettivi", "mnu_contabilita"),
        entry("regi_corrispettivi", "&Registrazione", "mnu_corrispettivi"),
        entry("modi_corrispettivi", "&Lista/Modifica", "mnu_corrispettivi"),
        entry("mnu_movimenti", "Movimenti", "mnu_contabilita"),
        entry("mnu_giornale", "Gestione Conti", "mnu_contabilita"),
        entry("mnu_conti", "Riepilogo Conti", "mnu_contabilita"),
        entry("bilancio_verifica", "Bilancio di Verifica", "mnu_contabilita"),
        entry("stampa_giornale", "Stampa Giornale", "mnu_contabilita"),
        entry("MNU_IVA", "Gestione IVA", "mnu_contabilita"),
        entry("mnuDichiarIva", "Liquidazione periodica IVA", "mnu_contabilita"),
        menu("mnu_cont_tabelle", "&Tabelle", "mnu_contabilita"),
        entry("TabRegIva", "Registri Iva", "mnu_cont_tabelle"),
        entry("TabGruppi", "Gruppo Conti", "mnu_cont_tabelle"),
        entry("TabSottogruppi", "Sottogruppo Conti", "mnu_cont_tabelle"),
        entry("TabTipoCaus", "Tipo Causali", "mnu_cont_tabelle"),
        entry("TabCCos", "Centri di Costo", "mnu_cont_tabelle"),
        entry("TabCausContabilita", "Causali di Contabilità", "mnu_cont_tabelle"),
        menu("mnu_cont_stampa", "&Stampa", "mnu_contabilita"),
        entry("St_TabRegIva", "Registri Iva", "mnu_cont_stampa"),
        entry("St_TabGruppi", "Gruppo Conti", "mnu_cont_stampa"),
        entry("St_TabSottogruppi", "Sottogruppo Conti", "mnu_cont_stampa"),
        entry("St_TabTipoCaus", "Tipo Causali", "mnu_cont_stampa"),
        entry("St_TabCCos", "Centri di Costo", "mnu_cont_stampa"),
        entry("St_TabCausContabilita", "Causali di Contabilità", "mnu_cont_stampa"),
        menu("mnu_pianoconti", "Piano dei Conti", "mnu_contabilita"),
        entry("gest_piano_conti", "&Gestione", "mnu_pianoconti"),
        entry("stampa_pianoc", "&Stampa", "mnu_pianoconti"),
        menu("mnu_banche", "Banche", "mnu_contabilita"),
        entry("TabBanPag", "Banche &Pagamento", "mnu_banche"),
        entry("TabBanApp", "Banche &Appoggio", "mnu_banche"),
        menu("mnu_banche_tabelle", "&Tabelle", "mnu_banche"),
        entry("TabAbi", "Istituti bancari (A.B.I.)", "mnu_banche_tabelle"),
        entry("TabCab", "Filiali bancarie (C.A.B.)", "mnu_banche_tabelle"),
        menu("mnu_banche_stampa", "&Stampa", "mnu_banche"),
        entry("St_TabCab", "Filiali bancarie (C.A.B.)", "mnu_banche_stampa"),

        // Utilità
        menu("mnu_utilita", "&Utilità"),
        menu("mnu_toolbar", "&Toolbar", "mnu_utilita"),
        entry("mnu_vis_tool", "&Nascondi", "mnu_toolbar"),
        menu("mnu_utenti", "U&tenti", "mnu_utilita"),
        entry("mnuGesUtenti", "&Gestione utenti", "mnu_utenti", P::AdminOnly),
        entry("mnuCamPwd", "&Cambia password", "mnu_utenti"),
        menu("mnu_edit", "&Edit", "mnu_utilita"),
        entry("popTaglia", "&Taglia", "mnu_edit"),
        entry("popCopia", "&Copia", "mnu_edit"),
        entry("popIncolla", "&Incolla", "mnu_edit"),
        entry("modi_dati_base", "&Modifica dati Base", "mnu_utilita"),
        entry("mnu_chiuriaprmag", "Chiusura/Riapertura magazzino", "mnu_utilita", P::AdminOnly),
        entry("chius_esercizio", "Chiusura esercizio - Apertura nuovo esercizio", "mnu_utilita", P::AdminOnly),
        entry("salvataggi", "&Salvataggio", "mnu_utilita"),
        entry("verifica_archivi", "&Verifica archivi", "mnu_utilita"),
        entry("gest_data_ora", "Gestione &data o ora", "mnu_utilita"),

        // The two menus of the frame itself.
        menu("mnu_finestre", "&Finestre"),
        entry("mnusalta1", "&Scheda successiva", "mnu_finestre"),
        menu("mnu_aiuto", "A&iuto"),
        entry("mnu_informaz", "&Informazioni su %1...", "mnu_aiuto"),
    };
}

} // namespace

const QList<MenuRow> &menuRows()
{
    static const QList<MenuRow> rows = build();
    return rows;
}

QStringList hiddenEntries(const QList<MenuRow> &rows, int userType, bool generateInvoices)
{
    QStringList hidden;
    for (const MenuRow &row : rows) {
        const bool belowAdmin = (row.profile & MenuRow::AdminOnly) && (userType == 0 || userType == 1 || userType == 3);
        const bool type3 = (row.profile & MenuRow::NotType3) && userType == 3;
        const bool generation = (row.profile & MenuRow::InvoiceGeneration) && !generateInvoices;
        if (belowAdmin || type3 || generation)
            hidden << row.name;
    }
    return hidden;
}

} // namespace Orlavo::Shell
