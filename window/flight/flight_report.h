// File > Flight Report...: the review of what the window's session has
// played of its flight (the same page ktr7-replay --report writes), built as
// the window plays it, written to a file the user chooses and offered to
// open in the browser.
#pragma once
#include <QObject>
#include <QString>

#include <memory>

#include "review/review_recorder.h"

class instrument_session;
class QWidget;

class FlightReport : public QObject {
    Q_OBJECT

public:
    FlightReport(std::shared_ptr<instrument_session> session, QObject* parent);
    ~FlightReport() override;

    // Ticks of the flight played since the review started.
    long long ticks() const { return recorder.ticks(); }
    // Writes the page for the flight named flight_name to path; false with
    // why set when the library or the file cannot be had.
    bool write(const QString& path, const QString& flight_name, QString& why) const;

public slots:
    // Asks for the file, writes the page and offers to open it.
    void write_with_dialog(QWidget* parent, const QString& flight_path);

signals:
    // What was written, or why nothing was.
    void message(const QString& text);

private:
    std::shared_ptr<instrument_session> session;  // outlives the recorder that follows it
    review_recorder recorder;
};
