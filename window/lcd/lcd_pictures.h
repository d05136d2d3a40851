// The LCD as a picture: saved as an indexed PNG (File > Save LCD Picture) or
// copied to the clipboard (Edit > Copy LCD Picture), each taken at the moment
// of the command. The save dialog offers the scale among its file types and
// remembers the one chosen; the status bar is told what was written or copied.
#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

class LcdPictures : public QObject {
    Q_OBJECT

public:
    // The scale the save dialog offers first, and of copied pictures.
    static constexpr int DEFAULT_SCALE = 3;

    // Dialogs and message boxes open over window.
    explicit LcdPictures(QWidget* window);

    // The save dialog's file types, one a scale: "PNG, each LCD pixel 3 x 3 (*.png)".
    static QStringList scale_filters();

    // Asks for the file and the scale, then writes the LCD as it was when asked.
    void save_with_dialog();
    // Writes buffer as an indexed PNG; on failure a message box names the file
    // and the reason. Returns whether it was written.
    bool save(const QString& path, int scale, const uint8_t* buffer);
    // The LCD as it is now to the clipboard.
    void copy();

signals:
    // What was written or copied, for the status bar.
    void said(const QString& text);

private:
    QWidget* window;
};
