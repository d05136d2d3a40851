// The flight bar of the simulator page: a recorded flight (IGC, or GPX whose
// XML the browser's parser reads here) opened from the file chooser or
// dropped on the page, and played by the instrument's session: what a log is,
// how it plays, at which speeds, and what pauses it are the session's rules.
// A flight chosen is played at once, switching the instrument on if it is
// off; a hand on a slider, Off or a scenario starting pauses it. The page's
// clock ticks it, and the sliders show the inputs it writes.
"use strict";

window.ktr7Flights = (function () {
    const PROFILE_POINTS = 300;
    const SECONDS_PER_DAY = 86400;

    const $ = (id) => document.getElementById(id);
    const chooser = $("FlightFile");
    const playButton = $("FlightPlay");
    const closeButton = $("FlightClose");
    const reportButton = $("FlightReport");
    const speedList = $("FlightSpeed");
    const position = $("FlightPosition");
    const clock = $("FlightClock");
    const about = $("FlightAbout");
    const message = $("FlightMessage");
    const profile = $("FlightProfile");

    // What web_flight_read and web_flight_track_done found: a flight read,
    // or a GPX track whose points the page hands over.
    const READ = 1, GPX_POINTS = 2;

    let page = null;
    let M = null;
    let playingShown = null;
    let profileAltitudes = null;  // PROFILE_POINTS altitudes over the flight
    let profileRange = [0, 1];
    let shownTime = -1;
    let noticesShown = 0;
    let openingsShown = 0;      // the flights opened, as the bar last showed them
    let nameRead = "";          // the file read last

    function timeOfDay(seconds) {
        const s = ((Math.floor(seconds) % SECONDS_PER_DAY) + SECONDS_PER_DAY) % SECONDS_PER_DAY;
        const two = (n) => String(n).padStart(2, "0");
        return two(Math.floor(s / 3600)) + ":" + two(Math.floor(s / 60) % 60) + ":" + two(s % 60);
    }

    // A GPX file's track points, with the line each begins on, handed to
    // the instrument; what they are then is its to say. The browser's XML
    // parser is the page's only part in it.
    function readGpx(text, name) {
        const doc = new DOMParser().parseFromString(text, "application/xml");
        if (doc.getElementsByTagName("parsererror").length > 0)
            return {ok: false, error: name + ": it is not a GPX file (its XML cannot be read)"};
        const points = Array.from(doc.getElementsByTagNameNS("*", "trkpt"));
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
        return {ok: page.withText(name, (at) => M._web_flight_track_done(at)) === READ};
    }

    // Reads a log's text into the instrument, not yet opened; {ok, message}
    // (the reason it cannot be played, or the warning about records
    // skipped).
    function read(name, text) {
        nameRead = name.replace(/^.*\//, "");
        const found = page.withText(name, (nameAt) => page.withText(text, (at, length) =>
            M._web_flight_read(at, length, nameAt)));
        const got = found === GPX_POINTS ? readGpx(text, name) : {ok: found === READ};
        return {ok: got.ok, message: got.error || M.UTF8ToString(M._web_flight_message())};
    }

    // A log chosen or dropped: read, then played from its start; a file that
    // cannot be played leaves the flight that was open as it was.
    function load(name, text) {
        const said = read(name, text);
        message.textContent = said.message;
        message.classList.toggle("failed", !said.ok);
        if (said.ok) {
            const notices = M._web_flight_notices();
            M._web_flight_fly_read();
            page.show();
            // The warning about skipped records, else what playing it did
            // ("Switched the instrument on to fly the flight").
            if (!said.message && M._web_flight_notices() !== notices)
                message.textContent = M.UTF8ToString(M._web_flight_notice());
            showOpened();
        }
        noticesShown = M._web_flight_notices();
        page.announce(said.ok ? "Flight " + name + " opened." : said.message);
        showPlaying();
        return said;
    }

    async function open(file) {
        return load(file.name, await file.text()).ok;
    }

    // The review page of what has been played of the flight, made by the
    // same code as ktr7-replay --report with the charting library the site
    // carries; "" before a tick of it has been played.
    async function reviewPage() {
        if (M._web_review_ticks() === 0)
            return "";
        const [script, style] = await Promise.all(
            ["dygraph.min.js", "dygraph.min.css"].map((name) => fetch(name).then((r) => {
                if (!r.ok)
                    throw new Error(name + ": " + r.status);
                return r.text();
            })));
        return page.withText(script, (scriptAt) => page.withText(style, (styleAt) =>
            page.withText(nameRead || "flight", (nameAt) =>
                M.UTF8ToString(M._web_review_page(scriptAt, styleAt, nameAt)))));
    }

    // Report: the review page downloaded as NAME-review.html.
    async function downloadReview() {
        let text;
        try {
            text = await reviewPage();
        } catch (error) {
            message.textContent = "No report: the charting library could not be read (" + error.message + ")";
            message.classList.add("failed");
            return;
        }
        if (!text) {
            message.textContent = "No report yet: play the flight first";
            message.classList.remove("failed");
            return;
        }
        const link = document.createElement("a");
        link.href = URL.createObjectURL(new Blob([text], {type: "text/html"}));
        link.download = (nameRead || "flight").replace(/\.[^.]*$/, "") + "-review.html";
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
        page.announce("Report " + link.download + " downloaded.");
    }

    // The flight bar shows the flight the session has open: the one chosen
    // here, or the one a scenario's "flight" line opened.
    function showOpened() {
        const openings = M._web_flight_openings();
        if (openings === openingsShown)
            return;
        openingsShown = openings;
        if (M._web_flight_loaded())
            showFlight(nameRead);
        else
            showClosed();
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
        for (const control of [playButton, closeButton, reportButton, speedList, position])
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
        if (!M._web_flight_loaded())
            return;
        const now = M._web_flight_time();
        if (Math.abs(now - shownTime) < 0.05)
            return;
        shownTime = now;
        position.value = String(now);
        clock.textContent = timeOfDay(now);
        drawProfile(now);
    }

    // Play or Pause as the session has it, and what it said last ("Flight
    // paused: ...").
    function showPlaying() {
        const playing = M._web_flight_playing() !== 0;
        if (playing !== playingShown) {
            playingShown = playing;
            playButton.textContent = playing ? "Pause" : "Play";
            playButton.setAttribute("aria-pressed", playing ? "true" : "false");
        }
        const notices = M._web_flight_notices();
        if (notices !== noticesShown) {
            noticesShown = notices;
            const notice = M.UTF8ToString(M._web_flight_notice());
            message.textContent = notice;
            message.classList.remove("failed");
            page.announce(notice + ".");
        }
    }

    function showSpeeds() {
        speedList.textContent = "";
        for (let i = 0; i < M._web_flight_speed_count(); i++) {
            const option = document.createElement("option");
            option.value = String(M._web_flight_speed_at(i));
            option.textContent = option.value + "x";
            speedList.appendChild(option);
        }
        speedList.value = String(M._web_flight_speed());
    }

    function showClosed() {
        profileAltitudes = null;
        $("FlightBar").classList.remove("loaded");
        for (const control of [playButton, closeButton, reportButton, speedList, position])
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
            if (M._web_flight_playing())
                M._web_flight_pause();
            else
                M._web_flight_play();
            page.show();
            showPlaying();
        });
        speedList.addEventListener("change", () => {
            M._web_flight_set_speed(Number(speedList.value));
            speedList.value = String(M._web_flight_speed());
        });
        reportButton.addEventListener("click", downloadReview);
        closeButton.addEventListener("click", () => {
            M._web_flight_close();
            message.textContent = "";
            showOpened();
            showPlaying();
        });
        position.addEventListener("input", () => {
            M._web_flight_seek(Number(position.value));
            page.show();
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
        showSpeeds();
        showClosed();
    }

    return {
        attach(host) {
            page = host;
            M = host.module();
            host.listen({
                afterFrame: () => {
                    showOpened();
                    showTime();
                    showPlaying();
                },
            });
            bind();
        },
        // A log's text read as a scenario's "flight" line reads it: into
        // the instrument, for the scenario to open.
        read: read,
        // For tests.
        load: load,
        open: open,
        reviewPage: reviewPage,
        playing: () => M._web_flight_playing() !== 0,
        time: () => M._web_flight_time(),
    };
})();
