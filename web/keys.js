// Who has the keyboard in the simulator page. The instrument takes the keys
// (arrows, "+", "-", Return) while no control of the page has the focus, or
// while the focus is on the instrument itself: the LCD, the bezel keys or
// the knob. A focused button, list, slider or file chooser keeps its own
// keys, as in any page; Escape or a click on the instrument gives the keys
// back. The line under the instrument says which has them.
"use strict";

window.ktr7Keys = (function () {
    const KEY_LEFT = 1, KEY_RIGHT = 2, KEY_PUSH = 3, KEY_CW = 4, KEY_CCW = 5;

    const $ = (id) => document.getElementById(id);
    const instrument = $("bezel");
    const canvas = $("LcdCanvas");
    const owner = $("KeysOwner");
    // Return or Space on a focused bezel key presses that key.
    const bezelKeys = {Image2: KEY_LEFT, Image3: KEY_RIGHT, Image8: KEY_PUSH};

    function keyFromEvent(event) {
        switch (event.key) {
        case "ArrowLeft": return KEY_LEFT;
        case "ArrowRight": return KEY_RIGHT;
        case "ArrowUp":
        case "+": return KEY_CW;
        case "ArrowDown":
        case "-": return KEY_CCW;
        case "Enter": return KEY_PUSH;
        default: return 0;
        }
    }

    function instrumentHasKeys() {
        const focused = document.activeElement;
        return !focused || focused === document.body || focused === document.documentElement ||
               instrument.contains(focused);
    }

    // The focused control as its label names it.
    function controlName(control) {
        const label = control.getAttribute("aria-label") || (control.labels && control.labels[0] &&
                      control.labels[0].textContent) || control.textContent || control.id;
        return label.replace(/\s+/g, " ").trim();
    }

    function showOwner() {
        const mine = instrumentHasKeys();
        document.body.classList.toggle("keys-instrument", mine);
        owner.textContent = mine ? "Keys: instrument"
            : "Keys: " + controlName(document.activeElement) + " (Esc gives them to the instrument)";
    }

    function giveBack() {
        canvas.focus({preventScroll: true});
        showOwner();
    }

    function bind(postKey) {
        document.addEventListener("keydown", (event) => {
            if (event.ctrlKey || event.altKey || event.metaKey)
                return;
            if (event.key === "Escape") {
                if (!instrumentHasKeys()) {
                    event.preventDefault();
                    giveBack();
                }
                return;
            }
            if (!instrumentHasKeys())
                return;
            let key = keyFromEvent(event);
            const own = bezelKeys[event.target.id];
            if (own && (event.key === "Enter" || event.key === " "))
                key = own;
            if (key === 0)
                return;
            // The key belongs to the instrument: no scrolling of the page.
            event.preventDefault();
            postKey(key);
        });
        // A click on the LCD or the bezel gives the instrument the keys; the
        // bezel keys and the knob take the focus themselves.
        instrument.addEventListener("mousedown", (event) => {
            if (!event.target.closest(".bezel-key")) {
                event.preventDefault();
                giveBack();
            }
        });
        // The instrument's own buttons and boxes, clicked with the mouse,
        // leave the keys where they were; from the keyboard they take the
        // focus as any control does.
        for (const control of document.querySelectorAll("#front_controls button, .check-row label"))
            control.addEventListener("mousedown", (event) => event.preventDefault());
        document.addEventListener("focusin", showOwner);
        document.addEventListener("focusout", () => setTimeout(showOwner, 0));
        showOwner();
    }

    return {bind: bind, instrumentHasKeys: instrumentHasKeys, giveBack: giveBack};
})();
