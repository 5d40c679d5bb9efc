#pragma once

#include <QCoreApplication>
#include <QDialog>

class QDialogButtonBox;
class QFormLayout;
class QLabel;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// "Informazioni su": program and version, Qt, the system, the screen, the
// archives in use and who is working on which company. What a support call
// asks for first, on one page.
class FrmInfobox : public QDialog
{
    Q_OBJECT
public:
    // An empty version shows the version this program was built as.
    explicit FrmInfobox(Ui::AppContext &context, const QString &version = QCoreApplication::applicationVersion(),
                        QWidget *parent = nullptr);

    QDialogButtonBox *buttons() const { return m_buttons; }

private:
    // One row of the form; the value label carries `objectName`.
    QLabel *addRow(QFormLayout *form, const QString &caption, const QString &objectName, const QString &value);

    QDialogButtonBox *m_buttons;
};

} // namespace Orlavo::Shell
