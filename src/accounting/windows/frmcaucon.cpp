#include "accounting/windows/frmcaucon.h"

#include "accounting/stores/causalstore.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScopedValueRollback>

#include <algorithm>

namespace Orlavo::Accounting {

using Services::Row;
namespace Tables = Services::Tables;

namespace {

constexpr char kBankHint[] = "Codice banca o codice cassa";

const QStringList kGridColumns{CausalColumn::type, CausalColumn::code,       QStringLiteral("DESCRIZIONE"),
                               CausalColumn::vat,  CausalColumn::deductible, CausalColumn::bank};

Ui::LookupRequest vatList()
{
    Ui::LookupRequest request;
    request.table = Tables::TAB_PERIVA;
    request.title = QStringLiteral("Lista PERCENTUALI IVA'");
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("Codice")},
                       {QStringLiteral("TIPO_CODICE"), QStringLiteral("04B"), QStringLiteral("Tipo")},
                       {QStringLiteral("DESC_TIPO"), QStringLiteral("20B"), QStringLiteral("Descrizione tipo")},
                       {QStringLiteral("ALIQUOTA"), QStringLiteral("08N2"), QStringLiteral("Aliquota")}};
    return request;
}

} // namespace

FrmCauCon::FrmCauCon(Ui::AppContext &context, QWidget *parent)
    : CodeTableEditor(context,
                      std::make_unique<Ui::CodedTableSource<Masterdata::CodedTable>>(context.db, accountingCausals()),
                      Style::FormFirst, kGridColumns,
                      {QStringLiteral("Tipo"), QStringLiteral("Causale"), QStringLiteral("Descrizione"),
                       QStringLiteral("Iva"), QStringLiteral("Detr."), QStringLiteral("Banca/Cassa")},
                      QStringLiteral("Selezionare la Causale di Contabilità da modificare"), parent)
{
    setObjectName(QStringLiteral("frmCauCon"));
    setWindowTitle(QStringLiteral("Causali di Contabilità"));
    setChosenColumn(1);

    QFormLayout *head = fields();
    head->addRow(
        QStringLiteral("Tipo causale"),
        addCoded(CausalColumn::type, 2, codeList(Tables::TAB_TIPO_CAUS, QStringLiteral("Lista TIPO CAUSALI")), 150));
    head->addRow(QStringLiteral("Causale"), addKey(6));
    head->addRow(QStringLiteral("Descrizione"), addText(QStringLiteral("DESCRIZIONE"), 40));
    auto *vatRow = new QHBoxLayout;
    vatRow->addWidget(addCoded(CausalColumn::vat, 4, vatList, 150), 1);
    vatRow->addWidget(makeDeductibility());
    head->addRow(QStringLiteral("Codice Iva"), vatRow);
    auto *bankRow = new QHBoxLayout;
    bankRow->addWidget(
        addCoded(CausalColumn::bank, 5, codeList(Tables::TAB_BAN_PAG, QStringLiteral("Lista BANCHE PAGAMENTO")), 150),
        1);
    bankRow->addWidget(makeBankOrCash());
    head->addRow(QStringLiteral("Banca o cassa"), bankRow);
    field(CausalColumn::bank)->setToolTip(QString::fromUtf8(kBankHint));
    connect(static_cast<QLineEdit *>(field(CausalColumn::bank)), &QLineEdit::textChanged, this,
            &FrmCauCon::followBankCode);

    // Debit accounts on the left, credit accounts on the right.
    auto *accounts = new QGridLayout;
    const auto accountList = codeList(Tables::TAB_PIANO_CONTI, QStringLiteral("Lista CONTI"));
    for (int line = 1; line <= 3; ++line) {
        const QString debit = QStringLiteral("DARE_%1").arg(line);
        const QString credit = QStringLiteral("AVERE_%1").arg(line);
        accounts->addWidget(new QLabel(QStringLiteral("Dare %1").arg(line), this), line - 1, 0);
        accounts->addWidget(addCoded(debit, 6, accountList, 150), line - 1, 1);
        accounts->addWidget(new QLabel(QStringLiteral("Avere %1").arg(line), this), line - 1, 2);
        accounts->addWidget(addCoded(credit, 6, accountList, 150), line - 1, 3);
    }
    accounts->setColumnStretch(1, 1);
    accounts->setColumnStretch(3, 1);
    form()->addLayout(accounts);

    // The fields in screen order, debit and credit side by side.
    QList<QWidget *> order;
    order << field(CausalColumn::type) << field(CausalColumn::code) << field(QStringLiteral("DESCRIZIONE"))
          << field(CausalColumn::vat) << m_full << m_half << field(CausalColumn::bank) << m_bankBox << m_cashBox;
    for (int line = 1; line <= 3; ++line)
        order << field(QStringLiteral("DARE_%1").arg(line)) << field(QStringLiteral("AVERE_%1").arg(line));
    finish(860, order, field(CausalColumn::type));
}

QGroupBox *FrmCauCon::makeDeductibility()
{
    m_deductible = new QGroupBox(QStringLiteral("Detraibile"), this);
    m_deductible->setObjectName(QStringLiteral("T_") + CausalColumn::deductible);
    m_full = new QRadioButton(QStringLiteral("100 %"), m_deductible);
    m_full->setObjectName(QStringLiteral("detraibile100"));
    m_half = new QRadioButton(QStringLiteral("50 %"), m_deductible);
    m_half->setObjectName(QStringLiteral("detraibile50"));
    m_deductibleChoice = new QButtonGroup(m_deductible);
    m_deductibleChoice->addButton(m_full);
    m_deductibleChoice->addButton(m_half);
    connect(m_deductibleChoice, &QButtonGroup::buttonToggled, this, &FrmCauCon::updateButtons);
    auto *row = new QHBoxLayout(m_deductible);
    row->addWidget(m_full);
    row->addWidget(m_half);
    return m_deductible;
}

QGroupBox *FrmCauCon::makeBankOrCash()
{
    auto *group = new QGroupBox(QStringLiteral("Banca/Cassa"), this);
    m_bankBox = new QCheckBox(QStringLiteral("Banca"), group);
    m_bankBox->setObjectName(QStringLiteral("banca"));
    m_cashBox = new QCheckBox(QStringLiteral("Cassa"), group);
    m_cashBox->setObjectName(QStringLiteral("cassa"));
    for (QCheckBox *box : {m_bankBox, m_cashBox})
        connect(box, &QCheckBox::toggled, this, [this, box](bool ticked) { boxTicked(box, ticked); });
    auto *row = new QHBoxLayout(group);
    row->addWidget(m_bankBox);
    row->addWidget(m_cashBox);
    return group;
}

QWidget *FrmCauCon::field(const QString &column) const
{
    return column == CausalColumn::deductible ? m_deductible : binder()->widget(column);
}

QString FrmCauCon::value(const QString &column) const
{
    return column == CausalColumn::deductible ? deductibility() : binder()->text(column);
}

void FrmCauCon::setValue(const QString &column, const QString &text)
{
    if (column == CausalColumn::deductible) {
        setDeductibility(text);
        return;
    }
    CodeTableEditor::setValue(column, text);
}

QString FrmCauCon::deductibility() const
{
    if (m_full->isChecked())
        return QStringLiteral("D");
    return m_half->isChecked() ? QStringLiteral("S") : QString();
}

void FrmCauCon::setDeductibility(const QString &choice)
{
    // Neither option is a state of its own: the group lets both go only
    // while it is not exclusive.
    m_deductibleChoice->setExclusive(false);
    m_full->setChecked(choice == QLatin1String("D"));
    m_half->setChecked(choice == QLatin1String("S"));
    m_deductibleChoice->setExclusive(true);
}

bool FrmCauCon::hasChanges() const
{
    return binder()->hasChanges() || deductibility() != m_shownDeductibility;
}

void FrmCauCon::readUnbound(Row &row) const
{
    row.set(CausalColumn::deductible, deductibility());
}

void FrmCauCon::shown(const Row &row)
{
    // "N" (a non-deductible VAT code) is neither option.
    setDeductibility(row.text(CausalColumn::deductible));
    m_shownDeductibility = deductibility();
    {
        const QScopedValueRollback<bool> following(m_following, true);
        m_bankBox->setChecked(false);
        m_cashBox->setChecked(false);
    }
    followBankCode();
}

QString FrmCauCon::describe(const QString &column, const QString &code) const
{
    return causalFieldDescription(m_context.db, column, code);
}

void FrmCauCon::followBankCode()
{
    // The boxes are not stored: they show what the code is.
    const QString code = value(CausalColumn::bank).trimmed();
    const bool cash = code == QLatin1String(kCash);
    const QScopedValueRollback<bool> following(m_following, true);
    m_cashBox->setChecked(cash);
    if (cash || !code.isEmpty())
        m_bankBox->setChecked(!cash);
}

void FrmCauCon::boxTicked(QCheckBox *box, bool ticked)
{
    if (m_following)
        return;
    const QScopedValueRollback<bool> following(m_following, true);
    QCheckBox *other = box == m_cashBox ? m_bankBox : m_cashBox;
    if (ticked)
        other->setChecked(false);
    const bool cash = value(CausalColumn::bank).trimmed() == QLatin1String(kCash);
    // Cassa writes the cash code; Banca, or Cassa let go, leaves the field
    // for a bank's code.
    if (box == m_cashBox && ticked)
        binder()->setText(CausalColumn::bank, QString::fromLatin1(kCash));
    else if (cash)
        binder()->setText(CausalColumn::bank, QString());
    showDescription(CausalColumn::bank);
}

bool FrmCauCon::showProblems(const QList<Services::FieldProblem> &problems)
{
    if (problems.isEmpty())
        return false;
    // The deductibility is a frame of options, outside the binder.
    const auto speaker = binder()->showProblems(problems);
    const bool deductible = std::any_of(problems.begin(), problems.end(), [](const Services::FieldProblem &p) {
        return p.column == CausalColumn::deductible;
    });
    Ui::markFieldError(m_deductible, deductible);
    if (speaker) {
        QWidget *focus =
            speaker->column == CausalColumn::deductible ? static_cast<QWidget *>(m_full) : field(speaker->column);
        refuse(speaker->message, focus);
    }
    return true;
}

Ui::LookupRequest causalPrintList()
{
    Ui::LookupRequest request;
    request.table = Tables::TAB_CAU_CONT;
    request.title = QStringLiteral("Lista CAUSALI DI CONTABILITA'");
    request.mode = Ui::LookupMode::Print;
    request.reportKey = QStringLiteral("TABCAUCO");
    request.columns = {{CausalColumn::code, QStringLiteral("06C"), QStringLiteral("Causale")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("Descrizione")},
                       {CausalColumn::type, QStringLiteral("04B"), QStringLiteral("Tipo")}};
    return request;
}

} // namespace Orlavo::Accounting
