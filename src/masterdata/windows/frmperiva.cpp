#include "masterdata/windows/frmperiva.h"

#include "services/core/tablenames.h"
#include "ui/appcontext.h"
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

constexpr char kNothingChanged[] = "Aggiornamento non consentito.";
constexpr char kDeleteRefused[] = "Eliminazione non consentita.";
constexpr char kConfirmInsert[] = "Confermi inserimento ?";
constexpr char kConfirmUpdate[] = "Confermi aggiornamento ?";
constexpr char kConfirmDelete[] = "Confermi eliminazione ?";
constexpr char kCancelTip[] = "Annullamento delle modifiche";
constexpr char kExitTip[] = "Uscita senza registrazione";

// The message of the code found stored: the Unique check's.
QString duplicateMessage(const UsedCodeTable &table)
{
    for (const Services::CheckDef &check : table.checks) {
        if (check.kind == Services::CheckDef::Kind::Unique)
            return check.message;
    }
    return {};
}

} // namespace

CodeTableEditor::CodeTableEditor(Ui::AppContext &context, const UsedCodeTable &table, const QStringList &gridColumns,
                                 const QStringList &headings, const QString &hint, QWidget *parent)
    : Ui::RecordWindow(context, headings, parent), m_table(table), m_family{{{table.def, {}, {}, {}}}},
      m_gridColumns(gridColumns), m_binder(new Ui::FormBinder(this)), m_fields(new QFormLayout),
      m_new(new QPushButton(QStringLiteral("&Nuovo"), this))
{
    // The description takes the width the short columns leave.
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(int(gridColumns.indexOf(QStringLiteral("DESCRIZIONE"))),
                                                     QHeaderView::Stretch);
    fitGridToRows(m_context.state.rowsTab);
    m_grid->setToolTip(hint);
    setButtonTips(QString::fromUtf8(kCancelTip), QString::fromUtf8(kExitTip));

    m_new->setObjectName(QStringLiteral("nuovo"));
    m_new->setAutoDefault(false);
    connect(m_new, &QPushButton::clicked, this, &CodeTableEditor::startNew);
    setQuietButton(m_new);

    auto *label = new QLabel(hint, this);
    label->setObjectName(QStringLiteral("suggerimento"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_grid);
    layout->addLayout(m_fields);
    QHBoxLayout *buttons = buttonRow();
    buttons->insertWidget(1, m_new);
    layout->addLayout(buttons);
}

QWidget *CodeTableEditor::addCode(int length)
{
    auto *code = new Ui::CodeField(length, this);
    code->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    code->setObjectName(QStringLiteral("T_") + kCode);
    code->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * (length + 1) + 12);
    m_binder->bind(kCode, code, 0, kCode);
    watchCodeField(code);
    return code;
}

QWidget *CodeTableEditor::addText(const QString &column, int length)
{
    auto *text = new Ui::TextField(length, this);
    text->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    text->setObjectName(QStringLiteral("T_") + column);
    m_binder->bind(column, text, 0, column);
    return text;
}

QWidget *CodeTableEditor::addNumber(const QString &column, int decimals)
{
    auto *number = new Ui::NumberField(decimals, decimals == 0, this);
    number->setObjectName(QStringLiteral("T_") + column);
    number->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 8 + 12);
    m_binder->bind(column, number, 0, column);
    return number;
}

QComboBox *CodeTableEditor::addChoice(const QString &column, const QList<std::pair<QString, QString>> &choices,
                                      bool blankFirst)
{
    auto *combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("T_") + column);
    if (blankFirst)
        combo->addItem(QString(), QString());
    for (const auto &[code, text] : choices)
        combo->addItem(code + QStringLiteral(" - ") + text, code);
    m_binder->bind(column, combo, 0, column);
    return combo;
}

void CodeTableEditor::finish(int width)
{
    resize(width, sizeHint().height());
    reload();
}

QWidget *CodeTableEditor::field(const QString &column) const
{
    return m_binder->widget(column);
}

QString CodeTableEditor::value(const QString &column) const
{
    return m_binder->text(column);
}

void CodeTableEditor::setValue(const QString &column, const QString &text)
{
    m_binder->setText(column, text);
}

Row CodeTableEditor::typed() const
{
    Services::Record record(m_family);
    record.main() = m_loaded ? *m_loaded : emptyRow();
    return m_binder->read(record).main();
}

QString CodeTableEditor::loadedCode() const
{
    return m_loaded ? m_loaded->text(kCode) : QString();
}

void CodeTableEditor::reload()
{
    reloadGrid();
    display(std::nullopt);
}

void CodeTableEditor::reloadGrid()
{
    auto rows = listUsedCodes(m_context.db, m_table);
    m_rows = rows ? *rows : QList<Row>();
    const QSignalBlocker quiet(m_grid);
    m_grid->clearContents();
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(m_gridColumns.size()); ++c) {
            const Services::ColumnDef &column = *m_table.def->column(m_gridColumns.at(c));
            m_grid->setItem(r, c, new QTableWidgetItem(Services::shownText(column, m_rows[r].value(column.name))));
        }
    }
    m_grid->setCurrentCell(-1, -1);
    m_grid->clearSelection();
}

void CodeTableEditor::display(const std::optional<Row> &row)
{
    m_filling = true;
    m_loaded = row;
    Services::Record record(m_family);
    record.main() = row ? *row : emptyRow();
    m_binder->load(record);
    shown();
    m_filling = false;
}

void CodeTableEditor::loadRow(int row)
{
    if (row >= 0 && row < m_rows.size())
        display(m_rows.at(row));
}

void CodeTableEditor::startNew()
{
    {
        const QSignalBlocker quiet(m_grid);
        m_grid->setCurrentCell(-1, -1);
        m_grid->clearSelection();
    }
    display(std::nullopt);
    field(kCode)->setFocus(Qt::OtherFocusReason);
}

void CodeTableEditor::say(const Services::FieldProblem &problem)
{
    refuse(problem.message, field(m_binder->fieldOf(problem.column)));
}

bool CodeTableEditor::checkCode()
{
    const Row row = typed();
    if (m_filling || row.isBlank(kCode))
        return true;
    const auto problems = checkUsedCode(m_context.db, m_table, row, loadedCode(), kCode);
    m_binder->markField(kCode, !problems.isEmpty());
    if (problems.isEmpty())
        return true;
    say(problems.last());
    return false;
}

void CodeTableEditor::save()
{
    // A consulting user is stopped before any check or question.
    if (!m_context.db.checkWriteRights())
        return;
    const Row row = typed();
    if (m_loaded && row == *m_loaded) {
        refuse(QString::fromLatin1(kNothingChanged));
        return;
    }
    if (const auto speaker = m_binder->showProblems(checkUsedCode(m_context.db, m_table, row, loadedCode()))) {
        say(*speaker);
        return;
    }
    if (m_loaded && touchesKept(m_table, row, *m_loaded)) {
        const auto uses = codeUses(m_context.db, m_table, loadedCode());
        if (!uses)
            return;
        if (!uses->isEmpty()) {
            refuse(m_table.usedMessage);
            return;
        }
    }
    if (!confirm(QString::fromLatin1(m_loaded ? kConfirmUpdate : kConfirmInsert), false, Prompter::Button::Cancel))
        return;
    const CodeWrite written =
        m_loaded ? updateUsedCode(m_context.db, m_table, row, *m_loaded) : insertUsedCode(m_context.db, m_table, row);
    // Used meanwhile elsewhere.
    if (written.refused()) {
        refuse(m_table.usedMessage);
        return;
    }
    switch (written.result.end) {
    case WriteEnd::Written:
    case WriteEnd::NothingChanged: reload(); break;
    case WriteEnd::Duplicate:
        // Stored by another workstation since the check.
        m_binder->showProblems({{kCode, duplicateMessage(m_table)}});
        say({kCode, duplicateMessage(m_table)});
        break;
    case WriteEnd::Gone:
    case WriteEnd::ChangedElsewhere:
        // The input stays; registered again it is a new code.
        sayDeletedElsewhere();
        m_loaded.reset();
        reloadGrid();
        break;
    case WriteEnd::LockHeld:
    case WriteEnd::Failed: break; // reported; the input stays for another try
    }
}

void CodeTableEditor::remove()
{
    if (!m_context.db.checkWriteRights())
        return;
    if (!m_loaded || typed().text(kCode) != loadedCode()) {
        refuse(QString::fromLatin1(kDeleteRefused));
        return;
    }
    const auto uses = codeUses(m_context.db, m_table, loadedCode());
    if (!uses)
        return;
    if (!uses->isEmpty()) {
        refuse(deleteRefusal(m_table, *uses));
        return;
    }
    if (!confirm(QString::fromLatin1(kConfirmDelete), false, Prompter::Button::Cancel))
        return;
    const CodeWrite deleted = deleteUsedCode(m_context.db, m_table, *m_loaded);
    if (deleted.refused()) {
        refuse(deleteRefusal(m_table, deleted.uses));
        return;
    }
    if (deleted.result.end == WriteEnd::Gone)
        sayDeletedElsewhere();
    else if (deleted.result.end != WriteEnd::Written)
        return;
    reload();
}

void CodeTableEditor::cancel()
{
    // The stored row read again; one gone meanwhile leaves the form empty.
    const QString code = loadedCode();
    reload();
    if (!code.isEmpty())
        chooseCode(code);
}

bool CodeTableEditor::chooseCode(const QString &code)
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

FrmPerIva::FrmPerIva(Ui::AppContext &context, QWidget *parent)
    : CodeTableEditor(context, vatCodes(),
                      {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE"), QStringLiteral("ALIQUOTA"),
                       QStringLiteral("DESC_TIPO"), QStringLiteral("BASE_IMP")},
                      {QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Aliquota %"),
                       QStringLiteral("Tipo"), QStringLiteral("Base imp. %")},
                      QStringLiteral("Selezionare il Codice Iva da modificare"), parent)
{
    setObjectName(QStringLiteral("frmPerIva"));
    setWindowTitle(QStringLiteral("Aliquote Iva"));
    fields()->addRow(QStringLiteral("Codice"), addCode(4));
    fields()->addRow(QStringLiteral("Descrizione"), addText(QStringLiteral("DESCRIZIONE"), 40));
    fields()->addRow(QStringLiteral("Aliquota %"), addNumber(QStringLiteral("ALIQUOTA"), 2));
    fields()->addRow(QStringLiteral("Tipo codice"), addChoice(QStringLiteral("TIPO_CODICE"), vatKinds(), false));
    fields()->addRow(QStringLiteral("Base imponibile %"), addNumber(QStringLiteral("BASE_IMP"), 2));
    finish(620);
}

Ui::LookupRequest vatRateList()
{
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_PERIVA;
    request.title = QStringLiteral("Lista ALIQUOTE IVA");
    request.mode = Ui::LookupMode::Print;
    request.reportKey = QStringLiteral("TABIVA");
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("Codice")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("Descrizione")},
                       {QStringLiteral("ALIQUOTA"), QStringLiteral("08N2"), QStringLiteral("Aliquota")},
                       {QStringLiteral("DESC_TIPO"), QStringLiteral("16B"), QStringLiteral("Tipo")}};
    return request;
}

} // namespace Orlavo::Masterdata
