// The page host: one saver run driven from requestAnimationFrame, the settings
// panel over the configuration dialog's logic in the module, the settings kept
// in localStorage as the settings file's text, links that carry settings and a
// moment, the user's files in IndexedDB, and the two wallpaper programs'
// listeners. Everything the saver decides is decided in the module.
'use strict';
(function () {
  const STORE_KEY = 'ss_ca_02.ini';
  const MAKER = '/orvex';
  const PATTERN_EXT = /\.(lif|rle|cells)$/i;
  const PICTURE_EXT = /\.(bmp|jpe?g|png)$/i;
  const REFRESH_BOXES = 16;
  const ID = { DEFAULT: 102, FAMILY: 1038, RULE: 1032, PATTERN: 1034, PICTURE: 1041 };
  // The settings file's lines (0-based) that the wallpaper programs' properties set.
  // List properties give the index of the choice; the file stores the radio identifier.
  const LINE = { color: 0, style: 1, family: 2, rule: 3, seed: 4, speed: 5, fieldsize: 6, onecolor: 7,
    lights: 9, wrap: 10, pictures: 11, cycling: 12, reset: 13, resettime: 14 };
  const LINE_BASE = { color: 1020, style: 1025, lights: 1045, reset: 1049 };

  const body = document.body;
  const wallpaper = body.classList.contains('wallpaper');
  const canvas = document.getElementById('field');
  const panel = document.getElementById('panel');
  const messageBox = document.getElementById('message');

  let M = null;             // the module
  let gl = null;
  let contextLost = false;
  let stored = readStored(); // the settings file's text, or null: the start values
  let shown = stored;       // what the run shows: a link's settings until OK
  let seed = Math.floor(Date.now() / 1000);
  let paused = false;       // Space, or a link's &paused
  let hostPaused = false;   // the wallpaper program's pause
  let fpsCap = 0;
  let lastDraw = 0;
  let showFrameRate = false; // F: the session's frame-rate text over the field
  let panelOpen = false;
  let messageShown = false;  // the run's messages: the first one stays on the page

  function readStored() {
    try { return localStorage.getItem(STORE_KEY); } catch (e) { return null; }
  }
  function store(text) {
    stored = text;
    try { localStorage.setItem(STORE_KEY, text); } catch (e) { /* private mode: kept for this visit */ }
  }

  function showMessage(text) {
    messageBox.textContent = text;
    messageBox.hidden = false;
  }

  // ---- links: #s=v1,...,v18[&seed=S][&steps=K][&paused] ----
  function parseLink(hash) {
    const parts = hash.replace(/^#/, '').split('&');
    const link = { settings: null, seed: null, steps: 0, paused: false };
    for (const part of parts) {
      const eq = part.indexOf('=');
      const key = eq < 0 ? part : part.slice(0, eq);
      const value = eq < 0 ? '' : part.slice(eq + 1);
      if (key === 's') {
        link.settings = value.split(',').map(decodePart).join('\r\n') + '\r\n';
      } else if (key === 'seed' && /^-?\d+$/.test(value)) {
        link.seed = Number(value);
      } else if (key === 'steps' && /^\d+$/.test(value)) {
        link.steps = Math.min(Number(value), 1e6);
      } else if (key === 'paused') {
        link.paused = true;
      }
    }
    return link.settings === null ? null : link;
  }
  function decodePart(p) {
    try { return decodeURIComponent(p); } catch (e) { return p; }
  }
  function makeLink(text, steps) {
    const values = text.split(/\r?\n/).slice(0, 18);
    values[14] = String(Number(values[14]));  // the reset time: 12, not 12.000000
    const encoded = values.map((v, i) => (i === 15 || i === 16) ? encodeURIComponent(v) : v);
    let hash = '#s=' + encoded.join(',') + '&seed=' + seed + '&steps=' + steps;
    if (paused) hash += '&paused';
    return location.href.replace(/#.*$/, '') + hash;
  }

  // ---- the run ----
  function wantedSize() {
    const dpr = window.devicePixelRatio || 1;
    return [Math.max(1, Math.round(canvas.clientWidth * dpr)), Math.max(1, Math.round(canvas.clientHeight * dpr))];
  }
  function canvasSize() {
    const [w, h] = wantedSize();
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
      return true;
    }
    return false;
  }

  function startRun(steps) {
    canvasSize();
    if (!M.startRun(shown || '', canvas.width, canvas.height, seed, steps || 0)) {
      noWebGL();
      return;
    }
    takeMessages();
    if (M.runFrame(!contextLost)) drawFrame();
    if (window.orvexPage.firstFrameMs === undefined) window.orvexPage.firstFrameMs = performance.now();
  }

  // The session draws the frame into the canvas (the frame-rate text over it when asked for).
  function drawFrame() {
    if (!gl || contextLost) return;
    M.runDraw(showFrameRate);
    takeMessages();
  }

  // A damaged picture: the saver's one message, named, on the page; the run goes on.
  function takeMessages() {
    for (const text of M.runMessages()) {
      if (messageShown) continue;
      messageShown = true;
      showMessage(text);
      setTimeout(() => { messageBox.hidden = true; messageShown = false; }, 8000);
    }
  }

  function animate(now) {
    requestAnimationFrame(animate);
    if (!M || document.hidden || paused || hostPaused) return;
    const mayDraw = !contextLost && (fpsCap <= 0 || now - lastDraw >= 1000 / fpsCap - 1);
    const due = M.runFrame(mayDraw);
    takeMessages();
    if (due) {
      lastDraw = now;
      drawFrame();
    }
  }

  // ---- the settings panel ----
  const controls = () => panel.querySelectorAll('input[data-id]');
  const list = (id) => panel.querySelector('select[data-list="' + id + '"]');
  const box = (id) => panel.querySelector('input[data-box="' + id + '"]');

  function refresh(flags) {
    const view = M.dialogView();
    for (const el of controls()) el.checked = !!view.checked[el.dataset.id];
    const lists = { [ID.FAMILY]: view.family, [ID.RULE]: view.rule, [ID.PATTERN]: view.pattern,
      [ID.PICTURE]: view.picture };
    for (const id in lists) {
      const el = list(id);
      const entries = lists[id].entries;
      const same = el.options.length === entries.length &&
        entries.every((e, i) => el.options[i].text === e);
      if (!same) {
        el.textContent = '';
        for (const e of entries) el.add(new Option(e));
      }
      el.selectedIndex = lists[id].selected;
    }
    if (flags & REFRESH_BOXES) {
      box(1030).value = view.fieldSize;
      box(1031).value = view.speed;
      box(1044).value = view.resetTime;
    }
  }

  function openPanel(text) {
    M.dialogOpen(text === undefined ? (shown || '') : text);
    refresh(REFRESH_BOXES);
    panel.hidden = false;
    panelOpen = true;
  }
  function closePanel() {
    panel.hidden = true;
    panelOpen = false;
  }
  // The panel's choices as the settings file's text.
  function panelText() {
    return M.dialogTake(box(1030).value, box(1031).value, box(1044).value, list(ID.FAMILY).selectedIndex,
      list(ID.RULE).selectedIndex, list(ID.PATTERN).selectedIndex, list(ID.PICTURE).selectedIndex);
  }

  function wirePanel() {
    panel.addEventListener('click', (e) => {
      const el = e.target;
      if (el.dataset && el.dataset.id) {
        refresh(M.dialogCommand(Number(el.dataset.id)));
      } else if (el.dataset && el.dataset.command) {
        refresh(M.dialogCommand(Number(el.dataset.command)));
      }
    });
    for (const id of [ID.FAMILY, ID.RULE, ID.PATTERN]) {
      list(id).addEventListener('change', (e) => refresh(M.dialogChoose(id, e.target.selectedIndex)));
    }
    panel.addEventListener('submit', (e) => {
      e.preventDefault();
      const text = panelText();
      store(text);
      shown = text;
      history.replaceState(null, '', location.pathname + location.search);
      closePanel();
      paused = false;
      startRun(0);
    });
    document.getElementById('cancel').addEventListener('click', closePanel);
    document.getElementById('save-file').addEventListener('click', () => {
      const a = document.createElement('a');
      a.href = URL.createObjectURL(new Blob([panelText()], { type: 'text/plain' }));
      a.download = STORE_KEY;
      a.click();
      setTimeout(() => URL.revokeObjectURL(a.href), 1000);
    });
    document.getElementById('open-file').addEventListener('change', async (e) => {
      const file = e.target.files[0];
      e.target.value = '';
      if (!file) return;
      openPanel(M.correctedSettings(await file.text()));
    });
    document.getElementById('copy-link').addEventListener('click', () => {
      const link = makeLink(panelText(), M.runInfo().steps);
      document.getElementById('link').value = link;
      if (navigator.clipboard) navigator.clipboard.writeText(link).catch(() => {});
    });
    document.getElementById('add-files').addEventListener('change', (e) => {
      addFiles(Array.from(e.target.files));
      e.target.value = '';
    });
    document.getElementById('open-panel').addEventListener('click', () => (panelOpen ? closePanel() : openPanel()));
    document.getElementById('full-screen').addEventListener('click', () => {
      if (document.fullscreenElement) document.exitFullscreen();
      else document.documentElement.requestFullscreen().catch(() => {});
    });
  }

  function onKey(e) {
    if (wallpaper) return;
    if (e.key === 'Escape' && panelOpen) { closePanel(); return; }
    if (panelOpen || e.target instanceof HTMLInputElement) return;
    if (e.key === ' ') {
      paused = !paused;
      e.preventDefault();
    } else if (e.key === 'f' || e.key === 'F') {
      showFrameRate = !showFrameRate;
      M.runExpose();
    } else if (e.key === 's' || e.key === 'S') {
      openPanel();
    }
  }

  // ---- the user's files, kept in IndexedDB and copied into the maker folder ----
  function openDb() {
    return new Promise((resolve) => {
      if (!window.indexedDB) { resolve(null); return; }
      const req = indexedDB.open('orvex', 1);
      req.onupgradeneeded = () => req.result.createObjectStore('files', { keyPath: 'name' });
      req.onsuccess = () => resolve(req.result);
      req.onerror = () => resolve(null);
    });
  }
  async function dbFiles() {
    const db = await openDb();
    if (!db) return [];
    return new Promise((resolve) => {
      const req = db.transaction('files').objectStore('files').getAll();
      req.onsuccess = () => resolve(req.result);
      req.onerror = () => resolve([]);
    });
  }
  async function dbPut(entry) {
    const db = await openDb();
    if (db) db.transaction('files', 'readwrite').objectStore('files').put(entry);
  }
  function folderFor(name) {
    if (PATTERN_EXT.test(name)) return MAKER + '/Patterns2d';
    if (PICTURE_EXT.test(name)) return MAKER + '/Pictures';
    return null;
  }
  async function putFile(name, bytes) {
    const folder = folderFor(name);
    if (!folder || name.includes('/') || name.startsWith('.')) return false;
    M.FS.writeFile(folder + '/' + name, bytes);
    if (JPEG_PNG_EXT.test(name)) await decodePicture(bytes);
    return true;
  }

  // JPEG and PNG: the browser's decoder, in the picture worker, off the
  // animation's path; the pixels (alpha over black, turned upright) come back
  // in bands of rows and go to the module a few each frame, which reduces them
  // as they come, as the saver does, to what this canvas can show. A file the
  // browser can't read is remembered as damaged, and the saver's message names it.
  const JPEG_PNG_EXT = /\.(jpe?g|png)$/i;
  const PUMP_MS = 6;        // the module's share of a frame for the pictures' rows
  let pictureWorker;        // undefined until the first picture; null: none (a page opened from files)
  const pictureJobs = new Map();
  let nextPictureJob = 1;
  let pumpQueued = false;

  function decodePicture(bytes) {
    return new Promise((resolve) => {
      const worker = startPictureWorker();
      const job = { bytes, queue: [], handle: 0, width: 0, resolve };
      if (!worker) {
        decodeHere(job);
        return;
      }
      const id = nextPictureJob++;
      pictureJobs.set(id, job);
      worker.postMessage({ id, bytes });
    });
  }
  function startPictureWorker() {
    if (pictureWorker !== undefined) return pictureWorker;
    try {
      pictureWorker = new Worker('picture_worker.js');
    } catch (e) {
      pictureWorker = null;
      return null;
    }
    pictureWorker.onmessage = (event) => {
      const job = pictureJobs.get(event.data.id);
      if (!job) return;
      job.queue.push(event.data);
      queuePump();
    };
    // No worker after all: what it had not begun is decoded here, the rest is damaged.
    pictureWorker.onerror = () => {
      pictureWorker.terminate();
      pictureWorker = null;
      const jobs = [...pictureJobs.values()];
      pictureJobs.clear();
      for (const job of jobs) {
        if (job.handle || job.queue.length) {
          if (job.handle) M.decodedAbandon(job.handle);
          else M.rememberUndecodable(job.bytes);
          job.resolve();
        } else {
          decodeHere(job);
        }
      }
    };
    return pictureWorker;
  }
  function queuePump() {
    if (pumpQueued) return;
    pumpQueued = true;
    const pump = () => {
      pumpQueued = false;
      pumpPictures();
    };
    // A hidden page gets no frames, and the pictures still come in.
    if (document.hidden) setTimeout(pump, 0);
    else requestAnimationFrame(pump);
  }
  // The bands that came, within this frame's share; the rest next frame.
  function pumpPictures() {
    const start = performance.now();
    for (const [id, job] of pictureJobs) {
      while (job.queue.length && performance.now() - start < PUMP_MS) {
        if (takeBand(job, job.queue.shift())) {
          pictureJobs.delete(id);
          job.resolve();
          break;
        }
      }
      if (performance.now() - start >= PUMP_MS) break;
    }
    for (const job of pictureJobs.values()) {
      if (job.queue.length) {
        queuePump();
        break;
      }
    }
  }
  // One message about a picture; true when the picture is done with.
  function takeBand(job, message) {
    if (message.failed) {
      if (job.handle) M.decodedAbandon(job.handle);
      else if (message.width) M.rememberTooLarge(job.bytes, message.width, message.height);
      else M.rememberUndecodable(job.bytes);
      return true;
    }
    if (message.rows) {
      if (!M.decodedRows(job.handle, job.width, message.rows)) return false;
      window.orvexPage.picturesDecoded++;
      return true;
    }
    const [cw, ch] = wantedSize();
    job.width = message.width;
    job.handle = M.decodedBegin(job.bytes, message.width, message.height, cw, ch, gl.getParameter(gl.MAX_TEXTURE_SIZE));
    if (job.handle) return false;
    window.orvexPage.picturesDecoded++;
    return true;
  }
  // Without the worker: the same, all at once here.
  async function decodeHere(job) {
    const refusal = pictureRefusal(job.bytes);
    if (refusal) {
      const h = pictureHeader(job.bytes);
      takeBand(job, refusal === 'too large' ? { failed: true, width: h.width, height: h.height } : { failed: true });
      job.resolve();
      return;
    }
    let bitmap = null;
    try {
      bitmap = await createImageBitmap(new Blob([job.bytes]), { imageOrientation: 'from-image',
        premultiplyAlpha: 'premultiply', colorSpaceConversion: 'none' });
    } catch (e) {
      M.rememberUndecodable(job.bytes);
      job.resolve();
      return;
    }
    const w = bitmap.width;
    const h = bitmap.height;
    const c = typeof OffscreenCanvas === 'function' ? new OffscreenCanvas(w, h)
      : Object.assign(document.createElement('canvas'), { width: w, height: h });
    const g = c.getContext('2d');
    g.fillStyle = '#000';
    g.fillRect(0, 0, w, h);
    g.drawImage(bitmap, 0, 0);
    bitmap.close();
    if (!takeBand(job, { width: w, height: h })) takeBand(job, { rows: g.getImageData(0, 0, w, h).data });
    job.resolve();
  }
  async function decodeSamplePictures() {
    const folder = MAKER + '/Pictures';
    for (const name of M.FS.readdir(folder)) {
      if (JPEG_PNG_EXT.test(name)) await decodePicture(M.FS.readFile(folder + '/' + name));
    }
  }

  async function addFiles(files) {
    let lastPattern = null;
    for (const file of files) {
      const bytes = new Uint8Array(await file.arrayBuffer());
      if (!(await putFile(file.name, bytes))) continue;
      await dbPut({ name: file.name, bytes });
      if (PATTERN_EXT.test(file.name)) lastPattern = file.name;
    }
    if (panelOpen) {
      openPanel(panelText());
    } else if (lastPattern) {
      // A pattern dropped on the field seeds it at once; the stored settings stay.
      const lines = (shown ? M.correctedSettings(shown) : M.correctedSettings('')).split('\r\n');
      lines[4] = '7';
      lines[15] = lastPattern.replace(/\.lif$/i, '');
      shown = lines.join('\r\n');
      startRun(0);
    }
  }

  // ---- the wallpaper programs ----
  function applyProperty(name, value) {
    const key = name.toLowerCase();
    if (!(key in LINE)) return false;
    let v = value;
    if (typeof v === 'boolean') v = v ? 1 : 0;
    v = Number(v);
    if (!Number.isFinite(v)) return false;
    v = Math.trunc(v) + (LINE_BASE[key] || 0);
    const base = stored || (shown ? shown : M.correctedSettings(''));
    const lines = M.correctedSettings(base).split('\r\n');
    lines[LINE[key]] = String(v);
    store(M.correctedSettings(lines.join('\r\n')));
    shown = stored;
    return true;
  }
  function restartAfter(changed) {
    if (changed && M) startRun(0);
  }
  window.wallpaperPropertyListener = {
    applyUserProperties(props) {
      let changed = false;
      for (const name in props) {
        if (props[name] && 'value' in props[name]) changed = applyProperty(name, props[name].value) || changed;
      }
      restartAfter(changed);
    },
    applyGeneralProperties(props) {
      if (props && props.fps !== undefined) fpsCap = Math.max(0, Number(props.fps) || 0);
    },
    setPaused(isPaused) { hostPaused = !!isPaused; },
  };
  window.livelyPropertyListener = function (name, value) {
    restartAfter(applyProperty(name, value));
  };
  window.livelyWallpaperPlaybackChanged = function (data) {
    try { hostPaused = !!JSON.parse(data).IsPaused; } catch (e) { /* not ours */ }
  };

  // For the browser tests and the curious: what the run has done so far.
  window.orvexPage = {
    info: () => (M ? M.runInfo() : null),
    cells: () => (M ? M.runCells() : ''),
    timeSteps: (n) => M.timeSteps(n),
    stored: () => readStored(),
    shown: () => shown,
    heapBytes: () => (M ? M.heapBytes() : 0),
    picturesDecoded: 0,
  };

  // ---- start ----
  // The frame-rate text's glyphs from the browser's monospace font: characters
  // 32..127 drawn at 16 x 16 pixels and halved to 8 x 8 bits each (a bit is set
  // where any of its four pixels is mostly covered), a byte a row from the top,
  // the highest bit leftmost.
  function fontGlyphs() {
    const c = document.createElement('canvas');
    c.width = 16 * 96;
    c.height = 16;
    const g = c.getContext('2d');
    g.fillStyle = '#fff';
    g.font = '14px monospace';
    g.textAlign = 'center';
    g.textBaseline = 'middle';
    for (let k = 0; k < 96; k++) g.fillText(String.fromCharCode(32 + k), 16 * k + 8, 8);
    const px = g.getImageData(0, 0, c.width, 16).data;
    const covered = (x, y) => px[4 * (y * c.width + x) + 3] >= 128;
    const rows = new Uint8Array(96 * 8);
    for (let k = 0; k < 96; k++) {
      for (let y = 0; y < 8; y++) {
        let bits = 0;
        for (let x = 0; x < 8; x++) {
          const sx = 16 * k + 2 * x;
          if (covered(sx, 2 * y) || covered(sx + 1, 2 * y) || covered(sx, 2 * y + 1) || covered(sx + 1, 2 * y + 1)) {
            bits |= 0x80 >> x;
          }
        }
        rows[8 * k + y] = bits;
      }
    }
    return rows;
  }

  function noWebGL() {
    showMessage('Orvex needs WebGL 2, which this browser does not offer (or has switched off).');
    document.querySelector('.controls').hidden = true;
    window.orvexPage.noWebGL = true;
  }

  async function start() {
    // The module's renderer draws into this context (the same attributes).
    gl = canvas.getContext('webgl2', { alpha: false, antialias: false, depth: true, preserveDrawingBuffer: true });
    if (!gl) {
      noWebGL();
      return;
    }
    canvas.addEventListener('webglcontextlost', (e) => { e.preventDefault(); contextLost = true; });
    canvas.addEventListener('webglcontextrestored', () => {
      contextLost = false;
      if (M) M.runContextRestored();
    });
    M = await OrvexModule({ locateFile: (p) => p });
    M.setGlyphs(fontGlyphs());
    await decodeSamplePictures();
    for (const f of await dbFiles()) await putFile(f.name, f.bytes);
    const link = parseLink(location.hash);
    if (link) {
      shown = M.correctedSettings(link.settings);
      if (link.seed !== null) seed = link.seed;
      paused = link.paused && !wallpaper;
    }
    startRun(link ? link.steps : 0);
    if (!wallpaper) {
      wirePanel();
      document.addEventListener('keydown', onKey);
      body.addEventListener('dragover', (e) => { e.preventDefault(); });
      body.addEventListener('drop', (e) => {
        e.preventDefault();
        addFiles(Array.from(e.dataTransfer.files));
      });
    }
    new ResizeObserver(() => { if (canvasSize() && M) M.runResize(canvas.width, canvas.height); }).observe(canvas);
    window.orvexPage.ready = true;
    requestAnimationFrame(animate);
  }
  start().catch((e) => showMessage('Orvex could not start: ' + e));
})();
