#pragma once

#include "services/data/recordstore.h"
#include "ui/lookuplist.h"
#include "ui/recordwindow.h"

#include <QHash>

#include <optional>

class QLabel;
class QPushButton;

namespace Orlavo::Ui {
struct AppContext;
class FormBinder;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// frmPiaCo: the chart of accounts. The fields of one account over the list
// of all of them (choosing one loads it to modify, Nuovo empties the form);
// Registra and Annulla only once something changed. Registering runs every
// check (each failing field red, the last message shown), asks before
// renaming an account the journal uses, asks, compares the stored row and
// writes under the lock; an account the journal uses is never deleted.
class FrmPiaCo : public Ui::RecordWindow
{
    Q_OBJECT
public:
    explicit FrmPiaCo(Ui::AppContext &context, QWidget *parent = nullptr);

    QWidget *field(const QString &column) const;
    QString value(const QString &column) const;
    // Sets a field as the operator would; a coded one shows its description.
    void setValue(const QString &column, const QString &text);
    // The description shown beside group and subgroup.
    QString description(const QString &column) const;
    // "Inserimento" or "Modifica".
    QString mode() const;
    bool hasChanges() const;

    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;
    // Nuovo: an empty form for a new account.
    void startNew();
    // The account's row chosen in the list and shown; false when not listed.
    bool chooseCode(const QString &code);

protected:
    void fieldLeft(QLineEdit *field) override;

private:
    QWidget *addCoded(const QString &column, int length, const QString &title, const QString &table);
    QWidget *addLine(const QString &column, int length);
    QWidget *addChoice(const QString &column, const QList<std::pair<QString, QString>> &choices);
    Services::Record recordOf(const Services::Row &row) const;
    Services::Row typed() const;
    void reload();
    void reloadGrid();
    void display(const std::optional<Services::Row> &row);
    void showDescription(const QString &column);
    void updateButtons();
    // The stored row compared with the loaded one: false when the operator
    // stops, or when it is gone (the form turns to a new account).
    bool storedStillThere();
    void sayTaken();

    const Services::FamilyDef m_family;
    Ui::FormBinder *m_binder;
    QLabel *m_mode;
    QPushButton *m_new;
    QHash<QString, QLabel *> m_descriptions;
    QHash<QString, QString> m_codeTables;
    QList<Services::Row> m_rows;
    std::optional<Services::Row> m_loaded;
};

// The print list of the chart, printed by group and subgroup (PIANOCON).
Ui::LookupRequest chartPrintList();

} // namespace Orlavo::Masterdata
