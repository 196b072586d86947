// A JPEG's or PNG's size from its header (a PNG's IHDR, a JPEG's first frame
// header), read before the browser is asked to decode the file, so that a
// small file that claims a huge picture is refused as the native decoders
// refuse it, and a file of any other format is not handed to the browser's
// other decoders. Shared by the page and its picture worker, which the page
// starts from a blob of this file's functions (a page opened from a file can
// start no worker from a file).
'use strict';

const PICTURE_MAX_PIXELS = 64 * 1024 * 1024;  // as the native decoders: 8192 x 8192

// {width, height, jpeg} or null when the bytes hold neither header.
function pictureHeader(bytes) {
  const b = bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes);
  const be16 = (i) => (b[i] << 8) | b[i + 1];
  const be32 = (i) => ((b[i] << 24) | (b[i + 1] << 16) | (b[i + 2] << 8) | b[i + 3]) >>> 0;
  const png = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
  if (b.length >= 24 && png.every((v, i) => b[i] === v) &&
      String.fromCharCode(b[12], b[13], b[14], b[15]) === 'IHDR') {
    return { width: be32(16), height: be32(20), jpeg: false };
  }
  if (b.length < 4 || b[0] !== 0xff || b[1] !== 0xd8) return null;
  let i = 2;
  while (i + 4 <= b.length) {
    if (b[i] !== 0xff) return null;
    const marker = b[i + 1];
    if (marker === 0xff) { i += 1; continue; }  // fill byte
    if (marker === 0x01 || (marker >= 0xd0 && marker <= 0xd7)) { i += 2; continue; }
    if (marker === 0xd9 || marker === 0xda) return null;  // no frame before the end or the first scan
    const length = be16(i + 2);
    if (length < 2) return null;
    const frame = marker >= 0xc0 && marker <= 0xcf && marker !== 0xc4 && marker !== 0xc8 && marker !== 0xcc;
    if (frame) return i + 9 <= b.length ? { width: be16(i + 7), height: be16(i + 5), jpeg: true } : null;
    i += 2 + length;
  }
  return null;
}

// Why the browser must not decode it, or null: 'damaged' (no header, an empty
// side) or 'too large' (over the pixel limit).
function pictureRefusal(bytes) {
  const h = pictureHeader(bytes);
  if (!h || h.width === 0 || h.height === 0) return 'damaged';
  return h.width * h.height > PICTURE_MAX_PIXELS ? 'too large' : null;
}

// The picture worker: the browser decodes a file here, turned upright and
// laid over black, and the pixels go back to the page in bands of rows, top
// first, so that the page's animation never waits on the full-size picture.
// Asked {id, bytes, bmp}; answers {id, width, height}, then {id, rows} for
// each band (the rows' buffer handed over), or {id, failed: true} when the file
// can't be read, with the header's size when it is too large to decode. A BMP
// comes checked by the page; any other file is a JPEG or PNG by its header.
function pictureWorkerMain() {
  const BAND_BYTES = 1 << 20;
  self.onmessage = async (event) => {
    const { id, bytes, bmp } = event.data;
    const refusal = bmp ? null : pictureRefusal(bytes);
    if (refusal) {
      const h = pictureHeader(bytes);
      self.postMessage(refusal === 'too large' ? { id, failed: true, width: h.width, height: h.height }
        : { id, failed: true });
      return;
    }
    let bitmap = null;
    try {
      bitmap = await createImageBitmap(new Blob([bytes]), { imageOrientation: 'from-image',
        premultiplyAlpha: 'premultiply', colorSpaceConversion: 'none' });
    } catch (e) {
      self.postMessage({ id, failed: true, why: String(e) });
      return;
    }
    const w = bitmap.width;
    const h = bitmap.height;
    const canvas = new OffscreenCanvas(w, h);
    try {
      const g = canvas.getContext('2d', { willReadFrequently: true });
      g.fillStyle = '#000';
      g.fillRect(0, 0, w, h);
      g.drawImage(bitmap, 0, 0);
      self.postMessage({ id, width: w, height: h });
      const band = Math.max(1, Math.min(h, Math.floor(BAND_BYTES / (w * 4))));
      for (let top = 0; top < h; top += band) {
        const rows = g.getImageData(0, top, w, Math.min(band, h - top)).data;
        self.postMessage({ id, rows }, [rows.buffer]);
      }
    } catch (e) {
      self.postMessage({ id, failed: true, why: String(e) });
    } finally {
      // The pixels go now, not when the collector gets round to them.
      bitmap.close();
      canvas.width = 0;
      canvas.height = 0;
    }
  };
}

// The worker's whole script.
function pictureWorkerSource() {
  return "'use strict';\nconst PICTURE_MAX_PIXELS = " + PICTURE_MAX_PIXELS + ';\n' + pictureHeader + '\n' +
    pictureRefusal + '\n(' + pictureWorkerMain + ')();\n';
}
