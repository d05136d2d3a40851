// A small altitude profile of a whole recorded flight for the flight bar: the
// altitude channel from the first fix to the last, one column a pixel (the
// highest altitude within it), filled to the lowest of the flight, with the
// current flight time marked by a line. A click or drag on it asks to move
// there.
#pragma once
#include <QWidget>

#include <vector>

struct flight;

class FlightProfile : public QWidget {
    Q_OBJECT

public:
    explicit FlightProfile(QWidget* parent);

    // The flight drawn (nullptr for none); it must outlive its drawing.
    void set_flight(const flight* shown);
    // The marked flight time.
    void set_time(double flight_time);
    double marked_time() const { return marked; }

    // The flight time at x (a pixel column of the widget), held inside the flight.
    double time_at(int x) const;
    // The pixel column of a flight time.
    int x_of(double flight_time) const;

    QSize sizeHint() const override;

signals:
    void seek_requested(double flight_time);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // The highest altitude of each pixel column, feet.
    void measure();

    const flight* drawn = nullptr;
    double marked = 0.0;
    std::vector<double> column_top;
    double lowest = 0.0, highest = 0.0;
};
