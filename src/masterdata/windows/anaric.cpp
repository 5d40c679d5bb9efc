#include "masterdata/windows/anaric.h"

#include "masterdata/rules/agentcode.h"
#include "masterdata/stores/customerprints.h"
#include "masterdata/windows/codedlookups.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/frmrpt.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;

namespace {

constexpr char kTitle[] = "Ricerca CLIENTI";
constexpr char kNoPrint[] = "La stampa non può cercare i caratteri * e ? nei testi:\n"
                            "togliere * e ? dalla ragione sociale e dalla località.";

std::optional<int> numberOf(const QLineEdit *field)
{
    const QString text = field->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return text.toInt();
}

} // namespace

AnaRic::AnaRic(Ui::AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("AnaRic"));
    setWindowTitle(QString::fromLatin1(kTitle));
    auto *layout = new QVBoxLayout(this);

    auto *box = new QGroupBox(QStringLiteral("Selezione"), this);
    auto *grid = new QGridLayout(box);
    const auto put = [grid](int row, int col, const QString &caption, QWidget *field, int span = 1) {
        auto *label = new QLabel(caption);
        label->setBuddy(field);
        grid->addWidget(label, row, col);
        grid->addWidget(field, row, col + 1, 1, span);
    };
    put(0, 0, QStringLiteral("Da codice"), addField(QStringLiteral("CODICE_DA"), 5, true));
    put(0, 2, QStringLiteral("A codice"), addField(QStringLiteral("CODICE_A"), 5, true));
    put(1, 0, QStringLiteral("Ragione sociale"), addField(QStringLiteral("RAG_SOC1"), 60), 3);
    put(2, 0, QStringLiteral("Località"), addField(QStringLiteral("CITTA_LEG"), 40), 2);
    m_townPattern = new QCheckBox(QStringLiteral("Contenuta nel nome"), box);
    m_townPattern->setObjectName(QStringLiteral("T_CITTA_PARZIALE"));
    grid->addWidget(m_townPattern, 2, 3);
    put(3, 0, QStringLiteral("Provincia"), addField(QStringLiteral("PROVINCIA_LEG"), 2));
    put(3, 2, QStringLiteral("Tipo cliente"), addField(QStringLiteral("TIPO_CLIENTE"), 2));
    put(4, 0, QStringLiteral("Partita IVA"), addField(QStringLiteral("PART_IVA"), 11));
    put(4, 2, QStringLiteral("Codice fiscale"), addField(QStringLiteral("COD_FISC"), 16));
    put(5, 0, QStringLiteral("Agente"), addField(QStringLiteral("AGENTE"), 5));
    put(5, 2, QStringLiteral("Zona"), addField(QStringLiteral("ZONA"), 4));
    put(6, 0, QStringLiteral("Codice attività"), addField(QStringLiteral("COD_ATTIVITA"), 6));
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(box);

    m_all = new QRadioButton(QStringLiteral("Lista tutti i Clienti"), this);
    m_all->setObjectName(QStringLiteral("O_Tutti"));
    m_all->setChecked(true);
    m_openOrders = new QRadioButton(QStringLiteral("Lista solo i Clienti con Ordini a fronte"), this);
    m_openOrders->setObjectName(QStringLiteral("O_Ordini"));
    // Orders are not kept yet: there is nothing to look for.
    m_openOrders->setEnabled(false);
    m_openOrders->setToolTip(QStringLiteral("Disponibile con la gestione degli ordini"));
    layout->addWidget(m_all);
    layout->addWidget(m_openOrders);

    // An agent sees his own customers: the agent filter is his number.
    const CustomerSearchUser who = user();
    if (!who.agentFlag.trimmed().isEmpty()) {
        QLineEdit *agent = m_fields.value(QStringLiteral("AGENTE"));
        if (const auto number = agentNumber(who.code))
            agent->setText(QString::number(*number));
        agent->setReadOnly(true);
        agent->setObjectName(QStringLiteral("D_AGENTE"));
    }

    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *list = button(QStringLiteral("&Lista"), "B_Lista");
    QPushButton *print = button(QStringLiteral("&Stampa"), "B_Stampa");
    QPushButton *clear = button(QStringLiteral("&Annulla"), "B_Annulla");
    QPushButton *exit = button(QStringLiteral("E&sci"), "B_Esci");
    list->setDefault(true);
    connect(list, &QPushButton::clicked, this, [this] { showList(); });
    connect(print, &QPushButton::clicked, this, [this] { this->print(true); });
    connect(clear, &QPushButton::clicked, this, [this] { clearFilters(); });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {list, print, clear, exit})
        buttons->addWidget(b);
    layout->addLayout(buttons);
}

QLineEdit *AnaRic::addField(const QString &name, int length, bool number)
{
    Ui::InputField *field = nullptr;
    if (const CodedLookup *lookup = partyLookup(name)) {
        // Coded filters (the agent's number too) offer their list on F4.
        auto *code = new Ui::CodeField(length, this);
        const CodedLookup copy = *lookup;
        Ui::attachLookup(code, m_context, [copy] { return codedLookupList(copy); });
        field = code;
    } else if (number) {
        field = new Ui::NumberField(0, true, this);
    } else {
        field = new Ui::TextField(length, this);
    }
    field->setObjectName(QStringLiteral("T_") + name);
    if (length <= 16)
        field->setMaximumWidth(30 + 10 * length);
    m_fields.insert(name, field);
    return field;
}

CustomerSearchUser AnaRic::user() const
{
    return {m_context.state.user, m_context.state.agentFlag};
}

CustomerSearchFilters AnaRic::filters() const
{
    const auto text = [this](const char *name) { return m_fields.value(QString::fromLatin1(name))->text().trimmed(); };
    CustomerSearchFilters f;
    f.codeFrom = numberOf(m_fields.value(QStringLiteral("CODICE_DA")));
    f.codeTo = numberOf(m_fields.value(QStringLiteral("CODICE_A")));
    f.name = text("RAG_SOC1");
    f.town = text("CITTA_LEG");
    f.townPattern = m_townPattern->isChecked();
    f.province = text("PROVINCIA_LEG");
    f.vatNumber = text("PART_IVA");
    f.taxCode = text("COD_FISC");
    f.customerType = text("TIPO_CLIENTE");
    f.agent = numberOf(m_fields.value(QStringLiteral("AGENTE")));
    f.zone = text("ZONA");
    f.activity = text("COD_ATTIVITA");
    f.withOpenOrders = m_openOrders->isChecked();
    return f;
}

std::optional<CustomerSearch> AnaRic::search()
{
    auto built = buildCustomerSearch(filters(), user());
    if (!built) {
        m_context.prompter.error(built.failure().message, windowTitle());
        return std::nullopt;
    }
    return *built;
}

Ui::LookupRequest AnaRic::listRequest(const CustomerSearch &search)
{
    Ui::LookupRequest request;
    request.table = Services::Tables::ANAG_CLI;
    request.title = QStringLiteral("Lista CLIENTI");
    request.columns = customerListColumns();
    request.condition = search.condition;
    request.conditionParams = search.params;
    return request;
}

void AnaRic::showList()
{
    const auto found = search();
    if (!found)
        return;
    const auto chosen = Ui::showLookupList(m_context, listRequest(*found), this);
    if (chosen && !chosen->isEmpty() && m_onChosen)
        m_onChosen(chosen->first().toInt());
}

bool AnaRic::print(bool preview)
{
    const auto found = search();
    if (!found)
        return false;
    if (!found->formula) {
        m_context.prompter.warn(QString::fromUtf8(kNoPrint), windowTitle());
        return false;
    }
    Reporting::PrintCommand command = customerListPrint(*found->formula);
    command.output = preview ? Reporting::ReportOutput::Preview : Reporting::ReportOutput::Printer;
    return Ui::printReport(m_context, command, this);
}

void AnaRic::clearFilters()
{
    for (QLineEdit *field : std::as_const(m_fields)) {
        if (!field->isReadOnly())
            field->clear();
    }
    m_townPattern->setChecked(false);
    m_all->setChecked(true);
}

void AnaRic::TimStampa()
{
    print(false);
}

void AnaRic::TimAnte()
{
    print(true);
}

} // namespace Orlavo::Masterdata
