// "Save LCD picture" in the simulator page: the LCD as an 8-bit indexed PNG,
// its 256 palette colours and every pixel's palette index, each LCD pixel
// a square of SCALE x SCALE, as the replay tool's png and the window's
// File > Save LCD Picture write it. The image data are the same; the bytes
// of the compressed stream may differ (the browser's deflate, no row
// filters), so the two files decode to the same picture.
"use strict";

window.ktr7Picture = (function () {
    const LCD_WIDTH = 160;
    const LCD_HEIGHT = 128;
    const SCALE = 3;
    const SIGNATURE = [0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A];
    const BIT_DEPTH = 8;
    const COLOUR_TYPE_PALETTE = 3;
    const FILTER_NONE = 0;
    // How long a download's address stays valid after it was offered.
    const OFFER_KEPT_MS = 10000;

    const crcTable = new Uint32Array(256);
    for (let n = 0; n < 256; n++) {
        let c = n;
        for (let k = 0; k < 8; k++)
            c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
        crcTable[n] = c >>> 0;
    }

    function crc32(bytes) {
        let c = 0xFFFFFFFF;
        for (const b of bytes)
            c = crcTable[(c ^ b) & 0xFF] ^ (c >>> 8);
        return (c ^ 0xFFFFFFFF) >>> 0;
    }

    // Length, type, data and the CRC of type and data.
    function chunk(type, data) {
        const out = new Uint8Array(12 + data.length);
        const view = new DataView(out.buffer);
        view.setUint32(0, data.length);
        for (let i = 0; i < 4; i++)
            out[4 + i] = type.charCodeAt(i);
        out.set(data, 8);
        view.setUint32(8 + data.length, crc32(out.subarray(4, 8 + data.length)));
        return out;
    }

    async function deflate(bytes) {
        const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream("deflate"));
        return new Uint8Array(await new Response(stream).arrayBuffer());
    }

    // lcd: 160 x 128 palette indices; palette: 256 colours 0x00RRGGBB.
    async function encode(lcd, palette, scale = SCALE) {
        const width = LCD_WIDTH * scale;
        const height = LCD_HEIGHT * scale;
        const header = new Uint8Array(13);
        const view = new DataView(header.buffer);
        view.setUint32(0, width);
        view.setUint32(4, height);
        header.set([BIT_DEPTH, COLOUR_TYPE_PALETTE, 0, 0, 0], 8);
        const colours = new Uint8Array(3 * 256);
        for (let i = 0; i < 256; i++)
            colours.set([palette[i] >>> 16 & 0xFF, palette[i] >>> 8 & 0xFF, palette[i] & 0xFF], 3 * i);
        const stride = width + 1;
        const rows = new Uint8Array(stride * height);
        for (let y = 0; y < LCD_HEIGHT; y++) {
            const row = rows.subarray(y * scale * stride, (y * scale + 1) * stride);
            row[0] = FILTER_NONE;
            for (let x = 0; x < LCD_WIDTH; x++)
                row.fill(lcd[y * LCD_WIDTH + x], 1 + x * scale, 1 + (x + 1) * scale);
            for (let repeat = 1; repeat < scale; repeat++)
                rows.copyWithin((y * scale + repeat) * stride, y * scale * stride, (y * scale + 1) * stride);
        }
        const parts = [new Uint8Array(SIGNATURE), chunk("IHDR", header), chunk("PLTE", colours),
                       chunk("IDAT", await deflate(rows)), chunk("IEND", new Uint8Array(0))];
        return new Blob(parts, {type: "image/png"});
    }

    // Offers a file the page made as a download (also "Record LCD"'s video).
    function offer(blob, name) {
        const link = document.createElement("a");
        link.href = URL.createObjectURL(blob);
        link.download = name;
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), OFFER_KEPT_MS);
    }

    // Offers the picture as a download named after the time of day.
    async function save(lcd, palette) {
        const blob = await encode(lcd, palette);
        const now = new Date();
        const two = (n) => String(n).padStart(2, "0");
        const name = "ktr7-lcd-" + two(now.getHours()) + two(now.getMinutes()) + two(now.getSeconds()) + ".png";
        offer(blob, name);
        return name;
    }

    return {encode: encode, save: save, offer: offer, SCALE: SCALE};
})();
