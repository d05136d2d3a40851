// The scenario box of the simulator page: "Play scenario" plays a ready
// scenario (listed in scenarios/index.json) or a file chosen from the
// computer, live, with the scenario language's one executor compiled into
// the instrument module, on the page's session and clock. Print results and
// expectations are reported line by line, and the run ends passed, failed
// (an expectation did not hold) or stopped at a bad line, as the run's
// result says. The pictures of "expect png" lines and the flight logs of
// "flight" lines come from beside a ready scenario, or are chosen together
// with the scenario file and found by their file names. A chosen file is
// read again at every Play, so an edit shows at the next run; where the
// browser offers it, the file chooser hands over the files themselves
// (showOpenFilePicker), which can be read again after an edit.
"use strict";

window.ktr7Scenarios = (function () {
    // The run's status, as the executor has it.
    const SCENARIO_OK = 0;
    const SCENARIO_EXPECTATION_FAILED = 1;
    const LOG_LINES = 2000;
    const NOT_CHOSEN = "not available in the page (choose it together with the scenario)";
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
    let chosenFiles = null;    // the files chosen last: {scenario, others}, Files or file handles
    let flightLogs = new Map();  // "flight" file name: its text
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

    // The run's result, from the executor: the tally, then what passed,
    // failed or stopped it.
    function resultText(status) {
        const passed = M._web_scenario_passed(), failed = M._web_scenario_failed();
        const summary = passed + failed > 0 ? " (" + passed + " passed, " + failed + " failed)" : "";
        if (status === SCENARIO_OK)
            return "Passed" + summary;
        if (status === SCENARIO_EXPECTATION_FAILED)
            return "Failed: an expectation did not hold" + summary;
        const failures = M._web_scenario_failures();
        const at = M._web_scenario_stopped_at();
        let bad = "line " + at;
        for (let i = 0; i < failures; i++)
            if (M._web_scenario_failure_line(i) === at)
                bad += ": " + M.UTF8ToString(M._web_scenario_failure_text(i));
        const before = failures > 1 ? " (after " + plural(failures - 1, "failed expectation") + ")" : "";
        return "Stopped at " + bad + before;
    }

    // Called from the module while it plays.
    const playerPage = {
        report: (text, failed) => addLog(text, failed),
        // A "flight" line's log: read as the flight bar reads one, for the
        // executor to open.
        readFlight: (path, why, cap) => {
            const text = flightLogs.get(path);
            const said = text === undefined ? {ok: false, message: path + ": " + NOT_CHOSEN}
                : window.ktr7Flights.read(path, text);
            if (!said.ok)
                M.stringToUTF8(said.message, why, cap);
            return said.ok ? 1 : 0;
        },
        finished: (status) => {
            setPlaying(false);
            runsFinished++;
            const failures = M._web_scenario_failures();
            if (status === SCENARIO_OK)
                addLog("-- finished: every expectation held", false);
            else if (status === SCENARIO_EXPECTATION_FAILED)
                addLog("-- finished: " + plural(failures, "expectation") + " did not hold", true);
            else
                addLog("-- stopped: the line cannot be played; fix it and play again", true);
            const text = resultText(status);
            setResult(text, status === SCENARIO_OK ? "passed" : "failed");
            page.show();
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
        const others = new Map();
        for (const other of chosenFiles.others) {
            const now = await readNow(other).catch(() => null);
            if (now)
                others.set(now.name, now.blob);
        }
        return {name: scenario.name, text: scenario.text, others: others};
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
        return {name: choice, text: await response.text(), others: null};
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

    // A file the scenario names: among the files chosen with it, by its
    // file name (the folders it names are the computer's, which the page
    // cannot see), or from the site beside the ready scenarios.
    async function namedFile(scenario, name) {
        if (scenario.others)
            return scenario.others.get(name.replace(/^.*\//, "")) || null;
        if (/^\/|(^|\/)\.\.(\/|$)/.test(name))
            return null;
        const response = await fetch("scenarios/" + name.split("/").map(encodeURIComponent).join("/"));
        return response.ok ? await response.blob() : null;
    }

    // A picture as the browser decodes it, handed to the instrument as RGBA
    // for its comparison; one it cannot decode is unusable.
    async function handOverPicture(name, blob) {
        let bitmap;
        try {
            bitmap = await createImageBitmap(blob, {colorSpaceConversion: "none", premultiplyAlpha: "none"});
        } catch (error) {
            page.withText(name, (at) => page.withText("not a PNG picture",
                                                      (why) => M._web_reference_unusable(at, why)));
            return;
        }
        const canvas = document.createElement("canvas");
        canvas.width = bitmap.width;
        canvas.height = bitmap.height;
        const context = canvas.getContext("2d", {willReadFrequently: true});
        context.drawImage(bitmap, 0, 0);
        bitmap.close();
        const rgba = context.getImageData(0, 0, canvas.width, canvas.height).data;
        const at = M._malloc(rgba.length);
        try {
            M.HEAPU8.set(rgba, at);
            page.withText(name, (nameAt) => M._web_reference_add(nameAt, at, canvas.width, canvas.height));
        } finally {
            M._free(at);
        }
    }

    // Hands over every picture the scenario compares with, and keeps the
    // text of every flight log it flies: from the chosen files, or from the
    // site beside the ready scenarios.
    async function loadReferences(scenario) {
        M._web_references_clear();
        for (const name of referenceNames(scenario.text, false)) {
            const blob = await namedFile(scenario, name);
            if (blob)
                await handOverPicture(name, blob);
        }
        flightLogs = new Map();
        for (const name of referenceNames(scenario.text, true)) {
            const blob = await namedFile(scenario, name);
            if (blob)
                flightLogs.set(name, await blob.text());
        }
    }

    async function play(scenario) {
        await loadReferences(scenario);
        log.textContent = "";
        addLog("-- playing " + scenario.name);
        setResult("Playing", "");
        setPlaying(true);
        // The run's first lines run at once (a run without waits ends here).
        page.withText(scenario.text, (at, length) => M._web_scenario_start(at, length));
        page.show();
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
        M._web_scenario_stop();
        setPlaying(false);
        runsFinished++;
        setResult("Stopped at line " + M._web_scenario_line(), "");
        addLog("-- stopped");
    }

    // The scenario is the chosen file that is no PNG picture or flight log;
    // the others are what it compares with and flies. files: Files or file
    // handles, both with a name.
    function choose(files) {
        const file = files.find((f) => !/\.(png|igc|gpx)$/i.test(f.name));
        if (!file)
            return;
        chosenFiles = {scenario: file, others: files.filter((f) => f !== file)};
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
                types: [{description: "Scenarios, their pictures and flight logs",
                         accept: {"text/plain": [".scn", ".txt", ".igc"], "image/png": [".png"],
                                  "application/gpx+xml": [".gpx"]}}],
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
                afterFrame: () => {
                    if (playing)
                        setResult("Playing line " + M._web_scenario_line(), "");
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
            return play({name: name, text: text, others: new Map()});
        },
        // For tests: files chosen as the file picker hands them over.
        choose: choose,
        playing: () => playing,
        runsFinished: () => runsFinished,
        line: () => M._web_scenario_line(),
    };
})();
