#include "masterdata/windows/frmgetab.h"

#include "services/core/concurrency.h"
#include "ui/appcontext.h"
#include "ui/inputfields.h"

#include <QFormLayout>
#include <QHash>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;

namespace {

constexpr char kWindowTitle[] = "Gestione Tabella ";
constexpr char kFrmgetabTitle[] = "Gestione Tabelle ";
constexpr char kCodeTaken[] = "Codice Elemento errato";
constexpr char kFrmgetabNothingChanged[] = "Aggiornamento non consentito.";
constexpr char kFrmgetabBadCode[] = "Codice errato.";
constexpr char kBadDescription[] = "Descrizione errata.";
constexpr char kFrmgetabConfirmInsert[] = "Confermi inserimento ?";
constexpr char kFrmgetabConfirmUpdate[] = "Confermi aggiornamento ?";
constexpr char kInsertedElsewhere[] = "Elemento già inserito da un altro utente;\n"
                                      "Riportare comunqua gli aggiornamenti) ";
constexpr char kFrmgetabDeleteRefused[] = "Eliminazione non consentita.";
constexpr char kFrmgetabConfirmDelete[] = "Confermi eliminazione ?";

// The open window of each table, by the table's name.
QHash<QString, QPointer<FrmGetab>> &openWindows()
{
    static QHash<QString, QPointer<FrmGetab>> windows;
    return windows;
}

} // namespace

FrmGetab::FrmGetab(Ui::AppContext &context, const CodeTable &table, QWidget *parent)
    : Ui::RecordWindow(context, {table.codeHeading, table.descriptionHeading}, parent), m_table(table),
      m_code(new Ui::CodeField(table.codeLength, this)),
      m_description(new Ui::TextField(table.descriptionLength, this))
{
    setObjectName(QStringLiteral("FrmGetab"));
    setWindowTitle(QString::fromUtf8(kWindowTitle) + m_table.title);
    setMessageTitle(QString::fromUtf8(kFrmgetabTitle));

    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    // NUMRIGHETAB rows in view, no more, no less.
    fitGridToRows(m_context.state.rowsTab);

    m_code->setObjectName(QStringLiteral("codice"));
    m_code->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    watchCodeField(m_code);
    m_description->setObjectName(QStringLiteral("descrizione"));
    m_description->setUpperCaseSwitch(&m_context.state.upperCaseKeys);


    auto *fields = new QFormLayout;
    fields->addRow(m_table.codeHeading, m_code);
    fields->addRow(m_table.descriptionHeading, m_description);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(fields);
    layout->addLayout(buttonRow());
    resize(560, sizeHint().height());

    reloadGrid();
    clearFields();
}

void FrmGetab::reloadGrid()
{
    auto rows = listCodes(m_context.db, m_table);
    m_rows = rows ? *rows : QList<CodeRow>();
    const QSignalBlocker quiet(m_grid);
    m_grid->clearContents();
    m_grid->setRowCount(int(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row) {
        m_grid->setItem(row, 0, new QTableWidgetItem(m_rows.at(row).code));
        m_grid->setItem(row, 1, new QTableWidgetItem(m_rows.at(row).description));
    }
    m_grid->setCurrentCell(-1, -1);
    m_grid->clearSelection();
}

void FrmGetab::clearFields()
{
    m_loaded.reset();
    m_code->clear();
    m_description->clear();
}

void FrmGetab::showRow(const CodeRow &row)
{
    m_loaded = row;
    m_code->setText(row.code);
    m_description->setText(row.description);
}

void FrmGetab::loadRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    showRow(m_rows.at(row));
}

QString FrmGetab::typedCode() const
{
    // Codes are kept in capitals, whatever the switch and however they came.
    return m_code->text().trimmed().toUpper();
}

void FrmGetab::rowGone()
{
    sayDeletedElsewhere();
    // The operator's input stays; registered again it is a new element.
    m_loaded.reset();
    reloadGrid();
}

bool FrmGetab::checkCode()
{
    const QString code = typedCode();
    if (code.isEmpty() || (m_loaded && code == m_loaded->code))
        return true;
    auto existing = findCode(m_context.db, m_table, code);
    if (existing && existing->has_value()) {
        refuse(QString::fromUtf8(kCodeTaken));
        return false;
    }
    return true;
}

void FrmGetab::save()
{
    // A consulting user is stopped before any check or question.
    if (!m_context.db.checkWriteRights())
        return;
    const QString code = typedCode();
    const QString description = m_description->text().trimmed();
    if (m_loaded && code == m_loaded->code && description == m_loaded->description) {
        refuse(QString::fromUtf8(kFrmgetabNothingChanged));
        return;
    }
    if (code.isEmpty()) {
        refuse(QString::fromUtf8(kFrmgetabBadCode));
        return;
    }
    if (description.isEmpty()) {
        refuse(QString::fromUtf8(kBadDescription));
        return;
    }
    // A loaded row renamed onto a code that exists: the field's own message.
    if (m_loaded && code != m_loaded->code && !checkCode())
        return;
    if (!confirm(QString::fromUtf8(m_loaded ? kFrmgetabConfirmUpdate : kFrmgetabConfirmInsert), false, Prompter::Button::Cancel))
        return;

    // Read again: another workstation may have changed the table since the
    // list was read.
    const CodeRow row{code, description};
    Services::WriteEnd written = Services::WriteEnd::Failed;
    if (m_loaded) {
        auto current = findCode(m_context.db, m_table, m_loaded->code);
        if (!current)
            return;
        if (!current->has_value()) {
            rowGone();
            return;
        }
        written = updateCode(m_context.db, m_table, m_loaded->code, row).end;
    } else {
        auto current = findCode(m_context.db, m_table, code);
        if (!current)
            return;
        if (current->has_value()) {
            const Prompter::Button answer =
                m_context.prompter.ask(QString::fromUtf8(kInsertedElsewhere), QString::fromUtf8(kFrmgetabTitle),
                                       Prompter::Icon::Question, Prompter::Buttons::YesNo);
            if (answer != Prompter::Button::Yes) {
                reloadGrid();
                return;
            }
            written = updateCode(m_context.db, m_table, code, row).end;
        } else {
            written = insertCode(m_context.db, m_table, row) ? Services::WriteEnd::Written : Services::WriteEnd::Failed;
        }
    }

    switch (written) {
    case Services::WriteEnd::Written:
    case Services::WriteEnd::NothingChanged:
        reloadGrid();
        clearFields();
        break;
    case Services::WriteEnd::Gone:
    case Services::WriteEnd::ChangedElsewhere: rowGone(); break;
    case Services::WriteEnd::Duplicate: refuse(QString::fromUtf8(kCodeTaken)); break;
    case Services::WriteEnd::LockHeld:
    case Services::WriteEnd::Failed: break; // reported; the input stays for another try
    }
}

void FrmGetab::remove()
{
    if (!m_context.db.checkWriteRights())
        return;
    const QString code = typedCode();
    if (!m_loaded || code != m_loaded->code) {
        refuse(QString::fromUtf8(kFrmgetabDeleteRefused));
        return;
    }
    if (code.isEmpty()) {
        refuse(QString::fromUtf8(kFrmgetabBadCode));
        return;
    }
    if (!confirm(QString::fromUtf8(kFrmgetabConfirmDelete), false, Prompter::Button::Cancel))
        return;
    if (!deleteCode(m_context.db, m_table, m_loaded->code))
        return;
    reloadGrid();
    clearFields();
}

void FrmGetab::cancel()
{
    std::optional<CodeRow> again;
    if (m_loaded) {
        auto current = findCode(m_context.db, m_table, m_loaded->code);
        if (current)
            again = *current;
    }
    reloadGrid();
    // A row removed meanwhile leaves an empty form, as for a new element.
    if (again)
        showRow(*again);
    else
        clearFields();
}

FrmGetab *openCodeTable(Ui::AppContext &context, const CodeTable &table, QWidget *parent)
{
    QPointer<FrmGetab> &slot = openWindows()[table.table];
    if (!slot) {
        slot = new FrmGetab(context, table, parent);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    FrmGetab *window = slot;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

Ui::LookupRequest codeTableList(const CodeTable &table, Ui::LookupMode mode)
{
    Ui::LookupRequest request;
    request.table = table.table;
    request.title = table.listTitle;
    request.mode = mode;
    request.reportKey = table.reportKey;
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("06C"), table.codeHeading},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), table.descriptionHeading}};
    return request;
}

} // namespace Orlavo::Masterdata
