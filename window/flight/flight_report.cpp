#include "window/flight/flight_report.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include <string>

#include "host/version.h"
#include "review/review_html.h"
#include "review/review_library_files.h"
#include "review/review_png.h"
#include "window/app/window_names.h"

FlightReport::FlightReport(std::shared_ptr<instrument_session> played, QObject* parent)
    : QObject(parent), session(std::move(played)), recorder(*session)
{
}

FlightReport::~FlightReport() = default;

bool FlightReport::write(const QString& path, const QString& flight_name, QString& why) const
{
    review_page_library library;
    std::string reason;
    if (!read_review_library(review_library_folder(), library, reason)) {
        why = QString::fromLocal8Bit(reason.c_str());
        return false;
    }
    const std::string page = review_html(recorder.review(), flight_name.toStdString(),
                                         std::string(PROGRAM_NAME) + " " KTR7_VERSION, library, review_png_data_uri);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(page.data(), qint64(page.size())) != qint64(page.size()) || !file.flush()) {
        why = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void FlightReport::write_with_dialog(QWidget* parent, const QString& flight_path)
{
    if (recorder.ticks() == 0) {
        emit message(QStringLiteral("No flight played yet: open a flight and play it first"));
        return;
    }
    const QFileInfo flown(flight_path);
    const QString suggested = flown.path() + QStringLiteral("/") + flown.completeBaseName() + QStringLiteral(".html");
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Flight Report"), suggested,
                                                      QStringLiteral("Web pages (*.html *.htm)"));
    if (path.isEmpty())
        return;
    QString why;
    if (!write(path, flown.fileName(), why)) {
        emit message(QStringLiteral("Flight report not written: %1").arg(why));
        return;
    }
    emit message(QStringLiteral("Flight report written to %1").arg(path));
    if (QMessageBox::question(parent, QStringLiteral("Flight Report"),
                              QStringLiteral("Open the report in the browser?")) == QMessageBox::Yes)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
