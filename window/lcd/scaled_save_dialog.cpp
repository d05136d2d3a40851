#include "window/lcd/scaled_save_dialog.h"

#include <QFileDialog>

#include "window/app/host_settings.h"

QStringList scale_filters(const scaled_file_kind& kind)
{
    QStringList filters;
    for (int scale = kind.lowest; scale <= kind.highest; scale++)
        filters << QStringLiteral("%1, each LCD pixel %2 x %2 (*.%3)")
                       .arg(QLatin1String(kind.type))
                       .arg(scale)
                       .arg(QLatin1String(kind.suffix));
    return filters;
}

scaled_file ask_scaled_file(QWidget* window, const scaled_file_kind& kind)
{
    const QStringList filters = scale_filters(kind);
    const QString key = QLatin1String(kind.settings_key);
    const int remembered = host_settings().value(key, kind.first).toInt();
    QFileDialog dialog(window, QLatin1String(kind.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(remembered - kind.lowest, filters.value(kind.first - kind.lowest)));
    dialog.setDefaultSuffix(QLatin1String(kind.suffix));
    dialog.selectFile(QStringLiteral("ktr7-lcd.%1").arg(QLatin1String(kind.suffix)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const int scale = int(filters.indexOf(dialog.selectedNameFilter())) + kind.lowest;
    if (scale < kind.lowest)
        return {};
    host_settings().setValue(key, scale);
    return {dialog.selectedFiles().first(), scale};
}
