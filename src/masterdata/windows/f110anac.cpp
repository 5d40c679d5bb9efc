#include "masterdata/windows/f110anac.h"

#include "masterdata/masterdata.h"
#include "masterdata/stores/partyprints.h"
#include "masterdata/windows/anamecli.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/frmrpt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

namespace {

constexpr char kInsertTitle[] = "Inserimento cliente";
constexpr char kModifyTitle[] = "Modifica cliente";
constexpr char kF110anacContactPrefix[] = "CONT_";

// The contact's own phones and fax share their names with the main ones.
QString contactField(const QString &column)
{
    static const QStringList shared = {QStringLiteral("TELEFONO1"), QStringLiteral("TELEFONO2"), QStringLiteral("FAX")};
    return shared.contains(column) ? QString::fromLatin1(kF110anacContactPrefix) + column : column;
}

const QStringList &weekdays()
{
    static const QStringList days = {QStringLiteral("LUNEDI'"),    QStringLiteral("MARTEDI'"),
                                     QStringLiteral("MERCOLEDI'"), QStringLiteral("GIOVEDI'"),
                                     QStringLiteral("VENERDI'"),   QStringLiteral("SABATO"),
                                     QStringLiteral("DOMENICA")};
    return days;
}

} // namespace

F110Anac::F110Anac(Ui::AppContext &context, Mode mode, int code, QWidget *parent)
    : PartyWindow(context, mode, customerParty(), parent)
{
    setObjectName(QStringLiteral("f110anac"));
    setWindowTitle(QString::fromLatin1(mode == Mode::Insert ? kInsertTitle : kModifyTitle));
    setWords({QStringLiteral("Anagrafica clienti"), QStringLiteral("Modifica anacli"), QStringLiteral("cliente"),
              QStringLiteral("Impossibile eliminare Cliente,"), QStringLiteral("Confermi eliminazione Cliente?"),
              QStringLiteral("Codice secondario già presente in archivio !")});
    setPartPrefix(Contact, QString::fromLatin1(kF110anacContactPrefix));
    build();
    fillCombos();
    attachLookups();
    start(code);
}

void F110Anac::build()
{
    auto *layout = new QVBoxLayout(this);
    auto *head = new QGridLayout;
    buildHeader(head);
    layout->addLayout(head);
    layout->addWidget(m_tabs, 1);

    mainPage(QStringLiteral("Tipo cliente"), addCombo(QStringLiteral("TIPO_CLIENTE")));
    // Commercial terms.
    {
        QWidget *tab = page(QStringLiteral("C&ommerciale"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Condizione pagamento"), addCoded(QStringLiteral("COND_PAG"), 3), 3);
        put(grid, 1, 0, QStringLiteral("Banca d'appoggio"), addCoded(QStringLiteral("BANCA_APP"), 5), 3);
        put(grid, 2, 0, QStringLiteral("Banca di pagamento"), addCoded(QStringLiteral("BANCA_PAG"), 5), 3);
        put(grid, 3, 0, QStringLiteral("Conto corrente"), addLine(QStringLiteral("NRO_CONTO"), 20), 3);
        put(grid, 4, 0, QStringLiteral("Agente"), addCoded(QStringLiteral("AGENTE"), 5), 3);
        put(grid, 5, 0, QStringLiteral("Zona"), addCoded(QStringLiteral("ZONA"), 4), 3);
        put(grid, 6, 0, QStringLiteral("Codice attività"), addCoded(QStringLiteral("COD_ATTIVITA"), 6), 3);
        put(grid, 7, 0, QStringLiteral("Gruppo merceologico"), addCoded(QStringLiteral("COD_MERCE"), 6), 3);
        auto *discounts = new QHBoxLayout;
        for (const char *name : {"SCONTO1", "SCONTO2", "SCONTO3"}) {
            QWidget *field = addLine(QString::fromLatin1(name), 6, QStringLiteral("N"));
            field->setMaximumWidth(80);
            discounts->addWidget(field);
        }
        discounts->addStretch();
        grid->addWidget(new QLabel(QStringLiteral("Sconti %")), 8, 0);
        grid->addLayout(discounts, 8, 1, 1, 3);
        grid->addWidget(addCheck(QStringLiteral("SCFATT"), QStringLiteral("Applica gli sconti in fattura")), 9, 1, 1,
                        3);
        grid->addWidget(addCheck(QStringLiteral("TIPOLISTINO"), QStringLiteral("Listino personalizzato")), 10, 1, 1, 3);
        grid->addWidget(
            addCheck(QStringLiteral("SUDDIVCANTIERE"), QStringLiteral("Fatturazione suddivisa per luogo di consegna")),
            11, 1, 1, 3);
        put(grid, 12, 0, QStringLiteral("Note"), addLine(QStringLiteral("NOTE1"), 250), 3);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(13, 1);
    }
    // Accounting.
    {
        QWidget *tab = page(QStringLiteral("Co&ntabilità"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Conto cliente"), addCoded(QStringLiteral("CONTO_PATRIM"), 6));
        put(grid, 1, 0, QStringLiteral("Conto ricavo"), addCoded(QStringLiteral("CONTO_RICAVO"), 6));
        put(grid, 2, 0, QStringLiteral("Codice IVA"), addCoded(QStringLiteral("CODICE_IVA"), 4));
        put(grid, 3, 0, QStringLiteral("Registro IVA"), addCoded(QStringLiteral("REGISTRO_IVA"), 2));
        grid->addWidget(addCheck(QStringLiteral("ELENCO_CLIENTI"), QStringLiteral("Compreso nell'elenco clienti")), 4,
                        1);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(5, 1);
    }
    // Contact and visits.
    {
        QWidget *tab = page(QStringLiteral("Con&tatti"));
        auto *grid = new QGridLayout(tab);
        const auto line = [this](const char *column, int length, const QString &kind = {}) {
            return addLine(contactField(QString::fromLatin1(column)), length, kind);
        };
        put(grid, 0, 0, QStringLiteral("Responsabile"), line("RESPONSABILE", 60), 3);
        put(grid, 1, 0, QStringLiteral("Recapito"), line("DESCRIZIONE1", 60), 3);
        put(grid, 2, 0, QStringLiteral("Luogo scarico merce"), line("DESCRIZIONE2", 60), 3);
        put(grid, 3, 0, QStringLiteral("Telefono"), line("TELEFONO1", 20));
        put(grid, 3, 2, QStringLiteral("Telefono 2"), line("TELEFONO2", 20));
        put(grid, 4, 0, QStringLiteral("Fax"), line("FAX", 20));
        put(grid, 4, 2, QStringLiteral("Orario magazzino"), line("ORA_MAG", 30));
        put(grid, 5, 0, QStringLiteral("Giorno di chiusura"), addCombo(QStringLiteral("GIORNO_CHIU")));
        put(grid, 5, 2, QStringLiteral("Giorno di visita"), addCombo(QStringLiteral("GIORNO_VISITA")));
        put(grid, 6, 0, QStringLiteral("Ultima visita"), line("ULT_VISITA", 10, QStringLiteral("D")));
        put(grid, 6, 2, QStringLiteral("Prossima visita"), line("PROS_VISITA", 10, QStringLiteral("D")));
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(7, 1);
    }
    // A private person's data.
    {
        QWidget *tab = page(QStringLiteral("Dati &personali"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Sesso"), addSexCombo());
        put(grid, 0, 2, QStringLiteral("Data di nascita"),
            addLine(QStringLiteral("DATA_NASC"), 10, QStringLiteral("D")));
        put(grid, 1, 0, QStringLiteral("Luogo di nascita"), addLine(QStringLiteral("CITTA_NASC"), 40));
        put(grid, 1, 2, QStringLiteral("Prov."), addCoded(QStringLiteral("PROV_NASC"), 2));
        put(grid, 2, 0, QStringLiteral("Documento"), addCombo(QStringLiteral("TIPO_DOC")));
        put(grid, 2, 2, QStringLiteral("Numero"), addLine(QStringLiteral("NRO_DOC"), 20));
        put(grid, 3, 0, QStringLiteral("Rilasciato da"), addLine(QStringLiteral("ENTE_RIL"), 40), 3);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(4, 1);
    }

    auto *print = new QPushButton(QStringLiteral("&Stampa"), this);
    print->setObjectName(QStringLiteral("B_Stampa"));
    auto *envelope = new QPushButton(QStringLiteral("&Busta"), this);
    envelope->setObjectName(QStringLiteral("B_Busta"));
    auto *places = new QPushButton(QStringLiteral("&Luoghi consegna"), this);
    places->setObjectName(QStringLiteral("B_Luoghi"));
    // A customer not stored yet has nothing to print.
    print->setEnabled(mode() == Mode::Modify);
    envelope->setEnabled(mode() == Mode::Modify);
    connect(print, &QPushButton::clicked, this, [this] { printCard(true); });
    connect(envelope, &QPushButton::clicked, this, [this] { printEnvelope(); });
    connect(places, &QPushButton::clicked, this, [this] { openDeliveryPlaces(); });
    layout->addLayout(buttons({print, envelope, places}));
}

void F110Anac::fillCombos()
{
    fillFromTable(QStringLiteral("TIPO_CLIENTE"), Tables::TAB_TIPO_CLI, QStringLiteral("CODICE"));
    fillFromTable(QStringLiteral("TIPO_DOC"), Tables::TAB_DOC_ID, QStringLiteral("CODICE"));
    QList<std::pair<QString, QString>> days;
    for (const QString &day : weekdays())
        days.append({day, day});
    fillFromList(QStringLiteral("GIORNO_CHIU"), days);
    fillFromList(QStringLiteral("GIORNO_VISITA"), days);
}

Services::Record F110Anac::newRecord()
{
    return newCustomer(m_context.db);
}

QList<Services::FieldProblem> F110Anac::problems(const Services::Record &typed, const QString &only)
{
    return checkCustomer(m_context.db, typed, keptTaxCode(), only);
}

Reporting::PrintCommand F110Anac::cardPrint(int code)
{
    return customerCardPrint(code);
}

bool F110Anac::printEnvelope()
{
    if (mode() != Mode::Modify || !loaded())
        return false;
    auto command = customerEnvelopePrint(m_context.db, code());
    if (!command)
        return false;
    command->output = Reporting::ReportOutput::Preview;
    return Ui::printReport(m_context, *command, this);
}

void F110Anac::openDeliveryPlaces()
{
    if (mode() == Mode::Insert) {
        m_context.prompter.info(QString::fromUtf8(kPlacesAfterInsert), windowTitle());
        return;
    }
    if (!loaded())
        return;
    AnaMeCli places(m_context, code(), this);
    places.exec();
}

} // namespace Orlavo::Masterdata
