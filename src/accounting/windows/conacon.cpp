#include "accounting/windows/conacon.h"

#include "services/core/concurrency.h"
#include "ui/appcontext.h"

#include <QPushButton>

namespace Orlavo::Accounting {

using Services::Prompter;
using Services::WriteEnd;
using Services::WriteResult;

namespace {

constexpr char kConaconConfirm[] = "Confermi registrazioni?";
constexpr char kConfirmDelete[] = "Confermi eliminazione registrazione?";
constexpr char kChangedElsewhere[] = "La registrazione è stata modificata da un altro utente "
                                     " Si vuole aggiornare ugualmente ?";

EntryMode modeOf(const LoadedEntry &loaded)
{
    return loaded.causalType.trimmed().toUpper() == QLatin1String("CO") ? EntryMode::CashReceipt : EntryMode::General;
}

} // namespace

ConACon *ConACon::open(Ui::AppContext &context, const QString &year, int number, QWidget *parent)
{
    const auto loaded = loadEntry(context.db, year, number);
    if (!loaded)
        return nullptr;
    if (!*loaded) {
        context.prompter.warn(Services::Concurrency::deletedElsewhere(), QStringLiteral("Variazione registrazioni"));
        return nullptr;
    }
    return new ConACon(context, **loaded, parent);
}

ConACon::ConACon(Ui::AppContext &context, const LoadedEntry &loaded, QWidget *parent)
    : EntryWindow(context, modeOf(loaded), parent), m_loaded(loaded)
{
    setObjectName(QStringLiteral("ConACon"));
    setWindowTitle(mode() == EntryMode::CashReceipt ? QStringLiteral("Variazione Corrispettivi")
                                                    : QStringLiteral("Variazione registrazioni Conto a Conto"));
    QPushButton *save = makeButton(QStringLiteral("&Registra"), "registra");
    QPushButton *remove = makeButton(QStringLiteral("&Elimina"), "elimina");
    QPushButton *exit = makeButton(QStringLiteral("E&sci"), "esci");
    exit->setToolTip(QStringLiteral("Uscita senza registrazione"));
    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    connect(remove, &QPushButton::clicked, this, [this] { this->remove(); });
    connect(exit, &QPushButton::clicked, this, &ConACon::reject);
    setExitButton(exit);
    build({save, remove, exit});
    display(loaded);
}

bool ConACon::rewritten() const
{
    const QString type = m_loaded.causalType.trimmed().toUpper();
    return type == QLatin1String("CC") || type == QLatin1String("CO");
}

void ConACon::display(const LoadedEntry &loaded)
{
    m_loaded = loaded;
    showEntry(loaded);
    // Lines others generated keep what their documents hold; a closing
    // entry ("CA") too, its lines changed in place.
    if (!rewritten())
        lockGenerated();
}

bool ConACon::askOverwrite()
{
    return m_context.prompter.ask(QString::fromUtf8(kChangedElsewhere), windowTitle(), Prompter::Icon::Question,
                                  Prompter::Buttons::OkCancel) == Prompter::Button::Ok;
}

bool ConACon::save()
{
    if (!m_context.db.checkWriteRights())
        return false;
    if (const auto refused = modifyRefusal(m_loaded)) {
        error(*refused);
        return false;
    }
    if (!hasChanges())
        return false;
    ManualEntry entry;
    if (rewritten() ? !passesChecks(entry) : !passesLineChecks())
        return false;
    if (!confirm(QString::fromUtf8(kConaconConfirm)))
        return false;
    const auto write = [this, &entry](bool overwrite) {
        return rewritten() ? modifyManualEntry(m_context.db, m_loaded, entry, overwrite)
                           : modifyGeneratedEntry(m_context.db, m_loaded, change(), overwrite);
    };
    WriteResult result = write(false);
    if (result.end == WriteEnd::ChangedElsewhere) {
        if (!askOverwrite())
            return false;
        result = write(true);
    }
    if (result.end == WriteEnd::Gone)
        m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
    if (!result.written())
        return false;
    if (const auto again = loadEntry(m_context.db, m_loaded.year, m_loaded.number); again && *again)
        display(**again);
    written();
    return true;
}

bool ConACon::remove()
{
    if (!m_context.db.checkWriteRights())
        return false;
    const auto refused = deleteRefusal(m_context.db, m_loaded.year, m_loaded.number);
    if (!refused)
        return false;
    if (*refused) {
        error(**refused);
        return false;
    }
    if (!confirm(QString::fromUtf8(kConfirmDelete)))
        return false;
    const WriteResult result = deleteManualEntry(m_context.db, m_loaded.year, m_loaded.number);
    if (result.end == WriteEnd::Gone)
        m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
    if (!result.written())
        return false;
    written();
    accept();
    return true;
}

void ConACon::written()
{
    if (m_onWritten)
        m_onWritten();
}

} // namespace Orlavo::Accounting
