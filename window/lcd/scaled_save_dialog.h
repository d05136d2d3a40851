// The save dialog of the LCD's pictures and animations: it asks for the
// file and the scale it is written at, the scales offered as its file types
// ("PNG, each LCD pixel 3 x 3 (*.png)") and the one chosen last offered first.
#pragma once
#include <QString>
#include <QStringList>

class QWidget;

struct scaled_file_kind {
    const char* title;         // the dialog's
    const char* type;          // "PNG"
    const char* suffix;        // "png"
    const char* settings_key;  // where the scale chosen last is kept
    int lowest, highest, first;
};

struct scaled_file {
    QString path;   // empty when the dialog was cancelled
    int scale = 0;
};

QStringList scale_filters(const scaled_file_kind& kind);
scaled_file ask_scaled_file(QWidget* window, const scaled_file_kind& kind);
