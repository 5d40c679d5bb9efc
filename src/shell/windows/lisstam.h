#pragma once

#include "rules/reportlist.h"

#include <QDialog>

#include <functional>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace Orlavo::Services {
class Prompter;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// The report choice: the descriptions of a key's reports, one or more to
// select. OK (or a double click on one entry) prints; Annulla prints nothing.
class LisStam : public QDialog
{
    Q_OBJECT
public:
    explicit LisStam(const QList<ReportEntry> &choices, QWidget *parent = nullptr);

    // The accepted entries in list order; none unless the window was accepted.
    QList<ReportEntry> chosen() const;

    void accept() override;

private:
    void acceptOnly(QListWidgetItem *item);

    QList<ReportEntry> m_choices;
    QList<int> m_rows;
    QListWidget *m_list;
    QPushButton *m_ok;
};

// Shows the choice to the operator and gives the entries chosen.
using ChoiceAsker = std::function<QList<ReportEntry>(const QList<ReportEntry> &choices)>;

// The reports to print for key: a single one without asking; several through
// ask (openMode becomes "SI" when some were chosen, "NO" when none); none is
// an error message and an empty list. Without ask the real window is used.
QList<ReportEntry> chooseReports(const QList<ReportEntry> &list, const QString &key, Services::Prompter &prompter,
                                 QString &openMode, const ChoiceAsker &ask);

// LisStam, modal over the active window.
QList<ReportEntry> askWithLisStam(const QList<ReportEntry> &choices);

} // namespace Orlavo::Shell
