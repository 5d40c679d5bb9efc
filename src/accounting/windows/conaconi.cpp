#include "accounting/windows/conaconi.h"

#include "ui/appcontext.h"

#include <QPushButton>

namespace Orlavo::Accounting {

namespace {

constexpr char kConaconiConfirm[] = "Confermi registrazioni?";
constexpr char kNumber[] = "Assegnato Numero Mov. : %1";
constexpr char kRegistration[] = "Assegnato Numero Reg. : %1";

} // namespace

ConAConI::ConAConI(Ui::AppContext &context, EntryMode mode, QWidget *parent) : EntryWindow(context, mode, parent)
{
    setObjectName(QStringLiteral("ConAConI"));
    setWindowTitle(mode == EntryMode::CashReceipt ? QStringLiteral("Registrazioni Corrispettivi")
                                                  : QStringLiteral("Codifica registrazioni Conto a Conto"));
    QPushButton *save = makeButton(QStringLiteral("&Registra"), "registra");
    QPushButton *cancel = makeButton(QStringLiteral("&Annulla"), "annulla");
    QPushButton *exit = makeButton(QStringLiteral("E&sci"), "esci");
    cancel->setToolTip(QStringLiteral("Annullamento dei dati inseriti"));
    exit->setToolTip(QStringLiteral("Uscita senza registrazione"));
    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    connect(cancel, &QPushButton::clicked, this, &ConAConI::cancel);
    connect(exit, &QPushButton::clicked, this, &ConAConI::reject);
    setExitButton(exit);
    build({save, cancel, exit});
    clearEntry();
}

bool ConAConI::save()
{
    if (!m_context.db.checkWriteRights() || !hasChanges())
        return false;
    ManualEntry entry;
    if (!passesChecks(entry) || !confirm(QString::fromUtf8(kConaconiConfirm)))
        return false;
    const Registered registered = registerEntry(m_context.db, entry);
    if (!registered.result.written())
        return false;
    QString told = QString::fromUtf8(kNumber).arg(registered.number);
    if (mode() == EntryMode::CashReceipt)
        told += QLatin1Char('\n') + QString::fromUtf8(kRegistration).arg(registered.registration);
    m_context.prompter.info(told, windowTitle());
    clearEntry();
    field(QStringLiteral("DATA_INT"))->setFocus(Qt::OtherFocusReason);
    return true;
}

void ConAConI::cancel()
{
    if (mayDropInput())
        clearEntry();
}

} // namespace Orlavo::Accounting
