// The simulator page's layout: instrument and controls side by side when
// the window has room for both, else the controls under the instrument; the
// LCD magnified so that every LCD pixel is the same whole number of device
// pixels, as large as the room allows while every control stays in view.
// Where even the smallest instrument and all the controls do not fit, the
// sliders and check boxes at least stay in view with the instrument; on a
// phone the instrument fills the width and the controls follow below it.
"use strict";

window.ktr7Layout = (function () {
    const LCD_WIDTH = 160;
    const LCD_HEIGHT = 128;
    // The window's bezel picture and its areas, in window pixels.
    const BEZEL_WIDTH = 241;
    const BEZEL_HEIGHT = 249;
    const PANEL_LEFT = 40;
    const PANEL_WIDTH = 163;
    // On a short screen the bezel's top and bottom are cut: the rows from
    // the LCD panel's frame to just under the keys and knob remain.
    const CUT_TOP = 46;
    const CUT_BOTTOM = 242;
    // Narrow screens keep the LCD panel and a margin at each side.
    const NARROW_MARGIN = 8;
    // CSS pixels per LCD pixel: at least about 2, at most 8.
    const MIN_SCALE = 2;
    const MAX_SCALE = 8;
    // The narrowest the controls' column may be beside the instrument.
    const SIDE_COLUMN = 340;
    // The narrowest a column of controls may be when they make two.
    const TWO_COLUMNS = 2 * 320 + 12;
    const COLUMN_GAP = 16;
    const STACK_GAP = 10;

    const $ = (id) => document.getElementById(id);
    const root = document.documentElement;

    function outerHeight(element) {
        const style = getComputedStyle(element);
        return element.offsetHeight + parseFloat(style.marginTop) + parseFloat(style.marginBottom);
    }

    // The controls at their smallest (the Communications box and the
    // scenario report at their least heights): their two parts, the sensors
    // with the Communications box and the flight and scenario boxes, and the
    // sensors alone, down to the check boxes.
    function controlsHeight() {
        document.body.classList.add("measuring");
        const first = $("SensorColumn");
        const heights = [first.offsetHeight, $("PlayColumn").offsetHeight];
        const sensors = document.querySelector(".check-row").getBoundingClientRect().bottom -
                        first.getBoundingClientRect().top;
        document.body.classList.remove("measuring");
        return [heights, sensors];
    }

    function room() {
        const body = getComputedStyle(document.body);
        const [parts, sensors] = controlsHeight();
        return {
            width: root.clientWidth - parseFloat(body.paddingLeft) - parseFloat(body.paddingRight),
            height: window.innerHeight - parseFloat(body.paddingTop) - parseFloat(body.paddingBottom)
                    - outerHeight(document.querySelector("header")),
            front: outerHeight($("front_controls")) + parseFloat(getComputedStyle($("front_controls")).marginTop),
            parts: parts,
            sensors: sensors,
        };
    }

    // Whether the instrument at s CSS pixels per window pixel, cut or whole,
    // fits beside the controls (side) or above them (all of them, or the
    // sensors).
    function fits(r, s, cut, side, all) {
        const bezel = (cut ? CUT_BOTTOM - CUT_TOP : BEZEL_HEIGHT) * s;
        const across = side ? r.width - COLUMN_GAP - BEZEL_WIDTH * s : r.width;
        const controls = controlsFor(r, across);
        if (side)
            return across >= SIDE_COLUMN && bezel + r.front <= r.height && controls <= r.height;
        return (PANEL_WIDTH + 2 * NARROW_MARGIN) * s <= r.width &&
               bezel + r.front + STACK_GAP + (all ? controls : r.sensors) <= r.height;
    }

    // The controls' height in a width: two columns side by side where
    // there is room for them, else one above the other.
    function controlsFor(r, width) {
        return width >= TWO_COLUMNS ? Math.max(r.parts[0], r.parts[1]) : r.parts[0] + r.parts[1];
    }

    // The largest device pixels per LCD pixel for which test holds, or 0.
    function largest(dpr, test) {
        const least = Math.max(1, Math.floor(MIN_SCALE * dpr));
        for (let k = Math.floor(MAX_SCALE * dpr); k >= least; k--)
            if (test(k / dpr))
                return k;
        return 0;
    }

    // Decides the layout: {side, cut, k} with k device pixels per LCD pixel.
    function decide(r, dpr) {
        const choices = [[true, false, true], [true, true, true], [false, false, true], [false, true, true],
                         [false, false, false], [false, true, false]];
        for (const [side, cut, all] of choices) {
            const k = largest(dpr, (s) => fits(r, s, cut, side, all));
            if (k)
                return {side: side, cut: cut, k: k, all: all};
        }
        // Too small for everything at once: the instrument as large as the
        // width and height allow, whole when it fits, the controls below.
        const least = Math.max(1, Math.floor(MIN_SCALE * dpr));
        const across = (s) => (PANEL_WIDTH + 2 * NARROW_MARGIN) * s <= r.width;
        const whole = largest(dpr, (s) => across(s) && BEZEL_HEIGHT * s + r.front <= r.height);
        if (whole)
            return {side: false, cut: false, k: whole, all: false};
        const cutK = largest(dpr, (s) => across(s) && (CUT_BOTTOM - CUT_TOP) * s + r.front <= r.height);
        return {side: false, cut: true, k: cutK || least, all: false};
    }

    // Lays the page out; returns the device pixels per LCD pixel, which the
    // canvas takes as its own size.
    function apply(canvas) {
        const dpr = window.devicePixelRatio || 1;
        const r = room();
        const d = decide(r, dpr);
        const s = d.k / dpr;
        const full = BEZEL_WIDTH * s;
        const shown = d.side ? full : Math.min(full, r.width);
        // Centre the LCD panel in what is shown of the bezel, but never show
        // past the picture's own edges.
        const panelCentre = (PANEL_LEFT + PANEL_WIDTH / 2) * s;
        const crop = Math.max(0, Math.min(full - shown, Math.round(panelCentre - shown / 2)));
        document.body.classList.toggle("stacked", !d.side);
        document.body.classList.toggle("wide", d.side);
        document.body.classList.toggle("fits", d.all);
        const across = d.side ? r.width - COLUMN_GAP - BEZEL_WIDTH * s : r.width;
        document.body.classList.toggle("two-columns", d.all && across >= TWO_COLUMNS);
        const style = root.style;
        style.setProperty("--s", String(s));
        style.setProperty("--bezel-width", shown + "px");
        style.setProperty("--crop", crop + "px");
        style.setProperty("--cut-top", (d.cut ? CUT_TOP * s : 0) + "px");
        style.setProperty("--bezel-height", (d.cut ? CUT_BOTTOM - CUT_TOP : BEZEL_HEIGHT) * s + "px");
        // The controls take the height that is left, their boxes growing.
        const controls = d.side ? r.height : r.height - (d.cut ? CUT_BOTTOM - CUT_TOP : BEZEL_HEIGHT) * s -
                                             r.front - STACK_GAP;
        style.setProperty("--controls-height", d.all ? Math.floor(controls) + "px" : "auto");
        if (canvas.width !== LCD_WIDTH * d.k) {
            canvas.width = LCD_WIDTH * d.k;
            canvas.height = LCD_HEIGHT * d.k;
        }
        snap(canvas);
        return d.k;
    }

    // The canvas on whole device pixels: its place in the page may fall
    // between two, which would blur or uneven its pixels.
    function snap(canvas) {
        const dpr = window.devicePixelRatio || 1;
        const panel = $("Panel1");
        panel.style.transform = "";
        const box = canvas.getBoundingClientRect();
        const dx = Math.round(box.left * dpr) / dpr - box.left;
        const dy = Math.round(box.top * dpr) / dpr - box.top;
        if (Math.abs(dx) > 1e-3 || Math.abs(dy) > 1e-3)
            panel.style.transform = "translate(" + dx + "px, " + dy + "px)";
    }

    return {apply: apply, snap: snap};
})();
