#include "masterdata/windows/frmpiaco.h"

#include "masterdata/rules/accountrules.h"
#include "masterdata/stores/chartstore.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;
using Services::Row;
using Services::WriteEnd;

namespace {

const QString kCode = QStringLiteral("CODICE");
const QString kGroup = QStringLiteral("GRUPPO");
const QString kSubgroup = QStringLiteral("SOTTOGRU");
const QString kType = QStringLiteral("TIPO_CONTO");

constexpr char kInserting[] = "Inserimento";
constexpr char kModifying[] = "Modifica";
constexpr char kHint[] = "Selezionare la Conto da modificare";
constexpr char kTypeHint[] = "Tipo Conto (Costi - Ricavi - Patrimoniali) ";
constexpr char kConfirmInsert[] = "Confermi inserimento ?";
constexpr char kConfirmUpdate[] = "Confermi aggiornamento ?";
constexpr char kConfirmDelete[] = "Confermi eliminazione ?";
constexpr char kDeleteRefused[] = "Eliminazione non consentita.";
constexpr char kInJournal[] = "Impossibile eliminare il conto perchè attualmente utilizzato in contabilità";
constexpr char kRenameUsed[] = "Il conto è utilizzato in contabilità: le registrazioni esistenti manterranno il "
                               "vecchio codice. Confermi ?";
constexpr char kCancelTip[] = "Annullamento delle modifiche";
constexpr char kExitTip[] = "Uscita senza registrazione";

const QStringList kGridColumns{
    kGroup, kSubgroup, kCode, QStringLiteral("DESCRIZIONE"), kType, QStringLiteral("CONT_AUT")};

QString takenMessage()
{
    for (const Services::CheckDef &check : chartOfAccounts().checks) {
        if (check.kind == Services::CheckDef::Kind::Unique)
            return check.message;
    }
    return {};
}

} // namespace

FrmPiaCo::FrmPiaCo(Ui::AppContext &context, QWidget *parent)
    : Ui::RecordWindow(context,
                       {QStringLiteral("Gruppo"), QStringLiteral("Sottogr."), QStringLiteral("Codice"),
                        QStringLiteral("Descrizione"), QStringLiteral("Tipo"), QStringLiteral("Automatico")},
                       parent),
      m_family{{{&chartTable(), {}, {}, {}}}}, m_binder(new Ui::FormBinder(this)), m_mode(new QLabel(this)),
      m_new(new QPushButton(QStringLiteral("&Nuovo"), this))
{
    setObjectName(QStringLiteral("frmPiaCo"));
    setWindowTitle(QStringLiteral("Piano dei Conti"));
    m_mode->setObjectName(QStringLiteral("modo"));
    QFont bold = m_mode->font();
    bold.setBold(true);
    m_mode->setFont(bold);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Gruppo"),
                   addCoded(kGroup, 2, QStringLiteral("Lista GRUPPO CONTI"), Services::Tables::TAB_GRUPP));
    fields->addRow(QStringLiteral("Sottogruppo"),
                   addCoded(kSubgroup, 3, QStringLiteral("Lista SOTTOGRUPPO CONTI"), Services::Tables::TAB_SOGRUP));
    fields->addRow(QStringLiteral("Codice conto"), addLine(kCode, 6));
    fields->addRow(QStringLiteral("Descrizione"), addLine(QStringLiteral("DESCRIZIONE"), 40));
    fields->addRow(QStringLiteral("Tipo conto"), addChoice(kType, accountTypes()));
    field(kType)->setToolTip(QString::fromUtf8(kTypeHint));
    QList<std::pair<QString, QString>> roles;
    for (const auto &[code, text] : accountRoles())
        roles.append({code, code + QStringLiteral(" - ") + text});
    fields->addRow(QStringLiteral("Conto automatico"), addChoice(QStringLiteral("CONT_AUT"), roles));
    watchCodeField(field(kCode));

    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_grid->setToolTip(QString::fromUtf8(kHint));
    fitGridToRows(m_context.state.rowsTab);
    setButtonTips(QString::fromUtf8(kCancelTip), QString::fromUtf8(kExitTip));
    m_new->setObjectName(QStringLiteral("nuovo"));
    m_new->setAutoDefault(false);
    connect(m_new, &QPushButton::clicked, this, &FrmPiaCo::startNew);
    setQuietButton(m_new);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_mode);
    layout->addLayout(fields);
    auto *hint = new QLabel(QString::fromUtf8(kHint), this);
    hint->setObjectName(QStringLiteral("suggerimento"));
    layout->addWidget(hint);
    layout->addWidget(m_grid);
    QHBoxLayout *buttons = buttonRow();
    buttons->insertWidget(1, m_new);
    layout->addLayout(buttons);
    resize(720, sizeHint().height());
    // The fields in screen order (the list's columns), then the buttons,
    // then the list.
    QList<QWidget *> order;
    for (const QString &column : kGridColumns)
        order << field(column);
    order << m_new << m_save << m_remove << m_cancel << m_exit << m_grid;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    reload();
    field(kGroup)->setFocus(Qt::OtherFocusReason);
}

QWidget *FrmPiaCo::addLine(const QString &column, int length)
{
    Ui::InputField *line = nullptr;
    if (column == kCode || column == kGroup || column == kSubgroup)
        line = new Ui::CodeField(length, this);
    else
        line = new Ui::TextField(length, this);
    line->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    line->setObjectName(QStringLiteral("T_") + column);
    if (length <= 6)
        line->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * (length + 1) + 12);
    m_binder->bind(column, line, 0, column);
    connect(line, &QLineEdit::textChanged, this, &FrmPiaCo::updateButtons);
    return line;
}

QWidget *FrmPiaCo::addCoded(const QString &column, int length, const QString &title, const QString &table)
{
    auto *code = static_cast<Ui::CodeField *>(addLine(column, length));
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("D_DESC_") + column);
    label->setMinimumWidth(260);
    m_descriptions.insert(column, label);
    m_codeTables.insert(column, table);
    watchField(code);
    Ui::attachLookup(code, m_context, [title, table] {
        Ui::LookupRequest request;
        request.table = table;
        request.title = title;
        request.columns = {{kCode, QStringLiteral("06C"), QStringLiteral("Codice")},
                           {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("Descrizione")}};
        return request;
    });
    connect(
        code, &Ui::CodeField::lookupRequested, this, [this, column] { showDescription(column); }, Qt::QueuedConnection);
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(code);
    row->addWidget(label, 1);
    return box;
}

QWidget *FrmPiaCo::addChoice(const QString &column, const QList<std::pair<QString, QString>> &choices)
{
    auto *combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("T_") + column);
    combo->addItem(QString(), QString());
    for (const auto &[code, text] : choices)
        combo->addItem(text, code);
    m_binder->bind(column, combo, 0, column);
    connect(combo, &QComboBox::currentIndexChanged, this, &FrmPiaCo::updateButtons);
    return combo;
}

QWidget *FrmPiaCo::field(const QString &column) const
{
    return m_binder->widget(column);
}

QString FrmPiaCo::value(const QString &column) const
{
    return m_binder->text(column);
}

void FrmPiaCo::setValue(const QString &column, const QString &text)
{
    m_binder->setText(column, text);
    if (m_descriptions.contains(column))
        showDescription(column);
}

QString FrmPiaCo::description(const QString &column) const
{
    const QLabel *label = m_descriptions.value(column);
    return label ? label->text() : QString();
}

QString FrmPiaCo::mode() const
{
    return m_mode->text();
}

bool FrmPiaCo::hasChanges() const
{
    return m_binder->hasChanges();
}

Services::Record FrmPiaCo::recordOf(const Row &row) const
{
    Services::Record record(m_family);
    record.main() = row;
    return record;
}

Row FrmPiaCo::typed() const
{
    return m_binder->read(recordOf(m_loaded ? *m_loaded : Row(chartTable()))).main();
}

void FrmPiaCo::reload()
{
    reloadGrid();
    display(std::nullopt);
}

void FrmPiaCo::reloadGrid()
{
    auto rows = listCodedRows(m_context.db, chartOfAccounts());
    m_rows = rows ? *rows : QList<Row>();
    const QSignalBlocker quiet(m_grid);
    m_grid->clearContents();
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(kGridColumns.size()); ++c) {
            const QString &column = kGridColumns.at(c);
            const QString text =
                column == kType ? accountTypeWord(m_rows.at(r).text(column)) : m_rows.at(r).text(column);
            m_grid->setItem(r, c, new QTableWidgetItem(text));
        }
    }
    m_grid->setCurrentCell(-1, -1);
    m_grid->clearSelection();
}

void FrmPiaCo::display(const std::optional<Row> &row)
{
    m_loaded = row;
    m_binder->load(recordOf(row ? *row : Row(chartTable())));
    for (auto it = m_descriptions.begin(); it != m_descriptions.end(); ++it)
        showDescription(it.key());
    m_mode->setText(QString::fromLatin1(row ? kModifying : kInserting));
    updateButtons();
}

void FrmPiaCo::showDescription(const QString &column)
{
    if (QLabel *label = m_descriptions.value(column))
        label->setText(descriptionOfCode(m_context.db, m_codeTables.value(column), value(column)));
}

void FrmPiaCo::fieldLeft(QLineEdit *field)
{
    showDescription(m_binder->nameOf(field));
}

void FrmPiaCo::updateButtons()
{
    const bool changed = hasChanges();
    m_save->setEnabled(changed);
    m_cancel->setEnabled(changed);
}

void FrmPiaCo::loadRow(int row)
{
    if (row >= 0 && row < m_rows.size())
        display(m_rows.at(row));
}

void FrmPiaCo::startNew()
{
    {
        const QSignalBlocker quiet(m_grid);
        m_grid->setCurrentCell(-1, -1);
        m_grid->clearSelection();
    }
    display(std::nullopt);
    field(kGroup)->setFocus(Qt::OtherFocusReason);
}

bool FrmPiaCo::chooseCode(const QString &code)
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).text(kCode) != code.trimmed().toUpper())
            continue;
        {
            const QSignalBlocker quiet(m_grid);
            m_grid->setCurrentCell(row, 0);
        }
        display(m_rows.at(row));
        return true;
    }
    return false;
}

bool FrmPiaCo::checkCode()
{
    const Row row = typed();
    if (row.isBlank(kCode))
        return true;
    const auto problems =
        checkCodedRow(m_context.db, chartOfAccounts(), row, m_loaded ? m_loaded->text(kCode) : QString(), kCode);
    m_binder->markField(kCode, !problems.isEmpty());
    if (problems.isEmpty())
        return true;
    refuse(problems.last().message, field(kCode));
    return false;
}

void FrmPiaCo::sayTaken()
{
    m_binder->showProblems({{kCode, takenMessage()}});
    refuse(takenMessage(), field(kCode));
}

bool FrmPiaCo::storedStillThere()
{
    switch (storedState(m_context.db, chartOfAccounts(), *m_loaded)) {
    case Services::StoredState::Same: return true;
    case Services::StoredState::Changed:
        return m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                                      Prompter::Buttons::OkCancel, Prompter::Button::Cancel) == Prompter::Button::Ok;
    case Services::StoredState::Gone: break;
    }
    // The input stays: registered again it is a new account.
    sayDeletedElsewhere();
    m_loaded.reset();
    m_mode->setText(QString::fromLatin1(kInserting));
    reloadGrid();
    return false;
}

void FrmPiaCo::save()
{
    // A consulting user is stopped before any check or question.
    if (!m_context.db.checkWriteRights() || !hasChanges())
        return;
    const Row row = typed();
    const QString loadedCode = m_loaded ? m_loaded->text(kCode) : QString();
    if (const auto speaker = m_binder->showProblems(checkCodedRow(m_context.db, chartOfAccounts(), row, loadedCode))) {
        refuse(speaker->message, field(speaker->column));
        return;
    }
    // Journal lines keep the code they were posted with.
    if (m_loaded && row.text(kCode) != loadedCode) {
        const auto used = accountInJournal(m_context.db, loadedCode);
        if (!used || (*used && !confirm(QString::fromUtf8(kRenameUsed), true, Prompter::Button::No)))
            return;
    }
    if (!confirm(QString::fromLatin1(m_loaded ? kConfirmUpdate : kConfirmInsert), false, Prompter::Button::Cancel))
        return;
    if (m_loaded && !storedStillThere())
        return;
    const Services::WriteResult written = m_loaded ? updateCodedRow(m_context.db, chartOfAccounts(), row, *m_loaded)
                                                   : insertCodedRow(m_context.db, chartOfAccounts(), row);
    switch (written.end) {
    case WriteEnd::Written:
    case WriteEnd::NothingChanged: reload(); break;
    case WriteEnd::Duplicate: sayTaken(); break; // stored by another workstation since the check
    case WriteEnd::Gone:
    case WriteEnd::ChangedElsewhere:
        sayDeletedElsewhere();
        m_loaded.reset();
        m_mode->setText(QString::fromLatin1(kInserting));
        reloadGrid();
        break;
    case WriteEnd::LockHeld:
    case WriteEnd::Failed: break; // reported; the input stays for another try
    }
}

void FrmPiaCo::remove()
{
    if (!m_context.db.checkWriteRights())
        return;
    if (!m_loaded || typed().text(kCode) != m_loaded->text(kCode)) {
        refuse(QString::fromLatin1(kDeleteRefused));
        return;
    }
    const auto used = accountInJournal(m_context.db, m_loaded->text(kCode));
    if (!used)
        return;
    if (*used) {
        refuse(QString::fromUtf8(kInJournal));
        return;
    }
    if (!confirm(QString::fromLatin1(kConfirmDelete), false, Prompter::Button::Cancel) || !storedStillThere())
        return;
    const Deletion deleted = deleteAccount(m_context.db, *m_loaded);
    if (deleted.inUse) {
        refuse(QString::fromUtf8(kInJournal));
        return;
    }
    if (deleted.result.end == WriteEnd::Gone)
        sayDeletedElsewhere();
    else if (deleted.result.end != WriteEnd::Written)
        return;
    reload();
}

void FrmPiaCo::cancel()
{
    display(m_loaded);
}

Ui::LookupRequest chartPrintList()
{
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_PIANO_CONTI;
    request.title = QStringLiteral("Lista PIANO DEI CONTI");
    request.mode = Ui::LookupMode::Print;
    request.reportKey = QStringLiteral("PIANOCON");
    request.columns = {{kCode, QStringLiteral("06C"), QStringLiteral("Codice")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("Descrizione")},
                       {kGroup, QStringLiteral("06B"), QStringLiteral("Gruppo")},
                       {kSubgroup, QStringLiteral("06B"), QStringLiteral("Sottogruppo")}};
    return request;
}

} // namespace Orlavo::Masterdata
