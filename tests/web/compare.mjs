// Compares two RGBA pictures of the same size on their colour channels (alpha is not
// compared: the page's canvas and the native capture are both opaque).

/**
 * Returns {maxDiff, meanAbs, share, diff}: the largest difference of one colour channel
 * (0-255), the mean absolute difference over every colour channel of every pixel (in
 * 8-bit steps), and the share of pixels (0-1) where some channel differs by more than
 * pixelThreshold; diff is an RGBA picture of each pixel's largest channel difference
 * (grey, scaled up 4 times) when makeDiff is set.
 */
export function comparePictures(a, b, pixelThreshold, makeDiff = false) {
    if (a.width !== b.width || a.height !== b.height) {
        throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
    }
    const pixels = a.width * a.height;
    const da = a.data, db = b.data;
    const diff = makeDiff ? new Uint8ClampedArray(pixels * 4) : null;
    let maxDiff = 0, sum = 0, over = 0;
    for (let p = 0, i = 0; p < pixels; ++p, i += 4) {
        const r = Math.abs(da[i] - db[i]);
        const g = Math.abs(da[i + 1] - db[i + 1]);
        const bl = Math.abs(da[i + 2] - db[i + 2]);
        const worst = r > g ? (r > bl ? r : bl) : (g > bl ? g : bl);
        sum += r + g + bl;
        if (worst > maxDiff) maxDiff = worst;
        if (worst > pixelThreshold) ++over;
        if (diff) {
            diff[i] = diff[i + 1] = diff[i + 2] = worst * 4;
            diff[i + 3] = 255;
        }
    }
    return {maxDiff, meanAbs: sum / (pixels * 3), share: over / pixels, diff};
}

/** The median of numbers (the mean of the middle two for an even count). */
export function median(values) {
    const sorted = [...values].sort((x, y) => x - y);
    const mid = sorted.length >> 1;
    return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}
