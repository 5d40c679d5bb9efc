#include "masterdata/masterdata.h"

#include "masterdata/rules/codetables.h"
#include "masterdata/rules/tableforms.h"
#include "masterdata/windows/anaric.h"
#include "masterdata/windows/anaricfo.h"
#include "masterdata/windows/artielri.h"
#include "masterdata/windows/artirice.h"
#include "masterdata/windows/codedlookups.h"
#include "masterdata/windows/f210arti.h"
#include "masterdata/windows/f110anac.h"
#include "masterdata/windows/frmconpag.h"
#include "masterdata/windows/frmgetab.h"
#include "masterdata/windows/frmperiva.h"
#include "masterdata/windows/frmpiaco.h"
#include "masterdata/windows/pricelistmenu.h"
#include "masterdata/windows/supplierwindow.h"
#include "masterdata/windows/tablewindow.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"
#include "ui/waitcursor.h"
#include "ui/windowregistry.h"

#include <QApplication>

namespace Orlavo::Masterdata {

namespace {

// A menu entry of a table: the entry that opens it, the entry of its print
// list (empty when it has none) and what it is.
struct TableEntry {
    const char *entry;
    const char *printEntry;
    const char *codeTable; // kept by the code-table window
    const char *form;      // a table window of its own
};

constexpr TableEntry kTableEntries[] = {
    {"TabAttivita", "St_TabAttivita", "TAB_ATTIVITA", nullptr},
    {"TabTipoCli", "St_TabTipoCli", "TAB_TIPO_CLI", nullptr},
    {"TapTipoForn", "St_TapTipoForn", nullptr, "frmTipFo"},
    {"TabDocId", "St_TabDocId", "TAB_DOC_ID", nullptr},
    {"TabZona", "St_TabZona", "TAB_ZONA", nullptr},
    {"TabProv", "St_TabProv", "TAB_PROV", nullptr},
    {"TabNazioni", "St_TabNazioni", nullptr, "frmPaesi"},
    {"TabUbicazione", "St_TabUbicazione", "TAB_UBICAZIONE", nullptr},
    {"TabCap", "St_TabCap", nullptr, "frmCap"},
    {"TabMarche", "St_TabMarche", "TAB_MARCHE", nullptr},
    {"TabTipoArt", "", "TAB_TIPO_ART", nullptr},
    {"TabMagazzini", "St_TabMagazzini", "TAB_MAGAZZINI", nullptr},
    {"TabUntMis", "St_TabUntMis", "TAB_UNTMIS", nullptr},
    {"TabMerce", "St_TabMerce", "TAB_MERCE", nullptr},
    {"TabCStatis", "St_TabCStatis", "TAB_C_STATIS", nullptr},
    {"mnutabprovvmarca", "", nullptr, "frmMarca"},
    {"TabTipoDoc", "StTabTipoDoc", "TAB_TIPO_DOC", nullptr},
    {"TabCausTrasp", "StTabCausTrasp", "TAB_TRASP", nullptr},
    {"TabAspetto", "StTabAspetto", "TAB_ASPET_EST", nullptr},
    {"TabRegIva", "St_TabRegIva", "TAB_REGISTRI", nullptr},
    {"TabGruppi", "St_TabGruppi", "TAB_GRUPP", nullptr},
    {"TabSottogruppi", "St_TabSottogruppi", "TAB_SOGRUP", nullptr},
    {"TabTipoCaus", "St_TabTipoCaus", "TAB_TIPO_CAUS", nullptr},
    {"TabCCos", "St_TabCCos", "TAB_CCOS", nullptr},
    {"TabBanPag", "", nullptr, "frmBanPag"},
    {"TabBanApp", "", nullptr, "frmBanApp"},
    {"TabAbi", "", "TAB_ABI", nullptr},
    {"TabCab", "St_TabCab", nullptr, "frmCab"},
};

// A list shown modally over the main window: the rows and, in print form,
// the buttons that print its report.
void showList(Ui::WindowHost &host, Ui::AppContext &context, const Ui::LookupRequest &request)
{
    Ui::LookupList list(context, request, host.hostWidget());
    if (list.load())
        list.exec();
}

// "Condizioni Pagamento": its print list works before its window exists.
Ui::LookupRequest paymentTermsList()
{
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_COND_PAG;
    request.title = QStringLiteral("Lista CONDIZIONI PAGAMENTO");
    request.mode = Ui::LookupMode::Print;
    request.reportKey = QStringLiteral("TABCONDP");
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("Codice")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("Descrizione")}};
    return request;
}

// One window per customer; a new one is "Inserimento cliente".
void openCustomer(Ui::WindowHost &host, Ui::AppContext &context, int code)
{
    const QString name = code ? QStringLiteral("F110ANAC_%1").arg(code) : QStringLiteral("F110ANAC");
    if (host.registerOpenWindow(name))
        return;
    const Ui::WaitCursor wait;
    auto *window = new F110Anac(context, code ? F110Anac::Mode::Modify : F110Anac::Mode::Insert, code);
    if (!window->loaded()) {
        context.prompter.error(QStringLiteral("Il cliente non esiste in archivio "), QStringLiteral("Errore ...... "));
        delete window;
        host.unregisterOpenWindow(name);
        return;
    }
    host.showTaskWindow(window, name, code ? QStringLiteral("ANACLIAGG") : QStringLiteral("ANACLIINS"));
}

void openCustomerSearch(Ui::WindowHost &host, Ui::AppContext &context)
{
    host.openSingle(QStringLiteral("ANARIC"), [&host, &context] {
        auto *search = new AnaRic(context);
        search->setOnChosen([&host, &context](int code) { openCustomer(host, context, code); });
        return search;
    });
}

// One window per supplier or agent; a new one is "Codifica anagrafica ...".
// The tag names the flavour and the mode.
void openSupplier(Ui::WindowHost &host, Ui::AppContext &context, SupplierFlavour flavour, int code)
{
    const bool agents = flavour == SupplierFlavour::Agents;
    const QString name = code ? QStringLiteral("ANAAGFOR_%1").arg(code)
                              : (agents ? QStringLiteral("ANAINFOR_AGENTI") : QStringLiteral("ANAINFOR"));
    if (host.registerOpenWindow(name))
        return;
    const Ui::WaitCursor wait;
    auto *window =
        new SupplierWindow(context, code ? PartyWindow::Mode::Modify : PartyWindow::Mode::Insert, flavour, code);
    if (!window->loaded()) {
        context.prompter.error(QStringLiteral("Il fornitore non esiste in archivio "),
                               QStringLiteral("Errore ...... "));
        delete window;
        host.unregisterOpenWindow(name);
        return;
    }
    const QString tag = QStringLiteral("ANA%1%2").arg(agents ? QStringLiteral("AGE") : QStringLiteral("FOR"),
                                                      code ? QStringLiteral("MOD") : QStringLiteral("COD"));
    host.showTaskWindow(window, name, tag);
}

// One window per item; a new one is "Inserimento articolo".
void openItem(Ui::WindowHost &host, Ui::AppContext &context, const ItemKey &key)
{
    const bool stored = !key.code.isEmpty();
    const QString name = stored ? QStringLiteral("F210ARTI_%1_%2_%3").arg(key.warehouse, key.brand, key.code)
                                : QStringLiteral("F210ARTI");
    if (host.registerOpenWindow(name))
        return;
    const Ui::WaitCursor wait;
    auto *window = new F210Arti(context, stored ? F210Arti::Mode::Modify : F210Arti::Mode::Insert, key);
    if (!window->loaded()) {
        context.prompter.error(QStringLiteral("L'articolo non esiste in archivio "), QStringLiteral("Errore ...... "));
        delete window;
        host.unregisterOpenWindow(name);
        return;
    }
    host.showTaskWindow(window, name, stored ? QStringLiteral("ARTICAGG") : QStringLiteral("ARTICINS"));
}

// The search of its flavour; a row opens the supplier window in the same one.
void openSupplierSearch(Ui::WindowHost &host, Ui::AppContext &context, SupplierFlavour flavour)
{
    const QString name =
        flavour == SupplierFlavour::Agents ? QStringLiteral("ANARICFO_AGENTI") : QStringLiteral("ANARICFO");
    host.openSingle(name, [&host, &context, flavour] {
        auto *search = new AnaRicFo(context, flavour);
        search->setOnChosen([&host, &context, flavour](int code) { openSupplier(host, context, flavour, code); });
        return search;
    });
}

void registerTable(Ui::WindowRegistry &registry, Ui::AppContext &context, const TableEntry &entry)
{
    const QString printEntry = QString::fromLatin1(entry.printEntry);
    if (entry.codeTable) {
        const CodeTable *table = findCodeTable(QString::fromLatin1(entry.codeTable));
        if (!table)
            return;
        registry.add(QString::fromLatin1(entry.entry), [&context, table](Ui::WindowHost &host) {
            host.openSingle(QStringLiteral("FRMGETAB_") + table->table.section(QLatin1Char('.'), -1),
                            [&context, table] { return new FrmGetab(context, *table); });
        });
        if (!printEntry.isEmpty() && !table->reportKey.isEmpty())
            registry.add(printEntry, [&context, table](Ui::WindowHost &host) {
                showList(host, context, codeTableList(*table, Ui::LookupMode::Print));
            });
        return;
    }
    const TableForm *form = findTableForm(QString::fromLatin1(entry.form));
    if (!form)
        return;
    registry.add(QString::fromLatin1(entry.entry), [&context, form](Ui::WindowHost &host) {
        host.openSingle(form->name.toUpper(), [&context, form] { return new TableWindow(context, *form); });
    });
    if (!printEntry.isEmpty())
        registry.add(printEntry,
                     [&context, form](Ui::WindowHost &host) { showList(host, context, tableFormList(*form)); });
}

} // namespace

void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    registerPriceListWindows(registry, context);
    registry.add(QStringLiteral("codi_clienti"), [&context](Ui::WindowHost &host) { openCustomer(host, context, 0); });
    registry.add(QStringLiteral("list_clienti"),
                 [&context](Ui::WindowHost &host) { openCustomerSearch(host, context); });
    registry.add(QStringLiteral("codi_fornitore"),
                 [&context](Ui::WindowHost &host) { openSupplier(host, context, SupplierFlavour::Suppliers, 0); });
    registry.add(QStringLiteral("list_fornitore"),
                 [&context](Ui::WindowHost &host) { openSupplierSearch(host, context, SupplierFlavour::Suppliers); });
    registry.add(QStringLiteral("mnu_AgentiAg"),
                 [&context](Ui::WindowHost &host) { openSupplierSearch(host, context, SupplierFlavour::Agents); });
    registry.add(QStringLiteral("codi_articoli"), [&context](Ui::WindowHost &host) { openItem(host, context, {}); });
    // The item list opens the chosen item in modify.
    registry.add(QStringLiteral("modi_articoli"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("ARTIELRI"), [&host, &context] {
            auto *list = new ArtiELri(context, true);
            list->setOnChosen([&host, &context](const ItemKey &key) { openItem(host, context, key); });
            return list;
        });
    });
    registry.add(QStringLiteral("mnu_listarticoli"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("ARTIRICE"), [&host, &context] {
            auto *search = new ArtiRice(context, StockFlavour::OnHand);
            search->setOnChosen([&host, &context](const ItemKey &key) { openItem(host, context, key); });
            return search;
        });
    });
    // Agents are created from their own entry, in the agent flavour.
    registry.add(QStringLiteral("mnuAgentiIn"),
                 [&context](Ui::WindowHost &host) { openSupplier(host, context, SupplierFlavour::Agents, 0); });
    for (const TableEntry &entry : kTableEntries)
        registerTable(registry, context, entry);
    registry.add(QStringLiteral("St_TabCondPag"),
                 [&context](Ui::WindowHost &host) { showList(host, context, paymentTermsList()); });
    registry.add(QStringLiteral("TabCondPag"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("FRMCONPAG"), [&context] { return new FrmConPag(context); });
    });
    registry.add(QStringLiteral("TabIva"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("FRMPERIVA"), [&context] { return new FrmPerIva(context); });
    });
    registry.add(QStringLiteral("StTabIva"),
                 [&context](Ui::WindowHost &host) { showList(host, context, vatRateList()); });
    registry.add(QStringLiteral("gest_piano_conti"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("FRMPIACO"), [&context] { return new FrmPiaCo(context); });
    });
    registry.add(QStringLiteral("stampa_pianoc"),
                 [&context](Ui::WindowHost &host) { showList(host, context, chartPrintList()); });
}

Ui::LookupRequest customerList()
{
    return codedLookupList(*partyLookup(QStringLiteral("CLIENTE")));
}

QString customerName(Ui::AppContext &context, const QString &code)
{
    return codedDescription(context.db, *partyLookup(QStringLiteral("CLIENTE")), code);
}

Ui::LookupRequest supplierList()
{
    return codedLookupList(*partyLookup(QStringLiteral("FORNITORE")));
}

QString supplierName(Ui::AppContext &context, const QString &code)
{
    return codedDescription(context.db, *partyLookup(QStringLiteral("FORNITORE")), code);
}

void codeNewItem(Ui::WindowHost &host, Ui::AppContext &context, const QString &parameter, std::function<void()> written)
{
    const QString name = QStringLiteral("F210ARTI");
    if (host.registerOpenWindow(name))
        return;
    auto *window = new F210Arti(context, F210Arti::Mode::Insert, {}, parameter);
    if (written)
        window->setOnWritten([written](const ItemKey &) { written(); });
    host.showTaskWindow(window, name, QStringLiteral("ARTICINS"));
}

} // namespace Orlavo::Masterdata
