// A small PNG reader and writer on Node's zlib, enough for the test's pictures: the
// reader takes 8-bit greyscale, grey + alpha, RGB, RGBA and palette pictures, not
// interlaced (what the native capture writes is 8-bit RGB); both work in RGBA.
import zlib from 'node:zlib';

const SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

/** Decodes PNG bytes into {width, height, data} with data RGBA, rows top first. */
export function decodePng(bytes) {
    const buf = Buffer.from(bytes.buffer ?? bytes, bytes.byteOffset ?? 0, bytes.byteLength ?? bytes.length);
    if (buf.length < 8 || !buf.subarray(0, 8).equals(SIGNATURE)) {
        throw new Error('not a PNG file');
    }
    let width = 0, height = 0, depth = 0, colour = 0, interlace = 0;
    let palette = null, paletteAlpha = null;
    const idat = [];
    for (let at = 8; at + 8 <= buf.length;) {
        const length = buf.readUInt32BE(at);
        const type = buf.toString('latin1', at + 4, at + 8);
        const body = buf.subarray(at + 8, at + 8 + length);
        if (body.length !== length) {
            throw new Error(`PNG chunk ${type} is cut short`);
        }
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            depth = body[8];
            colour = body[9];
            interlace = body[12];
        } else if (type === 'PLTE') {
            palette = body;
        } else if (type === 'tRNS') {
            paletteAlpha = body;
        } else if (type === 'IDAT') {
            idat.push(body);
        } else if (type === 'IEND') {
            break;
        }
        at += 12 + length;
    }
    const channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour];
    if (depth !== 8 || channels === undefined || interlace !== 0 || width === 0 || height === 0) {
        throw new Error(`unsupported PNG: bit depth ${depth}, colour type ${colour}, interlace ${interlace}`);
    }
    const raw = zlib.inflateSync(Buffer.concat(idat));
    const stride = width * channels;
    if (raw.length < (stride + 1) * height) {
        throw new Error('PNG image data is cut short');
    }
    const pixels = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        const out = pixels.subarray(y * stride, (y + 1) * stride);
        const up = y > 0 ? pixels.subarray((y - 1) * stride, y * stride) : null;
        for (let i = 0; i < stride; ++i) {
            const a = i >= channels ? out[i - channels] : 0;
            const b = up ? up[i] : 0;
            const c = up && i >= channels ? up[i - channels] : 0;
            let v = line[i];
            switch (filter) {
                case 0: break;
                case 1: v += a; break;
                case 2: v += b; break;
                case 3: v += (a + b) >> 1; break;
                case 4: {
                    const p = a + b - c;
                    const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
                    v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                    break;
                }
                default: throw new Error(`bad PNG filter ${filter} on row ${y}`);
            }
            out[i] = v & 255;
        }
    }
    const data = new Uint8ClampedArray(width * height * 4);
    for (let p = 0, s = 0; p < width * height; ++p, s += channels) {
        let r, g, b, alpha = 255;
        if (colour === 3) {
            const index = pixels[s];
            r = palette[index * 3]; g = palette[index * 3 + 1]; b = palette[index * 3 + 2];
            if (paletteAlpha && index < paletteAlpha.length) alpha = paletteAlpha[index];
        } else if (channels <= 2) {
            r = g = b = pixels[s];
            if (channels === 2) alpha = pixels[s + 1];
        } else {
            r = pixels[s]; g = pixels[s + 1]; b = pixels[s + 2];
            if (channels === 4) alpha = pixels[s + 3];
        }
        data[p * 4] = r; data[p * 4 + 1] = g; data[p * 4 + 2] = b; data[p * 4 + 3] = alpha;
    }
    return {width, height, data};
}

const CRC_TABLE = (() => {
    const table = new Uint32Array(256);
    for (let n = 0; n < 256; ++n) {
        let c = n;
        for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        table[n] = c >>> 0;
    }
    return table;
})();

function crc32(bytes) {
    let c = 0xffffffff;
    for (const byte of bytes) c = CRC_TABLE[(c ^ byte) & 255] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, body) {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(body.length, 0);
    head.write(type, 4, 'latin1');
    const tail = Buffer.alloc(4);
    tail.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])), 0);
    return Buffer.concat([head, body, tail]);
}

/** Encodes an RGB picture (alpha dropped) given as RGBA bytes, rows top first. */
export function encodePng({width, height, data}) {
    const raw = Buffer.alloc((width * 3 + 1) * height);
    for (let y = 0, o = 0; y < height; ++y) {
        raw[o++] = 0;
        for (let x = 0; x < width; ++x) {
            const s = (y * width + x) * 4;
            raw[o++] = data[s]; raw[o++] = data[s + 1]; raw[o++] = data[s + 2];
        }
    }
    const header = Buffer.alloc(13);
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    header[8] = 8;  // bit depth
    header[9] = 2;  // RGB
    return Buffer.concat([SIGNATURE, chunk('IHDR', header),
                          chunk('IDAT', zlib.deflateSync(raw, {level: 6})), chunk('IEND', Buffer.alloc(0))]);
}
