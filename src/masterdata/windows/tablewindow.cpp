#include "masterdata/windows/tablewindow.h"

#include "masterdata/masterdata.h"
#include "masterdata/windows/frmimport.h"
#include "services/core/concurrency.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;

namespace {

constexpr char kTablewindowNothingChanged[] = "Aggiornamento non consentito.";
constexpr char kTablewindowDeleteRefused[] = "Eliminazione non consentita.";
constexpr char kTablewindowBadCode[] = "Codice errato.";
constexpr char kTablewindowConfirmInsert[] = "Confermi inserimento ?";
constexpr char kTablewindowConfirmUpdate[] = "Confermi aggiornamento ?";
constexpr char kTablewindowConfirmDelete[] = "Confermi eliminazione ?";

QStringList headingsOf(const TableForm &form)
{
    QStringList headings;
    for (const FormField &field : form.fields)
        headings << field.caption;
    return headings;
}

// What a window can read from a text file, with the choice's caption.
QList<QPair<QString, ImportKind>> importsOf(const QString &form)
{
    if (form == QLatin1String("frmCap"))
        return {{QStringLiteral("C.A.P."), ImportKind::PostalCodes}};
    if (form == QLatin1String("frmCab"))
        return {{QStringLiteral("Filiali (C.A.B.)"), ImportKind::BankBranches},
                {QStringLiteral("Istituti bancari (A.B.I.)"), ImportKind::Banks}};
    if (form == QLatin1String("frmPaesi"))
        return {{QStringLiteral("Paesi"), ImportKind::Countries}};
    return {};
}

} // namespace

TableWindow::TableWindow(Ui::AppContext &context, const TableForm &form, QWidget *parent)
    : Ui::RecordWindow(context, headingsOf(form), parent), m_form(form),
      m_family{{{&m_form.def, {}, {}, {}}}}, m_binder(new Ui::FormBinder(this))
{
    setObjectName(form.name);
    setWindowTitle(form.title);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    fitGridToRows(m_context.state.rowsTab);

    auto *fields = new QFormLayout;
    for (const FormField &field : m_form.fields)
        fields->addRow(field.caption, makeField(field));
    // The key is checked when its last field is left.
    for (auto it = m_form.fields.rbegin(); it != m_form.fields.rend(); ++it) {
        if (it->key) {
            watchCodeField(field(it->column));
            break;
        }
    }
    if (!m_form.townField.isEmpty())
        watchField(static_cast<QLineEdit *>(field(m_form.townField)));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(fields);
    QHBoxLayout *buttons = buttonRow();
    if (const auto imports = importsOf(m_form.name); !imports.isEmpty()) {
        auto *import = new QPushButton(QStringLiteral("&Importa da file..."), this);
        import->setObjectName(QStringLiteral("importa"));
        import->setAutoDefault(false);
        if (imports.size() == 1) {
            const ImportKind kind = imports.first().second;
            connect(import, &QPushButton::clicked, this, [this, kind] { importFile(kind); });
        } else {
            auto *choices = new QMenu(import);
            for (const auto &[caption, kind] : imports)
                choices->addAction(caption, this, [this, kind = kind] { importFile(kind); });
            import->setMenu(choices);
        }
        buttons->insertWidget(0, import);
    }
    layout->addLayout(buttons);
    resize(640, sizeHint().height());
    reload();
}

QWidget *TableWindow::makeField(const FormField &field)
{
    QWidget *widget = nullptr;
    switch (field.kind) {
    case FormField::Kind::Code: {
        auto *code = new Ui::CodeField(field.length, this);
        code->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
        if (field.lookup)
            connect(code, &Ui::CodeField::lookupRequested, this, [this, &field] { pick(field); });
        widget = code;
        break;
    }
    case FormField::Kind::Text: {
        auto *text = new Ui::TextField(field.length, this);
        text->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
        widget = text;
        break;
    }
    case FormField::Kind::Number: widget = new Ui::NumberField(field.decimals, false, this); break;
    case FormField::Kind::Flag: widget = new QCheckBox(this); break;
    }
    // Short codes and figures get a field their size.
    if (field.kind == FormField::Kind::Code || field.kind == FormField::Kind::Number) {
        const int characters = field.kind == FormField::Kind::Code ? field.length : 12;
        widget->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * (characters + 1) + 12);
    }
    widget->setObjectName(QStringLiteral("T_") + field.column);
    m_binder->bind(field.column, widget, 0, field.column);
    return widget;
}

QWidget *TableWindow::field(const QString &column) const
{
    return m_binder->widget(column);
}

QString TableWindow::value(const QString &column) const
{
    return m_binder->text(column);
}

void TableWindow::setValue(const QString &column, const QString &text)
{
    m_binder->setText(column, text);
}

Services::Record TableWindow::recordOf(const std::optional<FormRow> &row) const
{
    Services::Record record(m_family);
    if (row)
        record.main() = *row;
    return record;
}

FormRow TableWindow::typed() const
{
    return m_binder->read(recordOf(m_loaded)).main();
}

void TableWindow::reload()
{
    auto rows = listFormRows(m_context.db, m_form);
    m_rows = rows ? *rows : QList<FormRow>();
    const QSignalBlocker block(m_grid);
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(m_form.def.columns.size()); ++c) {
            const Services::ColumnDef &column = m_form.def.columns[c];
            m_grid->setItem(r, c, new QTableWidgetItem(Services::shownText(column, m_rows[r].value(column.name))));
        }
    }
    display(std::nullopt);
}

void TableWindow::display(const std::optional<FormRow> &row)
{
    m_loaded = row;
    m_binder->load(recordOf(row));
    // The key of a stored row stays: a new key is a new row.
    for (const QString &key : m_form.keyColumns()) {
        if (auto *edit = qobject_cast<QLineEdit *>(field(key)))
            edit->setReadOnly(row.has_value());
    }
}

void TableWindow::loadRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    display(m_rows[row]);
}

QList<Services::FieldProblem> TableWindow::problems(const QString &only)
{
    // A stored row keeps its key: the key's own check is a new row's.
    QList<Services::CheckDef> checks = m_form.checks;
    if (m_loaded)
        checks.removeIf([](const Services::CheckDef &c) { return c.kind == Services::CheckDef::Kind::Unique; });
    const FormRow row = typed();
    return Services::runChecks(
        m_context.db, checks, [&row](const QString &column) { return row.value(column); }, only);
}

bool TableWindow::checkAll()
{
    const auto speaker = m_binder->showProblems(problems());
    if (!speaker)
        return true;
    refuse(speaker->message, field(speaker->column));
    return false;
}

bool TableWindow::checkCode()
{
    if (m_loaded)
        return true;
    for (const QString &key : m_form.keyColumns()) {
        if (value(key).trimmed().isEmpty())
            return true;
    }
    const FormRow row = typed();
    for (const Services::CheckDef &check : m_form.checks) {
        if (check.kind != Services::CheckDef::Kind::Unique)
            continue;
        if (Services::runChecks(m_context.db, {check}, [&row](const QString &column) { return row.value(column); })
                .isEmpty())
            return true;
        m_binder->markField(check.column, true);
        refuse(check.message);
        return false;
    }
    return true;
}

void TableWindow::save()
{
    if (!m_context.db.checkWriteRights())
        return;
    const FormRow row = typed();
    if (m_loaded && row == *m_loaded) {
        refuse(QString::fromLatin1(kTablewindowNothingChanged));
        return;
    }
    if (!checkAll() || !confirm(QString::fromUtf8(m_loaded ? kTablewindowConfirmUpdate : kTablewindowConfirmInsert)))
        return;
    const Services::WriteResult written =
        m_loaded ? updateFormRow(m_context.db, m_form, row, *m_loaded) : insertFormRow(m_context.db, m_form, row);
    switch (written.end) {
    case Services::WriteEnd::Written:
    case Services::WriteEnd::NothingChanged: reload(); break;
    case Services::WriteEnd::Duplicate: {
        // Stored by another workstation since the check: the window's own message.
        const QString key = m_form.keyColumns().first();
        m_binder->markField(key, true);
        refuse(m_form.takenMessage, field(key));
        break;
    }
    case Services::WriteEnd::Gone:
    case Services::WriteEnd::ChangedElsewhere:
        sayDeletedElsewhere();
        reload();
        break;
    case Services::WriteEnd::LockHeld:
    case Services::WriteEnd::Failed: break; // reported; the input stays for another try
    }
}

void TableWindow::remove()
{
    if (!m_context.db.checkWriteRights())
        return;
    const FormRow row = typed();
    for (const QString &key : m_form.keyColumns()) {
        if (row.isBlank(key)) {
            refuse(QString::fromLatin1(kTablewindowBadCode));
            return;
        }
    }
    if (!m_loaded) {
        refuse(QString::fromLatin1(kTablewindowDeleteRefused));
        return;
    }
    if (!confirm(QString::fromUtf8(kTablewindowConfirmDelete)))
        return;
    const Services::WriteEnd deleted = deleteFormRow(m_context.db, m_form, *m_loaded).end;
    if (deleted == Services::WriteEnd::Failed || deleted == Services::WriteEnd::LockHeld)
        return;
    if (deleted == Services::WriteEnd::Gone)
        sayDeletedElsewhere();
    reload();
}

void TableWindow::cancel()
{
    std::optional<FormRow> again;
    if (m_loaded) {
        if (auto current = findFormRow(m_context.db, m_form, *m_loaded))
            again = *current;
    }
    reload();
    if (again)
        display(again);
}

void TableWindow::pick(const FormField &field)
{
    const FormLookup &lookup = *field.lookup;
    Ui::LookupRequest request;
    request.table = lookup.table;
    request.title = lookup.title;
    request.columns = lookup.columns;
    if (!lookup.scopeField.isEmpty() && !value(lookup.scopeField).trimmed().isEmpty()) {
        request.condition = Services::sqlUpperEquals(lookup.scopeTableColumn);
        request.conditionParams = {value(lookup.scopeField).trimmed()};
    }
    const auto chosen = Ui::showLookupList(m_context, request, this);
    if (!chosen)
        return;
    for (int i = 0; i < lookup.fills.size() && i < chosen->size(); ++i) {
        const QString &target = lookup.fills[i];
        if (target.isEmpty())
            continue;
        // The key of a stored row stays as it is.
        const FormField *targetField = m_form.field(target);
        if (m_loaded && targetField && targetField->key)
            continue;
        setValue(target, chosen->at(i));
        m_binder->markField(target, false);
    }
    this->field(field.column)->setFocus(Qt::OtherFocusReason);
}

void TableWindow::importFile(ImportKind kind)
{
    if (m_context.db.checkWriteRights() && importTable(m_context, kind, this))
        reload();
}

void TableWindow::fillFromTown()
{
    const auto place = placeOfTown(m_context, value(m_form.townField), this);
    if (!place)
        return;
    if (!place->postalCode.isEmpty())
        setValue(m_form.postalField, place->postalCode);
    setValue(m_form.provinceField, place->province);
}

void TableWindow::fieldLeft(QLineEdit *)
{
    fillFromTown();
}

Ui::LookupRequest tableFormList(const TableForm &form)
{
    Ui::LookupRequest request;
    request.table = form.table;
    request.title = form.listTitle;
    request.mode = Ui::LookupMode::Print;
    request.reportKey = form.reportKey;
    const QString code = form.printColumns.value(0);
    const QString description = form.printColumns.value(1);
    request.columns = {{code, QStringLiteral("06C"), form.field(code)->caption},
                       {description, QStringLiteral("40C"), form.field(description)->caption}};
    return request;
}

} // namespace Orlavo::Masterdata
