#include "accounting/windows/frmcaucon.h"

#include "accounting/stores/causalstore.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace Orlavo::Accounting {

using Services::Prompter;
using Services::Row;
using Services::WriteEnd;
namespace Tables = Services::Tables;

namespace {

constexpr char kInserting[] = "Inserimento";
constexpr char kModifying[] = "Modifica";
constexpr char kHint[] = "Selezionare la Causale di Contabilità da modificare";
constexpr char kBankHint[] = "Codice banca o codice cassa";
constexpr char kConfirmInsert[] = "Confermi inserimento ?";
constexpr char kConfirmUpdate[] = "Confermi aggiornamento ?";
constexpr char kConfirmDelete[] = "Confermi eliminazione ?";
constexpr char kDeleteRefused[] = "Eliminazione non consentita.";
constexpr char kTaken[] = "Causale di Contabilità già presente in archivio !";
constexpr char kCancelTip[] = "Annullamento delle modifiche";
constexpr char kExitTip[] = "Uscita senza registrazione";

const QStringList kGridColumns{CausalColumn::type, CausalColumn::code,       QStringLiteral("DESCRIZIONE"),
                               CausalColumn::vat,  CausalColumn::deductible, CausalColumn::bank};

Ui::LookupRequest codeList(const QString &table, const QString &title)
{
    Ui::LookupRequest request;
    request.table = table;
    request.title = title;
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("Codice")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("Descrizione")}};
    return request;
}

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
    : Ui::RecordWindow(context,
                       {QStringLiteral("Tipo"), QStringLiteral("Causale"), QStringLiteral("Descrizione"),
                        QStringLiteral("Iva"), QStringLiteral("Detr."), QStringLiteral("Banca/Cassa")},
                       parent),
      m_family{{{&causalTable(), {}, {}, {}}}}, m_binder(new Ui::FormBinder(this)), m_mode(new QLabel(this)),
      m_new(new QPushButton(QStringLiteral("&Nuovo"), this))
{
    setObjectName(QStringLiteral("frmCauCon"));
    setWindowTitle(QStringLiteral("Causali di Contabilità"));
    m_mode->setObjectName(QStringLiteral("modo"));
    QFont bold = m_mode->font();
    bold.setBold(true);
    m_mode->setFont(bold);

    auto *head = new QFormLayout;
    head->addRow(QStringLiteral("Tipo causale"), addCoded(CausalColumn::type, 2, [] {
                     return codeList(Tables::TAB_TIPO_CAUS, QStringLiteral("Lista TIPO CAUSALI"));
                 }));
    QWidget *code = addCode(CausalColumn::code, 6);
    watchCodeField(code);
    head->addRow(QStringLiteral("Causale"), code);
    head->addRow(QStringLiteral("Descrizione"), addText(QStringLiteral("DESCRIZIONE"), 40));
    auto *vatRow = new QHBoxLayout;
    vatRow->addWidget(addCoded(CausalColumn::vat, 4, vatList), 1);
    vatRow->addWidget(makeDeductibility());
    head->addRow(QStringLiteral("Codice Iva"), vatRow);
    auto *bankRow = new QHBoxLayout;
    bankRow->addWidget(addCoded(CausalColumn::bank, 5,
                                [] { return codeList(Tables::TAB_BAN_PAG, QStringLiteral("Lista BANCHE PAGAMENTO")); }),
                       1);
    bankRow->addWidget(makeBankOrCash());
    head->addRow(QStringLiteral("Banca o cassa"), bankRow);
    field(CausalColumn::bank)->setToolTip(QString::fromUtf8(kBankHint));
    connect(static_cast<QLineEdit *>(field(CausalColumn::bank)), &QLineEdit::textChanged, this,
            &FrmCauCon::followBankCode);

    // Debit accounts on the left, credit accounts on the right.
    auto *accounts = new QGridLayout;
    const auto accountList = [] { return codeList(Tables::TAB_PIANO_CONTI, QStringLiteral("Lista CONTI")); };
    for (int line = 1; line <= 3; ++line) {
        const QString debit = QStringLiteral("DARE_%1").arg(line);
        const QString credit = QStringLiteral("AVERE_%1").arg(line);
        accounts->addWidget(new QLabel(QStringLiteral("Dare %1").arg(line), this), line - 1, 0);
        accounts->addWidget(addCoded(debit, 6, accountList), line - 1, 1);
        accounts->addWidget(new QLabel(QStringLiteral("Avere %1").arg(line), this), line - 1, 2);
        accounts->addWidget(addCoded(credit, 6, accountList), line - 1, 3);
    }
    accounts->setColumnStretch(1, 1);
    accounts->setColumnStretch(3, 1);

    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_grid->setToolTip(QString::fromUtf8(kHint));
    fitGridToRows(m_context.state.rowsTab);
    setButtonTips(QString::fromUtf8(kCancelTip), QString::fromUtf8(kExitTip));
    m_new->setObjectName(QStringLiteral("nuovo"));
    m_new->setAutoDefault(false);
    connect(m_new, &QPushButton::clicked, this, &FrmCauCon::startNew);
    setQuietButton(m_new);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_mode);
    layout->addLayout(head);
    layout->addLayout(accounts);
    auto *hint = new QLabel(QString::fromUtf8(kHint), this);
    hint->setObjectName(QStringLiteral("suggerimento"));
    layout->addWidget(hint);
    layout->addWidget(m_grid);
    QHBoxLayout *buttons = buttonRow();
    buttons->insertWidget(1, m_new);
    layout->addLayout(buttons);
    resize(860, sizeHint().height());
    // The fields in screen order, debit and credit side by side, then the
    // buttons, then the list.
    QList<QWidget *> order;
    order << field(CausalColumn::type) << field(CausalColumn::code) << field(QStringLiteral("DESCRIZIONE"))
          << field(CausalColumn::vat) << m_full << m_half << field(CausalColumn::bank) << m_bankBox << m_cashBox;
    for (int line = 1; line <= 3; ++line)
        order << field(QStringLiteral("DARE_%1").arg(line)) << field(QStringLiteral("AVERE_%1").arg(line));
    order << m_new << m_save << m_remove << m_cancel << m_exit << m_grid;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    reload();
    field(CausalColumn::type)->setFocus(Qt::OtherFocusReason);
}

Ui::CodeField *FrmCauCon::addCode(const QString &column, int length)
{
    auto *code = new Ui::CodeField(length, this);
    code->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    code->setObjectName(QStringLiteral("T_") + column);
    code->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * (length + 1) + 12);
    m_binder->bind(column, code, 0, column);
    connect(code, &QLineEdit::textChanged, this, &FrmCauCon::updateButtons);
    return code;
}

QWidget *FrmCauCon::addText(const QString &column, int length)
{
    auto *text = new Ui::TextField(length, this);
    text->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    text->setObjectName(QStringLiteral("T_") + column);
    m_binder->bind(column, text, 0, column);
    connect(text, &QLineEdit::textChanged, this, &FrmCauCon::updateButtons);
    return text;
}

QWidget *FrmCauCon::addCoded(const QString &column, int length, std::function<Ui::LookupRequest()> list)
{
    Ui::CodeField *code = addCode(column, length);
    watchField(code);
    Ui::attachLookup(code, m_context, std::move(list));
    connect(
        code, &Ui::CodeField::lookupRequested, this, [this, column] { showDescription(column); }, Qt::QueuedConnection);
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("D_DESC_") + column);
    label->setMinimumWidth(150);
    m_descriptions.insert(column, label);
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(code);
    row->addWidget(label, 1);
    return box;
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
    return column == CausalColumn::deductible ? m_deductible : m_binder->widget(column);
}

QString FrmCauCon::value(const QString &column) const
{
    return column == CausalColumn::deductible ? deductibility() : m_binder->text(column);
}

void FrmCauCon::setValue(const QString &column, const QString &text)
{
    if (column == CausalColumn::deductible) {
        setDeductibility(text);
        return;
    }
    m_binder->setText(column, text);
    if (m_descriptions.contains(column))
        showDescription(column);
}

QString FrmCauCon::description(const QString &column) const
{
    const QLabel *label = m_descriptions.value(column);
    return label ? label->text() : QString();
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

QString FrmCauCon::mode() const
{
    return m_mode->text();
}

bool FrmCauCon::hasChanges() const
{
    return m_binder->hasChanges() || deductibility() != m_shownDeductibility;
}

Services::Record FrmCauCon::recordOf(const Row &row) const
{
    Services::Record record(m_family);
    record.main() = row;
    return record;
}

Row FrmCauCon::typed() const
{
    Row row = m_binder->read(recordOf(m_loaded ? *m_loaded : Row(causalTable()))).main();
    row.set(CausalColumn::deductible, deductibility());
    return row;
}

void FrmCauCon::reload()
{
    reloadGrid();
    display(std::nullopt);
}

void FrmCauCon::reloadGrid()
{
    auto rows = Masterdata::listCodedRows(m_context.db, accountingCausals());
    m_rows = rows ? *rows : QList<Row>();
    const QSignalBlocker quiet(m_grid);
    m_grid->clearContents();
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(kGridColumns.size()); ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(m_rows.at(r).text(kGridColumns.at(c))));
    }
    m_grid->setCurrentCell(-1, -1);
    m_grid->clearSelection();
}

void FrmCauCon::display(const std::optional<Row> &row)
{
    m_loaded = row;
    const Row shown = row ? *row : Row(causalTable());
    m_binder->load(recordOf(shown));
    // "N" (a non-deductible VAT code) is neither option.
    setDeductibility(shown.text(CausalColumn::deductible));
    m_shownDeductibility = deductibility();
    for (auto it = m_descriptions.begin(); it != m_descriptions.end(); ++it)
        showDescription(it.key());
    {
        const QScopedValueRollback<bool> following(m_following, true);
        m_bankBox->setChecked(false);
        m_cashBox->setChecked(false);
    }
    followBankCode();
    m_mode->setText(QString::fromLatin1(row ? kModifying : kInserting));
    updateButtons();
}

void FrmCauCon::showDescription(const QString &column)
{
    if (QLabel *label = m_descriptions.value(column))
        label->setText(causalFieldDescription(m_context.db, column, value(column)));
}

void FrmCauCon::fieldLeft(QLineEdit *field)
{
    showDescription(m_binder->nameOf(field));
}

void FrmCauCon::updateButtons()
{
    const bool changed = hasChanges();
    m_save->setEnabled(changed);
    m_cancel->setEnabled(changed);
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
        m_binder->setText(CausalColumn::bank, QString::fromLatin1(kCash));
    else if (cash)
        m_binder->setText(CausalColumn::bank, QString());
    showDescription(CausalColumn::bank);
}

void FrmCauCon::loadRow(int row)
{
    if (row >= 0 && row < m_rows.size())
        display(m_rows.at(row));
}

void FrmCauCon::startNew()
{
    {
        const QSignalBlocker quiet(m_grid);
        m_grid->setCurrentCell(-1, -1);
        m_grid->clearSelection();
    }
    display(std::nullopt);
    field(CausalColumn::type)->setFocus(Qt::OtherFocusReason);
}

bool FrmCauCon::chooseCode(const QString &code)
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).text(CausalColumn::code) != code.trimmed().toUpper())
            continue;
        {
            const QSignalBlocker quiet(m_grid);
            m_grid->setCurrentCell(row, 1);
        }
        display(m_rows.at(row));
        return true;
    }
    return false;
}

void FrmCauCon::showProblems(const QList<Services::FieldProblem> &problems)
{
    // The deductibility is a frame of options, outside the binder.
    const auto speaker = m_binder->showProblems(problems);
    const bool deductible = std::any_of(problems.begin(), problems.end(), [](const Services::FieldProblem &p) {
        return p.column == CausalColumn::deductible;
    });
    Ui::markFieldError(m_deductible, deductible);
    if (!speaker)
        return;
    QWidget *focus =
        speaker->column == CausalColumn::deductible ? static_cast<QWidget *>(m_full) : field(speaker->column);
    refuse(speaker->message, focus);
}

bool FrmCauCon::checkCode()
{
    const Row row = typed();
    if (row.isBlank(CausalColumn::code))
        return true;
    const auto problems =
        checkCausal(m_context.db, row, m_loaded ? m_loaded->text(CausalColumn::code) : QString(), CausalColumn::code);
    m_binder->markField(CausalColumn::code, !problems.isEmpty());
    if (problems.isEmpty())
        return true;
    refuse(problems.last().message, field(CausalColumn::code));
    return false;
}

bool FrmCauCon::storedStillThere()
{
    const Services::StoredState state = Masterdata::storedState(m_context.db, accountingCausals(), *m_loaded);
    if (state == Services::StoredState::Same)
        return true;
    if (state == Services::StoredState::Changed)
        return m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                                      Prompter::Buttons::OkCancel, Prompter::Button::Cancel) == Prompter::Button::Ok;
    // Gone: the input stays, and registered again it is a new causal.
    sayDeletedElsewhere();
    m_loaded.reset();
    m_mode->setText(QString::fromLatin1(kInserting));
    reloadGrid();
    return false;
}

void FrmCauCon::save()
{
    if (!m_context.db.checkWriteRights() || !hasChanges())
        return;
    const Row row = typed();
    const auto problems = checkCausal(m_context.db, row, m_loaded ? m_loaded->text(CausalColumn::code) : QString());
    if (!problems.isEmpty()) {
        showProblems(problems);
        return;
    }
    if (!confirm(QString::fromLatin1(m_loaded ? kConfirmUpdate : kConfirmInsert), false, Prompter::Button::Cancel) ||
        (m_loaded && !storedStillThere()))
        return;
    const Services::WriteEnd end =
        (m_loaded ? updateCausal(m_context.db, row, *m_loaded) : insertCausal(m_context.db, row)).end;
    if (end == WriteEnd::Written) {
        reload();
    } else if (end == WriteEnd::Duplicate) {
        // Stored by another workstation since the check.
        showProblems({{CausalColumn::code, QString::fromUtf8(kTaken)}});
    } else if (end == WriteEnd::Gone) {
        sayDeletedElsewhere();
        m_loaded.reset();
        m_mode->setText(QString::fromLatin1(kInserting));
        reloadGrid();
    }
}

void FrmCauCon::remove()
{
    if (!m_context.db.checkWriteRights())
        return;
    if (!m_loaded || typed().text(CausalColumn::code) != m_loaded->text(CausalColumn::code)) {
        refuse(QString::fromLatin1(kDeleteRefused));
        return;
    }
    if (!confirm(QString::fromLatin1(kConfirmDelete), false, Prompter::Button::Cancel) || !storedStillThere())
        return;
    const WriteEnd end = deleteCausal(m_context.db, *m_loaded).result.end;
    if (end == WriteEnd::Gone)
        sayDeletedElsewhere();
    if (end == WriteEnd::Gone || end == WriteEnd::Written)
        reload();
}

void FrmCauCon::cancel()
{
    display(m_loaded);
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
