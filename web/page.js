// The simulator page: the window's controls, its run loop and its LCD
// presentation, over the instrument's session compiled to WebAssembly
// (ktr7.js). The session holds everything of the instrument (on or off, the
// inputs, the check box, a flight playing, a scenario running); after every
// tick and pass the page shows what it holds.
//
// Time: one pass of the run loop per animation frame, and the instrument's
// 100 ms timer from the clock. A background tab gets no animation frames, so
// its passes pause; when it comes back, every tick that fell due meanwhile
// runs with a pass of its own before the page draws again (up to
// CATCH_UP_LIMIT_TICKS, two hours), so the flight timer keeps its time.
// With "?clock=manual" in the address nothing runs by itself: the timer and
// the passes advance only through window.ktr7 (tests and benchmarks).
"use strict";

(function () {
    const LCD_WIDTH = 160;
    const LCD_HEIGHT = 128;
    const TICK_MS = 100;
    // The most ticks made up after the tab was hidden: two hours, about a
    // second of passes; a longer absence loses the rest.
    const CATCH_UP_LIMIT_TICKS = 2 * 60 * 60 * 1000 / TICK_MS;
    // Key codes of the instrument.
    const KEY_PUSH = 3, KEY_CW = 4, KEY_CCW = 5, KEY_LEFT = 1, KEY_RIGHT = 2;
    // A wheel notch in each of the wheel event's delta modes (pixels,
    // lines, pages).
    const WHEEL_NOTCH = [100, 3, 1];
    // Knob turns from the wheel wait here for the instrument to take them,
    // one a pass (the instrument holds one pending key); a fast spin keeps
    // at most this many.
    const MAX_QUEUED_TURNS = 40;
    // The sliders, numbered as the instrument's inputs (altitude, VSI, ASI).
    const SLIDERS = ["ScrollBar29", "ScrollBar2", "ScrollBar1"];
    const SLIDER_LABELS = ["Label57", "Label3", "Label2"];
    // What the LCD says is announced at most this often, and no sooner
    // after another announcement: a number that changes every tick (the
    // flight timer) does not flood the reader, nor cut the lamp's words short.
    const WORDS_INTERVAL_MS = 1000;

    const params = new URLSearchParams(window.location.search);
    const manualClock = params.get("clock") === "manual";

    const $ = (id) => document.getElementById(id);
    const statusLine = $("status");
    const canvas = $("LcdCanvas");
    const context = canvas.getContext("2d", {alpha: false});
    const lamp = $("Shape1");
    const announcer = $("Announcer");
    const lcdWords = $("LcdWords");
    // The LCD's strings are the font's code page.
    const fontText = new TextDecoder("windows-1252");
    const memo = window.ktr7Communications;

    let M = null;              // the instrument module
    let lcd = null;            // view of lcd_buffer (viewInstrument)
    let paletteRgb = null;     // the 256 colours 0x00RRGGBB
    let palette32 = null;      // palette as ImageData words (A B G R)
    let image = null;          // the LCD at 1:1
    let imageWords = null;
    const lcdLayer = document.createElement("canvas");
    lcdLayer.width = LCD_WIDTH;
    lcdLayer.height = LCD_HEIGHT;
    const lcdLayerContext = lcdLayer.getContext("2d", {alpha: false});
    let scale = 2;             // device pixels per LCD pixel
    let lastTickAt = 0;
    let ticks = 0;             // timer ticks since the page opened
    let ticksDropped = 0;      // ticks past the catch-up limit
    let lampRed = false;
    let runningShown = null;   // on or off as the page last showed it
    let screenShown = null;    // the current screen's name as the canvas's label has it
    let wordsShown = "";       // what the LCD says, as the canvas's description has it
    let wordsSaid = "";        // what the LCD said when last announced
    let wordsTimer = 0;        // an announcement of the words, waiting
    let announcedAt = -Infinity;
    const turns = [];          // knob turns from the wheel, waiting
    const loaded = {start: performance.now(), ready: 0};
    // The scenario box (scenario.js) and the flight bar (flight.js), told
    // after every frame the page draws.
    const listeners = [];

    function announce(text) {
        // A fresh text node, so the same words said twice are said again.
        announcer.textContent = "";
        announcer.appendChild(document.createTextNode(text));
        announcedAt = performance.now();
    }

    // -----------------------------------------------------------------------
    // Layout (layout.js): the canvas's size in device pixels follows it.

    function chooseLayout() {
        // Twice: the first choice may change what the second measures (the
        // instrument's legend wraps to the bezel's width beside the controls).
        window.ktr7Layout.apply(canvas);
        scale = window.ktr7Layout.apply(canvas);
        drawLcd();
    }

    // The LCD and the palette in the module's memory, viewed anew when the
    // memory has grown (a large flight log or picture), which leaves the
    // views of the old memory empty. Returns the LCD.
    function viewInstrument() {
        if (!lcd || lcd.buffer !== M.HEAPU8.buffer) {
            lcd = M.HEAPU8.subarray(M._web_lcd_buffer(), M._web_lcd_buffer() + LCD_WIDTH * LCD_HEIGHT);
            paletteRgb = new Uint32Array(M.HEAPU8.buffer, M._web_palette(), 256);
        }
        return lcd;
    }

    // -----------------------------------------------------------------------
    // Presentation: every pixel through the palette, magnified by a whole
    // number of device pixels without smoothing. Switched off, the LCD is
    // shown dark with its last picture faint behind (page.css).

    function drawLcd() {
        if (!M)
            return;
        viewInstrument();
        for (let i = 0; i < LCD_WIDTH * LCD_HEIGHT; i++)
            imageWords[i] = palette32[lcd[i]];
        lcdLayerContext.putImageData(image, 0, 0);
        context.imageSmoothingEnabled = false;
        context.drawImage(lcdLayer, 0, 0, canvas.width, canvas.height);
    }

    function showState() {
        const running = M._web_running() !== 0;
        runningShown = running;
        let text = running ? "On." : "Off. Press On.";
        if (manualClock)
            text += " (The clock is stepped by hand.)";
        statusLine.textContent = text;
        $("Panel1").classList.toggle("off", !running);
        // A recording shows the LCD dark from now on, as the page does.
        window.ktr7Recording.frame();
        showScreenName();
        // Off, the LCD says nothing; on, its words come with the next pass.
        if (!running)
            showWords();
        // The status line's new words may have moved the canvas.
        window.ktr7Layout.snap(canvas);
    }

    function showLamp(red) {
        if (red === lampRed)
            return;
        lampRed = red;
        lamp.classList.toggle("red", red);
        lamp.setAttribute("aria-label", red ? "Airspeed alarm lamp: red" : "Airspeed alarm lamp: off");
        announce(red ? "Airspeed alarm: lamp red." : "Airspeed alarm lamp off.");
    }

    // The canvas's label names what the LCD shows: the current screen.
    function showScreenName() {
        const running = M._web_running() !== 0;
        const name = running ? M.UTF8ToString(M._web_screen_name()) : "";
        if (name === screenShown)
            return;
        screenShown = name;
        const words = name.replace(/^screen_/, "").replace(/_/g, " ");
        canvas.setAttribute("aria-label", running ? "LCD: " + words : "LCD: switched off");
    }

    // What the LCD says (the strings of the last pass in reading order, as
    // expect text reads them) is the canvas's description, and announced
    // when it changes while the instrument is on.
    function showWords() {
        const running = M._web_running() !== 0;
        let words = "";
        if (running) {
            const heap = M.HEAPU8;
            const at = M._web_lcd_words();
            words = fontText.decode(heap.subarray(at, heap.indexOf(0, at)));
        } else {
            wordsSaid = "";
        }
        if (words !== wordsShown) {
            wordsShown = words;
            lcdWords.textContent = words;
        }
        sayWords();
    }

    function sayWords() {
        if (wordsShown === wordsSaid || wordsShown === "" || wordsTimer)
            return;
        const wait = announcedAt + WORDS_INTERVAL_MS - performance.now();
        if (wait > 0) {
            wordsTimer = setTimeout(() => {
                wordsTimer = 0;
                sayWords();
            }, wait);
            return;
        }
        wordsSaid = wordsShown;
        announce(wordsShown);
    }

    // The sliders, their numbers and the check box show the session's
    // inputs, however they were moved (a hand, a flight, a scenario).
    function showInputs() {
        SLIDERS.forEach((id, which) => {
            const position = M._web_input(which);
            const bar = $(id);
            if (Number(bar.value) !== position)
                bar.value = String(position);
            const label = $(SLIDER_LABELS[which]);
            if (label.textContent !== String(position))
                label.textContent = String(position);
        });
        const checked = M._web_sensor_checked() !== 0;
        if ($("CheckBox1").checked !== checked)
            $("CheckBox1").checked = checked;
    }

    // -----------------------------------------------------------------------
    // The run loop.

    // What the passes since the last look sent and lit, and the controls
    // as the session has them now.
    function showSession() {
        const waiting = M._web_sentences_waiting();
        for (let i = 0; i < waiting; i++)
            memo.add(M.UTF8ToString(M._web_sentence(i)));
        if (waiting > 0)
            M._web_sentences_taken();
        showLamp(M._web_lamp_red() !== 0);
        showInputs();
        if ((M._web_running() !== 0) !== runningShown)
            showState();
    }

    // One pass of the instrument and what it shows; false when it is off.
    function runPass() {
        if (turns.length > 0 && M._web_key_pending() === 0)
            M._web_post_key(turns.shift());
        const ran = M._web_pass() !== 0;
        showSession();
        return ran;
    }

    // One tick of the 100 ms timer (with a flight playing, its ticks with
    // their inputs and, at N times real speed, the passes between them),
    // followed by a pass when withPass; true when a pass ran.
    function oneTick(withPass) {
        const passes = M._web_passes();
        M._web_clock_tick();
        ticks++;
        showSession();
        const ran = withPass ? runPass() : false;
        return ran || M._web_passes() !== passes;
    }

    // What a frame shows: the LCD when a pass ran, the lamp's and screen's
    // words, the Communications box at most once.
    function show(passed) {
        if (passed)
            drawLcd();
        showScreenName();
        memo.frame();
        for (const l of listeners)
            l.afterFrame();
        // After the listeners, whose announcements (a scenario's result)
        // the words wait for.
        showWords();
        // A recording has every frame, the LCD lit or dark, changed or not,
        // so its video runs in the page's time.
        window.ktr7Recording.frame();
    }

    // The ticks that fell due since the last one; each is followed by a
    // pass of its own but the last, whose pass is the frame's.
    function frame(now) {
        let due = Math.floor((now - lastTickAt) / TICK_MS);
        lastTickAt += due * TICK_MS;
        if (due > CATCH_UP_LIMIT_TICKS) {
            ticksDropped += due - CATCH_UP_LIMIT_TICKS;
            due = CATCH_UP_LIMIT_TICKS;
        }
        let passed = false;
        for (let i = 0; i < due; i++)
            passed = oneTick(i + 1 < due) || passed;
        passed = runPass() || passed;
        show(passed);
        window.requestAnimationFrame(frame);
    }

    // -----------------------------------------------------------------------
    // Controls.

    function postKey(key) {
        if (M)
            M._web_post_key(key);
    }

    function clickable(id, key) {
        $(id).addEventListener("click", (event) => {
            event.preventDefault();
            postKey(key);
        });
    }

    // Whole notches from the wheel's delta, the rest kept for the next
    // event; up, away from the user, turns clockwise.
    let wheelRest = 0;
    function onWheel(event) {
        event.preventDefault();
        const notch = WHEEL_NOTCH[event.deltaMode] || WHEEL_NOTCH[0];
        wheelRest -= event.deltaY;
        while (Math.abs(wheelRest) >= notch) {
            const clockwise = wheelRest > 0;
            wheelRest += clockwise ? -notch : notch;
            if (turns.length < MAX_QUEUED_TURNS)
                turns.push(clockwise ? KEY_CW : KEY_CCW);
        }
    }

    // A slider moved by hand: the input there (a flight playing pauses).
    function setSlider(which, position) {
        if (!M)
            return;
        M._web_set_input(which, position);
        showSession();
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
            for (const l of listeners)
                l.afterFrame();
        });
        $("Image8").addEventListener("wheel", onWheel, {passive: false});
        $("SaveLcd").addEventListener("click", () => {
            if (M)
                window.ktr7Picture.save(viewInstrument(), paletteRgb).then((name) => announce("LCD picture saved as " + name + "."));
        });
        window.ktr7Recording.bind($("RecordLcd"), canvas, announce);
        window.ktr7Keys.bind(postKey);
        memo.bind(announce);

        // The VSI slider writes its number over its own caption, as the
        // instrument's own host window does.
        SLIDERS.forEach((id, which) => {
            const bar = $(id);
            bar.addEventListener("input", () => {
                setSlider(which, Number(bar.value));
                for (const l of listeners)
                    l.afterFrame();
            });
        });
        $("CheckBox1").addEventListener("change", (event) => {
            if (M)
                M._web_set_sensor_checked(event.target.checked ? 1 : 0);
        });
        window.addEventListener("resize", chooseLayout);
        // Touch screens get larger targets (page.css).
        document.body.classList.toggle("touch", navigator.maxTouchPoints > 0 ||
                                                window.matchMedia("(any-pointer: coarse)").matches);
    }

    // The controls' state goes into the instrument once it is there, so a
    // slider moved while it loaded counts.
    function syncInputs() {
        // The ranges come from the instrument's table of its inputs.
        SLIDERS.forEach((id, which) => {
            $(id).min = M._web_input_minimum(which);
            $(id).max = M._web_input_maximum(which);
            M._web_set_input(which, Number($(id).value));
        });
        M._web_set_sensor_checked($("CheckBox1").checked ? 1 : 0);
        showInputs();
    }

    // -----------------------------------------------------------------------
    // Start-up.

    function start(module) {
        M = module;
        M._web_create();
        viewInstrument();
        palette32 = new Uint32Array(256);
        for (let i = 0; i < 256; i++) {
            const c = paletteRgb[i];
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
            window.ktr7Scenarios.attach(pageHost);
        if (window.ktr7Flights)
            window.ktr7Flights.attach(pageHost);
    }

    // A text handed to the module for the length of use(at, length): NUL
    // terminated UTF-8 in its memory.
    function withText(text, use) {
        const bytes = new TextEncoder().encode(text + "\0");
        const at = M._malloc(bytes.length);
        M.HEAPU8.set(bytes, at);
        try {
            return use(at, bytes.length - 1);
        } finally {
            M._free(at);
        }
    }

    // What the scenario box and the flight bar may do to the page: move the
    // controls as a hand would (sliders numbered as the inputs), and what
    // they need to know.
    const pageHost = {
        module: () => M,
        // A slider moved as a hand would move it.
        setSlider: setSlider,
        // What the session holds now, shown.
        show: showSession,
        listen: (listener) => listeners.push(listener),
        withText: withText,
        relayout: () => chooseLayout(),
        announce: announce,
        manualClock: manualClock,
    };

    // For tests and the benchmark: the clock stepped by hand, and what the
    // page shows.
    window.ktr7 = {
        manualClock: manualClock,
        ready: null,
        tick(count = 1) {
            for (let i = 0; i < count; i++)
                oneTick(false);
        },
        pass(count = 1) {
            let ran = 0;
            for (let i = 0; i < count; i++)
                ran += runPass() ? 1 : 0;
            show(true);
            return ran;
        },
        wait(count) {
            for (let i = 0; i < count; i++)
                oneTick(true);
            show(true);
        },
        setSlider: (which, position) => pageHost.setSlider(which, position),
        lcd: () => Array.from(viewInstrument()),
        scale: () => scale,
        passes: () => M._web_passes(),
        ticks: () => ticks,
        ticksDropped: () => ticksDropped,
        running: () => M._web_running() !== 0,
        keyPending: () => M._web_key_pending() !== 0,
        lampRed: () => lampRed,
        communications: () => memo.lines(),
        // Switched on with serial output on and the sliders at these
        // positions, as the benchmark's flight.
        inFlight(altitude, vsi, asi) {
            M._web_bench_setup();
            [altitude, vsi, asi].forEach((position, which) => pageHost.setSlider(which, position));
            showState();
        },
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
