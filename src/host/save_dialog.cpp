#include "host/save_dialog.h"

#include <QFileDialog>

QString askSavePath(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter,
                    const QString& suffix)
{
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}
