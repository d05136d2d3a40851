// Reference pictures of "expect png" in the web page: a PNG at a whole scale
// of the LCD's 160 x 128, compared with the LCD through its palette: every
// device pixel of an LCD pixel's square must show that pixel's colour, as
// the other hosts compare.
"use strict";

window.ktr7References = (function () {
    const LCD_WIDTH = 160;
    const LCD_HEIGHT = 128;
    const SCALE_MAX = 16;

    // The picture's colours, or {error} when it cannot serve as a reference.
    async function decode(blob) {
        let bitmap;
        try {
            bitmap = await createImageBitmap(blob, {colorSpaceConversion: "none", premultiplyAlpha: "none"});
        } catch (error) {
            return {error: "not a PNG picture"};
        }
        const width = bitmap.width;
        const height = bitmap.height;
        const scale = width / LCD_WIDTH;
        if (scale !== Math.floor(scale) || scale < 1 || scale > SCALE_MAX || height !== LCD_HEIGHT * scale) {
            return {error: width + "x" + height + " is no whole scale (1.." + SCALE_MAX +
                           ") of the LCD's " + LCD_WIDTH + "x" + LCD_HEIGHT};
        }
        const canvas = document.createElement("canvas");
        canvas.width = width;
        canvas.height = height;
        const context = canvas.getContext("2d", {willReadFrequently: true});
        context.drawImage(bitmap, 0, 0);
        bitmap.close();
        return {scale: scale, width: width, data: context.getImageData(0, 0, width, height).data};
    }

    function rgbAt(picture, x, y) {
        const at = (y * picture.width + x) * 4;
        return (picture.data[at] << 16 | picture.data[at + 1] << 8 | picture.data[at + 2]) >>> 0;
    }

    // lcd: the 20480 palette indices; palette: 256 colours 0x00RRGGBB.
    function compare(lcd, palette, picture) {
        const s = picture.scale;
        const result = {differing: 0, firstX: 0, firstY: 0, expectedRgb: 0, expected: -1, got: 0};
        for (let y = 0; y < LCD_HEIGHT; y++)
            for (let x = 0; x < LCD_WIDTH; x++) {
                const index = lcd[y * LCD_WIDTH + x];
                const colour = palette[index] & 0xFFFFFF;
                let differsAs = colour;
                for (let dy = 0; dy < s && differsAs === colour; dy++)
                    for (let dx = 0; dx < s && differsAs === colour; dx++)
                        differsAs = rgbAt(picture, x * s + dx, y * s + dy);
                if (differsAs === colour)
                    continue;
                if (result.differing++ === 0) {
                    result.firstX = x;
                    result.firstY = y;
                    result.expectedRgb = differsAs;
                    result.expected = palette.findIndex((c) => (c & 0xFFFFFF) === differsAs);
                    result.got = index;
                }
            }
        return result;
    }

    // The report line of a picture that differs, as the other hosts word it.
    function describe(path, result) {
        const expected = result.expected >= 0 ? String(result.expected)
            : "#" + result.expectedRgb.toString(16).toUpperCase().padStart(6, "0");
        return "png " + path + ": " + result.differing + " pixels differ, first at " + result.firstX + "," +
               result.firstY + " expected " + expected + " got " + result.got + "; no pictures (the page writes no files)";
    }

    return {decode: decode, compare: compare, describe: describe};
})();
