#include "masterdata/windows/frmconpag.h"

#include "masterdata/stores/paymentconditionstore.h"
#include "ui/appcontext.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

namespace Orlavo::Masterdata {

FrmConPag::FrmConPag(Ui::AppContext &context, QWidget *parent)
    : CodeTableEditor(
          context, std::make_unique<Ui::CodedTableSource<CodedTable>>(context.db, paymentConditions()),
          Style::ListFirst,
          {QStringLiteral("CODICE"), QStringLiteral("DESCRIZIONE"), QStringLiteral("DESC_COND"),
           QStringLiteral("DF_FM")},
          {QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Tipo"), QStringLiteral("Inizio")},
          QStringLiteral("Selezionare la Condizione di Pagamento da modificare"), parent)
{
    setObjectName(QStringLiteral("frmConPag"));
    setWindowTitle(QStringLiteral("Condizioni di Pagamento"));
    fields()->addRow(QStringLiteral("Codice"), addKey(3));
    QComboBox *kind = addChoice(QStringLiteral("DESC_COND"), withCodes(paymentKinds()), true);
    fields()->addRow(QStringLiteral("Tipo pagamento"), kind);
    auto *days = new QHBoxLayout;
    for (int i = 1; i <= 4; ++i) {
        auto *day = qobject_cast<QLineEdit *>(addNumber(QStringLiteral("GIORN%1").arg(i), 0));
        connect(day, &QLineEdit::textChanged, this, &FrmConPag::compose);
        days->addWidget(day);
    }
    days->addStretch(1);
    fields()->addRow(QStringLiteral("Giorni scadenze"), days);
    QComboBox *start = addChoice(QStringLiteral("DF_FM"),
                                 withCodes({{QStringLiteral("D"), QStringLiteral("Data documento")},
                                            {QStringLiteral("F"), QStringLiteral("Fine mese")}}),
                                 true);
    fields()->addRow(QStringLiteral("Inizio conteggio"), start);
    fields()->addRow(QStringLiteral("Giorno da forzare"), addNumber(QStringLiteral("GGFORZ"), 0));
    fields()->addRow(QStringLiteral("Descrizione"), addText(QStringLiteral("DESCRIZIONE"), 40));
    for (QComboBox *combo : {kind, start})
        connect(combo, &QComboBox::currentIndexChanged, this, &FrmConPag::compose);
    finish(620);
}

Services::Row FrmConPag::emptyRow() const
{
    return newPaymentCondition();
}

void FrmConPag::compose()
{
    if (filling())
        return;
    const QString description = composedDescription(typed());
    if (!description.isEmpty())
        setValue(QStringLiteral("DESCRIZIONE"), description);
}

} // namespace Orlavo::Masterdata
