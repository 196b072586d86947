// The page host: one saver run driven from requestAnimationFrame, the settings
// panel over the configuration dialog's logic in the module, the settings kept
// in localStorage as the settings file's text, links that carry settings and a
// moment, the user's files in IndexedDB, and the two wallpaper programs'
// listeners. Everything the saver decides is decided in the module.
//
// The wallpaper programs call their listeners as soon as the page has loaded,
// long before the module is ready: the calls are kept and applied, in order,
// before the first step, and a burst of them (Lively's, one per property)
// restarts the run once, after the burst.
'use strict';
(function () {
  const STORE_KEY = 'ss_ca_02.ini';
  const MAKER = '/orvex';
  const PATTERN_EXT = /\.(lif|rle|cells)$/i;
  const PICTURE_EXT = /\.(bmp|jpe?g|png)$/i;
  const REFRESH_BOXES = 16;
  const ID = { DEFAULT: 102, FAMILY: 1038, RULE: 1032, PATTERN: 1034, PICTURE: 1041 };
  // The wallpaper's properties (made with the programs' descriptions from one
  // table): each sets a line of the settings file (0-based); a list gives the
  // index of its choice, and the file stores base + index; "rule" is one list
  // of every family's rules.
  const PROPS = window.orvexProperties;
  const DEFAULTS = PROPS.defaults;   // the start settings of the page and the wallpaper
  const RESTART_AFTER_MS = 250;      // a burst of property calls restarts the run once, after it
  const MAX_NAME = 30;               // the settings file keeps names of at most 30 characters
  const MAX_PICTURE_NAME = 29;       // the run's picture cycle skips longer names
  const SETTINGS_FILE_BYTES = 1 << 20;  // what the savers read of a settings file
  const MAX_LINK_STEPS = 100000;  // a link's moment: 55 minutes at the fastest speed

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
  const early = [];          // listener calls that came before the module: [name, value]
  let restartTimer = 0;

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

  // ---- links: #s=v1,...,v18[,v19][&seed=S][&steps=K][&paused] ----
  // v19, a rule of one's own, only when there is one; a link without it runs
  // the catalogue's rule (v3, v4), and one that doesn't read is dropped as the
  // settings file's line 19 is.
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
        link.steps = Math.min(Number(value), MAX_LINK_STEPS);
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
    const values = text.split(/\r?\n/).slice(0, 19);
    values[14] = String(Number(values[14]));  // the reset time: 12, not 12.000000
    if (!values[18]) values.length = 18;
    const encoded = values.map((v, i) => i >= 15 && i !== 17 ? encodeURIComponent(v) : v);
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
    clearTimeout(restartTimer);
    restartTimer = 0;
    canvasSize();
    dropPicture();
    if (!M.startRun(shown || DEFAULTS, canvas.width, canvas.height, seed, steps || 0)) {
      noWebGL();
      return;
    }
    window.orvexPage.runs++;
    takeMessages();
    // A link's moment is drawn once its steps are run (paused, with its picture).
    if (M.runFrame(!contextLost, 0, paused)) drawFrame();
    showProgress();
  }
  function restartSoon() {
    if (!M) return;
    clearTimeout(restartTimer);
    restartTimer = setTimeout(() => startRun(0), RESTART_AFTER_MS);
  }

  // A link's steps are run a slice of each frame: the line says how far.
  const progress = document.getElementById('progress');
  function showProgress() {
    const left = M.runStepsLeft();
    if (!progress) return;
    progress.hidden = left === 0;
    if (left > 0) {
      const steps = M.runSteps();
      progress.textContent = 'Running to generation ' + (steps + left) + ': ' + Math.floor(100 * steps / (steps + left)) + ' %';
    }
  }

  // The session draws the frame into the canvas (the frame-rate text over it when asked for).
  function drawFrame() {
    if (!gl || contextLost) return;
    M.runDraw(showFrameRate);
    takeMessages();
    if (window.orvexPage.firstFrameMs === undefined) {
      window.orvexPage.firstFrameMs = performance.now();
      body.classList.add('started');
    }
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

  const STEP_SLICE_MS = 40;  // of a frame, for a link's steps: nothing is drawn meanwhile
  function animate(now) {
    requestAnimationFrame(animate);
    if (!M) return;
    try {
      servePictures();
    } catch (e) {  // a picture's trouble never stops the field
      window.orvexPage.errors.push(String(e && e.stack || e));
      dropPicture();
    }
    if (document.hidden || hostPaused) return;
    // Paused: still the link's steps up to its moment, and a picture that comes.
    const mayDraw = !contextLost && (fpsCap <= 0 || now - lastDraw >= 1000 / fpsCap - 1);
    const due = M.runFrame(mayDraw, STEP_SLICE_MS, paused);
    takeMessages();
    if (due) {
      lastDraw = now;
      drawFrame();
    }
    if (progress && !progress.hidden) showProgress();
  }

  // ---- the settings panel ----
  const controls = () => panel.querySelectorAll('input[data-id]');
  const list = (id) => panel.querySelector('select[data-list="' + id + '"]');
  const box = (id) => panel.querySelector('input[data-box="' + id + '"]');
  const ruleBox = document.getElementById('rule-text');
  const ruleMessage = document.getElementById('rule-message');
  const patternRule = document.getElementById('pattern-rule');

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
    // A refused rule stays in the box beside its message, to be put right.
    ruleMessage.textContent = view.ruleMessage;
    ruleMessage.hidden = !view.ruleMessage;
    if (!view.ruleMessage) ruleBox.value = view.ruleText;
    ruleBox.dataset.shown = view.ruleText;
    // The chosen pattern file's own rule, offered when it isn't the one chosen.
    patternRule.textContent = view.ruleOffer;
    patternRule.hidden = !view.ruleOffer;
    if (patternRule.hidden && document.activeElement === patternRule) list(ID.PATTERN).focus();
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

  // The Rule box's text: true when it was taken.
  function typeRule() {
    refresh(M.dialogTypeRule(ruleBox.value));
    return ruleMessage.hidden;
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
    ruleBox.addEventListener('change', typeRule);
    // Enter takes the typed rule; it doesn't close the panel.
    ruleBox.addEventListener('keydown', (e) => {
      if (e.key !== 'Enter') return;
      e.preventDefault();
      typeRule();
    });
    panel.addEventListener('submit', (e) => {
      e.preventDefault();
      // A rule typed and not yet taken is taken now; one that doesn't read keeps the panel open.
      if (ruleBox.value !== ruleBox.dataset.shown && !typeRule()) return;
      const text = panelText();
      store(text);
      shown = text;
      history.replaceState(null, '', location.pathname + location.search);
      closePanel();
      setPaused(false);
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
      // No more than the savers read of a settings file.
      openPanel(M.correctedSettings(await file.slice(0, SETTINGS_FILE_BYTES).text()));
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
    if (pauseButton) pauseButton.addEventListener('click', () => setPaused(!paused));
    canvas.addEventListener('pointerdown', onTouch);
    document.getElementById('full-screen').addEventListener('click', () => {
      if (document.fullscreenElement) document.exitFullscreen();
      else document.documentElement.requestFullscreen().catch(() => {});
    });
  }

  const pauseButton = document.getElementById('pause');
  function setPaused(p) {
    paused = p;
    if (pauseButton) pauseButton.textContent = p ? 'Resume' : 'Pause';
  }
  // A tap (no mouse, no keys) shows the buttons for a while.
  let touchTimer = 0;
  function onTouch(e) {
    if (e.pointerType === 'mouse') return;
    body.classList.add('touched');
    clearTimeout(touchTimer);
    touchTimer = setTimeout(() => body.classList.remove('touched'), 6000);
  }

  function onKey(e) {
    if (wallpaper) return;
    if (e.key === 'Escape' && panelOpen) { closePanel(); return; }
    if (panelOpen || e.target instanceof HTMLInputElement) return;
    if (e.key === ' ') {
      setPaused(!paused);
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
  // Done when the change is on disk.
  async function dbChange(change) {
    const db = await openDb();
    if (!db) return;
    await new Promise((resolve) => {
      const t = db.transaction('files', 'readwrite');
      change(t.objectStore('files'));
      t.oncomplete = t.onerror = t.onabort = () => resolve();
    });
  }
  const dbPut = (entry) => dbChange((files) => files.put(entry));
  const dbDelete = (name) => dbChange((files) => files.delete(name));
  function folderFor(name) {
    if (PATTERN_EXT.test(name)) return MAKER + '/Patterns2d';
    if (PICTURE_EXT.test(name)) return MAKER + '/Pictures';
    return null;
  }
  // The name a pattern file keeps: the settings file holds at most 30
  // characters of it (less ".lif"), so a longer one is shortened, its
  // extension kept.
  function keptName(name) {
    if (!PATTERN_EXT.test(name)) return name;
    const ext = name.slice(name.lastIndexOf('.'));
    const room = MAX_NAME - (/^\.lif$/i.test(ext) ? 0 : ext.length);
    const base = name.slice(0, name.length - ext.length);
    return base.length <= room ? name : base.slice(0, room) + ext;
  }
  function putFile(name, bytes) {
    const folder = folderFor(name);
    if (!folder || name.includes('/') || name.startsWith('.')) return false;
    const path = folder + '/' + name;
    M.FS.writeFile(path, bytes);
    M.forgetPicture(path);
    remote.delete(path);
    return true;
  }
  const userFiles = new Set();  // the names kept in IndexedDB

  // ---- pictures: decoded when the run asks for one ----
  // The run asks for one picture at a time (the first, then the next of the
  // cycle); the browser decodes it in the picture worker, off the animation's
  // path, turned upright and laid over black, and its rows come back in bands
  // that go to the module a few each frame, which reduces them as they come to
  // what this canvas can show. A BMP goes to the browser only when its header
  // is one the saver's reader takes; any other picture the module reads itself,
  // for the reader's verdict. Nothing is decoded before the run wants it, and
  // nothing of a picture stays once the run has it.
  const PUMP_MS = 6;        // the module's share of a frame for the pictures' rows
  const HEAD_BYTES = 1178;  // a BMP's headers and palette
  let pictureWorker;        // undefined until the first picture; null: none
  let picture = null;       // the one being decoded: {path, id, bmp, queue, handle, width}
  let nextPictureJob = 1;
  const remote = new Map(); // pictures in the wallpaper program's folder: maker path -> URL
  const retried = new Set(); // pictures the browser failed once

  function dropPicture() {
    if (!picture) return;
    if (picture.handle) M.decodedEnd(picture.handle, false);
    picture = null;
  }
  function pictureDone(prepared) {
    const path = picture.path;
    picture = null;
    if (!prepared) window.orvexPage.picturesByReader++;
    M.pictureReady(path);
    takeMessages();
  }
  // Every frame, and while the page is hidden: what the run waits for.
  function servePictures() {
    const want = M.pictureWanted();
    if (picture && picture.path !== want) dropPicture();
    if (picture) {
      pumpPicture();
      return;
    }
    if (want) startPicture(want);
  }
  async function startPicture(path) {
    const job = { path, id: nextPictureJob++, bmp: false, queue: [], handle: 0, width: 0 };
    picture = job;
    let bytes = null;
    try {
      bytes = remote.has(path) ? await fetchBytes(remote.get(path)) : M.FS.readFile(path);
    } catch (e) {
      bytes = null;
    }
    if (picture !== job) return;
    if (!bytes) {
      M.rememberUndecodable(path);
      pictureDone(true);
      return;
    }
    job.bmp = bytes.length >= 2 && bytes[0] === 0x42 && bytes[1] === 0x4d;
    if (job.bmp ? !M.bmpForBrowser(bytes.subarray(0, HEAD_BYTES), bytes.length) : pictureRefusal(bytes)) {
      if (job.bmp) readByModule(job, bytes);
      else if (pictureRefusal(bytes) === 'too large') M.rememberTooLarge(path);
      else M.rememberUndecodable(path);
      if (!job.bmp) pictureDone(true);
      return;
    }
    const worker = startPictureWorker();
    if (worker) worker.postMessage({ id: job.id, bytes, bmp: job.bmp }, [bytes.buffer]);
    else decodeHere(job, bytes);
  }
  // The saver's own reader, within the run's call: a wallpaper folder's file
  // is put in place for that call only.
  function readByModule(job, bytes) {
    const from = remote.has(job.path);
    if (from && !bytes) {  // given to the browser, and gone with it
      M.rememberUndecodable(job.path);
      pictureDone(true);
      return;
    }
    if (from) M.FS.writeFile(job.path, bytes);
    pictureDone(false);
    if (from) M.FS.writeFile(job.path, new Uint8Array(0));
  }
  function startPictureWorker() {
    if (pictureWorker !== undefined) return pictureWorker;
    try {
      // From a blob, so that a page opened from a file can start it too.
      const url = URL.createObjectURL(new Blob([pictureWorkerSource()], { type: 'text/javascript' }));
      pictureWorker = new Worker(url);
    } catch (e) {
      pictureWorker = null;
      return null;
    }
    pictureWorker.onmessage = (event) => {
      if (picture && picture.id === event.data.id) picture.queue.push(event.data);
    };
    // No worker after all: the picture under way starts again, decoded here.
    pictureWorker.onerror = () => {
      pictureWorker.terminate();
      pictureWorker = null;
      dropPicture();
    };
    return pictureWorker;
  }
  // The bands that came, within this frame's share; the rest next frame.
  function pumpPicture() {
    const start = performance.now();
    const job = picture;
    while (job.queue.length && performance.now() - start < PUMP_MS) {
      if (takeBand(job, job.queue.shift())) return;
    }
  }
  // One message about the picture; true when it is done with.
  function takeBand(job, message) {
    if (message.failed) {
      window.orvexPage.pictureFailures.push(job.path + ': ' + (message.why || 'refused'));
      if (job.handle) M.decodedEnd(job.handle, true);
      job.handle = 0;
      if (job.bmp) {
        // The browser couldn't: the reader's verdict, its own message.
        readByModule(job, null);
        return true;
      }
      if (message.width) {
        M.rememberTooLarge(job.path);
      } else if (!retried.has(job.path)) {
        // A browser short of memory may fail a large picture once: it is read again before it counts as damaged.
        retried.add(job.path);
        picture = null;
        return true;
      } else {
        M.rememberUndecodable(job.path);
      }
      retried.delete(job.path);
      pictureDone(true);
      return true;
    }
    if (message.rows) {
      if (!M.decodedRows(job.handle, job.width, message.rows)) return false;
      job.handle = 0;
      window.orvexPage.picturesDecoded++;
      retried.delete(job.path);
      pictureDone(true);
      return true;
    }
    const [cw, ch] = wantedSize();
    job.width = message.width;
    job.handle = M.decodedBegin(job.path, message.width, message.height, cw, ch, gl.getParameter(gl.MAX_TEXTURE_SIZE));
    if (job.handle) return false;
    pictureDone(true);  // refused: too large
    return true;
  }
  // Without the worker: the same, here, all at once; whatever fails, the
  // picture is done with.
  async function decodeHere(job, bytes) {
    let rows = null;
    let w = 0;
    let h = 0;
    try {
      const bitmap = await createImageBitmap(new Blob([bytes]), { imageOrientation: 'from-image',
        premultiplyAlpha: 'premultiply', colorSpaceConversion: 'none' });
      w = bitmap.width;
      h = bitmap.height;
      const c = Object.assign(document.createElement('canvas'), { width: w, height: h });
      const g = c.getContext('2d', { willReadFrequently: true });
      g.fillStyle = '#000';
      g.fillRect(0, 0, w, h);
      g.drawImage(bitmap, 0, 0);
      bitmap.close();
      rows = g.getImageData(0, 0, w, h).data;
    } catch (e) {
      rows = null;
    }
    if (picture !== job) return;
    if (!rows) {
      job.queue.push({ failed: true });
    } else {
      job.queue.push({ width: w, height: h }, { rows });
    }
  }
  // Bytes of a file the wallpaper program names by its path or URL.
  async function fetchBytes(url) {
    try {
      const r = await fetch(url);
      if (r.ok) return new Uint8Array(await r.arrayBuffer());
    } catch (e) { /* some programs allow their files to XHR only */ }
    return new Promise((resolve) => {
      const x = new XMLHttpRequest();
      x.open('GET', url);
      x.responseType = 'arraybuffer';
      const ok = () => x.status === 0 || (x.status >= 200 && x.status < 300);  // 0: a file
      x.onload = () => resolve(ok() && x.response && x.response.byteLength ? new Uint8Array(x.response) : null);
      x.onerror = () => resolve(null);
      x.send();
    });
  }

  async function addFiles(files) {
    let lastPattern = null;
    let lastBytes = null;
    let renamed = null;
    for (const file of files) {
      const name = keptName(file.name);
      if (name !== file.name) renamed = [file.name, name];
      const bytes = new Uint8Array(await file.arrayBuffer());
      if (!putFile(name, bytes)) continue;
      await dbPut({ name, bytes });
      userFiles.add(name);
      if (PATTERN_EXT.test(name)) [lastPattern, lastBytes] = [name, bytes];
    }
    const said = [];
    if (renamed) said.push('"' + renamed[0] + '" is kept as "' + renamed[1] + '": a pattern\'s name keeps 30 characters.');
    listUserFiles();
    if (panelOpen) {
      openPanel(panelText());
    } else if (lastPattern) {
      // A pattern dropped on the field seeds it at once, under the rule its
      // header names if it names one; the stored settings stay.
      const lines = M.correctedSettings(shown || DEFAULTS).split('\r\n');
      lines[4] = '7';
      lines[15] = lastPattern.replace(/\.lif$/i, '');
      const rule = M.patternRule(lastPattern, lastBytes);
      if (rule) {
        lines[18] = rule;
        said.push('"' + lastPattern + '" runs its own rule, ' + rule + '.');
      }
      shown = lines.join('\r\n');
      startRun(0);
    }
    if (said.length) {
      showMessage(said.join('\n'));
      setTimeout(() => { messageBox.hidden = true; }, 8000);
    }
  }
  async function removeFile(name) {
    await dbDelete(name);
    userFiles.delete(name);
    const path = folderFor(name) + '/' + name;
    try { M.FS.unlink(path); } catch (e) { /* gone already */ }
    M.forgetPicture(path);
    listUserFiles();
    if (panelOpen) openPanel(panelText());
  }
  // The panel's list of the user's files, each with its Remove button.
  function listUserFiles() {
    const list = document.getElementById('user-files');
    if (!list) return;
    list.textContent = '';
    for (const name of [...userFiles].sort()) {
      const row = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = 'Remove';
      button.addEventListener('click', () => removeFile(name));
      row.append(name + ' ', button);
      list.append(row);
    }
  }

  // ---- the wallpaper programs ----
  // The settings as the run has them: the stored ones, a link's, or the start values.
  function currentLines() {
    return M.correctedSettings(shown || stored || DEFAULTS).split('\r\n');
  }
  // One property into the settings' lines; false when it is none of ours.
  function setProperty(lines, name, value) {
    const key = String(name).toLowerCase();
    const own = Object.prototype.hasOwnProperty.call(PROPS.properties, key);
    const prop = own ? PROPS.properties[key] : key === 'family' ? { kind: 'combo', line: 2 } : null;
    if (!prop) return false;
    if (prop.kind === 'folder') return chooseFolderPicture(lines, value);
    if (prop.kind === 'text') return setRuleText(lines, prop.line, value);
    let v = typeof value === 'boolean' ? (value ? 1 : 0) : Number(value);
    if (!Number.isFinite(v)) return false;
    v = Math.trunc(v);
    if (prop.kind === 'rule') {
      const at = PROPS.ruleFamilies[v];
      if (!at) return false;
      [lines[2], lines[3]] = [String(at[0]), String(at[1])];
    } else {
      lines[prop.line] = String(v + (prop.base || 0));
    }
    return true;
  }
  // A rule of one's own, run in place of the Rule property's; empty for that
  // one. A text that doesn't read changes nothing.
  function setRuleText(lines, line, value) {
    if (value === null || value === undefined) value = '';
    if (typeof value !== 'string') return false;
    const rule = value.trim() ? M.ruleNotation(value) : '';
    if (value.trim() && !rule) return false;
    lines[line] = rule;
    return true;
  }
  // Pictures on always show one: a picture that isn't there gives way to the
  // first one there is, and with none at all pictures stay off.
  function withPicture(lines) {
    if (lines[11] !== '1') return;
    const names = pictureNames();
    const has = (n) => names.includes(n) || names.includes(n + '.bmp');
    if (has(lines[16])) return;
    if (names.length) lines[16] = storedPictureName(names[0]);
    else lines[11] = '0';
  }
  function pictureNames() {
    try {
      return M.FS.readdir(MAKER + '/Pictures').filter((n) => PICTURE_EXT.test(n));
    } catch (e) {
      return [];
    }
  }
  const storedPictureName = (name) => name.replace(/\.bmp$/i, '');
  const usablePictureName = (name) =>
    PICTURE_EXT.test(name) && !name.startsWith('.') && name.length <= MAX_PICTURE_NAME;
  function applyProperties(calls) {
    const lines = currentLines();
    let changed = false;
    for (const [name, value] of calls) changed = setProperty(lines, name, value) || changed;
    if (!changed) return false;
    withPicture(lines);
    store(M.correctedSettings(lines.join('\r\n')));
    shown = stored;
    return true;
  }
  // A listener call: kept until the module is ready, else applied with one
  // restart after the burst.
  function fromHost(call) {
    if (!M) {
      early.push(call);
      return;
    }
    if (call()) restartSoon();
  }

  // Lively's folder list: "Pictures\\name.jpg", relative to the page, or null;
  // nothing outside that folder.
  function chooseFolderPicture(lines, value) {
    const m = typeof value === 'string' ? /^Pictures[\\/]([^\\/]+)$/.exec(value) : null;
    const name = m ? m[1] : '';
    if (!usablePictureName(name)) return false;
    const path = MAKER + '/Pictures/' + name;
    if (!pictureNames().includes(name) || remote.has(path)) addRemote(path, 'Pictures/' + encodeURIComponent(name));
    lines[16] = storedPictureName(name);
    return true;
  }
  // Wallpaper Engine's folder property: every file's absolute path, loaded as file:///.
  const SAMPLES = MAKER + '/Samples';
  function addRemote(path, url) {
    M.FS.writeFile(path, new Uint8Array(0));  // listed by the run; the bytes come when it asks
    M.forgetPicture(path);
    remote.set(path, url);
  }
  function folderFilesAdded(files) {
    let added = 0;
    for (const file of files || []) {
      const name = String(file).split(/[\\/]/).pop();
      if (!usablePictureName(name)) continue;
      if (!remote.size) moveSamples(MAKER + '/Pictures', SAMPLES);  // the user's pictures only
      addRemote(MAKER + '/Pictures/' + name, encodeURI('file:///' + String(file).replace(/\\/g, '/')).replace(/#/g, '%23'));
      added++;
    }
    if (!added) return false;
    const lines = currentLines();
    lines[16] = '';
    withPicture(lines);
    store(M.correctedSettings(lines.join('\r\n')));
    shown = stored;
    return true;
  }
  function folderFilesRemoved(files) {
    let removed = 0;
    for (const file of files || []) {
      const path = MAKER + '/Pictures/' + String(file).split(/[\\/]/).pop();
      if (!remote.delete(path)) continue;
      try { M.FS.unlink(path); } catch (e) { /* gone already */ }
      M.forgetPicture(path);
      removed++;
    }
    if (!removed) return false;
    if (!remote.size) moveSamples(SAMPLES, MAKER + '/Pictures');
    return applyProperties([]) || true;
  }
  function moveSamples(from, to) {
    try { M.FS.mkdir(to); } catch (e) { /* there already */ }
    let names = [];
    try { names = M.FS.readdir(from); } catch (e) { return; }
    for (const n of names) if (n !== '.' && n !== '..') M.FS.rename(from + '/' + n, to + '/' + n);
  }

  window.wallpaperPropertyListener = {
    applyUserProperties(props) {
      const calls = [];
      for (const name of Object.keys(Object(props))) {
        const p = props[name];
        if (p !== null && typeof p === 'object' && 'value' in p) calls.push([name, p.value]);
      }
      fromHost(() => applyProperties(calls));
    },
    applyGeneralProperties(props) {
      if (props && props.fps !== undefined) fpsCap = Math.max(0, Number(props.fps) || 0);
    },
    setPaused(isPaused) { hostPaused = !!isPaused; },
    userDirectoryFilesAddedOrChanged(name, files) { fromHost(() => folderFilesAdded(Array.from(files || []))); },
    userDirectoryFilesRemoved(name, files) { fromHost(() => folderFilesRemoved(Array.from(files || []))); },
  };
  window.livelyPropertyListener = function (name, value) {
    fromHost(() => applyProperties([[name, value]]));
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
    pictureWanted: () => (M ? M.pictureWanted() : ''),
    pictureNames: () => (M ? pictureNames() : []),
    picturesDecoded: 0,  // by the browser
    picturesByReader: 0, // handed to the saver's own reader
    pictureFailures: [], // the browser's reasons
    errors: [],          // what went wrong in the page's own script
    runs: 0,             // runs started
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
    // Read back at once: a canvas in memory, not on the GPU (a GPU read costs ~100 ms here).
    const g = c.getContext('2d', { willReadFrequently: true });
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
    // The glyphs and the stored files while the module compiles.
    const glyphs = fontGlyphs();
    const files = wallpaper ? Promise.resolve([]) : dbFiles();
    M = await OrvexModule({});
    window.orvexPage.moduleMs = performance.now();
    M.setGlyphs(glyphs);
    for (const f of await files) if (putFile(f.name, f.bytes)) userFiles.add(f.name);
    listUserFiles();
    const link = parseLink(location.hash);
    if (link) {
      shown = M.correctedSettings(link.settings);
      if (link.seed !== null) seed = link.seed;
      setPaused(link.paused && !wallpaper);
    }
    // What the wallpaper program said while the module was loading, in order.
    for (const call of early.splice(0)) call();
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
