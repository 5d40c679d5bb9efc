#include "warehouse/windows/frmcauma.h"

#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/formbinder.h"
#include "ui/windowregistry.h"
#include "warehouse/stores/warehousecausals.h"

#include <QCheckBox>
#include <QFormLayout>

namespace Orlavo::Warehouse {

FrmCauMa::FrmCauMa(Ui::AppContext &context, QWidget *parent)
    : CodeTableEditor(context, std::make_unique<Ui::CodedTableSource<CausalTable>>(context.db, warehouseCausals()),
                      Style::ListFirst,
                      {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE"), QStringLiteral("PMA")},
                      {QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("P.M.A.")},
                      QStringLiteral("Selezionare la Causale di Magazzino da modificare"), parent)
{
    setObjectName(QStringLiteral("frmCauMa"));
    setWindowTitle(QStringLiteral("Causali di Magazzino"));
    fields()->addRow(QStringLiteral("Codice"), addKey(3));
    fields()->addRow(QStringLiteral("Descrizione"), addText(QStringLiteral("DESCRIZIONE"), 40));
    auto *average = new QCheckBox(QStringLiteral("Prezzo medio d'acquisto"), this);
    average->setObjectName(QStringLiteral("T_PMA"));
    binder()->bind(QStringLiteral("PMA"), average, 0, QStringLiteral("PMA"));
    fields()->addRow(QString(), average);
    finish(560);
}

QString FrmCauMa::deleteRefused(const QStringList &) const
{
    // In use by movements or a code of the table of effects alike.
    return QStringLiteral("Eliminazione non consentita.");
}

Ui::LookupRequest warehouseCausalList()
{
    Ui::LookupRequest request =
        FrmCauMa::codeList(Services::Tables::TAB_CAU_MAG, QStringLiteral("Lista CAUSALI DI MAGAZZINO"))();
    request.mode = Ui::LookupMode::Print;
    request.reportKey = QStringLiteral("TABCAUMA");
    return request;
}

void registerCausalWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    registry.add(QStringLiteral("TabCausMaga"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("FRMCAUMA"), [&context] { return new FrmCauMa(context); });
    });
    registry.add(QStringLiteral("St_TabCausMaga"), [&context](Ui::WindowHost &host) {
        Ui::showLookupList(context, warehouseCausalList(), host.hostWidget());
    });
}

} // namespace Orlavo::Warehouse
