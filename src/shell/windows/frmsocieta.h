#pragma once

#include "shell/stores/companyarchive.h"
#include "ui/inputfields.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace Orlavo::Ui {
struct AppContext;
class FormBinder;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The company card: frmInsSocieta registers a new company ("CODIFICA
// SOCIETA'"), frmModSocieta changes a registered one.
class FrmSocieta : public QDialog
{
    Q_OBJECT
public:
    // Modify mode loads the company `code`; loaded() is false when it is missing.
    FrmSocieta(Ui::AppContext &context, CompanyMode mode, const QString &code = {}, QWidget *parent = nullptr);

    bool loaded() const { return m_loaded; }

    // After a registration or an update: the company's code.
    void setOnRegistered(std::function<void(const QString &)> hook) { m_onRegistered = std::move(hook); }

    Ui::InputField *field(const QString &column) const;
    CompanyRecord record() const;
    bool hasChanges() const;

    // Registra, Annulla, Esci.
    bool save();
    void cancel();
    void leave();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildFields();
    Ui::InputField *addField(const QString &column);
    void display(const CompanyRecord &record);
    // The check of a field the operator leaves; the town fills postal code
    // and province.
    void leftField(const QString &column);
    bool checkAll();
    bool taxCodeAccepted();
    void fillFromTown(const QString &town, const QString &postalColumn, const QString &provinceColumn);
    void pickPostalCode(const QString &postal, const QString &town, const QString &province);
    void pickActivity();
    void showActivity();

    Ui::AppContext &m_context;
    CompanyMode m_mode;
    bool m_loaded = true;
    bool m_closing = false;
    CompanyReferences m_references;
    Ui::FormBinder *m_form = nullptr;
    QLabel *m_activity = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_exit = nullptr;
    CompanyRecord m_saved;
    // The tax code the operator chose to keep against the warning.
    QString m_keptTaxCode;
    std::function<void(const QString &)> m_onRegistered;
};

} // namespace Orlavo::Shell
