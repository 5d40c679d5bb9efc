#include "masterdata/windows/frmperiva.h"

#include "masterdata/stores/vatcodestore.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"

#include <QFormLayout>

namespace Orlavo::Masterdata {

FrmPerIva::FrmPerIva(Ui::AppContext &context, QWidget *parent)
    : CodeTableEditor(context, std::make_unique<Ui::CodedTableSource<CodedTable>>(context.db, vatCodes()),
                      Style::ListFirst,
                      {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE"), QStringLiteral("ALIQUOTA"),
                       QStringLiteral("DESC_TIPO"), QStringLiteral("BASE_IMP")},
                      {QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Aliquota %"),
                       QStringLiteral("Tipo"), QStringLiteral("Base imp. %")},
                      QStringLiteral("Selezionare il Codice Iva da modificare"), parent)
{
    setObjectName(QStringLiteral("frmPerIva"));
    setWindowTitle(QStringLiteral("Aliquote Iva"));
    fields()->addRow(QStringLiteral("Codice"), addKey(4));
    fields()->addRow(QStringLiteral("Descrizione"), addText(QStringLiteral("DESCRIZIONE"), 40));
    fields()->addRow(QStringLiteral("Aliquota %"), addNumber(QStringLiteral("ALIQUOTA"), 2));
    fields()->addRow(QStringLiteral("Tipo codice"),
                     addChoice(QStringLiteral("TIPO_CODICE"), withCodes(vatKinds()), false));
    fields()->addRow(QStringLiteral("Base imponibile %"), addNumber(QStringLiteral("BASE_IMP"), 2));
    finish(620);
}

Services::Row FrmPerIva::emptyRow() const
{
    return newVatCode();
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
