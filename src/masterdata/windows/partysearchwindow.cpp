#include "masterdata/windows/partysearchwindow.h"

#include "masterdata/windows/codedlookups.h"
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
#include <QVBoxLayout>

#include <algorithm>

namespace Orlavo::Masterdata {

namespace {

constexpr char kNoPrint[] = "La stampa non può cercare i caratteri * e ? nei testi.";
constexpr char kNoPartyPrint[] = "La stampa non può cercare i caratteri * e ? nei testi:\n"
                                 "togliere * e ? dalla ragione sociale e dalla località.";

} // namespace

SearchWindow::SearchWindow(Ui::AppContext &context, const QString &name, const QString &title, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(name);
    setWindowTitle(title);
    m_layout = new QVBoxLayout(this);
    auto *box = new QGroupBox(QStringLiteral("Selezione"), this);
    m_grid = new QGridLayout(box);
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnStretch(3, 1);
    m_layout->addWidget(box);
}

void SearchWindow::placed(QWidget *widget, int row, int col, int span)
{
    m_grid->addWidget(widget, row, col, 1, span);
    m_nextRow = std::max(m_nextRow, row + 1);
}

QLineEdit *SearchWindow::put(int row, int col, const QString &caption, const QString &name, int length, bool number,
                             int span)
{
    Ui::InputField *field = nullptr;
    if (const CodedLookup *lookup = partyLookup(name)) {
        // Coded filters (an agent's number too) offer their list on F4.
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

    auto *label = new QLabel(caption);
    label->setBuddy(field);
    m_grid->addWidget(label, row, col);
    placed(field, row, col + 1, span);
    return field;
}

QCheckBox *SearchWindow::putOption(int row, int col, const QString &caption, const QString &name, int span)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(QStringLiteral("T_") + name);
    m_options.insert(name, box);
    placed(box, row, col, span);
    return box;
}

void SearchWindow::addButtons(bool printable)
{
    m_printable = printable;
    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QList<QPushButton *> buttons;
    QPushButton *list = button(QStringLiteral("&Lista"), "B_Lista");
    list->setDefault(true);
    connect(list, &QPushButton::clicked, this, [this] { showList(); });
    buttons << list;
    if (printable) {
        QPushButton *print = button(QStringLiteral("&Stampa"), "B_Stampa");
        connect(print, &QPushButton::clicked, this, [this] { this->print(true); });
        buttons << print;
    }
    QPushButton *clear = button(QStringLiteral("&Annulla"), "B_Annulla");
    QPushButton *exit = button(QStringLiteral("E&sci"), "B_Esci");
    connect(clear, &QPushButton::clicked, this, [this] { clearFilters(); });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    buttons << clear << exit;
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *b : std::as_const(buttons))
        row->addWidget(b);
    m_layout->addLayout(row);
}

QString SearchWindow::text(const char *name) const
{
    const QLineEdit *field = m_fields.value(QString::fromLatin1(name));
    return field ? field->text().trimmed() : QString();
}

std::optional<int> SearchWindow::number(const char *name) const
{
    const QString typed = text(name);
    if (typed.isEmpty())
        return std::nullopt;
    return typed.toInt();
}

bool SearchWindow::ticked(const char *name) const
{
    const QCheckBox *box = m_options.value(QString::fromLatin1(name));
    return box && box->isChecked();
}

void SearchWindow::sayRefused(const QString &message) const
{
    m_context.prompter.error(message, windowTitle());
}

void SearchWindow::showList()
{
    const auto found = told(find());
    if (!found)
        return;
    const auto row = Ui::showLookupList(m_context, found->list, this);
    if (row && !row->isEmpty())
        chosen(*row);
}

Reporting::PrintCommand SearchWindow::printCommandOf(const QString &) const
{
    return {};
}

QString SearchWindow::unprintable() const
{
    return QString::fromUtf8(kNoPrint);
}

bool SearchWindow::print(Reporting::ReportOutput output, const QString &pdfPath)
{
    if (!m_printable)
        return false;
    const auto found = told(find());
    if (!found)
        return false;
    if (!found->formula) {
        m_context.prompter.warn(unprintable(), windowTitle());
        return false;
    }
    if (!beforePrint())
        return false;
    Reporting::PrintCommand command = printCommandOf(*found->formula);
    command.output = output;
    command.pdfPath = pdfPath;
    return Ui::printReport(m_context, command, this);
}

bool SearchWindow::print(bool preview)
{
    return print(preview ? Reporting::ReportOutput::Preview : Reporting::ReportOutput::Printer);
}

void SearchWindow::clearFilters()
{
    for (QLineEdit *field : std::as_const(m_fields)) {
        if (!field->isReadOnly())
            field->clear();
    }
    for (QCheckBox *box : std::as_const(m_options))
        box->setChecked(false);
    clearOptions();
}

void SearchWindow::TimStampa()
{
    print(false);
}

void SearchWindow::TimAnte()
{
    print(true);
}

PartySearchWindow::PartySearchWindow(Ui::AppContext &context, const QString &name, const QString &title,
                                     const QString &typeColumn, const QString &typeCaption, QWidget *parent)
    : SearchWindow(context, name, title, parent)
{
    put(0, 0, QStringLiteral("Da codice"), QStringLiteral("CODICE_DA"), 5, true);
    put(0, 2, QStringLiteral("A codice"), QStringLiteral("CODICE_A"), 5, true);
    put(1, 0, QStringLiteral("Ragione sociale"), QStringLiteral("RAG_SOC1"), 60, false, 3);
    put(2, 0, QStringLiteral("Località"), QStringLiteral("CITTA_LEG"), 40, false, 2);
    m_townPattern = putOption(2, 3, QStringLiteral("Contenuta nel nome"), QStringLiteral("CITTA_PARZIALE"));
    put(3, 0, QStringLiteral("Provincia"), QStringLiteral("PROVINCIA_LEG"), 2);
    put(3, 2, typeCaption, typeColumn, 2);
    put(4, 0, QStringLiteral("Partita IVA"), QStringLiteral("PART_IVA"), 11);
    put(4, 2, QStringLiteral("Codice fiscale"), QStringLiteral("COD_FISC"), 16);
}

void PartySearchWindow::readShared(PartySearchFilters &filters) const
{
    filters.codeFrom = number("CODICE_DA");
    filters.codeTo = number("CODICE_A");
    filters.name = text("RAG_SOC1");
    filters.town = text("CITTA_LEG");
    filters.townPattern = m_townPattern->isChecked();
    filters.province = text("PROVINCIA_LEG");
    filters.vatNumber = text("PART_IVA");
    filters.taxCode = text("COD_FISC");
    filters.activity = text("COD_ATTIVITA");
}

std::optional<PartySearch> PartySearchWindow::search()
{
    return told(build());
}

Services::Outcome<SearchWindow::Found> PartySearchWindow::find() const
{
    auto built = build();
    if (!built)
        return built.failure();
    return Found{listRequestOf(*built), built->formula};
}

void PartySearchWindow::chosen(const QStringList &values)
{
    if (m_onChosen)
        m_onChosen(values.first().toInt());
}

QString PartySearchWindow::unprintable() const
{
    return QString::fromUtf8(kNoPartyPrint);
}

Ui::LookupRequest partyListRequest(const PartySearch &search, const QString &table, const QString &key,
                                   const QString &title)
{
    Ui::LookupRequest request;
    request.table = table;
    request.title = title;
    request.columns = partyListColumns(key);
    request.condition = search.condition;
    request.conditionParams = search.params;
    return request;
}

} // namespace Orlavo::Masterdata
