#pragma once

#include <QDialog>

class QFileSystemModel;
class QTreeView;
class QLineEdit;

namespace Orlavo::Shell {

// The database folder window: a folder tree; OK gives the chosen folder
// ending with "/", Cancel gives nothing.
class FrmPath : public QDialog
{
    Q_OBJECT
public:
    explicit FrmPath(const QString &startFolder, QWidget *parent = nullptr);

    QString chosenFolder() const;

private:
    QFileSystemModel *m_model;
    QTreeView *m_tree;
    QLineEdit *m_path;
};

} // namespace Orlavo::Shell
