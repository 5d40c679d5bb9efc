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

constexpr char kNoPrint[] = "La stampa non può cercare i caratteri * e ? nei testi:\n"
                            "togliere * e ? dalla ragione sociale e dalla località.";

} // namespace

PartySearchWindow::PartySearchWindow(Ui::AppContext &context, const QString &name, const QString &title,
                                     const QString &typeColumn, const QString &typeCaption, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(name);
    setWindowTitle(title);
    m_layout = new QVBoxLayout(this);
    auto *box = new QGroupBox(QStringLiteral("Selezione"), this);
    m_grid = new QGridLayout(box);
    put(0, 0, QStringLiteral("Da codice"), QStringLiteral("CODICE_DA"), 5, true);
    put(0, 2, QStringLiteral("A codice"), QStringLiteral("CODICE_A"), 5, true);
    put(1, 0, QStringLiteral("Ragione sociale"), QStringLiteral("RAG_SOC1"), 60, false, 3);
    put(2, 0, QStringLiteral("Località"), QStringLiteral("CITTA_LEG"), 40, false, 2);
    m_townPattern = new QCheckBox(QStringLiteral("Contenuta nel nome"), box);
    m_townPattern->setObjectName(QStringLiteral("T_CITTA_PARZIALE"));
    m_grid->addWidget(m_townPattern, 2, 3);
    put(3, 0, QStringLiteral("Provincia"), QStringLiteral("PROVINCIA_LEG"), 2);
    put(3, 2, typeCaption, typeColumn, 2);
    put(4, 0, QStringLiteral("Partita IVA"), QStringLiteral("PART_IVA"), 11);
    put(4, 2, QStringLiteral("Codice fiscale"), QStringLiteral("COD_FISC"), 16);
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnStretch(3, 1);
    m_layout->addWidget(box);
}

QLineEdit *PartySearchWindow::put(int row, int col, const QString &caption, const QString &name, int length,
                                  bool number, int span)
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
    m_grid->addWidget(field, row, col + 1, 1, span);
    m_nextRow = std::max(m_nextRow, row + 1);
    return field;
}

void PartySearchWindow::addButtons()
{
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
    m_layout->addLayout(buttons);
}

QString PartySearchWindow::text(const char *name) const
{
    const QLineEdit *field = m_fields.value(QString::fromLatin1(name));
    return field ? field->text().trimmed() : QString();
}

std::optional<int> PartySearchWindow::number(const char *name) const
{
    const QString typed = text(name);
    if (typed.isEmpty())
        return std::nullopt;
    return typed.toInt();
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
    auto built = build();
    if (!built) {
        m_context.prompter.error(built.failure().message, windowTitle());
        return std::nullopt;
    }
    return *built;
}

void PartySearchWindow::showList()
{
    const auto found = search();
    if (!found)
        return;
    const auto chosen = Ui::showLookupList(m_context, listRequestOf(*found), this);
    if (chosen && !chosen->isEmpty() && m_onChosen)
        m_onChosen(chosen->first().toInt());
}

bool PartySearchWindow::print(Reporting::ReportOutput output, const QString &pdfPath)
{
    const auto found = search();
    if (!found)
        return false;
    if (!found->formula) {
        m_context.prompter.warn(QString::fromUtf8(kNoPrint), windowTitle());
        return false;
    }
    Reporting::PrintCommand command = printCommandOf(*found->formula);
    command.output = output;
    command.pdfPath = pdfPath;
    return Ui::printReport(m_context, command, this);
}

bool PartySearchWindow::print(bool preview)
{
    return print(preview ? Reporting::ReportOutput::Preview : Reporting::ReportOutput::Printer);
}

void PartySearchWindow::clearFilters()
{
    for (QLineEdit *field : std::as_const(m_fields)) {
        if (!field->isReadOnly())
            field->clear();
    }
    m_townPattern->setChecked(false);
    clearOptions();
}

void PartySearchWindow::TimStampa()
{
    print(false);
}

void PartySearchWindow::TimAnte()
{
    print(true);
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
