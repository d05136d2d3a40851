// The LCD as a picture: saved as an indexed PNG (File > Save LCD Picture) or
// copied to the clipboard (Edit > Copy LCD Picture), each taken at the moment
// of the command.
#pragma once
#include <QObject>
#include <QString>

#include <cstdint>

class QWidget;

class LcdPictures : public QObject {
    Q_OBJECT

public:
    // The scale the save dialog offers first, and of copied pictures.
    static constexpr int DEFAULT_SCALE = 3;

    // Dialogs and message boxes open over window.
    explicit LcdPictures(QWidget* window);

    // Asks for the scale and the file, then writes the LCD as it was when asked.
    void save_with_dialog();
    // Writes buffer as an indexed PNG; on failure a message box names the file
    // and the reason. Returns whether it was written.
    bool save(const QString& path, int scale, const uint8_t* buffer);
    // The LCD as it is now to the clipboard.
    void copy();

private:
    QWidget* window;
};
