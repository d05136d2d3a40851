// The Communications box of the simulator page: the newest 10,000 encoder
// sentences, one a line. The lines live in a ring in the script; the box
// holds a spacer as tall as all of them and only the rows in view, so a full
// box costs what an empty one does. The page adds lines after each pass and
// lets the box draw at most once per animation frame.
"use strict";

window.ktr7Communications = (function () {
    const CAPACITY = 10000;
    // Every row is this tall (page.css sets the same height), so a row's
    // place follows from its number.
    const ROW_HEIGHT = 16;
    // Rows drawn above and below the ones in view, for smooth scrolling.
    const SPARE_ROWS = 4;

    const $ = (id) => document.getElementById(id);
    const box = $("Memo1");
    const spacer = document.createElement("div");
    spacer.className = "memo-spacer";
    const rows = document.createElement("div");
    rows.className = "memo-rows";
    box.append(spacer, rows);

    const ring = new Array(CAPACITY);
    let first = 0;             // the oldest line's place in the ring
    let count = 0;
    let changed = true;        // lines came or went since the last drawing
    let follows = true;        // the box shows the newest line
    let drawPending = false;
    let draws = 0;             // drawings of the box, for the tests

    function line(i) {
        return ring[(first + i) % CAPACITY];
    }

    function add(text) {
        if (count < CAPACITY) {
            ring[(first + count) % CAPACITY] = text;
            count++;
        } else {
            ring[first] = text;
            first = (first + 1) % CAPACITY;
        }
        changed = true;
    }

    // The rows in view, reusing the row elements there are.
    function draw() {
        drawPending = false;
        draws++;
        spacer.style.height = count * ROW_HEIGHT + "px";
        if (follows)
            box.scrollTop = box.scrollHeight;
        const top = Math.max(0, Math.floor(box.scrollTop / ROW_HEIGHT) - SPARE_ROWS);
        const shown = Math.min(count - top, Math.ceil(box.clientHeight / ROW_HEIGHT) + 2 * SPARE_ROWS);
        rows.style.transform = "translateY(" + top * ROW_HEIGHT + "px)";
        while (rows.childElementCount > Math.max(0, shown))
            rows.lastElementChild.remove();
        while (rows.childElementCount < shown)
            rows.appendChild(document.createElement("div"));
        let row = rows.firstElementChild;
        for (let i = 0; i < shown; i++, row = row.nextElementSibling) {
            const text = line(top + i);
            if (row.textContent !== text)
                row.textContent = text;
        }
        changed = false;
    }

    // Once per animation frame, and only when there is something new.
    function frame() {
        if (changed)
            draw();
    }

    box.addEventListener("scroll", () => {
        follows = box.scrollTop + box.clientHeight >= box.scrollHeight - 2;
        if (!drawPending) {
            drawPending = true;
            window.requestAnimationFrame(draw);
        }
    });

    function text() {
        const lines = [];
        for (let i = 0; i < count; i++)
            lines.push(line(i));
        return lines;
    }

    function clear() {
        first = 0;
        count = 0;
        ring.fill(undefined);
        follows = true;
        changed = true;
        draw();
    }

    // The clipboard where the page may write it, else the selection's old
    // way through a hidden text box.
    async function copy() {
        const all = text().join("\n") + (count > 0 ? "\n" : "");
        try {
            await navigator.clipboard.writeText(all);
            return count;
        } catch (error) {
            const scratch = document.createElement("textarea");
            scratch.value = all;
            scratch.setAttribute("readonly", "");
            scratch.className = "offscreen";
            document.body.appendChild(scratch);
            scratch.select();
            const copied = document.execCommand("copy");
            scratch.remove();
            if (!copied)
                throw error;
            return count;
        }
    }

    function bind(announce) {
        $("MemoClear").addEventListener("click", () => {
            clear();
            announce("Communications box cleared.");
        });
        $("MemoCopy").addEventListener("click", () => {
            copy().then(
                (n) => announce("Copied " + n.toLocaleString("en") + (n === 1 ? " line." : " lines.")),
                () => announce("The browser did not allow copying."));
        });
    }

    return {
        add: add,
        frame: frame,
        draw: draw,
        bind: bind,
        clear: clear,
        lines: text,
        count: () => count,
        draws: () => draws,
        rowsDrawn: () => rows.childElementCount,
    };
})();
