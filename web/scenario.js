// The scenario box of the simulator page: "Play scenario" plays a ready
// scenario (listed in scenarios/index.json) or a file chosen from the
// computer, live, with the shared player compiled into the instrument
// module. Print results and expectations are reported line by line, and the
// run ends passed, failed (an expectation did not hold) or stopped at a bad
// line. The pictures of "expect png" lines come from beside a ready
// scenario, or are chosen together with the scenario file. A chosen file is
// read again at every Play, so an edit shows at the next run; where the
// browser offers it, the file chooser hands over the files themselves
// (showOpenFilePicker), which can be read again after an edit.
"use strict";

window.ktr7Scenarios = (function () {
    const PLAYER_OK = 0;
    const PLAYER_EXPECTATION_FAILED = 1;
    const LOG_LINES = 2000;
    const FILE_CHOICE = "file:";

    const $ = (id) => document.getElementById(id);
    const list = $("ScenarioList");
    const chooser = $("ScenarioFile");
    const playButton = $("PlayScenario");
    const stopButton = $("StopScenario");
    const result = $("ScenarioResult");
    const log = $("ScenarioLog");

    let page = null;
    let M = null;
    let chosenFiles = null;    // the files chosen last: {scenario, pictures}, Files or file handles
    let references = new Map();  // "expect png" file name: decoded picture or {error}
    let flightLogs = new Map();  // "flight" file name: {name, text}
    let expectations = null;   // the closing "N passed, M failed" line
    let failedLines = [];      // the failed expectations and the bad line of this run
    let playing = false;
    let runsFinished = 0;      // runs that came to their end or were stopped

    function setResult(text, kind) {
        result.textContent = text;
        result.classList.toggle("passed", kind === "passed");
        result.classList.toggle("failed", kind === "failed");
    }

    function addLog(text, failed) {
        const line = document.createElement("div");
        line.textContent = text;
        if (failed)
            line.className = "failed";
        log.appendChild(line);
        while (log.childElementCount > LOG_LINES)
            log.removeChild(log.firstElementChild);
        log.scrollTop = log.scrollHeight;
    }

    function setPlaying(now) {
        playing = now;
        stopButton.disabled = !now;
    }

    // Called from the module while it plays.
    const playerPage = {
        setSlider: (which, position) => page.setSlider(which, position),
        setSensor: (ok) => page.setSensor(ok),
        switched: () => page.switched(),
        report: (text, failed) => {
            if (/^\d+ passed, \d+ failed$/.test(text))
                expectations = text;
            if (failed)
                failedLines.push(text);
            addLog(text, failed);
        },
        checkPng: (path, report, cap) => {
            const picture = references.get(path);
            let text;
            let outcome = -1;
            if (!picture) {
                text = "not available in the page (choose it together with the scenario)";
            } else if (picture.error) {
                text = picture.error;
            } else {
                const lcd = M.HEAPU8.subarray(M._web_lcd_buffer(), M._web_lcd_buffer() + 160 * 128);
                const palette = new Uint32Array(M.HEAPU8.buffer, M._web_palette(), 256);
                const result = window.ktr7References.compare(lcd, palette, picture);
                outcome = result.differing === 0 ? 1 : 0;
                text = outcome ? "" : window.ktr7References.describe(path, result);
            }
            M.stringToUTF8(text, report, cap);
            return outcome;
        },
        loadFlight: (path, why, cap) => {
            const log = flightLogs.get(path);
            const said = log ? window.ktr7Flights.load(log.name, log.text)
                : {ok: false, message: "not available in the page (choose it together with the scenario)"};
            if (!said.ok)
                M.stringToUTF8(said.message, why, cap);
            return said.ok ? 1 : 0;
        },
        fly: (ticks, why, cap) => {
            const taken = window.ktr7Flights.fly(ticks);
            if (taken < 0)
                M.stringToUTF8("no flight is loaded", why, cap);
            return taken;
        },
        finished: (status) => {
            setPlaying(false);
            runsFinished++;
            const summary = expectations ? " (" + expectations + ")" : "";
            let text;
            if (status === PLAYER_OK) {
                text = "Passed" + summary;
                addLog("-- finished: every expectation held", false);
            } else if (status === PLAYER_EXPECTATION_FAILED) {
                text = "Failed: an expectation did not hold" + summary;
                addLog("-- finished: " + plural(failedLines.length, "expectation") + " did not hold", true);
            } else {
                // The bad line is the last failure reported; any before it
                // were expectations that did not hold.
                const bad = failedLines.length > 0 ? failedLines[failedLines.length - 1] : "a bad line";
                const earlier = failedLines.length - 1;
                const before = earlier > 0 ? " (after " + plural(earlier, "failed expectation") + ")" : "";
                text = "Stopped at " + bad + before;
                addLog("-- stopped: the line cannot be played; fix it and play again", true);
            }
            setResult(text, status === PLAYER_OK ? "passed" : "failed");
            page.announce("Scenario " + text);
        },
    };

    function plural(n, word) {
        return n + " " + word + (n === 1 ? "" : "s");
    }

    // A chosen file's text as it is now: a file handle reads the file
    // afresh; a File from the plain chooser is read again too, which
    // Chromium refuses once the file has changed on disk.
    async function readNow(file) {
        const blob = file.getFile ? await file.getFile() : file;
        try {
            return {name: blob.name, text: await blob.text(), blob: blob};
        } catch (error) {
            if (error.name === "NotReadableError")
                throw new Error(blob.name + " changed since it was chosen; choose it again");
            throw error;
        }
    }

    async function chosenScenario() {
        if (!chosenFiles)
            return null;
        const scenario = await readNow(chosenFiles.scenario);
        const pictures = new Map();
        for (const picture of chosenFiles.pictures) {
            const now = await readNow(picture).catch(() => null);
            if (now)
                pictures.set(now.name, now.blob);
        }
        return {name: scenario.name, text: scenario.text, pictures: pictures};
    }

    async function scenarioText() {
        const choice = list.value;
        if (choice === FILE_CHOICE)
            return chosenScenario();
        if (!choice)
            return null;
        const response = await fetch("scenarios/" + encodeURIComponent(choice));
        if (!response.ok)
            throw new Error("scenarios/" + choice + ": " + response.status);
        return {name: choice, text: await response.text(), pictures: null};
    }

    // The file names of the scenario's "expect png" lines, or of its
    // "flight" lines.
    function referenceNames(text, flights) {
        const names = new Set();
        for (const line of text.split("\n")) {
            const words = line.replace(/#.*/, "").trim().split(/\s+/);
            if (!flights && words.length >= 3 && words[0] === "expect" && words[1] === "png")
                names.add(words[2]);
            if (flights && words.length >= 2 && words[0] === "flight")
                names.add(words[1]);
        }
        return names;
    }

    // A file the scenario names: among the chosen files, or from the site
    // beside the ready scenarios.
    async function namedFile(scenario, name) {
        if (scenario.pictures)
            return scenario.pictures.get(name.replace(/^.*\//, "")) || null;
        if (/^\/|(^|\/)\.\.(\/|$)/.test(name))
            return null;
        const response = await fetch("scenarios/" + name.split("/").map(encodeURIComponent).join("/"));
        return response.ok ? await response.blob() : null;
    }

    // Reads and decodes every picture the scenario compares with: from the
    // chosen files, or from the site beside the ready scenarios.
    async function loadReferences(scenario) {
        references = new Map();
        for (const name of referenceNames(scenario.text, false)) {
            const blob = await namedFile(scenario, name);
            if (blob)
                references.set(name, await window.ktr7References.decode(blob));
        }
        flightLogs = new Map();
        for (const name of referenceNames(scenario.text, true)) {
            const blob = await namedFile(scenario, name);
            if (blob)
                flightLogs.set(name, {name: name.replace(/^.*\//, ""), text: await blob.text()});
        }
    }

    async function play(scenario) {
        await loadReferences(scenario);
        // The scenario has the controls now: a flight playing stops.
        window.ktr7Flights.pause();
        log.textContent = "";
        expectations = null;
        failedLines = [];
        addLog("-- playing " + scenario.name);
        setResult("Playing", "");
        setPlaying(true);
        const bytes = new TextEncoder().encode(scenario.text);
        const at = M._malloc(bytes.length + 1);
        M.HEAPU8.set(bytes, at);
        M.HEAPU8[at + bytes.length] = 0;
        try {
            M._web_player_start(at, bytes.length);
        } finally {
            M._free(at);
        }
    }

    async function onPlay() {
        let scenario;
        try {
            scenario = await scenarioText();
        } catch (error) {
            setResult("Cannot read the scenario: " + error.message, "failed");
            return;
        }
        if (!scenario) {
            setResult("Choose a ready scenario or a file first.", "failed");
            return;
        }
        await play(scenario);
    }

    function onStop() {
        if (!playing)
            return;
        M._web_player_stop();
        setPlaying(false);
        runsFinished++;
        setResult("Stopped at line " + M._web_player_line(), "");
        addLog("-- stopped");
    }

    // The scenario is the chosen file that is no PNG picture or flight log;
    // the others are what it compares with and flies. files: Files or file
    // handles, both with a name.
    function choose(files) {
        const file = files.find((f) => !/\.(png|igc|gpx)$/i.test(f.name));
        if (!file)
            return;
        chosenFiles = {scenario: file, pictures: files.filter((f) => f !== file)};
        let option = list.querySelector("option[value='" + FILE_CHOICE + "']");
        if (!option) {
            option = document.createElement("option");
            option.value = FILE_CHOICE;
            list.appendChild(option);
        }
        option.textContent = "File: " + file.name;
        list.value = FILE_CHOICE;
        showTitle();
    }

    function showTitle() {
        const option = list.options[list.selectedIndex];
        $("ScenarioTitle").textContent = option && option.value ? option.textContent : "";
    }

    function onFile() {
        choose(Array.from(chooser.files || []));
    }

    // Where the browser can hand over the files themselves, the chooser
    // asks it for them, so that they can be read again after an edit.
    async function onChooserClick(event) {
        if (typeof window.showOpenFilePicker !== "function")
            return;
        event.preventDefault();
        try {
            const handles = await window.showOpenFilePicker({
                multiple: true,
                types: [{description: "Scenarios and their pictures",
                         accept: {"text/plain": [".scn", ".txt"], "image/png": [".png"]}}],
            });
            choose(handles);
        } catch (error) {
            // Cancelled: the earlier choice stands.
        }
    }

    async function fillList() {
        const none = document.createElement("option");
        none.value = "";
        none.textContent = "(a ready scenario)";
        list.appendChild(none);
        try {
            const response = await fetch("scenarios/index.json");
            if (!response.ok)
                return;
            for (const entry of await response.json()) {
                const option = document.createElement("option");
                option.value = entry.file;
                option.textContent = entry.title ? entry.file + ": " + entry.title : entry.file;
                list.appendChild(option);
            }
        } catch (error) {
            // No list: files can still be chosen.
        }
    }

    return {
        // The page hands over its controls once the module runs.
        attach(host) {
            page = host;
            M = host.module();
            M.ktr7Page = playerPage;
            host.listen({
                afterTick: () => { if (playing) M._web_player_tick(); },
                afterPass: () => { if (playing) M._web_player_pass(); },
                afterFrame: () => {
                    if (playing)
                        setResult("Playing line " + M._web_player_line(), "");
                },
            });
            playButton.addEventListener("click", onPlay);
            stopButton.addEventListener("click", onStop);
            chooser.addEventListener("change", onFile);
            list.addEventListener("change", showTitle);
            chooser.addEventListener("click", onChooserClick);
            this.listed = fillList();
        },
        listed: null,
        // For tests: play a text as if it were a chosen file.
        playText(name, text) {
            return play({name: name, text: text, pictures: new Map()});
        },
        // For tests: files chosen as the file picker hands them over.
        choose: choose,
        playing: () => playing,
        runsFinished: () => runsFinished,
        line: () => M._web_player_line(),
    };
})();
