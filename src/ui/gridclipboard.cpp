#include "ui/gridclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>

namespace Orlavo::Ui {

namespace {

// The rows or columns that show, in the order they show.
QList<int> shownSections(const QHeaderView *header)
{
    QList<int> sections;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            sections.append(logical);
    }
    return sections;
}

// A value inside one cell of the lines: a tab or a line break would split it.
QString cellText(const QModelIndex &index)
{
    QString text = index.data(Qt::DisplayRole).toString();
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return text;
}

bool isEditable(const QModelIndex &index)
{
    return index.isValid() && index.flags().testFlag(Qt::ItemIsEditable);
}

enum class ClipboardKey { None, Copy, Cut, Paste };

ClipboardKey clipboardKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy))
        return ClipboardKey::Copy;
    if (event->matches(QKeySequence::Cut))
        return ClipboardKey::Cut;
    if (event->matches(QKeySequence::Paste))
        return ClipboardKey::Paste;
    return ClipboardKey::None;
}

} // namespace

ClipboardKeys::ClipboardKeys(QTableView *grid) : QObject(grid), m_grid(grid)
{
    grid->installEventFilter(this);
}

void ClipboardKeys::setColumnFilter(int column, Services::FieldType type, bool flag)
{
    m_filters.insert(column, {type, flag});
}

void ClipboardKeys::setUpperCaseSwitch(const bool *upperCaseKeys)
{
    if (upperCaseKeys)
        m_upperCase = [upperCaseKeys] { return *upperCaseKeys; };
    else
        m_upperCase = nullptr;
}

void ClipboardKeys::setUpperCaseSource(std::function<bool()> source)
{
    m_upperCase = std::move(source);
}

bool ClipboardKeys::upperCase() const
{
    return m_upperCase ? m_upperCase() : true;
}

bool ClipboardKeys::writable() const
{
    return m_grid->editTriggers() != QAbstractItemView::NoEditTriggers;
}

QString ClipboardKeys::selectedText() const
{
    const QItemSelectionModel *selection = m_grid->selectionModel();
    if (!selection)
        return {};
    const QModelIndexList cells = selection->selectedIndexes();
    if (cells.isEmpty()) {
        // Nothing selected: the current cell alone.
        const QModelIndex current = m_grid->currentIndex();
        return current.isValid() ? cellText(current) : QString();
    }

    int top = cells.first().row(), bottom = top, left = cells.first().column(), right = left;
    for (const QModelIndex &cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    // The rectangle around the selection in the order it shows; a cell in
    // it that is not selected is an empty value, so the columns stay in line.
    QList<int> rows, columns;
    for (int row : shownSections(m_grid->verticalHeader())) {
        if (row >= top && row <= bottom)
            rows.append(row);
    }
    for (int column : shownSections(m_grid->horizontalHeader())) {
        if (column >= left && column <= right)
            columns.append(column);
    }
    QStringList lines;
    for (int row : rows) {
        QStringList values;
        for (int column : columns) {
            const QModelIndex cell = m_grid->model()->index(row, column, m_grid->rootIndex());
            values.append(selection->isSelected(cell) ? cellText(cell) : QString());
        }
        lines.append(values.join(QLatin1Char('\t')));
    }
    return lines.join(QLatin1Char('\n'));
}

void ClipboardKeys::copy() const
{
    // An empty cell copies as an empty value: what the clipboard held before
    // must not come back on the next paste.
    const QItemSelectionModel *selection = m_grid->selectionModel();
    if ((selection && selection->hasSelection()) || m_grid->currentIndex().isValid())
        QGuiApplication::clipboard()->setText(selectedText());
}

int ClipboardKeys::cut()
{
    copy();
    if (!writable() || !m_grid->selectionModel())
        return 0;
    int emptied = 0;
    for (const QModelIndex &cell : m_grid->selectionModel()->selectedIndexes()) {
        if (isEditable(cell) && !cellText(cell).isEmpty() && m_grid->model()->setData(cell, QString(), Qt::EditRole))
            ++emptied;
    }
    return emptied;
}

int ClipboardKeys::paste()
{
    return paste(QGuiApplication::clipboard()->text());
}

int ClipboardKeys::paste(const QString &lines)
{
    const QModelIndex current = m_grid->currentIndex();
    if (!writable() || !current.isValid() || lines.isEmpty())
        return 0;

    QStringList rowsText = lines.split(QLatin1Char('\n'));
    // A spreadsheet ends its last line too.
    if (rowsText.size() > 1 && rowsText.last().isEmpty())
        rowsText.removeLast();

    // From the current cell on, in the order rows and columns show.
    const QList<int> shownRows = shownSections(m_grid->verticalHeader());
    const QList<int> shownColumns = shownSections(m_grid->horizontalHeader());
    const qsizetype firstRow = shownRows.indexOf(current.row());
    const qsizetype firstColumn = shownColumns.indexOf(current.column());
    if (firstRow < 0 || firstColumn < 0)
        return 0;

    const bool capitals = upperCase();
    int written = 0;
    for (qsizetype r = 0; r < rowsText.size() && firstRow + r < shownRows.size(); ++r) {
        QString line = rowsText.at(r);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList values = line.split(QLatin1Char('\t'));
        for (qsizetype c = 0; c < values.size() && firstColumn + c < shownColumns.size(); ++c) {
            const int column = shownColumns.at(firstColumn + c);
            const QModelIndex cell = m_grid->model()->index(shownRows.at(firstRow + r), column, m_grid->rootIndex());
            if (!isEditable(cell))
                continue;
            const ColumnFilter filter = m_filters.value(column);
            // The value replaces the whole cell: nothing of the old one stays.
            const auto taken = filterText(values.at(c), filter.type, filter.flag, capitals, QString());
            if (taken && m_grid->model()->setData(cell, *taken, Qt::EditRole))
                ++written;
        }
    }
    return written;
}

bool ClipboardKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_grid || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QObject::eventFilter(watched, event);
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    const ClipboardKey key = clipboardKey(keyEvent);
    // A cell's editor has the focus and its own keys: only the grid's come here.
    if (key == ClipboardKey::None)
        return QObject::eventFilter(watched, event);
    // The grid's keys come before any shortcut of the window's.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    switch (key) {
    case ClipboardKey::Copy: copy(); break;
    case ClipboardKey::Cut: cut(); break;
    case ClipboardKey::Paste: paste(); break;
    case ClipboardKey::None: break;
    }
    return true;
}

} // namespace Orlavo::Ui
