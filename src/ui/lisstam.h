#pragma once

#include "reporting/rules/reportlist.h"

#include <QDialog>

#include <functional>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace Orlavo::Services {
class Prompter;
} // namespace Orlavo::Services

namespace Orlavo::Ui {

// The report choice: the descriptions of a key's reports, one or more to
// select. OK (or a double click on one entry) prints; Annulla prints nothing.
class LisStam : public QDialog
{
    Q_OBJECT
public:
    explicit LisStam(const QList<Reporting::ReportEntry> &choices, QWidget *parent = nullptr);

    // The accepted entries in list order; none unless the window was accepted.
    QList<Reporting::ReportEntry> chosen() const;

    void accept() override;

private:
    void acceptOnly(QListWidgetItem *item);

    QList<Reporting::ReportEntry> m_choices;
    QList<int> m_rows;
    QListWidget *m_list;
    QPushButton *m_ok;
};

// Shows the choice to the operator and gives the entries chosen.
using ChoiceAsker = std::function<QList<Reporting::ReportEntry>(const QList<Reporting::ReportEntry> &choices)>;

// The reports to print for key: a single one without asking; several through
// ask (openMode becomes "SI" when some were chosen, "NO" when none); none is
// an error message and an empty list. Without ask the real window is used.
QList<Reporting::ReportEntry> chooseReports(const QList<Reporting::ReportEntry> &list, const QString &key, Services::Prompter &prompter,
                                 QString &openMode, const ChoiceAsker &ask);

// LisStam, modal over the active window.
QList<Reporting::ReportEntry> askWithLisStam(const QList<Reporting::ReportEntry> &choices);

} // namespace Orlavo::Ui
