// The page's picture worker: the browser decodes a JPEG or PNG file here,
// turned upright and laid over black, and the pixels go back to the page in
// bands of rows, top first, so that the page's animation never waits on the
// full-size picture.
//
// Asked {id, bytes}; answers {id, width, height}, then {id, rows} for each
// band (the rows' buffer handed over), or {id, failed: true} when the file
// can't be read, with the header's size when it is too large to decode.
'use strict';
importScripts('picture_header.js');

const BAND_BYTES = 1 << 20;

self.onmessage = async (event) => {
  const { id, bytes } = event.data;
  const refusal = pictureRefusal(bytes);
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
    self.postMessage({ id, failed: true });
    return;
  }
  const w = bitmap.width;
  const h = bitmap.height;
  try {
    const g = new OffscreenCanvas(w, h).getContext('2d', { willReadFrequently: true });
    g.fillStyle = '#000';
    g.fillRect(0, 0, w, h);
    g.drawImage(bitmap, 0, 0);
    bitmap.close();
    self.postMessage({ id, width: w, height: h });
    const band = Math.max(1, Math.min(h, Math.floor(BAND_BYTES / (w * 4))));
    for (let top = 0; top < h; top += band) {
      const rows = g.getImageData(0, top, w, Math.min(band, h - top)).data;
      self.postMessage({ id, rows }, [rows.buffer]);
    }
  } catch (e) {
    self.postMessage({ id, failed: true });
  }
};
