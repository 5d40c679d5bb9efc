#include "masterdata/windows/frmpiaco.h"

#include "masterdata/rules/accountrules.h"
#include "masterdata/stores/chartstore.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"

#include <QFormLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;
using Services::Row;
namespace Tables = Services::Tables;

namespace {

const QString kCode = QStringLiteral("CODICE");
const QString kGroup = QStringLiteral("GRUPPO");
const QString kSubgroup = QStringLiteral("SOTTOGRU");
const QString kType = QStringLiteral("TIPO_CONTO");

constexpr char kTypeHint[] = "Tipo Conto (Costi - Ricavi - Patrimoniali) ";
constexpr char kInJournal[] = "Impossibile eliminare il conto perchè attualmente utilizzato in contabilità";
constexpr char kRenameUsed[] = "Il conto è utilizzato in contabilità: le registrazioni esistenti manterranno il "
                               "vecchio codice. Confermi ?";

const QStringList kGridColumns{
    kGroup, kSubgroup, kCode, QStringLiteral("DESCRIZIONE"), kType, QStringLiteral("CONT_AUT")};

} // namespace

FrmPiaCo::FrmPiaCo(Ui::AppContext &context, QWidget *parent)
    : CodeTableEditor(context, std::make_unique<Ui::CodedTableSource<CodedTable>>(context.db, chartOfAccounts()),
                      Style::FormFirst, kGridColumns,
                      {QStringLiteral("Gruppo"), QStringLiteral("Sottogr."), QStringLiteral("Codice"),
                       QStringLiteral("Descrizione"), QStringLiteral("Tipo"), QStringLiteral("Automatico")},
                      QStringLiteral("Selezionare la Conto da modificare"), parent)
{
    setObjectName(QStringLiteral("frmPiaCo"));
    setWindowTitle(QStringLiteral("Piano dei Conti"));
    fields()->addRow(QStringLiteral("Gruppo"),
                     addCoded(kGroup, 2, codeList(Tables::TAB_GRUPP, QStringLiteral("Lista GRUPPO CONTI")), 260));
    fields()->addRow(
        QStringLiteral("Sottogruppo"),
        addCoded(kSubgroup, 3, codeList(Tables::TAB_SOGRUP, QStringLiteral("Lista SOTTOGRUPPO CONTI")), 260));
    fields()->addRow(QStringLiteral("Codice conto"), addKey(6));
    fields()->addRow(QStringLiteral("Descrizione"), addText(QStringLiteral("DESCRIZIONE"), 40));
    fields()->addRow(QStringLiteral("Tipo conto"), addChoice(kType, accountTypes(), true));
    field(kType)->setToolTip(QString::fromUtf8(kTypeHint));
    fields()->addRow(QStringLiteral("Conto automatico"),
                     addChoice(QStringLiteral("CONT_AUT"), withCodes(accountRoles()), true));
    // The fields in screen order: the list's columns.
    QList<QWidget *> order;
    for (const QString &column : kGridColumns)
        order << field(column);
    finish(720, order, field(kGroup));
}

QString FrmPiaCo::gridText(const Row &row, const QString &column) const
{
    return column == kType ? accountTypeWord(row.text(column)) : CodeTableEditor::gridText(row, column);
}

QString FrmPiaCo::describe(const QString &column, const QString &code) const
{
    return descriptionOfCode(m_context.db, column == kGroup ? Tables::TAB_GRUPP : Tables::TAB_SOGRUP, code);
}

bool FrmPiaCo::renameAccepted(const QString &loadedCode)
{
    // Journal lines keep the code they were posted with.
    const auto used = accountInJournal(m_context.db, loadedCode);
    return used && (!*used || confirm(QString::fromUtf8(kRenameUsed), true, Prompter::Button::No));
}

QString FrmPiaCo::deleteRefused(const QStringList &) const
{
    return QString::fromUtf8(kInJournal);
}

Ui::LookupRequest chartPrintList()
{
    Ui::LookupRequest request;
    request.table = Tables::TAB_PIANO_CONTI;
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
