// The simulator page: the window's controls, its run loop and its LCD
// presentation, over the instrument compiled to WebAssembly (ktr7.js).
//
// Time: one pass of the run loop per animation frame, and the instrument's
// 100 ms timer from the clock. A background tab gets no animation frames,
// so its passes pause; when it comes back the timer picks up from there.
// With "?clock=manual" in the address nothing runs by itself: the timer
// and the passes advance only through window.ktr7 (tests and benchmarks).
"use strict";

(function () {
    const LCD_WIDTH = 160;
    const LCD_HEIGHT = 128;
    const TICK_MS = 100;
    // After a longer stall (a background tab, a debugger) the missed ticks
    // are not made up: the timer restarts from the current time.
    const CATCH_UP_TICKS = 10;
    const MEMO_LINES = 10000;
    // The window's bezel picture and its areas, in window pixels.
    const BEZEL_WIDTH = 241;
    const BEZEL_HEIGHT = 249;
    const PANEL_LEFT = 40;
    const PANEL_WIDTH = 163;
    // Narrow screens keep the LCD panel and a margin at each side.
    const NARROW_MARGIN = 8;
    const MIN_SCALE = 2;
    const MAX_SCALE = 8;
    // Room the side column needs beside the instrument.
    const SIDE_COLUMN = 340;
    const PAGE_PADDING = 24;
    const FRONT_ROW_HEIGHT = 60;
    const HEADER_HEIGHT = 40;
    // Key codes of the instrument.
    const KEY_LEFT = 1, KEY_RIGHT = 2, KEY_PUSH = 3, KEY_CW = 4, KEY_CCW = 5;
    // Wheel notches in each of the wheel event's delta modes.
    const WHEEL_NOTCH = [100, 3, 1];

    const params = new URLSearchParams(window.location.search);
    const manualClock = params.get("clock") === "manual";

    const $ = (id) => document.getElementById(id);
    const statusLine = $("status");
    const canvas = $("LcdCanvas");
    const context = canvas.getContext("2d", {alpha: false});
    const memo = $("Memo1");
    const lamp = $("Shape1");

    let M = null;              // the instrument module
    let lcd = null;            // view of lcd_buffer
    let palette32 = null;      // palette as ImageData words (A B G R)
    let image = null;          // the LCD at 1:1
    let imageWords = null;
    const lcdLayer = document.createElement("canvas");
    lcdLayer.width = LCD_WIDTH;
    lcdLayer.height = LCD_HEIGHT;
    const lcdLayerContext = lcdLayer.getContext("2d", {alpha: false});
    let scale = MIN_SCALE;
    let lastTickAt = 0;
    let ticks = 0;             // timer ticks since the page opened
    let sentencesSeen = 0;
    let lampRed = false;
    let memoFollows = true;
    let pendingLines = [];
    const loaded = {start: performance.now(), ready: 0};
    // The scenario box (scenario.js), told of every tick and pass.
    let player = null;

    // -----------------------------------------------------------------------
    // Layout: the largest whole magnification that fits, at least 2.

    function chooseLayout() {
        const width = document.documentElement.clientWidth;
        const height = window.innerHeight;
        const wideScale = Math.min(
            Math.floor((width - SIDE_COLUMN - PAGE_PADDING) / BEZEL_WIDTH),
            Math.floor((height - FRONT_ROW_HEIGHT - HEADER_HEIGHT) / BEZEL_HEIGHT));
        const narrow = wideScale < MIN_SCALE;
        let s;
        if (narrow) {
            // The LCD panel and the keys in the page's width; the bezel's
            // sides may be cut.
            s = Math.floor((width - PAGE_PADDING) / (PANEL_WIDTH + 2 * NARROW_MARGIN));
            s = Math.min(s, Math.floor((height - FRONT_ROW_HEIGHT) / BEZEL_HEIGHT));
        } else {
            s = wideScale;
        }
        s = Math.max(MIN_SCALE, Math.min(MAX_SCALE, s));
        const full = BEZEL_WIDTH * s;
        const shown = narrow ? Math.min(full, width - PAGE_PADDING) : full;
        // Centre the LCD panel in what is shown of the bezel, but never
        // show past the picture's own edges.
        const panelCentre = (PANEL_LEFT + PANEL_WIDTH / 2) * s;
        const crop = Math.max(0, Math.min(full - shown, Math.round(panelCentre - shown / 2)));
        document.body.classList.toggle("narrow", narrow);
        const root = document.documentElement.style;
        root.setProperty("--s", String(s));
        root.setProperty("--bezel-width", shown + "px");
        root.setProperty("--crop", crop + "px");
        if (s !== scale || canvas.width !== LCD_WIDTH * s) {
            scale = s;
            canvas.width = LCD_WIDTH * s;
            canvas.height = LCD_HEIGHT * s;
            drawLcd();
        }
    }

    // -----------------------------------------------------------------------
    // Presentation: every pixel through the palette, magnified by a whole
    // factor without smoothing.

    function drawLcd() {
        if (!M)
            return;
        for (let i = 0; i < LCD_WIDTH * LCD_HEIGHT; i++)
            imageWords[i] = palette32[lcd[i]];
        lcdLayerContext.putImageData(image, 0, 0);
        context.imageSmoothingEnabled = false;
        context.drawImage(lcdLayer, 0, 0, canvas.width, canvas.height);
    }

    function showState() {
        let text = M._web_running() ? "On." : "Off. Press On.";
        if (manualClock)
            text += " (The clock is stepped by hand.)";
        statusLine.textContent = text;
    }

    function showLamp(red) {
        if (red === lampRed)
            return;
        lampRed = red;
        lamp.classList.toggle("red", red);
    }

    // -----------------------------------------------------------------------
    // The Communications box: one line per sentence, the newest 10,000.

    function takeSentence() {
        const count = M._web_sentence_count();
        if (count === sentencesSeen)
            return;
        sentencesSeen = count;
        pendingLines.push(M.UTF8ToString(M._web_sentence()));
    }

    function flushMemo() {
        if (pendingLines.length === 0)
            return;
        let lines = pendingLines;
        pendingLines = [];
        if (lines.length > MEMO_LINES)
            lines = lines.slice(lines.length - MEMO_LINES);
        const block = document.createDocumentFragment();
        for (const text of lines) {
            const line = document.createElement("div");
            line.textContent = text;
            block.appendChild(line);
        }
        memo.appendChild(block);
        let excess = memo.childElementCount - MEMO_LINES;
        while (excess-- > 0)
            memo.removeChild(memo.firstElementChild);
        if (memoFollows)
            memo.scrollTop = memo.scrollHeight;
    }

    memo.addEventListener("scroll", () => {
        memoFollows = memo.scrollTop + memo.clientHeight >= memo.scrollHeight - 2;
    });

    // -----------------------------------------------------------------------
    // The run loop.

    // One pass of the instrument and what it shows; false when it is off.
    function runPass() {
        if (!M._web_pass())
            return false;
        takeSentence();
        showLamp(M._web_lamp_red() !== 0);
        if (player)
            player.afterPass();
        return true;
    }

    function timerTick() {
        M._web_timer_tick();
        ticks++;
        if (player)
            player.afterTick();
    }

    function frame(now) {
        // The timer ticks that fell due since the last frame; each but the
        // last is followed by a pass of its own, so the flight timer sees
        // every tick even when a frame comes late.
        let due = Math.floor((now - lastTickAt) / TICK_MS);
        if (due > CATCH_UP_TICKS) {
            due = 1;
            lastTickAt = now;
        } else {
            lastTickAt += due * TICK_MS;
        }
        let passed = false;
        for (let i = 0; i < due; i++) {
            timerTick();
            if (i + 1 < due)
                passed = runPass() || passed;
        }
        passed = runPass() || passed;
        if (passed)
            drawLcd();
        flushMemo();
        if (player)
            player.afterFrame();
        window.requestAnimationFrame(frame);
    }

    // -----------------------------------------------------------------------
    // Controls.

    function postKey(key) {
        if (M)
            M._web_post_key(key);
    }

    function clickable(id, key) {
        const area = $(id);
        area.addEventListener("click", (event) => {
            event.preventDefault();
            postKey(key);
        });
    }

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

    // As in the window: not while typing in a slider, a list, a file
    // chooser or one of the text boxes.
    function keyboardPostsKeys(target) {
        if (!(target instanceof Element))
            return true;
        if (target.closest("#Memo1, #ScenarioLog, select, textarea"))
            return false;
        if (target instanceof HTMLInputElement && target.type !== "checkbox")
            return false;
        return true;
    }

    function setSlider(label, position, set) {
        label.textContent = String(position);
        if (M)
            set(position);
    }

    function bindControls() {
        clickable("Image2", KEY_LEFT);
        clickable("Image3", KEY_RIGHT);
        clickable("Image8", KEY_PUSH);
        $("Button3").addEventListener("click", () => postKey(KEY_CW));
        $("Button4").addEventListener("click", () => postKey(KEY_CCW));
        $("Button1").addEventListener("click", () => {
            M._web_switch_on();
            showState();
        });
        $("Button2").addEventListener("click", () => {
            M._web_switch_off();
            showState();
        });

        let wheelRest = 0;
        $("Image8").addEventListener("wheel", (event) => {
            event.preventDefault();
            const notch = WHEEL_NOTCH[event.deltaMode] || WHEEL_NOTCH[0];
            wheelRest -= event.deltaY;  // up, away from the user, turns clockwise
            while (wheelRest >= notch) {
                wheelRest -= notch;
                postKey(KEY_CW);
            }
            while (wheelRest <= -notch) {
                wheelRest += notch;
                postKey(KEY_CCW);
            }
        }, {passive: false});

        document.addEventListener("keydown", (event) => {
            if (event.ctrlKey || event.altKey || event.metaKey)
                return;
            const key = keyFromEvent(event);
            if (key === 0 || !keyboardPostsKeys(event.target))
                return;
            // The key belongs to the instrument: no scrolling, and no
            // pressing of the button that has the focus.
            event.preventDefault();
            postKey(key);
        });

        const altitude = $("ScrollBar29");
        const vsi = $("ScrollBar2");
        const asi = $("ScrollBar1");
        altitude.addEventListener("input", () =>
            setSlider($("Label57"), Number(altitude.value), (v) => M._web_set_altitude(v)));
        // The VSI slider writes its number over its own caption.
        vsi.addEventListener("input", () =>
            setSlider($("Label3"), Number(vsi.value), (v) => M._web_set_vertical_speed(v)));
        asi.addEventListener("input", () =>
            setSlider($("Label2"), Number(asi.value), (v) => M._web_set_asi_adc(v)));
        $("CheckBox1").addEventListener("change", (event) => {
            M._web_set_sensor_checked(event.target.checked ? 1 : 0);
        });

        window.addEventListener("resize", chooseLayout);
    }

    // The controls' state goes into the instrument once it is there, so a
    // slider moved while it loaded counts.
    function syncInputs() {
        // The ranges come from the instrument's table of its inputs.
        ["ScrollBar29", "ScrollBar2", "ScrollBar1"].forEach((id, which) => {
            $(id).min = M._web_input_minimum(which);
            $(id).max = M._web_input_maximum(which);
        });
        M._web_set_altitude(Number($("ScrollBar29").value));
        M._web_set_asi_adc(Number($("ScrollBar1").value));
        M._web_set_sensor_checked($("CheckBox1").checked ? 1 : 0);
        const vsi = $("ScrollBar2");
        if (Number(vsi.value) !== 0)
            M._web_set_vertical_speed(Number(vsi.value));
    }

    // -----------------------------------------------------------------------
    // Start-up.

    function start(module) {
        M = module;
        M._web_create();
        lcd = M.HEAPU8.subarray(M._web_lcd_buffer(), M._web_lcd_buffer() + LCD_WIDTH * LCD_HEIGHT);
        const colours = new Uint32Array(M.HEAPU8.buffer, M._web_palette(), 256);
        palette32 = new Uint32Array(256);
        for (let i = 0; i < 256; i++) {
            const c = colours[i];
            palette32[i] = (0xFF000000 | (c & 0xFF) << 16 | (c & 0xFF00) | (c >>> 16 & 0xFF)) >>> 0;
        }
        image = new ImageData(LCD_WIDTH, LCD_HEIGHT);
        imageWords = new Uint32Array(image.data.buffer);
        syncInputs();
        chooseLayout();
        drawLcd();
        loaded.ready = performance.now();
        showState();
        if (!manualClock) {
            lastTickAt = performance.now();
            window.requestAnimationFrame(frame);
        }
        if (window.ktr7Scenarios)
            window.ktr7Scenarios.attach(scenarioHost);
    }

    // What a scenario may do to the page: move the controls as a hand
    // would (sliders 0 altitude, 1 VSI, 2 ASI), and what it needs to know.
    const scenarioHost = {
        module: () => M,
        setSlider: (which, position) => {
            const bar = $(["ScrollBar29", "ScrollBar2", "ScrollBar1"][which]);
            bar.value = String(position);
            bar.dispatchEvent(new Event("input"));
        },
        setSensor: (ok) => {
            const box = $("CheckBox1");
            if (box.checked !== ok) {
                box.checked = ok;
                box.dispatchEvent(new Event("change"));
            }
        },
        switched: () => showState(),
        setPlayer: (p) => { player = p; },
        manualClock: manualClock,
    };

    // For tests and the benchmark: the clock stepped by hand, and what the
    // page shows.
    window.ktr7 = {
        manualClock: manualClock,
        ready: null,
        tick(count = 1) {
            for (let i = 0; i < count; i++)
                timerTick();
        },
        pass(count = 1) {
            let ran = 0;
            for (let i = 0; i < count; i++)
                ran += runPass() ? 1 : 0;
            drawLcd();
            flushMemo();
            return ran;
        },
        wait(count) {
            for (let i = 0; i < count; i++) {
                timerTick();
                runPass();
            }
            drawLcd();
            flushMemo();
        },
        lcd: () => Array.from(lcd),
        scale: () => scale,
        passes: () => M._web_passes(),
        ticks: () => ticks,
        running: () => M._web_running() !== 0,
        lampRed: () => lampRed,
        loadTime: () => loaded.ready - loaded.start,
        readyAt: () => loaded.ready,
    };

    bindControls();
    chooseLayout();
    if (typeof createKtr7 !== "function") {
        statusLine.textContent = "The instrument could not be loaded (ktr7.js is missing).";
        statusLine.classList.add("failed");
        window.ktr7.ready = Promise.reject(new Error("ktr7.js is missing"));
        return;
    }
    window.ktr7.ready = createKtr7().then(start, (error) => {
        statusLine.textContent = "The instrument could not be loaded: " + error;
        statusLine.classList.add("failed");
        throw error;
    });
})();
