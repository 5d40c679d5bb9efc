#pragma once

#include <QColor>
#include <QDialog>
#include <QHash>

#include <functional>

class QCheckBox;
class QLabel;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Agenda {

// The agenda's colours and hour column: a button per colour pair (the
// background, then the text), the defaults back, the hour column. Every
// change is written to section APPUNTAMENTI at once and told by changed().
class FrmAgeIm : public QDialog
{
    Q_OBJECT
public:
    // Asks for a colour; an invalid one when the operator gives up.
    using ColourChooser = std::function<QColor(QWidget *parent, const QColor &initial, const QString &title)>;

    explicit FrmAgeIm(Ui::AppContext &context, QWidget *parent = nullptr);

    void setChooser(ColourChooser chooser) { m_chooser = std::move(chooser); }
    QCheckBox *hourColumn() const { return m_hourColumn; }

    // The pair of `backgroundKey` ("COLOREPARI_B" ...) chosen again.
    void choosePair(const QString &backgroundKey);
    void restoreDefaults();

signals:
    void changed();

private:
    void write(const QString &key, const QString &value);
    void showSamples();

    Ui::AppContext &m_context;
    ColourChooser m_chooser;
    QCheckBox *m_hourColumn = nullptr;
    QHash<QString, QLabel *> m_samples; // by background key
};

} // namespace Orlavo::Agenda
