#pragma once

#include "reporting/printcommand.h"
#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include "masterdata/windows/formwindow.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <optional>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;

namespace Orlavo::Ui {
struct AppContext;
class FormBinder;
struct LookupRequest;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

struct CodedLookup;
struct PartyDef;

// What the customer and the supplier windows share: a party's record on
// tabs, bound to its columns, with the field assistance on leaving a field
// (town to postal code and province, the tax code's question and the person
// it names, a code's description and check), the confirm with every failing
// field red and one message, the duplicate identifiers question, the
// concurrency re-read, insert / update / delete and the card print. A
// window lays out its fields and states its own rules and words.
class PartyWindow : public FormWindow
{
    Q_OBJECT
public:
    enum class Mode { Insert, Modify };

    bool loaded() const { return m_loaded; }
    Mode mode() const { return m_mode; }
    int code() const;

    // The record as the fields hold it.
    Services::Record record() const;
    bool hasChanges() const override;

    // Runs what leaving the field runs (descriptions, town, tax code, check).
    void leaveField(const QString &name) override;

    // Conferma, Annulla, Elimina and the card print.
    bool save();
    void cancel();
    bool remove();
    bool printCard(bool preview) override;

    // After a write or a delete: the party's code.
    void setOnWritten(std::function<void(int)> hook) { m_onWritten = std::move(hook); }

protected:
    // The window's own words.
    struct Words {
        QString saveWhere;      // title of the errors of a write
        QString deleteWhere;    // title of the errors of a delete
        QString listOwner;      // "cliente", "fornitore": whose lists a switch-off deletes
        QString usesRefusal;    // "Impossibile eliminare Cliente,"
        QString deleteQuestion; // "Confermi eliminazione Cliente?"
        QString secondaryTaken; // the secondary code found taken under the lock
    };

    PartyWindow(Ui::AppContext &context, Mode mode, const PartyDef &party, QWidget *parent);

    // Called by the window once its fields are laid out: loads the stored
    // party (loaded() false when missing) or shows a new one.
    void start(int code);

    // The window's new record, its checks and its card; the writes are the
    // register's (PartyDef).
    virtual Services::Record newRecord() = 0;
    virtual QList<Services::FieldProblem> problems(const Services::Record &typed, const QString &only) = 0;
    virtual Reporting::PrintCommand cardPrint(int code) = 0;
    // The record read from the fields, as the window completes it.
    virtual Services::Record completed(Services::Record typed) const { return typed; }
    // Before a record is shown, after, and after a field's leaving.
    virtual void showing(const Services::Record &) {}
    virtual void shown() {}
    virtual void left(const QString &) {}

    const Words &words() const { return m_words; }
    void setWords(Words words) { m_words = std::move(words); }
    const QString &keptTaxCode() const { return m_keptTaxCode; }
    const Services::Record &stored() const { return m_stored; }

    // Building the window: the header with the code, secondary code and
    // names; the tabs; fields of each kind ("C" code, "D" date, "N" number
    // with `decimals`); a code field with its description beside it; rows of
    // label and field; combo boxes filled from a table or from a list; the
    // F4 lists of the coded fields, towns and postal codes; the buttons.
    void buildHeader(QGridLayout *head);
    // The person's sex, "Maschile" or "Femminile" (SESSO).
    QWidget *addSexCombo();
    // The first tab: the offices, tax identifiers, contacts, the window's
    // own field, country, location and legal position.
    void mainPage(const QString &caption, QWidget *own);
    // An office on its own box: street, town, postal code, province (suffix LEG, AMM).
    QWidget *officeBox(const QString &title, const QString &suffix, QWidget *parent);
    void attachLookups();
    // The button row: the window's extra buttons on the left.
    QHBoxLayout *buttons(const QList<QPushButton *> &extra);
    void display(const Services::Record &record);

private:
    void showNew();
    std::optional<Services::Record> loadRecord(int code);
    bool checkAll();
    bool taxCodeKept(const QString &code);
    void showPerson(const QString &code);
    bool confirmDuplicates(const Services::Record &typed);
    bool stillStored(bool forDelete);

    Mode m_mode;
    const PartyDef &m_party;
    Words m_words;
    bool m_loaded = true;
    Services::Record m_stored;
    QLabel *m_code = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_exit = nullptr;
    // The tax code the operator chose to keep against the warning.
    QString m_keptTaxCode;
    std::function<void(int)> m_onWritten;
};

} // namespace Orlavo::Masterdata
