// The mouse wheel as knob turns: one step a notch. Fine-grained wheels and
// touch pads send parts of a notch; a step is taken for each whole notch and
// the rest is kept in rest for the next event. Up is clockwise.
#pragma once

// One notch of an ordinary mouse wheel.
constexpr int WHEEL_NOTCH = 120;

// step(bool clockwise) is called once for each whole notch.
template <typename Step>
void take_wheel_steps(int& rest, int delta, Step step)
{
    rest += delta;
    while (rest >= WHEEL_NOTCH) {
        rest -= WHEEL_NOTCH;
        step(true);
    }
    while (rest <= -WHEEL_NOTCH) {
        rest += WHEEL_NOTCH;
        step(false);
    }
}
