#include "accounting/windows/journalfilterpanel.h"

#include "accounting/stores/entrylist.h"
#include "masterdata/masterdata.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace Orlavo::Accounting {

namespace Tables = Services::Tables;

namespace {

constexpr char kJournalfilterpanelErrorTitle[] = "ERRORE";

} // namespace

Ui::LookupRequest codedList(CodedList list, const QString &causalType)
{
    struct Listed {
        CodedList list;
        const QString &table;
        const char *title;
        const char *key;
        const char *text;
    };
    const Listed lists[] = {
        {CodedList::Accounts, Tables::TAB_PIANO_CONTI, "Lista CONTI", "CODICE", "DESCRIZIONE"},
        {CodedList::CausalTypes, Tables::TAB_TIPO_CAUS, "Lista TIPO CAUSALI", "CODICE", "DESCRIZIONE"},
        {CodedList::Causals, Tables::TAB_CAU_CONT, "Lista CAUSALI DI CONTABILITA'", "CAUSALE", "DESCRIZIONE"},
        {CodedList::VatCodes, Tables::TAB_PERIVA, "Lista CODICI IVA", "CODICE", "DESCRIZIONE"},
        {CodedList::Banks, Tables::TAB_BAN_PAG, "Lista BANCHE PAGAMENTO", "CODICE", "DESCRIZIONE"},
        {CodedList::Suppliers, Tables::ANAG_FOR, "Lista FORNITORI", "FORNITORE", "RAG_SOC1"},
        {CodedList::CostCentres, Tables::TAB_CCOS, "Lista CENTRI DI COSTO", "CODICE", "DESCRIZIONE"},
    };
    const Listed &l =
        *std::find_if(std::begin(lists), std::end(lists), [list](const Listed &x) { return x.list == list; });
    Ui::LookupRequest request;
    request.table = l.table;
    request.title = QString::fromUtf8(l.title);
    request.columns = {{QString::fromLatin1(l.key), QStringLiteral("06C"), QStringLiteral("Codice")}};
    // The chart shows each account's type too.
    if (list == CodedList::Accounts)
        request.columns.append({QStringLiteral("TIPO_CONTO"), QStringLiteral("04B"), QStringLiteral("Tipo")});
    request.columns.append(
        {QString::fromLatin1(l.text), QStringLiteral("40C"),
         list == CodedList::Suppliers ? QStringLiteral("Ragione sociale") : QStringLiteral("Descrizione")});
    if (list == CodedList::Suppliers) {
        request.condition = QStringLiteral("FORNITORE <> ?");
        request.conditionParams = {99999};
    } else if (list == CodedList::Causals && !causalType.isEmpty()) {
        request.condition = QStringLiteral("TIPO_CAUSALE = ?");
        request.conditionParams = {causalType};
    }
    return request;
}

JournalFilterPanel::JournalFilterPanel(Ui::AppContext &context, Options options, QWidget *parent)
    : QWidget(parent), m_context(context), m_options(std::move(options))
{
    setObjectName(QStringLiteral("filtriGiornale"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QHBoxLayout *line = nullptr;
    const auto newLine = [&line, layout] {
        if (line)
            line->addStretch(1);
        line = new QHBoxLayout;
        layout->addLayout(line);
    };
    // A caption and its field; a new group of fields keeps its distance.
    const auto put = [this, &line](const QString &caption, QWidget *field, bool group = true) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        if (group && line->count() > 0)
            line->addSpacing(18);
        line->addWidget(label);
        line->addWidget(field);
        return label;
    };
    const auto lookup = [this](Ui::InputField *field, std::function<Ui::LookupRequest()> list) {
        Ui::attachLookup(static_cast<Ui::CodeField *>(field), m_context, std::move(list));
        return field;
    };
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    const QString to = QStringLiteral("A");

    newLine();
    put(QStringLiteral("Anno"), add(FilterField::Year, new Ui::NumberField(0, true, this), 60));
    put(QStringLiteral("Num. movimento DA"), add(FilterField::NumberFrom, new Ui::NumberField(0, true, this), 80));
    put(to, add(FilterField::NumberTo, new Ui::NumberField(0, true, this), 80), false);
    put(QStringLiteral("Data movimento DA"), add(FilterField::MovementFrom, new Ui::DateField(this), dateWidth));
    put(to, add(FilterField::MovementTo, new Ui::DateField(this), dateWidth), false);
    put(QStringLiteral("Data registrazione DA"),
        add(FilterField::RegistrationFrom, new Ui::DateField(this), dateWidth));
    put(to, add(FilterField::RegistrationTo, new Ui::DateField(this), dateWidth), false);

    newLine();
    put(QStringLiteral("Conto"), lookup(add(FilterField::Account, new Ui::CodeField(7, this), 80),
                                        [] { return codedList(CodedList::Accounts); }));
    field(FilterField::Account)->setToolTip(QStringLiteral("Un conto, o l'inizio dei conti seguito da *"));
    auto *type = add(FilterField::CausalType, new Ui::CodeField(2, this), 50);
    lookup(type, [] { return codedList(CodedList::CausalTypes); });
    if (m_options.causalTypes.isEmpty())
        put(QStringLiteral("Tipo causale"), type);
    else
        type->hide();
    const QStringList types = m_options.causalTypes;
    put(QStringLiteral("Causale"), lookup(add(FilterField::Causal, new Ui::CodeField(6, this), 80), [types] {
            return codedList(CodedList::Causals, types.size() == 1 ? types.first() : QString());
        }));
    put(QStringLiteral("Centro di costo"), lookup(add(FilterField::CostCentre, new Ui::CodeField(2, this), 50),
                                                  [] { return codedList(CodedList::CostCentres); }));
    put(QStringLiteral("Cliente"),
        lookup(add(FilterField::Customer, new Ui::CodeField(5, this), 80), [] { return Masterdata::customerList(); }));
    put(QStringLiteral("Fornitore"), lookup(add(FilterField::Supplier, new Ui::CodeField(5, this), 80),
                                            [] { return codedList(CodedList::Suppliers); }));
    auto *summary = add(FilterField::SummaryStart, new Ui::DateField(this), dateWidth);
    if (m_options.summaryStart)
        put(QStringLiteral("Data inizio riepilogo"), summary);
    else
        summary->hide();

    newLine();
    m_parties = roleBox(QStringLiteral("T_CONTI_CLIFOR"));
    m_bankAndCash = roleBox(QStringLiteral("T_CONTI_BANCASSA"));
    put(QStringLiteral("Conti clienti e fornitori"), m_parties);
    put(QStringLiteral("Conti banca e cassa"), m_bankAndCash);
    line->addStretch(1);

    setText(FilterField::Year, m_context.state.year);
}

Ui::InputField *JournalFilterPanel::add(FilterField filter, Ui::InputField *field, int width)
{
    static const QHash<FilterField, QString> names{
        {FilterField::Year, QStringLiteral("ANNO")},
        {FilterField::NumberFrom, QStringLiteral("NRO_INT_DA")},
        {FilterField::NumberTo, QStringLiteral("NRO_INT_A")},
        {FilterField::MovementFrom, QStringLiteral("DATA_INT_DA")},
        {FilterField::MovementTo, QStringLiteral("DATA_INT_A")},
        {FilterField::RegistrationFrom, QStringLiteral("DATA_REG_DA")},
        {FilterField::RegistrationTo, QStringLiteral("DATA_REG_A")},
        {FilterField::Account, QStringLiteral("CONTO")},
        {FilterField::CausalType, QStringLiteral("TIPO_CAUSALE")},
        {FilterField::Causal, QStringLiteral("CAUSALE")},
        {FilterField::CostCentre, QStringLiteral("CCOS")},
        {FilterField::Customer, QStringLiteral("CLIENTE")},
        {FilterField::Supplier, QStringLiteral("FORNITORE")},
        {FilterField::SummaryStart, QStringLiteral("DATA_RIEP")},
    };
    field->setObjectName(QStringLiteral("T_") + names.value(filter));
    field->setFixedWidth(width);
    field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    m_fields.insert(filter, field);
    return field;
}

QComboBox *JournalFilterPanel::roleBox(const QString &name)
{
    auto *box = new QComboBox(this);
    box->setObjectName(name);
    box->addItem(QStringLiteral("Tutti"), int(RoleFilter::All));
    box->addItem(QStringLiteral("Solo questi"), int(RoleFilter::Only));
    box->addItem(QStringLiteral("Esclusi"), int(RoleFilter::Excluded));
    return box;
}

QLineEdit *JournalFilterPanel::field(FilterField filter) const
{
    return m_fields.value(filter);
}

void JournalFilterPanel::setText(FilterField filter, const QString &text)
{
    if (QLineEdit *line = field(filter))
        line->setText(text);
}

void JournalFilterPanel::setRoles(RoleFilter parties, RoleFilter bankAndCash)
{
    m_parties->setCurrentIndex(m_parties->findData(int(parties)));
    m_bankAndCash->setCurrentIndex(m_bankAndCash->findData(int(bankAndCash)));
}

JournalFilterInput JournalFilterPanel::input() const
{
    const auto text = [this](FilterField filter) { return field(filter)->text(); };
    JournalFilterInput in;
    in.year = text(FilterField::Year);
    in.numberFrom = text(FilterField::NumberFrom);
    in.numberTo = text(FilterField::NumberTo);
    in.movementFrom = text(FilterField::MovementFrom);
    in.movementTo = text(FilterField::MovementTo);
    in.registrationFrom = text(FilterField::RegistrationFrom);
    in.registrationTo = text(FilterField::RegistrationTo);
    in.account = text(FilterField::Account);
    in.causalType = m_options.causalTypes.isEmpty() ? text(FilterField::CausalType) : QString();
    in.causal = text(FilterField::Causal);
    in.costCentre = text(FilterField::CostCentre);
    in.customer = text(FilterField::Customer);
    in.supplier = text(FilterField::Supplier);
    in.summaryStart = m_options.summaryStart ? text(FilterField::SummaryStart) : QString();
    in.byAccount = m_options.byAccount;
    in.parties = RoleFilter(m_parties->currentData().toInt());
    in.bankAndCash = RoleFilter(m_bankAndCash->currentData().toInt());
    return in;
}

std::optional<JournalSelection> JournalFilterPanel::selection()
{
    for (Ui::InputField *line : std::as_const(m_fields))
        Ui::markFieldError(line, false);
    const FilterCheck check = checkJournalFilter(input(), [this](FilterField filter, const QString &code) {
        return filterValueKnown(m_context.db, filter, code);
    });
    if (!check.problem)
        return check.selection;
    Ui::InputField *line = m_fields.value(filterFieldOf(check.problem->column).value_or(FilterField::Year));
    Ui::markFieldError(line, true);
    m_context.prompter.error(check.problem->message, QString::fromLatin1(kJournalfilterpanelErrorTitle));
    line->setFocus(Qt::OtherFocusReason);
    return std::nullopt;
}

} // namespace Orlavo::Accounting
