#pragma once

#include "masterdata/stores/itemstore.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QLabel;
class QPrinter;
class QPushButton;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The photo of one item: the picture scaled to the window, or "Immagine non
// disponibile" when there is none to show; Cambia, Stampa, Elimina, Copia,
// Esci (a dialog, so Esci closes its frame too).
class VisFoto : public QDialog
{
    Q_OBJECT
public:
    // Asks for an image file, starting in the folder; empty when cancelled.
    using FileChooser = std::function<QString(QWidget *parent, const QString &folder)>;

    VisFoto(Ui::AppContext &context, const ItemKey &key, QWidget *parent = nullptr);

    void setFileChooser(FileChooser chooser) { m_choose = std::move(chooser); }

    // The image folder in use (PATHIMAGE, or the default when it is missing).
    const QString &folder() const { return m_folder; }
    // FOTOGR as stored, and the picture read from its file (null: none shown).
    const QString &stored() const { return m_stored; }
    const QImage &image() const { return m_image; }
    QLabel *picture() const { return m_picture; }

    // Cambia: the chosen file becomes the item's photo.
    void changePhoto();
    // Elimina: FOTOGR cleared after the question; the file stays.
    void deletePhoto();
    // Copia: the picture to the clipboard.
    void copyPhoto();
    // Stampa: the preview, from which it prints.
    void previewPhoto();
    // The page: the item's code and description over the picture, scaled to
    // fit. False when there is no picture or the printer cannot be used.
    bool printOn(QPrinter &printer);

signals:
    // FOTOGR written here: the stored name, empty when cleared.
    void photoChanged(const QString &stored);

public slots:
    // The toolbar's print and preview.
    void TimStampa();
    void TimAnte();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void reload();
    void fit();
    bool wasWritten(const Services::WriteResult &result);

    Ui::AppContext &m_ctx;
    const ItemKey m_key;
    QString m_folder;
    QString m_description;
    QString m_stored;
    QImage m_image;
    FileChooser m_choose;
    QLabel *m_caption;
    QLabel *m_picture;
    QPushButton *m_print;
    QPushButton *m_delete;
    QPushButton *m_copy;
};

} // namespace Orlavo::Masterdata
