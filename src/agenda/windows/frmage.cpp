#include "agenda/windows/frmage.h"

#include "agenda/windows/frmageim.h"
#include "agenda/windows/frmappin.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/colours.h"
#include "ui/inputfields.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace Orlavo::Agenda {

using Services::Prompter;

namespace {

constexpr int kDays = 5;
constexpr int kRefreshMs = 60 * 1000;
constexpr int kLineRole = Qt::UserRole; // the cell's lines: text and done
constexpr int kMargin = 3;

QString lineOf(const Appointment &a)
{
    QStringList parts = {a.from};
    if (!a.operatorName.isEmpty())
        parts.append(a.operatorName);
    if (!a.customerName.isEmpty())
        parts.append(a.customerName);
    return parts.join(QStringLiteral("  "));
}

// Draws a cell's appointments one per line; a done one in grey.
class CellPainter : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QVariant background = index.data(Qt::BackgroundRole);
        painter->fillRect(option.rect, selected ? option.palette.highlight()
                                       : background.value<QBrush>().style() == Qt::NoBrush
                                           ? option.palette.base()
                                           : background.value<QBrush>());
        const QColor text = selected ? option.palette.highlightedText().color()
                                     : index.data(Qt::ForegroundRole).value<QBrush>().color();
        const QVariantList lines = index.data(kLineRole).toList();
        const int height = option.fontMetrics.height();
        int y = option.rect.top() + kMargin;
        for (const QVariant &line : lines) {
            const QVariantMap entry = line.toMap();
            painter->setPen(entry.value(QStringLiteral("done")).toBool() ? QColor(Qt::gray) : text);
            const QRect place(option.rect.left() + kMargin, y, option.rect.width() - 2 * kMargin, height);
            painter->drawText(place, Qt::AlignLeft | Qt::AlignVCenter,
                              option.fontMetrics.elidedText(entry.value(QStringLiteral("text")).toString(),
                                                            Qt::ElideRight, place.width()));
            y += height;
        }
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int lines = std::max<qsizetype>(1, index.data(kLineRole).toList().size());
        return {option.rect.width(), int(lines * option.fontMetrics.height() + 2 * kMargin)};
    }
};

} // namespace

FrmAge::FrmAge(Ui::AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    m_present = [](FrmAppIn &window) { window.exec(); };
    m_settings = readAgendaSettings(context.settings);
    m_slots = daySlots(m_settings.hours);
    build();
    if (m_settings.hoursMalformed)
        m_context.prompter.warn(QStringLiteral("L'orario di lavoro (ORARIO) nel file delle impostazioni non è "
                                               "valido: l'agenda usa ") +
                                    QString::fromLatin1(kDefaultWorkingHours) + QStringLiteral("."),
                                windowTitle());
    applySettings();
    showFrom(QDate::currentDate());
}

void FrmAge::build()
{
    setObjectName(QStringLiteral("FrmAge"));
    setWindowTitle(QStringLiteral("Agenda appuntamenti"));
    auto *top = new QHBoxLayout;
    auto button = [this, top](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        top->addWidget(b);
        return b;
    };
    QPushButton *back = button(QStringLiteral("<"), "B_Indietro");
    back->setToolTip(QStringLiteral("Un giorno prima"));
    m_dayField = new Ui::DateField(this);
    m_dayField->setObjectName(QStringLiteral("T_GIORNO"));
    m_dayField->setMaximumWidth(110);
    top->addWidget(m_dayField);
    QPushButton *forward = button(QStringLiteral(">"), "B_Avanti");
    forward->setToolTip(QStringLiteral("Un giorno dopo"));
    QPushButton *today = button(QStringLiteral("&Oggi"), "B_Oggi");
    top->addStretch();
    QPushButton *add = button(QStringLiteral("&Nuovo"), "B_Nuovo");
    QPushButton *drop = button(QStringLiteral("&Elimina giorno"), "B_Elimina");
    QPushButton *colours = button(QStringLiteral("&Impostazioni"), "B_Impostazioni");
    QPushButton *exit = button(QStringLiteral("E&sci"), "B_Esci");
    connect(back, &QPushButton::clicked, this, [this] { showFrom(m_first.addDays(-1)); });
    connect(forward, &QPushButton::clicked, this, [this] { showFrom(m_first.addDays(1)); });
    connect(today, &QPushButton::clicked, this, [this] { showFrom(QDate::currentDate()); });
    connect(m_dayField, &QLineEdit::editingFinished, this, [this] {
        const QDate chosen = m_dayField->date();
        if (chosen.isValid() && chosen != m_first)
            showFrom(chosen);
    });
    connect(add, &QPushButton::clicked, this, [this] { TimIns(); });
    connect(drop, &QPushButton::clicked, this, [this] { TimCanc(); });
    connect(colours, &QPushButton::clicked, this, [this] { openSettings(); });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    m_grid = new QTableWidget(int(m_slots.size()), kDays, this);
    m_grid->setObjectName(QStringLiteral("griglia"));
    m_grid->setItemDelegate(new CellPainter(m_grid));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->viewport()->installEventFilter(this);
    // The weekday's form follows the columns' width.
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section) {
        if (section == 0 && m_first.isValid())
            showHeaders();
    });
    m_grid->horizontalHeader()->installEventFilter(this);
    QStringList hours;
    for (const Slot &slot : std::as_const(m_slots))
        hours.append(slot.inBand ? slot.from : slot.from + QStringLiteral("-") + slot.to);
    m_grid->setVerticalHeaderLabels(hours);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        const QRect rect = m_grid->visualRect(m_grid->model()->index(row, column));
        const QPoint at = m_grid->viewport()->mapFromGlobal(QCursor::pos());
        const int line = std::max(0, (at.y() - rect.top() - kMargin) / std::max(1, m_grid->fontMetrics().height()));
        openCell(row, column, line);
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid);

    m_refresh = new QTimer(this);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, [this] { reload(); });
    m_refresh->start();
}

void FrmAge::applySettings()
{
    m_settings = readAgendaSettings(m_context.settings);
    auto colour = [this](const char *key) {
        return Ui::colourFromSetting(m_settings.colours.value(QString::fromLatin1(key)), Qt::black, palette());
    };
    QPalette selection = m_grid->palette();
    selection.setColor(QPalette::Highlight, colour("COLORESELEZIONE_B"));
    selection.setColor(QPalette::HighlightedText, colour("COLORESELEZIONE_F"));
    m_grid->setPalette(selection);
    m_grid->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; color: %2; "
                                                             "padding: 3px; border: 1px solid %1; }")
                                                  .arg(colour("COLOREDATA_B").name(), colour("COLOREDATA_F").name()));
    m_grid->verticalHeader()->setVisible(m_settings.hourColumn);
    // The cells take the new colours as they are filled again.
    reload();
}

void FrmAge::showFrom(const QDate &first)
{
    if (!first.isValid())
        return;
    m_first = first;
    m_dayField->setDate(first);
    showHeaders();
    reload();
}

void FrmAge::showHeaders()
{
    const QFontMetrics metrics(m_grid->horizontalHeader()->font());
    const int width = m_grid->horizontalHeader()->sectionSize(0);
    // Narrow columns take the short weekday.
    const bool narrow = metrics.horizontalAdvance(QStringLiteral("Mercoledì")) + 12 > width && width > 0;
    QStringList headers;
    for (int d = 0; d < kDays; ++d) {
        const QDate day = m_first.addDays(d);
        headers.append(weekdayName(day, narrow) + QLatin1Char('\n') + dayCaption(day));
    }
    m_grid->setHorizontalHeaderLabels(headers);
}

void FrmAge::reload()
{
    if (!m_first.isValid() || !m_context.db.companyOpen())
        return;
    const auto found = appointmentsBetween(m_context.db, m_first, m_first.addDays(kDays - 1));
    fill(found ? *found : QList<Appointment>{});
}

void FrmAge::fill(const QList<Appointment> &appointments)
{
    m_cells = QList<QList<QList<Appointment>>>(m_slots.size(), QList<QList<Appointment>>(kDays));
    for (const Appointment &a : appointments) {
        const int column = int(m_first.daysTo(a.day));
        const int row = slotOf(m_slots, a.from);
        if (column >= 0 && column < kDays && row >= 0)
            m_cells[row][column].append(a);
    }
    auto colour = [this](const char *key) {
        return Ui::colourFromSetting(m_settings.colours.value(QString::fromLatin1(key)), Qt::black, palette());
    };
    const QColor evenBack = colour("COLOREPARI_B"), evenText = colour("COLOREPARI_F");
    const QColor freeBack = colour("COLOREDISP_B"), freeText = colour("COLOREDISP_F");
    for (int row = 0; row < m_slots.size(); ++row) {
        for (int column = 0; column < kDays; ++column) {
            const QList<Appointment> &here = m_cells.at(row).at(column);
            QVariantList lines;
            for (const Appointment &a : here)
                lines.append(QVariantMap{{QStringLiteral("text"), lineOf(a)}, {QStringLiteral("done"), a.done}});
            auto *item = new QTableWidgetItem;
            item->setData(kLineRole, lines);
            const bool free = here.isEmpty();
            // Rows alternate: every second one in the alternate colours, the
            // others in the slots' own; an appointment keeps its row's.
            const bool even = row % 2 == 0;
            item->setBackground(even ? evenBack : freeBack);
            item->setForeground(even ? evenText : freeText);
            item->setToolTip(free ? QString() : [&here] {
                QStringList tips;
                for (const Appointment &a : here)
                    tips.append(lineOf(a) + (a.notes.isEmpty() ? QString() : QStringLiteral(" - ") + a.notes));
                return tips.join(QLatin1Char('\n'));
            }());
            m_grid->setItem(row, column, item);
        }
    }
    m_grid->resizeRowsToContents();
}

QList<Appointment> FrmAge::cell(int row, int column) const
{
    if (row < 0 || row >= m_cells.size() || column < 0 || column >= kDays)
        return {};
    return m_cells.at(row).at(column);
}

QString FrmAge::startOf(int row) const
{
    // Out of the bands the operator types the time.
    return row >= 0 && row < m_slots.size() && m_slots.at(row).inBand ? m_slots.at(row).from : QString();
}

void FrmAge::openCell(int row, int column, int line)
{
    const QList<Appointment> here = cell(row, column);
    const QDate day = m_first.addDays(column);
    std::unique_ptr<FrmAppIn> window;
    if (line >= 0 && line < here.size())
        window = std::make_unique<FrmAppIn>(m_context, here.at(line), this);
    else
        window = std::make_unique<FrmAppIn>(m_context, day, startOf(row), this);
    if (window->loaded()) {
        window->setOnWritten([this] { reload(); });
        m_present(*window);
    }
    reload();
}

bool FrmAge::deleteDay(int column)
{
    if (column < 0 || column >= kDays || !m_context.db.checkWriteRights())
        return false;
    if (m_context.prompter.ask(QStringLiteral("Confermi eliminazione?"), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::YesNo, Prompter::Button::No) != Prompter::Button::Yes)
        return false;
    const bool deleted = Agenda::deleteDay(m_context.db, m_first.addDays(column)).written();
    reload();
    return deleted;
}

void FrmAge::TimCanc()
{
    // The question names no day: the operator picks it first.
    if (m_grid->currentColumn() < 0) {
        m_context.prompter.info(QStringLiteral("Selezionare il giorno da eliminare."), windowTitle());
        return;
    }
    deleteDay(m_grid->currentColumn());
}

void FrmAge::TimIns()
{
    const int row = m_grid->currentRow();
    openCell(row, std::max(0, m_grid->currentColumn()), -1);
}

void FrmAge::openSettings()
{
    FrmAgeIm settings(m_context, this);
    connect(&settings, &FrmAgeIm::changed, this, [this] { applySettings(); });
    settings.exec();
}

bool FrmAge::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        reload();
    return QDialog::event(event);
}

bool FrmAge::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
        if (delta != 0) {
            showFrom(m_first.addDays(delta > 0 ? -1 : 1));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAge::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_first.isValid())
        showHeaders();
}

} // namespace Orlavo::Agenda
