#include "ui/lookuplist.h"

#include "ui/appcontext.h"
#include "ui/inputfields.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace Orlavo::Ui {

namespace {
constexpr char kNoRows[] = "Non ci sono record.";
constexpr char kLimited[] = "Elenco limitato alle prime %1 righe: restringere la ricerca.";
// Typed characters further apart than this start a new search.
constexpr int kTypeAheadPauseMs = 1000;

bool isNumeric(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
    }
}

// A figure with fixed decimals ("N2"), or as a percentage with two
// digits at least before the comma ("Z": "05,50").
QString figure(const QVariant &value, const Services::ColumnFormat &format)
{
    const bool padded = format.letter == QLatin1Char('Z');
    QString text = QString::number(value.toDouble(), 'f', padded ? 2 : format.extra.toInt());
    if (padded && text.indexOf(QLatin1Char('.')) < 2 && !text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char('0'));
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

bool isFigure(const Services::ColumnFormat &format)
{
    return format.letter == QLatin1Char('N') || format.letter == QLatin1Char('Z');
}

QString shown(const QVariant &value, const Services::ColumnFormat &format)
{
    if (value.isNull())
        return QString();
    if (isFigure(format))
        return figure(value, format);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: return value.toDateTime().date().toString(QStringLiteral("dd/MM/yyyy"));
    default: return value.toString();
    }
}
} // namespace

// The rows as read, shown the Italian way, numbers to the right.
class LookupModel : public QAbstractTableModel
{
public:
    LookupModel(QStringList headings, QList<Services::ColumnFormat> formats, QObject *parent)
        : QAbstractTableModel(parent), m_headings(std::move(headings)), m_formats(std::move(formats))
    {
    }

    void setRows(QList<QVariantList> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const QVariantList &row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_headings.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const QVariant &value = m_rows.at(index.row()).at(index.column());
        const Services::ColumnFormat format = m_formats.value(index.column());
        if (role == Qt::DisplayRole)
            return shown(value, format);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue((isNumeric(value) || isFigure(format) ? Qt::AlignRight : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_headings.size())
            return m_headings.at(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QStringList m_headings;
    QList<Services::ColumnFormat> m_formats;
    QList<QVariantList> m_rows;
};

LookupList::LookupList(AppContext &context, LookupRequest request, QWidget *parent)
    : QDialog(parent), m_ctx(context), m_request(std::move(request)), m_view(new QTableView(this)),
      m_limitNote(new QLabel(this))
{
    setObjectName(QStringLiteral("ListaRicerca"));
    setWindowTitle(m_request.title);
    QStringList headings;
    QList<Services::ColumnFormat> formats;
    for (const Services::LookupColumn &column : m_request.columns) {
        headings.append(column.heading);
        formats.append(Services::ColumnFormat::parse(column.format));
    }
    m_model = new LookupModel(headings, formats, this);

    m_view->setObjectName(QStringLiteral("griglia"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_view->installEventFilter(this);
    const int charWidth = m_view->fontMetrics().averageCharWidth();
    // The style may draw headings in bold: measured so, they are never cut.
    QFont headingFont = m_view->horizontalHeader()->font();
    headingFont.setBold(true);
    const QFontMetrics headingMetrics(headingFont);
    for (int i = 0; i < m_request.columns.size(); ++i) {
        const Services::ColumnFormat format = Services::ColumnFormat::parse(m_request.columns.at(i).format);
        m_view->setColumnHidden(i, format.hidden());
        const int headingWidth = headingMetrics.horizontalAdvance(m_request.columns.at(i).heading);
        m_view->setColumnWidth(i, std::max(format.width * charWidth, headingWidth) + 12);
    }

    m_limitNote->setObjectName(QStringLiteral("limite"));
    m_limitNote->setWordWrap(true);
    m_limitNote->hide();

    auto *buttons = new QDialogButtonBox(this);
    if (m_request.mode == LookupMode::Print) {
        QPushButton *print = buttons->addButton(QStringLiteral("&Stampa"), QDialogButtonBox::ActionRole);
        QPushButton *preview = buttons->addButton(QStringLiteral("&Anteprima"), QDialogButtonBox::ActionRole);
        QPushButton *close = buttons->addButton(QStringLiteral("E&sci"), QDialogButtonBox::RejectRole);
        print->setObjectName(QStringLiteral("stampa"));
        preview->setObjectName(QStringLiteral("anteprima"));
        close->setObjectName(QStringLiteral("esci"));
        connect(print, &QPushButton::clicked, this, [this] { this->print(Reporting::ReportOutput::Printer); });
        connect(preview, &QPushButton::clicked, this, [this] { this->print(Reporting::ReportOutput::Preview); });
    } else {
        buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] { choose(m_view->currentIndex().row()); });
        connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { choose(index.row()); });
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_limitNote);
    layout->addWidget(buttons);
}

LookupList::~LookupList() = default;

bool LookupList::load()
{
    const LookupQuery query = buildLookupQuery(m_request.table, m_request.columns, m_request.condition,
                                               m_request.rowLimit, m_request.conditionParams);
    auto rows = m_ctx.db.openRecordset(query.sql, query.params);
    if (!rows)
        return false;
    if (rows->isEmpty()) {
        m_ctx.prompter.info(QString::fromLatin1(kNoRows), m_request.title);
        return false;
    }
    const int columns = int(m_request.columns.size());
    const qsizetype kept =
        m_request.rowLimit > 0 ? std::min<qsizetype>(rows->size(), m_request.rowLimit) : rows->size();
    QList<QVariantList> values;
    values.reserve(kept);
    for (qsizetype i = 0; i < kept; ++i) {
        const auto row = rows->at(i);
        QVariantList line;
        line.reserve(columns);
        for (int c = 0; c < columns; ++c)
            line.append(row.at(c));
        values.append(std::move(line));
    }
    m_limited = rows->size() > kept;
    m_model->setRows(std::move(values));
    m_limitNote->setText(QString::fromLatin1(kLimited).arg(m_request.rowLimit));
    m_limitNote->setVisible(m_limited);
    m_view->selectRow(0);
    fitColumnsToContent();
    fitToRows();
    return true;
}

void LookupList::fitColumnsToContent()
{
    // A column is as wide as its format, its heading or its longest shown
    // value, whichever is widest, up to 60 characters.
    const QFontMetrics metrics = m_view->fontMetrics();
    const int rows = std::min(m_model->rowCount(), 500);
    for (int i = 0; i < m_model->columnCount(); ++i) {
        if (m_view->isColumnHidden(i))
            continue;
        int content = 0;
        for (int row = 0; row < rows; ++row)
            content = std::max(content, metrics.horizontalAdvance(m_model->index(row, i).data().toString()));
        content = std::min(content, 60 * metrics.averageCharWidth());
        m_view->setColumnWidth(i, std::max(m_view->columnWidth(i), content + 12));
    }
}

void LookupList::fitToRows()
{
    const int rowHeight = m_view->verticalHeader()->defaultSectionSize();
    const int visibleRows = std::max(1, m_ctx.state.rowsList);
    const int frame = 2 * m_view->frameWidth();
    m_view->setMinimumHeight(m_view->horizontalHeader()->sizeHint().height() + visibleRows * rowHeight + frame);
    int width = frame + m_view->verticalScrollBar()->sizeHint().width();
    for (int i = 0; i < m_model->columnCount(); ++i) {
        if (!m_view->isColumnHidden(i))
            width += m_view->columnWidth(i);
    }
    m_view->setMinimumWidth(std::min(width, 1200));
    adjustSize();
}

int LookupList::rowCount() const
{
    return m_model->rowCount();
}

QStringList LookupList::values(int row) const
{
    QStringList texts;
    if (row < 0 || row >= m_model->rowCount())
        return texts;
    for (const QVariant &value : m_model->row(row))
        texts.append(value.toString());
    return texts;
}

void LookupList::choose(int row)
{
    if (m_request.mode != LookupMode::Pick || row < 0 || row >= m_model->rowCount())
        return;
    m_chosen = values(row);
    accept();
}

int LookupList::typeAheadColumn() const
{
    for (int i = 0; i < m_model->columnCount(); ++i) {
        if (!m_view->isColumnHidden(i))
            return i;
    }
    return 0;
}

int LookupList::findPrefix(const QString &text) const
{
    const int column = typeAheadColumn();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->data(m_model->index(row, column), Qt::DisplayRole)
                .toString()
                .startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

bool LookupList::print(Reporting::ReportOutput output, const QString &pdfPath)
{
    Reporting::PrintCommand command;
    command.key = m_request.reportKey;
    command.title = m_request.title;
    command.output = output;
    command.pdfPath = pdfPath;
    if (output != Reporting::ReportOutput::Preview)
        return printReport(m_ctx, command, this);
    // The preview outlives the list: it belongs to the caller's window, and
    // the list makes way for it.
    const bool shown = printReport(m_ctx, command, parentWidget());
    if (shown)
        reject();
    return shown;
}

bool LookupList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (m_request.mode == LookupMode::Pick)
            choose(m_view->currentIndex().row());
        return true;
    }
    const QString text = key->text();
    const bool typing = !text.isEmpty() && text.at(0).isPrint() &&
                        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!typing)
        return QDialog::eventFilter(watched, event);
    if (!m_lastKey.isValid() || m_lastKey.elapsed() > kTypeAheadPauseMs)
        m_typed.clear();
    m_lastKey.restart();
    m_typed += text;
    if (const int row = findPrefix(m_typed); row >= 0) {
        m_view->selectRow(row);
        m_view->scrollTo(m_model->index(row, typeAheadColumn()), QAbstractItemView::PositionAtTop);
    }
    return true;
}

std::optional<QStringList> showLookupList(AppContext &context, const LookupRequest &request, QWidget *parent)
{
    LookupList list(context, request, parent);
    if (!list.load())
        return std::nullopt;
    list.exec();
    return list.chosen();
}

void attachLookup(CodeField *field, AppContext &context, std::function<LookupRequest()> request)
{
    QObject::connect(field, &CodeField::lookupRequested, field, [field, &context, request = std::move(request)] {
        const auto chosen = showLookupList(context, request(), field->window());
        if (!chosen || chosen->isEmpty())
            return;
        field->setText(chosen->first());
        field->setModified(true);
        field->setFocus(Qt::OtherFocusReason);
    });
}

void leaveOnPick(CodeField *field, QObject *receiver, std::function<void()> left)
{
    QObject::connect(
        field, &CodeField::lookupRequested, receiver,
        [field, left = std::move(left)] {
            if (field->isModified()) {
                field->setModified(false);
                left();
            }
        },
        Qt::QueuedConnection);
}

} // namespace Orlavo::Ui
