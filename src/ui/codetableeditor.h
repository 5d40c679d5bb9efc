#pragma once

#include "services/data/recordstore.h"
#include "ui/codetablesource.h"
#include "ui/lookuplist.h"
#include "ui/recordwindow.h"

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace Orlavo::Ui {

struct AppContext;
class CodeField;
class FormBinder;

// The editor of a table kept by one code: the list of its rows (choosing
// one loads it to modify), Nuovo, the fields, and Registra, Elimina,
// Annulla, Esci. Registering runs every check (each failing field red, the
// last message shown), refuses a change a code in use may not take, asks,
// and writes under the lock; a stored row is renamed by registering it
// under another code. Coded fields may show their description beside them.
class CodeTableEditor : public RecordWindow
{
    Q_OBJECT
public:
    enum class Style {
        // The list over the fields; the buttons always on, an unchanged row
        // refused, Annulla reading the stored row again.
        ListFirst,
        // "Inserimento" or "Modifica", the fields, then the list; Registra
        // and Annulla only once something changed, the stored row compared
        // before a write, Annulla showing the row as loaded.
        FormFirst,
    };

    // The width the window asked for, and no taller than a small screen
    // holds: the frame opens at this size.
    QSize sizeHint() const override;

    virtual QWidget *field(const QString &column) const;
    virtual QString value(const QString &column) const;
    // Sets a field as the operator would; a coded one shows its description.
    virtual void setValue(const QString &column, const QString &text);
    // The description shown beside a coded field.
    QString description(const QString &column) const;
    // "Inserimento" or "Modifica"; empty for a list-first editor.
    QString mode() const;
    virtual bool hasChanges() const;
    Services::Row typed() const;
    // The stored row on screen; nothing for a new one.
    const std::optional<Services::Row> &loaded() const { return m_loaded; }

    // Leaving the code: a new or changed code already stored is refused.
    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;
    // Nuovo: an empty form for a new row.
    void startNew();
    // The code's row chosen in the list and shown; false when it is not listed.
    bool chooseCode(const QString &code);
    void reload();

    // The lookup list of a table's codes and descriptions.
    static std::function<LookupRequest()> codeList(const QString &table, const QString &title);
    // The choices shown as "code - text".
    static QList<std::pair<QString, QString>> withCodes(const QList<std::pair<QString, QString>> &choices);

protected:
    CodeTableEditor(AppContext &context, std::unique_ptr<CodeTableSource> source, Style style,
                    const QStringList &gridColumns, const QStringList &headings, const QString &hint, QWidget *parent);

    virtual Services::Row emptyRow() const;
    // The values kept outside the bound fields, read into the typed row.
    virtual void readUnbound(Services::Row &) const {}
    // The row just shown (values outside the bound fields).
    virtual void shown(const Services::Row &) {}
    // A cell of the list.
    virtual QString gridText(const Services::Row &row, const QString &column) const;
    // The description of a coded field's code.
    virtual QString describe(const QString &, const QString &) const { return {}; }
    // Every failing field marked; true when a problem was shown.
    virtual bool showProblems(const QList<Services::FieldProblem> &problems);
    // Asked before registering a stored row under another code.
    virtual bool renameAccepted(const QString &) { return true; }
    // The deletion refused by the records that use the code.
    virtual QString deleteRefused(const QStringList &uses) const;

    // Building the form: fields bound to their columns.
    QWidget *addKey(int length);
    CodeField *addCode(const QString &column, int length);
    QWidget *addText(const QString &column, int length);
    QWidget *addNumber(const QString &column, int decimals);
    QComboBox *addChoice(const QString &column, const QList<std::pair<QString, QString>> &choices, bool blankFirst);
    // A code with its lookup list and its description beside it.
    QWidget *addCoded(const QString &column, int length, std::function<LookupRequest()> list, int labelWidth);
    QFormLayout *fields() const { return m_fields; }
    // Where more rows of fields go, under fields().
    QVBoxLayout *form() const { return m_form; }
    // Call once the fields are laid out: the width, the fields in tab
    // order (none keeps the order they were made in), the field Nuovo
    // focuses (the code when none).
    void finish(int width, const QList<QWidget *> &tabOrder = {}, QWidget *first = nullptr);
    // The list's column the chosen row's current cell is in.
    void setChosenColumn(int column) { m_chosenColumn = column; }
    // True while the program fills the fields (loading, clearing).
    bool filling() const { return m_filling; }
    FormBinder *binder() const { return m_binder; }
    void showDescription(const QString &column);
    void updateButtons();
    void fieldLeft(QLineEdit *field) override;

private:
    void reloadGrid();
    void display(const std::optional<Services::Row> &row);
    QString loadedCode() const;
    void say(const Services::FieldProblem &problem);
    // The row on screen was lost: registered again it is a new one.
    void lose();
    // The stored row compared with the loaded one: false when the operator
    // stops, or when it is gone.
    bool storedStillThere();

    std::unique_ptr<CodeTableSource> m_source;
    const Style m_style;
    const Services::FamilyDef m_family;
    const QStringList m_gridColumns;
    FormBinder *m_binder;
    QVBoxLayout *m_form;
    QFormLayout *m_fields;
    QLabel *m_mode = nullptr;
    QPushButton *m_new;
    QWidget *m_first = nullptr;
    int m_width = 0;
    int m_chosenColumn = 0;
    QHash<QString, QLabel *> m_descriptions;
    QList<Services::Row> m_rows;
    std::optional<Services::Row> m_loaded;
    bool m_filling = false;
};

} // namespace Orlavo::Ui
