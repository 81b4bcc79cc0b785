// The save dialog every "Save..." and "Record..." of the window asks through.
#pragma once
#include <QString>

class QWidget;

// Asks where to save; a name typed without an extension gets suffix (without its dot), before the
// dialog asks whether to replace an existing file, so the name shown is the one written. Empty
// when cancelled.
QString askSavePath(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter,
                    const QString& suffix);
