#include "window/connections/state_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int REFRESH_INTERVAL_MS = 250;

}  // namespace

StateDialog::StateDialog(const char* name, const QString& title, QWidget* parent) : QDialog(parent)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    setModal(false);
    refresh = new QTimer(this);
    refresh->setInterval(REFRESH_INTERVAL_MS);
    connect(refresh, &QTimer::timeout, this, [this] { show_state(); });
}

QPushButton* StateDialog::button(const char* name, const QString& text)
{
    auto* made = new QPushButton(text, this);
    made->setObjectName(QLatin1String(name));
    made->setAutoDefault(false);
    return made;
}

QLabel* StateDialog::state_line(const char* name)
{
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void StateDialog::showEvent(QShowEvent* event)
{
    show_state();
    refresh->start();
    QDialog::showEvent(event);
}

void StateDialog::hideEvent(QHideEvent* event)
{
    refresh->stop();
    QDialog::hideEvent(event);
}
