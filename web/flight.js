// The flight bar of the simulator page: a recorded flight (IGC, or GPX read
// here with the browser's XML parser) opened from the file chooser or
// dropped on the page, played through the instrument with the compiled-in
// reader and player. At N times real speed each 100 ms tick of the page's
// clock runs N ticks of flight time, each with the flight's inputs and a
// pass. While it plays the sliders follow it; moving one by hand pauses it.
"use strict";

window.ktr7Flights = (function () {
    const PROFILE_POINTS = 300;
    const SECONDS_PER_DAY = 86400;

    const $ = (id) => document.getElementById(id);
    const chooser = $("FlightFile");
    const playButton = $("FlightPlay");
    const closeButton = $("FlightClose");
    const speedList = $("FlightSpeed");
    const position = $("FlightPosition");
    const clock = $("FlightClock");
    const about = $("FlightAbout");
    const message = $("FlightMessage");
    const profile = $("FlightProfile");

    let page = null;
    let M = null;
    let playing = false;
    let profileAltitudes = null;  // PROFILE_POINTS altitudes over the flight
    let profileRange = [0, 1];
    let shownTime = -1;
    let scenarioTicks = 0;      // ticks a scenario's "fly" still plays

    function timeOfDay(seconds) {
        const s = ((Math.floor(seconds) % SECONDS_PER_DAY) + SECONDS_PER_DAY) % SECONDS_PER_DAY;
        const two = (n) => String(n).padStart(2, "0");
        return two(Math.floor(s / 3600)) + ":" + two(Math.floor(s / 60) % 60) + ":" + two(s % 60);
    }

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

    // A GPX file's track points, with the line each begins on.
    function readGpx(text, name) {
        const doc = new DOMParser().parseFromString(text, "application/xml");
        if (doc.getElementsByTagName("parsererror").length > 0)
            return {error: name + ": it is not a GPX file (its XML cannot be read)"};
        const points = Array.from(doc.getElementsByTagNameNS("*", "trkpt"));
        if (points.length === 0)
            return {error: name + ": it has no track (no trkpt)"};
        const lines = [];
        const start = /<(\w+:)?trkpt[\s>]/g;
        let line = 1, from = 0, found;
        while ((found = start.exec(text)) !== null) {
            for (let i = from; i < found.index; i++)
                if (text.charCodeAt(i) === 10)
                    line++;
            from = found.index;
            lines.push(line);
        }
        const child = (point, tag) => {
            const element = point.getElementsByTagNameNS("*", tag)[0];
            return element ? element.textContent.trim() : "";
        };
        const number = (text) => (text === "" || isNaN(Number(text)) ? NaN : Number(text));
        M._web_flight_track_clear();
        points.forEach((point, i) => {
            const when = Date.parse(child(point, "time"));
            M._web_flight_track_point(isNaN(when) ? NaN : when / 1000, number(child(point, "ele")),
                                      number(child(point, "speed")), number(point.getAttribute("lat") || ""),
                                      number(point.getAttribute("lon") || ""), lines[i] || 0);
        });
        return {ok: withText(name, (at) => M._web_flight_track_done(at)) !== 0};
    }

    function readIgc(text, name) {
        return {ok: withText(name, (nameAt) => withText(text, (at, length) =>
            M._web_flight_read_igc(at, length, nameAt))) !== 0};
    }

    // Reads a log's text; {ok, message} (the reason it cannot be played,
    // or the warning about records skipped).
    function load(name, text) {
        pause();
        scenarioTicks = 0;
        const gpx = /\.gpx$/i.test(name) || /^\s*(<\?xml[^>]*>\s*)?<gpx[\s>]/.test(text.slice(0, 512));
        const read = gpx ? readGpx(text, name) : readIgc(text, name);
        const said = read.error || M.UTF8ToString(M._web_flight_message());
        message.textContent = said;
        message.classList.toggle("failed", !read.ok);
        if (read.ok) {
            showFlight(name);
            follow();
        }
        page.announce(read.ok ? "Flight " + name + " opened." : said);
        return {ok: read.ok, message: said};
    }

    async function open(file) {
        return load(file.name, await file.text()).ok;
    }

    // A scenario's "fly": ticks ticks of flight (-1: to the last fix), one
    // a tick of the page's clock; how many that is, or -1 with no flight.
    function fly(ticks) {
        if (!M._web_flight_loaded())
            return -1;
        const left = M._web_flight_ticks_left();
        scenarioTicks = ticks < 0 ? left : ticks;
        setPlaying(scenarioTicks > 0);
        return scenarioTicks;
    }

    function showFlight(name) {
        const start = M._web_flight_start_time();
        const end = M._web_flight_end_time();
        position.min = String(start);
        position.max = String(end);
        position.step = "0.1";
        const pilot = M.UTF8ToString(M._web_flight_pilot());
        const date = M._web_flight_date();
        const day = date ? String(date).replace(/^(\d{4})(\d{2})(\d{2})$/, "$1-$2-$3") : "no date";
        about.textContent = name + ": " + (pilot || "no pilot named") + ", " + day + ", " + timeOfDay(start) +
                            " to " + timeOfDay(end) + " UTC; airspeed from " +
                            M.UTF8ToString(M._web_flight_airspeed_source());
        profileAltitudes = new Float64Array(PROFILE_POINTS);
        for (let i = 0; i < PROFILE_POINTS; i++)
            profileAltitudes[i] = M._web_flight_altitude_ft(start + (end - start) * i / (PROFILE_POINTS - 1));
        const low = Math.min(...profileAltitudes);
        const high = Math.max(...profileAltitudes);
        profileRange = [low, high > low ? high : low + 1];
        $("FlightBar").classList.add("loaded");
        for (const control of [playButton, closeButton, speedList, position])
            control.disabled = false;
        shownTime = -1;
        showTime();
        page.relayout();
    }

    // The whole flight's altitude, and where the flight is now.
    function drawProfile(now) {
        const context = profile.getContext("2d");
        const w = profile.width, h = profile.height;
        context.fillStyle = "#fff";
        context.fillRect(0, 0, w, h);
        if (!profileAltitudes)
            return;
        const y = (altitude) => h - 2 - (altitude - profileRange[0]) / (profileRange[1] - profileRange[0]) * (h - 4);
        context.strokeStyle = "#1d4f91";
        context.beginPath();
        profileAltitudes.forEach((altitude, i) => {
            const x = i * (w - 1) / (PROFILE_POINTS - 1);
            if (i === 0)
                context.moveTo(x, y(altitude));
            else
                context.lineTo(x, y(altitude));
        });
        context.stroke();
        const start = Number(position.min), end = Number(position.max);
        const x = end > start ? (now - start) / (end - start) * (w - 1) : 0;
        context.strokeStyle = "#c00000";
        context.beginPath();
        context.moveTo(x, 0);
        context.lineTo(x, h);
        context.stroke();
    }

    function showTime() {
        const now = M._web_flight_time();
        if (Math.abs(now - shownTime) < 0.05)
            return;
        shownTime = now;
        position.value = String(now);
        clock.textContent = timeOfDay(now);
        drawProfile(now);
    }

    // The sliders show what the flight wrote to the inputs.
    function follow() {
        for (let which = 0; which < 3; which++)
            page.setSlider(which, M._web_flight_input(which));
    }

    function setPlaying(now) {
        playing = now && M._web_flight_loaded() !== 0;
        playButton.textContent = playing ? "Pause" : "Play";
        playButton.setAttribute("aria-pressed", playing ? "true" : "false");
    }

    function pause() {
        scenarioTicks = 0;
        setPlaying(false);
    }

    // The page's clock ticked: speed ticks of flight time, each with a pass.
    function ticks() {
        if (!playing)
            return false;
        if (scenarioTicks > 0) {
            // Counted before the pass, in which the scenario may go on to
            // its next fly.
            if (--scenarioTicks === 0)
                setPlaying(false);
            page.afterOwnTick(M._web_flight_tick() !== 0);
            follow();
            return true;
        }
        const speed = Number(speedList.value);
        for (let i = 0; i < speed; i++) {
            page.afterOwnTick(M._web_flight_tick() !== 0);
            if (M._web_flight_at_end()) {
                pause();
                page.announce("The flight has ended.");
                break;
            }
        }
        follow();
        return true;
    }

    function close() {
        pause();
        M._web_flight_close();
        profileAltitudes = null;
        $("FlightBar").classList.remove("loaded");
        for (const control of [playButton, closeButton, speedList, position])
            control.disabled = true;
        about.textContent = "";
        message.textContent = "";
        clock.textContent = "";
        drawProfile(0);
        page.relayout();
    }

    function bind() {
        chooser.addEventListener("change", () => {
            if (chooser.files && chooser.files[0])
                open(chooser.files[0]);
        });
        playButton.addEventListener("click", () => {
            if (M._web_flight_at_end())
                M._web_flight_seek(M._web_flight_start_time());
            setPlaying(!playing);
        });
        closeButton.addEventListener("click", close);
        position.addEventListener("input", () => {
            M._web_flight_seek(Number(position.value));
            follow();
            showTime();
        });
        // A flight log dropped anywhere on the page.
        document.addEventListener("dragover", (event) => {
            if (event.dataTransfer && Array.from(event.dataTransfer.types).includes("Files"))
                event.preventDefault();
        });
        document.addEventListener("drop", (event) => {
            const file = event.dataTransfer && event.dataTransfer.files[0];
            if (!file)
                return;
            event.preventDefault();
            open(file);
        });
        close();
    }

    return {
        attach(host) {
            page = host;
            M = host.module();
            host.setTickSource(ticks);
            host.listen({
                afterTick: () => {},
                afterPass: () => {},
                afterFrame: () => { if (M._web_flight_loaded()) showTime(); },
                // A slider moved by hand takes over from the flight.
                sliderMoved: () => {
                    if (playing) {
                        pause();
                        page.announce("Flight paused: a slider was moved.");
                    }
                },
            });
            bind();
        },
        load: load,
        fly: fly,
        pause: pause,
        // For tests.
        open: open,
        playing: () => playing,
        time: () => M._web_flight_time(),
    };
})();
