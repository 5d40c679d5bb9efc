#include "shell/windows/frmpath.h"

#include "services/core/settings.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QVBoxLayout>

namespace Orlavo::Shell {

namespace {
constexpr char kFrmpathTitle[] = "Cartella degli archivi";
constexpr char kPrompt[] = "Selezionare la cartella che contiene gli archivi:";
} // namespace

FrmPath::FrmPath(const QString &startFolder, QWidget *parent)
    : QDialog(parent), m_model(new QFileSystemModel(this)), m_tree(new QTreeView(this)), m_path(new QLineEdit(this))
{
    setObjectName(QStringLiteral("FrmPath"));
    setWindowTitle(QString::fromUtf8(kFrmpathTitle));
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QDir::rootPath());
    m_tree->setObjectName(QStringLiteral("cartelle"));
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    const QString start = startFolder.isEmpty() ? QDir::homePath() : startFolder;
    m_tree->setCurrentIndex(m_model->index(start));
    m_tree->scrollTo(m_model->index(start));
    m_path->setObjectName(QStringLiteral("percorso"));
    m_path->setReadOnly(true);
    m_path->setText(start);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { m_path->setText(m_model->filePath(current)); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(kPrompt), this));
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_path);
    layout->addWidget(buttons);
    resize(480, 420);
}

QString FrmPath::chosenFolder() const
{
    return Services::asFolder(m_path->text());
}

} // namespace Orlavo::Shell
