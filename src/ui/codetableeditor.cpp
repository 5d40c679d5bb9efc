#include "ui/codetableeditor.h"

#include "services/core/concurrency.h"
#include "services/data/dataaccess.h"
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

#include <algorithm>

namespace {

// 1366×768 less the main window's menu, toolbar, status bar and frame.
constexpr int kTallest = 620;

} // namespace

namespace Orlavo::Ui {

using Services::Prompter;
using Services::Row;
using Services::WriteEnd;

namespace {

constexpr char kInserting[] = "Inserimento";
constexpr char kModifying[] = "Modifica";
constexpr char kNothingChanged[] = "Aggiornamento non consentito.";
constexpr char kDeleteRefused[] = "Eliminazione non consentita.";
constexpr char kConfirmInsert[] = "Confermi inserimento ?";
constexpr char kConfirmUpdate[] = "Confermi aggiornamento ?";
constexpr char kConfirmDelete[] = "Confermi eliminazione ?";

} // namespace

CodeTableEditor::CodeTableEditor(AppContext &context, std::unique_ptr<CodeTableSource> source, Style style,
                                 const QStringList &gridColumns, const QStringList &headings, const QString &hint,
                                 QWidget *parent)
    : RecordWindow(context, headings, parent), m_source(std::move(source)),
      m_style(style), m_family{{{&m_source->table(), {}, {}, {}}}}, m_gridColumns(gridColumns),
      m_binder(new FormBinder(this)), m_form(new QVBoxLayout), m_fields(new QFormLayout),
      m_new(new QPushButton(QStringLiteral("&Nuovo"), this))
{
    // The description takes the width the short columns leave.
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(int(gridColumns.indexOf(QStringLiteral("DESCRIZIONE"))),
                                                     QHeaderView::Stretch);
    fitGridToRows(m_context.state.rowsTab);
    m_grid->setToolTip(hint);

    m_new->setObjectName(QStringLiteral("nuovo"));
    m_new->setAutoDefault(false);
    connect(m_new, &QPushButton::clicked, this, &CodeTableEditor::startNew);
    setQuietButton(m_new);

    m_form->addLayout(m_fields);
    auto *label = new QLabel(hint, this);
    label->setObjectName(QStringLiteral("suggerimento"));
    auto *layout = new QVBoxLayout(this);
    if (m_style == Style::ListFirst) {
        layout->addWidget(label);
        layout->addWidget(m_grid);
        layout->addLayout(m_form);
    } else {
        m_mode = new QLabel(this);
        m_mode->setObjectName(QStringLiteral("modo"));
        QFont bold = m_mode->font();
        bold.setBold(true);
        m_mode->setFont(bold);
        layout->addWidget(m_mode);
        layout->addLayout(m_form);
        layout->addWidget(label);
        layout->addWidget(m_grid);
    }
    QHBoxLayout *buttons = buttonRow();
    buttons->insertWidget(1, m_new);
    layout->addLayout(buttons);
}

std::function<LookupRequest()> CodeTableEditor::codeList(const QString &table, const QString &title)
{
    return [table, title] {
        LookupRequest request;
        request.table = table;
        request.title = title;
        request.columns = {{QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("Codice")},
                           {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QStringLiteral("Descrizione")}};
        return request;
    };
}

QList<std::pair<QString, QString>> CodeTableEditor::withCodes(const QList<std::pair<QString, QString>> &choices)
{
    QList<std::pair<QString, QString>> shown;
    for (const auto &[code, text] : choices)
        shown.append({code, code + QStringLiteral(" - ") + text});
    return shown;
}

QWidget *CodeTableEditor::addKey(int length)
{
    CodeField *code = addCode(m_source->key(), length);
    watchCodeField(code);
    return code;
}

CodeField *CodeTableEditor::addCode(const QString &column, int length)
{
    auto *code = new CodeField(length, this);
    code->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    code->setObjectName(QStringLiteral("T_") + column);
    code->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * (length + 1) + 12);
    m_binder->bind(column, code, 0, column);
    connect(code, &QLineEdit::textChanged, this, &CodeTableEditor::updateButtons);
    return code;
}

QWidget *CodeTableEditor::addText(const QString &column, int length)
{
    auto *text = new TextField(length, this);
    text->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    text->setObjectName(QStringLiteral("T_") + column);
    m_binder->bind(column, text, 0, column);
    connect(text, &QLineEdit::textChanged, this, &CodeTableEditor::updateButtons);
    return text;
}

QWidget *CodeTableEditor::addNumber(const QString &column, int decimals)
{
    auto *number = new NumberField(decimals, decimals == 0, this);
    number->setObjectName(QStringLiteral("T_") + column);
    number->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 8 + 12);
    m_binder->bind(column, number, 0, column);
    connect(number, &QLineEdit::textChanged, this, &CodeTableEditor::updateButtons);
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
        combo->addItem(text, code);
    m_binder->bind(column, combo, 0, column);
    connect(combo, &QComboBox::currentIndexChanged, this, &CodeTableEditor::updateButtons);
    return combo;
}

QWidget *CodeTableEditor::addCoded(const QString &column, int length, std::function<LookupRequest()> list,
                                   int labelWidth)
{
    CodeField *code = addCode(column, length);
    watchField(code);
    attachLookup(code, m_context, std::move(list));
    connect(
        code, &CodeField::lookupRequested, this, [this, column] { showDescription(column); }, Qt::QueuedConnection);
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("D_DESC_") + column);
    label->setMinimumWidth(labelWidth);
    m_descriptions.insert(column, label);
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(code);
    row->addWidget(label, 1);
    return box;
}

void CodeTableEditor::finish(int width, const QList<QWidget *> &tabOrder, QWidget *first)
{
    m_first = first;
    m_width = width;
    // The list shows the rows the setting asks for, as many as fit when the
    // fields above take the room.
    const int others = RecordWindow::sizeHint().height() - m_grid->height();
    const int room = kTallest - others - m_grid->horizontalHeader()->sizeHint().height() - 2 * m_grid->frameWidth();
    fitGridToRows(
        std::clamp(room / m_grid->verticalHeader()->defaultSectionSize(), 3, std::max(3, m_context.state.rowsTab)));
    resize(sizeHint());
    if (!tabOrder.isEmpty()) {
        // The fields, then the buttons, then the list.
        QList<QWidget *> order = tabOrder;
        order << m_new << m_save << m_remove << m_cancel << m_exit << m_grid;
        for (int i = 1; i < order.size(); ++i)
            setTabOrder(order.at(i - 1), order.at(i));
    }
    reload();
    if (m_style == Style::FormFirst)
        (m_first ? m_first : field(m_source->key()))->setFocus(Qt::OtherFocusReason);
}

QSize CodeTableEditor::sizeHint() const
{
    const QSize laid = RecordWindow::sizeHint();
    return {std::max(laid.width(), m_width), std::min(laid.height(), kTallest)};
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
    if (m_descriptions.contains(column))
        showDescription(column);
}

QString CodeTableEditor::description(const QString &column) const
{
    const QLabel *label = m_descriptions.value(column);
    return label ? label->text() : QString();
}

QString CodeTableEditor::mode() const
{
    return m_mode ? m_mode->text() : QString();
}

bool CodeTableEditor::hasChanges() const
{
    return m_binder->hasChanges();
}

Row CodeTableEditor::emptyRow() const
{
    return Row(m_source->table());
}

QString CodeTableEditor::gridText(const Row &row, const QString &column) const
{
    return Services::shownText(*m_source->table().column(column), row.value(column));
}

Row CodeTableEditor::typed() const
{
    Services::Record record(m_family);
    record.main() = m_loaded ? *m_loaded : emptyRow();
    Row row = m_binder->read(record).main();
    readUnbound(row);
    return row;
}

QString CodeTableEditor::loadedCode() const
{
    return m_loaded ? m_loaded->text(m_source->key()) : QString();
}

void CodeTableEditor::reload()
{
    reloadGrid();
    display(std::nullopt);
}

void CodeTableEditor::reloadGrid()
{
    m_rows = m_source->rows();
    const QSignalBlocker quiet(m_grid);
    m_grid->clearContents();
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(m_gridColumns.size()); ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(gridText(m_rows.at(r), m_gridColumns.at(c))));
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
    shown(record.main());
    for (auto it = m_descriptions.begin(); it != m_descriptions.end(); ++it)
        showDescription(it.key());
    if (m_mode)
        m_mode->setText(QString::fromLatin1(row ? kModifying : kInserting));
    updateButtons();
    m_filling = false;
}

void CodeTableEditor::showDescription(const QString &column)
{
    if (QLabel *label = m_descriptions.value(column))
        label->setText(describe(column, value(column)));
}

void CodeTableEditor::fieldLeft(QLineEdit *field)
{
    showDescription(m_binder->nameOf(field));
}

void CodeTableEditor::updateButtons()
{
    if (m_style == Style::ListFirst)
        return;
    const bool changed = hasChanges();
    m_save->setEnabled(changed);
    m_cancel->setEnabled(changed);
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
    (m_first ? m_first : field(m_source->key()))->setFocus(Qt::OtherFocusReason);
}

bool CodeTableEditor::chooseCode(const QString &code)
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).text(m_source->key()) != code.trimmed().toUpper())
            continue;
        {
            const QSignalBlocker quiet(m_grid);
            m_grid->setCurrentCell(row, m_chosenColumn);
        }
        display(m_rows.at(row));
        return true;
    }
    return false;
}

void CodeTableEditor::say(const Services::FieldProblem &problem)
{
    refuse(problem.message, field(m_binder->fieldOf(problem.column)));
}

bool CodeTableEditor::showProblems(const QList<Services::FieldProblem> &problems)
{
    const auto speaker = m_binder->showProblems(problems);
    if (speaker)
        say(*speaker);
    return speaker.has_value();
}

QString CodeTableEditor::deleteRefused(const QStringList &uses) const
{
    return m_source->deleteRefused(uses);
}

bool CodeTableEditor::checkCode()
{
    const QString key = m_source->key();
    const Row row = typed();
    if (m_filling || row.isBlank(key))
        return true;
    const auto problems = m_source->check(row, loadedCode(), key);
    m_binder->markField(key, !problems.isEmpty());
    if (problems.isEmpty())
        return true;
    say(problems.last());
    return false;
}

void CodeTableEditor::lose()
{
    sayDeletedElsewhere();
    m_loaded.reset();
    if (m_mode)
        m_mode->setText(QString::fromLatin1(kInserting));
    reloadGrid();
}

bool CodeTableEditor::storedStillThere()
{
    switch (m_source->stored(*m_loaded)) {
    case Services::StoredState::Same: return true;
    case Services::StoredState::Changed:
        return m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                                      Prompter::Buttons::OkCancel, Prompter::Button::Cancel) == Prompter::Button::Ok;
    case Services::StoredState::Gone: break;
    }
    lose();
    return false;
}

void CodeTableEditor::save()
{
    // A consulting user is stopped before any check or question.
    if (!m_context.db.checkWriteRights())
        return;
    if (m_style == Style::FormFirst && !hasChanges())
        return;
    const QString key = m_source->key();
    const Row row = typed();
    if (m_style == Style::ListFirst && m_loaded && row == *m_loaded) {
        refuse(QString::fromLatin1(kNothingChanged));
        return;
    }
    if (showProblems(m_source->check(row, loadedCode())))
        return;
    if (m_loaded && row.text(key) != loadedCode() && !renameAccepted(loadedCode()))
        return;
    if (m_loaded && m_source->asksUses(row, *m_loaded)) {
        const auto uses = m_source->uses(loadedCode());
        if (!uses)
            return;
        if (!uses->isEmpty()) {
            refuse(m_source->usedMessage());
            return;
        }
    }
    if (!confirm(QString::fromLatin1(m_loaded ? kConfirmUpdate : kConfirmInsert), false, Prompter::Button::Cancel))
        return;
    if (m_style == Style::FormFirst && m_loaded && !storedStillThere())
        return;
    const Services::WriteResult written = m_loaded ? m_source->update(row, *m_loaded) : m_source->insert(row);
    // Used meanwhile elsewhere.
    if (!written.uses.isEmpty()) {
        refuse(m_source->usedMessage());
        return;
    }
    switch (written.end) {
    case WriteEnd::Written:
    case WriteEnd::NothingChanged: reload(); break;
    // Stored by another workstation since the check.
    case WriteEnd::Duplicate: showProblems({{key, m_source->taken(row)}}); break;
    case WriteEnd::Gone:
    case WriteEnd::ChangedElsewhere: lose(); break;
    case WriteEnd::LockHeld:
    case WriteEnd::Failed: break; // reported; the input stays for another try
    }
}

void CodeTableEditor::remove()
{
    if (!m_context.db.checkWriteRights())
        return;
    if (!m_loaded || typed().text(m_source->key()) != loadedCode()) {
        refuse(QString::fromLatin1(kDeleteRefused));
        return;
    }
    const auto uses = m_source->uses(loadedCode());
    if (!uses)
        return;
    if (!uses->isEmpty()) {
        refuse(deleteRefused(*uses));
        return;
    }
    if (!confirm(QString::fromLatin1(kConfirmDelete), false, Prompter::Button::Cancel))
        return;
    if (m_style == Style::FormFirst && !storedStillThere())
        return;
    const Services::WriteResult deleted = m_source->remove(*m_loaded);
    if (!deleted.uses.isEmpty()) {
        refuse(deleteRefused(deleted.uses));
        return;
    }
    if (deleted.end == WriteEnd::Gone)
        sayDeletedElsewhere();
    else if (deleted.end != WriteEnd::Written)
        return;
    reload();
}

void CodeTableEditor::cancel()
{
    if (m_style == Style::FormFirst) {
        display(m_loaded);
        return;
    }
    // The stored row read again; one gone meanwhile leaves the form empty.
    const QString code = loadedCode();
    reload();
    if (!code.isEmpty())
        chooseCode(code);
}

} // namespace Orlavo::Ui
