#include "window/lcd_pictures.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <cstring>

#include "gfx/lcd.h"
#include "host/picture_scale.h"
#include "picture/lcd_png.h"
#include "window/lcd_window.h"

LcdPictures::LcdPictures(QWidget* window) : QObject(window), window(window)
{
}

bool LcdPictures::save(const QString& path, int scale, const uint8_t* buffer)
{
    char why[160];
    if (write_png_of(buffer, QFile::encodeName(path).constData(), scale, why, sizeof why))
        return true;
    QMessageBox::warning(window, QApplication::applicationName(),
                         QStringLiteral("Cannot write \"%1\": %2").arg(path, QString::fromLocal8Bit(why)));
    return false;
}

void LcdPictures::save_with_dialog()
{
    // The picture is the LCD at the moment of the command, not after the
    // dialogs have been answered.
    static uint8_t taken[sizeof lcd_buffer];
    std::memcpy(taken, lcd_buffer, sizeof taken);
    bool ok = false;
    const int scale = QInputDialog::getInt(window, QStringLiteral("Save LCD Picture"),
                                           QStringLiteral("Scale (each LCD pixel N x N):"), DEFAULT_SCALE,
                                           PNG_SCALE_MIN, PNG_SCALE_MAX, 1, &ok);
    if (!ok)
        return;
    const QString path = QFileDialog::getSaveFileName(window, QStringLiteral("Save LCD Picture"),
                                                      QStringLiteral("ktr7-lcd.png"),
                                                      QStringLiteral("PNG pictures (*.png)"));
    if (path.isEmpty())
        return;
    save(path, scale, taken);
}

void LcdPictures::copy()
{
    QApplication::clipboard()->setImage(lcd_picture(lcd_buffer, DEFAULT_SCALE));
}
