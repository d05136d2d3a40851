// "Record LCD" in the simulator page: the LCD as the page shows it, recorded
// with the browser's MediaRecorder as a WebM video until "Stop recording",
// then offered as the download ktr7-lcd.webm. At every frame the page shows,
// its LCD canvas is copied into a canvas of the recording's own (its size
// fixed at the start, so a new layout does not change the video's) with the
// canvas's own CSS filter: switched off, the recording goes on with the LCD
// dark, as the page shows it.
// Switching off does not end a recording; leaving the page does, and then
// nothing is offered.
"use strict";

window.ktr7Recording = (function () {
    const FILE_NAME = "ktr7-lcd.webm";
    const CONTAINER = "video/webm";
    // The recorder's formats in the order tried.
    const TYPES = [CONTAINER + ";codecs=vp9", CONTAINER + ";codecs=vp8", CONTAINER];
    const START_TEXT = "Record LCD";
    const STOP_TEXT = "Stop recording";
    const START_TITLE = "Record the LCD as shown, as a WebM video, until Stop recording";

    let shown = null;       // the page's LCD canvas
    let button = null;
    let announce = () => {};
    let recording = null;   // while recording: {media, discarded}
    let copy = null;        // the recording's canvas
    let copyContext = null;

    function supportedType() {
        return TYPES.find((type) => MediaRecorder.isTypeSupported(type)) || null;
    }

    // Why this browser cannot record, or null when it can.
    function whyNot() {
        if (typeof window.MediaRecorder !== "function")
            return "This browser cannot record video (it has no MediaRecorder)";
        if (typeof HTMLCanvasElement.prototype.captureStream !== "function")
            return "This browser cannot record a canvas (it has no captureStream)";
        if (!supportedType())
            return "This browser cannot record WebM video";
        return null;
    }

    // The LCD as shown now, into the recording (a frame of its stream).
    function frame() {
        if (!recording)
            return;
        copyContext.filter = getComputedStyle(shown).filter;
        copyContext.imageSmoothingEnabled = false;
        copyContext.drawImage(shown, 0, 0, copy.width, copy.height);
    }

    function start() {
        copy = document.createElement("canvas");
        copy.width = shown.width;
        copy.height = shown.height;
        copyContext = copy.getContext("2d", {alpha: false});
        const type = supportedType();
        const stream = copy.captureStream();
        const chunks = [];
        const started = {media: new MediaRecorder(stream, {mimeType: type}), discarded: false};
        started.media.addEventListener("dataavailable", (event) => {
            if (event.data.size > 0)
                chunks.push(event.data);
        });
        started.media.addEventListener("stop", () => {
            stream.getTracks().forEach((track) => track.stop());
            if (started.discarded)
                return;
            window.ktr7Picture.offer(new Blob(chunks, {type: CONTAINER}), FILE_NAME);
            announce("LCD recording saved as " + FILE_NAME + ".");
        });
        recording = started;
        frame();
        started.media.start();
        button.textContent = STOP_TEXT;
        button.title = "Stop the recording and save it as " + FILE_NAME;
        announce("Recording the LCD.");
    }

    // The recording ended: offered as the download, or discarded when the
    // page is left.
    function stop(discard) {
        const ending = recording;
        recording = null;
        copy = copyContext = null;
        button.textContent = START_TEXT;
        button.title = START_TITLE;
        ending.discarded = discard;
        ending.media.stop();
    }

    // The button, the page's canvas and the page's live region.
    function bind(recordButton, canvas, say) {
        button = recordButton;
        shown = canvas;
        announce = say;
        // As wide as its longer words, so the row does not change when they do.
        button.textContent = STOP_TEXT;
        button.style.minWidth = button.offsetWidth + "px";
        button.textContent = START_TEXT;
        const why = whyNot();
        if (why) {
            button.disabled = true;
            button.title = why;
            return;
        }
        button.title = START_TITLE;
        button.addEventListener("click", () => (recording ? stop(false) : start()));
        window.addEventListener("pagehide", () => {
            if (recording)
                stop(true);
        });
    }

    return {bind: bind, frame: frame};
})();
