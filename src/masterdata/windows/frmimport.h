#pragma once

#include "masterdata/stores/tableimport.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// "Importa da file": a text file read into one of the tables, shown first
// as counts of new, changed, unchanged and refused lines with the refused
// ones listed; Conferma writes, Annulla leaves the table as it was.
class FrmImport : public QDialog
{
    Q_OBJECT
public:
    // The file to read, asked of the operator; empty when none was chosen.
    using FileChooser = std::function<QString(QWidget *parent)>;

    FrmImport(Ui::AppContext &context, ImportKind kind, QWidget *parent = nullptr);

    // Replaces the file dialog (tests, callers that know the file).
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    // Asks the file and reads it; false when none was chosen or it could
    // not be used (the operator has been told why).
    bool chooseFile();
    bool load(const QString &path);

    const ImportPreview &preview() const { return m_preview; }
    // Rows written by Conferma.
    int written() const { return m_written; }

    // Conferma: the rows written under a progress window that can cancel,
    // then what was written.
    void confirm();

private:
    void showPreview();

    Ui::AppContext &m_context;
    ImportKind m_kind;
    FileChooser m_chooser;
    ImportPreview m_preview;
    int m_written = 0;

    QLabel *m_file;
    QLabel *m_counts;
    QTableWidget *m_refused;
    QPushButton *m_confirm;
    QPushButton *m_cancel;
};

// The command "Importa da file..." of a table window: the file, the
// preview, the writes. True when rows were written, so the caller reloads
// its grid. chooseFile replaces the file dialog.
bool importTable(Ui::AppContext &context, ImportKind kind, QWidget *parent, FrmImport::FileChooser chooseFile = {});

} // namespace Orlavo::Masterdata
