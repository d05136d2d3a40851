#include "window/lcd/lcd_pictures.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include <cstring>

#include "gfx/lcd.h"
#include "host/picture_scale.h"
#include "picture/lcd_png.h"
#include "window/app/host_settings.h"
#include "window/lcd/lcd_window.h"

namespace {

// The scale chosen last in the save dialog.
const char SETTINGS_SCALE[] = "pictures/scale";

}  // namespace

LcdPictures::LcdPictures(QWidget* window) : QObject(window), window(window)
{
}

QStringList LcdPictures::scale_filters()
{
    QStringList filters;
    for (int scale = PNG_SCALE_MIN; scale <= PNG_SCALE_MAX; scale++)
        filters << QStringLiteral("PNG, each LCD pixel %1 x %1 (*.png)").arg(scale);
    return filters;
}

bool LcdPictures::save(const QString& path, int scale, const uint8_t* buffer)
{
    char why[160];
    if (write_png_of(buffer, QFile::encodeName(path).constData(), scale, why, sizeof why)) {
        emit said(QStringLiteral("Wrote %1 (%2 x %3, each LCD pixel %4 x %4)")
                      .arg(path)
                      .arg(LCD_WIDTH * scale)
                      .arg(LCD_HEIGHT * scale)
                      .arg(scale));
        return true;
    }
    QMessageBox::warning(window, QApplication::applicationName(),
                         QStringLiteral("Cannot write \"%1\": %2").arg(path, QString::fromLocal8Bit(why)));
    return false;
}

void LcdPictures::save_with_dialog()
{
    // The picture is the LCD at the moment of the command, not after the
    // dialog has been answered.
    static uint8_t taken[sizeof lcd_buffer];
    std::memcpy(taken, lcd_buffer, sizeof taken);
    const QStringList filters = scale_filters();
    const int remembered = host_settings().value(QLatin1String(SETTINGS_SCALE), DEFAULT_SCALE).toInt();
    QFileDialog dialog(window, QStringLiteral("Save LCD Picture"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(remembered - PNG_SCALE_MIN, filters.value(DEFAULT_SCALE - PNG_SCALE_MIN)));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(QStringLiteral("ktr7-lcd.png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const int scale = int(filters.indexOf(dialog.selectedNameFilter())) + PNG_SCALE_MIN;
    if (scale < PNG_SCALE_MIN)
        return;
    host_settings().setValue(QLatin1String(SETTINGS_SCALE), scale);
    save(dialog.selectedFiles().first(), scale, taken);
}

void LcdPictures::copy()
{
    const QImage picture = lcd_picture(lcd_buffer, DEFAULT_SCALE);
    QApplication::clipboard()->setImage(picture);
    emit said(QStringLiteral("Copied the LCD to the clipboard (%1 x %2)").arg(picture.width()).arg(picture.height()));
}
