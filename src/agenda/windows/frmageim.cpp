#include "agenda/windows/frmageim.h"

#include "agenda/rules/agendarules.h"
#include "agenda/stores/appointmentstore.h"
#include "ui/appcontext.h"
#include "ui/colours.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orlavo::Agenda {

namespace {

struct Pair {
    const char *background;
    const char *text;
    const char *caption;
};

constexpr Pair kPairs[] = {
    {"COLOREPARI_B", "COLOREPARI_F", "Righe alterne"},
    {"COLOREDISP_B", "COLOREDISP_F", "Orari liberi"},
    {"COLORESELEZIONE_B", "COLORESELEZIONE_F", "Selezione"},
    {"COLOREDATA_B", "COLOREDATA_F", "Intestazione dei giorni"},
};

QString textKeyOf(const QString &backgroundKey)
{
    QString key = backgroundKey;
    key.chop(1);
    return key + QLatin1Char('F');
}

} // namespace

FrmAgeIm::FrmAgeIm(Ui::AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("FrmAgeIm"));
    setWindowTitle(QStringLiteral("Impostazioni agenda"));
    m_chooser = [](QWidget *owner, const QColor &initial, const QString &title) {
        return QColorDialog::getColor(initial, owner, title);
    };
    auto *grid = new QGridLayout;
    int row = 0;
    for (const Pair &pair : kPairs) {
        const QString key = QString::fromLatin1(pair.background);
        auto *sample = new QLabel(QStringLiteral("  Esempio di testo  "), this);
        sample->setObjectName(QStringLiteral("D_") + key);
        sample->setAutoFillBackground(true);
        sample->setFrameShape(QFrame::Box);
        m_samples.insert(key, sample);
        auto *button = new QPushButton(QString::fromUtf8(pair.caption), this);
        button->setObjectName(QStringLiteral("B_") + key);
        connect(button, &QPushButton::clicked, this, [this, key] { choosePair(key); });
        grid->addWidget(button, row, 0);
        grid->addWidget(sample, row++, 1);
    }
    m_hourColumn = new QCheckBox(QStringLiteral("Mostra la colonna delle ore"), this);
    m_hourColumn->setObjectName(QStringLiteral("T_COLONNE"));
    m_hourColumn->setChecked(readAgendaSettings(context.settings).hourColumn);
    connect(m_hourColumn, &QCheckBox::toggled, this, [this](bool on) {
        write(QString::fromLatin1(kHourColumnKey), on ? QStringLiteral("S") : QStringLiteral("N"));
    });
    grid->addWidget(m_hourColumn, row++, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    auto *defaults = new QPushButton(QStringLiteral("&Colori predefiniti"), this);
    defaults->setObjectName(QStringLiteral("B_Predefiniti"));
    auto *exit = new QPushButton(QStringLiteral("E&sci"), this);
    exit->setObjectName(QStringLiteral("B_Esci"));
    connect(defaults, &QPushButton::clicked, this, [this] { restoreDefaults(); });
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(defaults);
    buttons->addStretch();
    buttons->addWidget(exit);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    showSamples();
}

void FrmAgeIm::choosePair(const QString &backgroundKey)
{
    const AgendaSettings now = readAgendaSettings(m_context.settings);
    const QString textKey = textKeyOf(backgroundKey);
    const QColor background =
        m_chooser(this, Ui::colourFromSetting(now.colours.value(backgroundKey), Qt::white, palette()),
                  QStringLiteral("Colore di sfondo"));
    if (background.isValid())
        write(backgroundKey, Ui::settingFromColour(background));
    const QColor text = m_chooser(this, Ui::colourFromSetting(now.colours.value(textKey), Qt::black, palette()),
                                  QStringLiteral("Colore del testo"));
    if (text.isValid())
        write(textKey, Ui::settingFromColour(text));
}

void FrmAgeIm::restoreDefaults()
{
    for (const ColourSetting &colour : kColourSettings)
        m_context.settings.write(QString::fromLatin1(kAgendaSection), QString::fromLatin1(colour.key),
                                 QString::fromLatin1(colour.defaultValue));
    showSamples();
    emit changed();
}

void FrmAgeIm::write(const QString &key, const QString &value)
{
    m_context.settings.write(QString::fromLatin1(kAgendaSection), key, value);
    showSamples();
    emit changed();
}

void FrmAgeIm::showSamples()
{
    const AgendaSettings now = readAgendaSettings(m_context.settings);
    for (auto it = m_samples.begin(); it != m_samples.end(); ++it) {
        QPalette colours = it.value()->palette();
        colours.setColor(QPalette::Window, Ui::colourFromSetting(now.colours.value(it.key()), Qt::white, palette()));
        colours.setColor(QPalette::WindowText,
                         Ui::colourFromSetting(now.colours.value(textKeyOf(it.key())), Qt::black, palette()));
        it.value()->setPalette(colours);
    }
}

} // namespace Orlavo::Agenda
