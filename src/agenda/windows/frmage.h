#pragma once

#include "agenda/stores/appointmentstore.h"

#include <QDialog>

#include <functional>

class QTableWidget;
class QTimer;

namespace Orlavo::Ui {
struct AppContext;
class DateField;
} // namespace Orlavo::Ui

namespace Orlavo::Agenda {

class FrmAppIn;

// The agenda: five days side by side from the chosen one, a row per half
// hour of the working hours (and one before, one for the pause, one after),
// each cell listing the appointments starting in it. Double-click opens an
// appointment or a new one at the slot; the buttons and the wheel move by a
// day; the view reads the archive again when the window is activated, after
// every write and every minute.
class FrmAge : public QDialog
{
    Q_OBJECT
public:
    explicit FrmAge(Ui::AppContext &context, QWidget *parent = nullptr);

    QDate firstDay() const { return m_first; }
    void showFrom(const QDate &first);
    void reload();
    // Reads colours and the hour column again and repaints.
    void applySettings();

    QTableWidget *grid() const { return m_grid; }
    // Room for five days of a working day at 1366×768.
    QSize sizeHint() const override { return {1180, 640}; }
    const QList<Slot> &timeSlots() const { return m_slots; }
    // The appointments shown in a cell, in their order.
    QList<Appointment> cell(int row, int column) const;
    // Double-click: the appointment on `line` of the cell, or a new one at
    // the slot when the cell has none there.
    void openCell(int row, int column, int line = 0);
    // The appointments of the day in `column`, after "Confermi eliminazione?".
    bool deleteDay(int column);

    // How an appointment's window is shown (modal by default; tests answer it).
    void setPresenter(std::function<void(FrmAppIn &)> present) { m_present = std::move(present); }

public slots:
    // The toolbar's delete: the selected day; its insert: a new appointment.
    void TimCanc();
    void TimIns();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void build();
    void fill(const QList<Appointment> &appointments);
    void showHeaders();
    void openSettings();
    QString startOf(int row) const;

    Ui::AppContext &m_context;
    AgendaSettings m_settings;
    QList<Slot> m_slots;
    QDate m_first;
    Ui::DateField *m_dayField = nullptr;
    QTableWidget *m_grid = nullptr;
    QTimer *m_refresh = nullptr;
    QList<QList<QList<Appointment>>> m_cells; // [row][column]
    std::function<void(FrmAppIn &)> m_present;
};

} // namespace Orlavo::Agenda
