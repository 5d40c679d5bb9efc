#pragma once

#include "services/data/prompter.h"

#include <QDialog>

#include <optional>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace Orlavo::Ui {

struct AppContext;

// The tips of Annulla and Esci, also on the status bar: the same in every
// window that registers what is typed.
void setLeavingTips(QPushButton *cancel, QPushButton *exit);

// The shape of the windows that keep the rows of one table: a read-only
// grid of the rows (choosing one loads it into the fields), the fields, and
// Registra, Elimina, Annulla, Esci. Leaving the code field runs its check.
class RecordWindow : public QDialog
{
    Q_OBJECT
public:
    // The check run on leaving the code field; false when the code is refused.
    virtual bool checkCode() = 0;
    // Registra, Elimina, Annulla.
    virtual void save() = 0;
    virtual void remove() = 0;
    virtual void cancel() = 0;
    // Loads the grid's row into the fields.
    virtual void loadRow(int row) = 0;

protected:
    RecordWindow(AppContext &context, const QStringList &headings, QWidget *parent);

    // A question under the window's title (or the one set for messages):
    // true for Ok, or Yes with `yesNo`.
    bool confirm(const QString &question, bool yesNo = false,
                 std::optional<Services::Prompter::Button> defaultButton = std::nullopt);
    // A warning titled "Errore!"; the field, when given, takes the focus.
    void refuse(const QString &text, QWidget *field = nullptr);
    // The row on screen was deleted by another workstation.
    void sayDeletedElsewhere();
    // The title of the questions, when it is not the window's.
    void setMessageTitle(const QString &title) { m_messageTitle = title; }

    // Runs checkCode() when the operator leaves this field for another
    // field or for Registra or Elimina.
    void watchCodeField(QWidget *field);
    // Calls fieldLeft() when the operator leaves this field, changed, for
    // another field or for Registra or Elimina (or the quiet button's way).
    void watchField(QLineEdit *field);
    virtual void fieldLeft(QLineEdit *field);
    // One more button whose click is no leaving of a field (Nuovo).
    void setQuietButton(QPushButton *button) { m_quiet = button; }
    // Shows exactly this many rows of the grid.
    void fitGridToRows(int rows);
    // The four buttons, right-aligned.
    QHBoxLayout *buttonRow() const;
    bool eventFilter(QObject *watched, QEvent *event) override;

    AppContext &m_context;
    QTableWidget *m_grid;
    QPushButton *m_save;
    QPushButton *m_remove;
    QPushButton *m_cancel;
    QPushButton *m_exit;

private:
    QString messageTitle() const { return m_messageTitle.isEmpty() ? windowTitle() : m_messageTitle; }

    QWidget *m_codeField = nullptr;
    QList<QLineEdit *> m_watched;
    QPushButton *m_quiet = nullptr;
    QString m_messageTitle;
};

} // namespace Orlavo::Ui
