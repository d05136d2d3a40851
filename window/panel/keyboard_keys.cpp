#include "window/panel/keyboard_keys.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

#include "window/app/help_texts.h"

bool instrument_key(int qt_key, uint8_t& key)
{
    // The keyboard map of Help > Keyboard and Mouse.
    for (const control_map_row& row : CONTROL_MAP) {
        if (qt_key != 0 && std::find(row.keyboard.begin(), row.keyboard.end(), qt_key) != row.keyboard.end()) {
            key = row.key;
            return true;
        }
    }
    return false;
}

KeyboardKeys::KeyboardKeys(QWidget* window) : QObject(window), window(window)
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == this->window)
            emit keys_moved(keys_holder());
    });
}

QString KeyboardKeys::keys_holder() const
{
    if (reach_instrument())
        return QStringLiteral("instrument");
    for (const QWidget* at = QApplication::focusWidget(); at != nullptr && at != window; at = at->parentWidget()) {
        if (!at->accessibleName().isEmpty())
            return at->accessibleName();
    }
    return QStringLiteral("the control in focus");
}

KeyboardKeys::~KeyboardKeys()
{
    qApp->removeEventFilter(this);
}

void KeyboardKeys::keep_keys_in(QWidget* widget)
{
    own_keys.append(widget);
}

bool KeyboardKeys::reach_instrument() const
{
    if (QApplication::activePopupWidget() != nullptr || QApplication::activeModalWidget() != nullptr)
        return false;
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr)
        return true;
    if (focus->window() != window)
        return false;
    if (qobject_cast<const QAbstractSlider*>(focus) != nullptr)
        return false;
    if (qobject_cast<const QAbstractSpinBox*>(focus) != nullptr)
        return false;
    for (const QPointer<QWidget>& own : own_keys) {
        if (own != nullptr && (focus == own || own->isAncestorOf(focus)))
            return false;
    }
    return true;
}

bool KeyboardKeys::take(int qt_key)
{
    uint8_t posted;
    if (!instrument_key(qt_key, posted) || !reach_instrument())
        return false;
    emit key(posted);
    return true;
}

bool KeyboardKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != window)
        return false;
    auto* key_event = static_cast<QKeyEvent*>(event);
    if (key_event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return take(key_event->key());
}
