// The keyboard as the instrument's keys, as Help > Keyboard and Mouse maps
// them: Left and Right are the keys, Up and "+" turn the knob clockwise, Down
// and "-" counter-clockwise, Return and Enter push it. In the window they reach the instrument unless the focus is
// in a control that takes them itself (a slider, a number field, the
// Communications box) or a menu or dialog is up.
#pragma once
#include <QList>
#include <QObject>
#include <QPointer>

#include <cstdint>

class QWidget;

// The instrument key a keyboard key (Qt::Key) stands for; false for other keys.
bool instrument_key(int qt_key, uint8_t& key);

class KeyboardKeys : public QObject {
    Q_OBJECT

public:
    // Watches the key presses of window (and of nothing else).
    explicit KeyboardKeys(QWidget* window);
    ~KeyboardKeys() override;

    // Keys pressed in widget (or inside it) are its own.
    void keep_keys_in(QWidget* widget);
    // Emits the instrument key for qt_key where the keys go to the
    // instrument now; returns whether it did.
    bool take(int qt_key);
    // Whether keys pressed now go to the instrument.
    bool reach_instrument() const;

    // Who has the keys now: "instrument", or the control with the
    // keyboard focus by its accessible name.
    QString keys_holder() const;

signals:
    void key(uint8_t key);
    // The keyboard focus moved within the window: who has the keys now.
    void keys_moved(const QString& holder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window;
    QList<QPointer<QWidget>> own_keys;
};
