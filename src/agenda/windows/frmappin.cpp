#include "agenda/windows/frmappin.h"

#include "masterdata/masterdata.h"
#include "services/core/concurrency.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orlavo::Agenda {

using Services::Prompter;
using Services::WriteEnd;

namespace {

constexpr char kConfirm[] = "Confermi le registrazioni?";
constexpr char kDeleteQuestion[] = "Confermi eliminazione?";

QString timeShown(const QString &typed)
{
    return parseTime(typed).value_or(typed.trimmed());
}

} // namespace

FrmAppIn::FrmAppIn(Ui::AppContext &context, const QDate &day, const QString &from, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    build();
    Appointment fresh;
    fresh.day = day;
    fresh.from = from;
    display(fresh);
}

FrmAppIn::FrmAppIn(Ui::AppContext &context, const Appointment &stored, QWidget *parent)
    : QDialog(parent), m_context(context), m_stored(stored)
{
    build();
    const auto again = loadAppointment(context.db, stored.day, stored.from, stored.progr);
    if (!again || !*again) {
        m_loaded = false;
        m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
        return;
    }
    m_stored = **again;
    display(**again);
}

void FrmAppIn::build()
{
    setObjectName(QStringLiteral("FrmAppIn"));
    setWindowTitle(inserting() ? QStringLiteral("Inserimento appuntamento") : QStringLiteral("Modifica appuntamento"));
    auto *grid = new QGridLayout;
    auto line = [this](const QString &column, Ui::InputField *field, int width) {
        field->setObjectName(QStringLiteral("T_") + column);
        field->setMaximumWidth(width);
        m_fields.insert(column, field);
        return field;
    };
    auto put = [grid](int row, int col, const QString &caption, QWidget *field, int span = 1) {
        auto *label = new QLabel(caption);
        label->setBuddy(field);
        grid->addWidget(label, row, col);
        grid->addWidget(field, row, col + 1, 1, span);
    };
    m_day = new Ui::DateField(this);
    put(0, 0, QStringLiteral("Giorno"), line(QStringLiteral("GIORNO"), m_day, 110));
    put(1, 0, QStringLiteral("Dalle ore"), line(QStringLiteral("ORA"), new Ui::TextField(5, this), 70));
    put(1, 2, QStringLiteral("Alle ore"), line(QStringLiteral("ORA_A"), new Ui::TextField(5, this), 70));
    m_operator = new QComboBox(this);
    m_operator->setObjectName(QStringLiteral("T_OPERATORE"));
    m_operator->setEditable(true);
    m_operator->setMinimumWidth(220);
    if (const auto names = knownOperators(m_context.db))
        m_operator->addItems(*names);
    put(2, 0, QStringLiteral("Operatore"), m_operator, 3);

    auto *customer = new Ui::CodeField(5, this);
    line(QStringLiteral("COD_CLI"), customer, 70);
    Ui::attachLookup(customer, m_context, [] { return Masterdata::customerList(); });
    connect(
        customer, &Ui::CodeField::lookupRequested, this, [this] { leaveCustomer(); }, Qt::QueuedConnection);
    connect(customer, &QLineEdit::editingFinished, this, [this, customer] {
        if (customer->isModified()) {
            customer->setModified(false);
            leaveCustomer();
        }
    });
    put(3, 0, QStringLiteral("Cliente"), customer);
    auto *name = line(QStringLiteral("CLIENTE"), new Ui::TextField(60, this), 420);
    grid->addWidget(name, 3, 2, 1, 3);
    put(4, 0, QStringLiteral("Note"), line(QStringLiteral("NOTE1"), new Ui::TextField(255, this), 520), 4);
    m_done = new QCheckBox(QStringLiteral("Evaso"), this);
    m_done->setObjectName(QStringLiteral("T_EVASO"));
    grid->addWidget(m_done, 5, 1);
    grid->setColumnStretch(4, 1);

    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton *band = button(QStringLiteral("&Fascia oraria"), "B_Fascia");
    buttons->addStretch();
    QPushButton *save = button(QStringLiteral("&Registra"), "B_Registra");
    m_delete = button(QStringLiteral("&Elimina"), "B_Elimina");
    QPushButton *exit = button(QStringLiteral("E&sci"), "B_Esci");
    m_delete->setVisible(!inserting());
    connect(band, &QPushButton::clicked, this, [this] { showBand(); });
    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
}

void FrmAppIn::display(const Appointment &a)
{
    m_day->setDate(a.day);
    m_fields.value(QStringLiteral("ORA"))->setText(a.from);
    m_fields.value(QStringLiteral("ORA_A"))->setText(a.to);
    m_operator->setCurrentText(a.operatorName);
    m_fields.value(QStringLiteral("COD_CLI"))->setText(a.customer ? QString::number(*a.customer) : QString());
    m_fields.value(QStringLiteral("CLIENTE"))->setText(a.customerName);
    m_fields.value(QStringLiteral("NOTE1"))->setText(a.notes);
    m_done->setChecked(a.done);
    m_shown = typed();
    Ui::clearFieldErrors(this);
}

Appointment FrmAppIn::typed() const
{
    Appointment a;
    if (m_stored)
        a.progr = m_stored->progr;
    a.day = m_day->date();
    a.from = timeShown(m_fields.value(QStringLiteral("ORA"))->text());
    a.to = timeShown(m_fields.value(QStringLiteral("ORA_A"))->text());
    a.operatorName = m_operator->currentText().trimmed();
    bool number = false;
    const int code = m_fields.value(QStringLiteral("COD_CLI"))->text().trimmed().toInt(&number);
    if (number)
        a.customer = code;
    a.customerName = m_fields.value(QStringLiteral("CLIENTE"))->text().trimmed();
    a.notes = m_fields.value(QStringLiteral("NOTE1"))->text().trimmed();
    a.done = m_done->isChecked();
    return a;
}

bool FrmAppIn::hasChanges() const
{
    return m_loaded && !(typed() == m_shown);
}

void FrmAppIn::leaveCustomer()
{
    const QString code = m_fields.value(QStringLiteral("COD_CLI"))->text().trimmed();
    const QString name = Masterdata::customerName(m_context, code);
    if (!name.isEmpty())
        m_fields.value(QStringLiteral("CLIENTE"))->setText(name.trimmed());
}

bool FrmAppIn::save()
{
    if (!m_loaded || !m_context.db.checkWriteRights())
        return false;
    const AppointmentInput input{m_day->text(), m_fields.value(QStringLiteral("ORA"))->text(),
                                 m_fields.value(QStringLiteral("ORA_A"))->text()};
    const auto problems = checkAppointment(m_context.db, input, m_fields.value(QStringLiteral("COD_CLI"))->text());
    Ui::clearFieldErrors(this);
    for (const auto &problem : problems)
        Ui::markFieldError(m_fields.value(problem.column), true);
    if (!problems.isEmpty()) {
        // The first failing field speaks: the checks run from the times down.
        m_fields.value(problems.first().column)->setFocus();
        m_context.prompter.error(problems.first().message, QStringLiteral("Errore!"));
        return false;
    }
    if (m_context.prompter.ask(QString::fromLatin1(kConfirm), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    const Appointment now = typed();
    Services::WriteResult result;
    if (inserting()) {
        result = insertAppointment(m_context.db, now);
    } else {
        const Services::StoredState state = compareAppointment(m_context.db, *m_stored);
        if (state == Services::StoredState::Gone) {
            m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
            return false;
        }
        if (state == Services::StoredState::Changed &&
            m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                                   Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
            return false;
        result = updateAppointment(m_context.db, now, *m_stored);
        if (result.end == WriteEnd::Gone)
            m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
    }
    if (!result.written())
        return false;
    if (inserting()) {
        // Ready for the next one on the same day.
        Appointment next;
        next.day = now.day;
        display(next);
        m_operator->clear();
        if (const auto names = knownOperators(m_context.db))
            m_operator->addItems(*names);
        m_operator->setCurrentText(QString());
    } else {
        Appointment stored = now;
        stored.progr = int(result.code);
        m_stored = stored;
        display(stored);
    }
    written();
    return true;
}

bool FrmAppIn::remove()
{
    if (inserting() || !m_loaded || !m_context.db.checkWriteRights())
        return false;
    if (m_context.prompter.ask(QString::fromLatin1(kDeleteQuestion), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::YesNo, Prompter::Button::No) != Prompter::Button::Yes)
        return false;
    const Services::WriteResult result = deleteAppointment(m_context.db, *m_stored);
    if (result.end == WriteEnd::Gone)
        m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
    if (!result.written())
        return false;
    written();
    accept();
    return true;
}

void FrmAppIn::showBand()
{
    const auto from = parseTime(m_fields.value(QStringLiteral("ORA"))->text());
    const auto to = parseTime(m_fields.value(QStringLiteral("ORA_A"))->text());
    const QDate day = m_day->date();
    if (!day.isValid() || !from) {
        m_context.prompter.error(!day.isValid() ? QStringLiteral("Data errata") : QStringLiteral("Ora errata"),
                                 QStringLiteral("Errore!"));
        return;
    }
    Ui::LookupRequest request;
    request.table = QStringLiteral("APPUNTAMENTI");
    request.title = QStringLiteral("Lista appuntamenti della fascia oraria");
    request.columns = {{QStringLiteral("PROGR"), QStringLiteral("04C"), QStringLiteral("PROGR.")},
                       {QStringLiteral("ORA"), QStringLiteral("05C"), QStringLiteral("DALLE")},
                       {QStringLiteral("ORA_A"), QStringLiteral("05C"), QStringLiteral("ALLE")},
                       {QStringLiteral("OPERATORE"), QStringLiteral("15C"), QStringLiteral("OPERATORE")},
                       {QStringLiteral("COD_CLI"), QStringLiteral("06C"), QStringLiteral("COD. CLIENTE")},
                       {QStringLiteral("CLIENTE"), QStringLiteral("30C"), QStringLiteral("CLIENTE")},
                       {QStringLiteral("NOTE1"), QStringLiteral("30C"), QStringLiteral("NOTE")}};
    // A band without an end runs to the end of the day.
    request.condition = QStringLiteral("GIORNO = ? AND ORA >= ? AND ORA < ? ORDER BY ORA, OPERATORE");
    request.conditionParams = {day, *from, to.value_or(QStringLiteral("24.00"))};
    Ui::LookupList list(m_context, request, this);
    if (list.load())
        list.exec();
}

void FrmAppIn::reject()
{
    if (hasChanges() &&
        m_context.prompter.ask(QStringLiteral("Rinuncia operazioni su record corrente?"), windowTitle(),
                               Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Button::Yes)
        return;
    QDialog::reject();
}

void FrmAppIn::written()
{
    if (m_onWritten)
        m_onWritten();
}

} // namespace Orlavo::Agenda
