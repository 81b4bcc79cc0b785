// The web edition's page: the front panel, the inputs, the presets, the GPS log, the browser's
// storage and the host loop around the instrument's core (corvex.js, built from the same C++ as
// the window and corvex-ems-run). window.corvex is the page's small script interface (tests use it).
'use strict';

const PERSIST = '/persist';
const CARD = PERSIST + '/card';
const MEMORY = PERSIST + '/memory.bin';
const REPO = '/repo';
const MAX_ZOOM = 3;

const page = {
  started: performance.now(),
  firstFrameMs: null,
  desc: null,
  inputs: [],      // {caption, min, max, slider, count, reading}
  switches: [],    // checkboxes
  lamps: [],
  image: null,
  syncing: false,
  syncAgain: false,
  syncWaiters: [],
  storageDirty: false,
  lastStorageSync: 0,
  readyResolve: null,
  wheelRest: 0,
};
const ready = new Promise((resolve) => { page.readyResolve = resolve; });

window.addEventListener('error', (e) => showError('Error: ' + e.message));

var Module = {
  noInitialRun: true,
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onRuntimeInitialized: () => mountStorage(),
};

let api = null;

function bindApi() {
  const c = Module.cwrap;
  api = {
    start: c('corvexStart', 'string', ['string', 'string', 'string']),
    describe: c('corvexDescribe', 'string', []),
    power: c('corvexPower', null, ['number', 'number', 'number']),
    advance: c('corvexAdvance', 'number', ['number', 'number']),
    passesRun: c('corvexPassesRun', 'number', []),
    lamps: c('corvexLamps', 'number', []),
    key: c('corvexKey', null, ['number']),
    keyForName: c('corvexKeyForName', 'number', ['string']),
    present: c('corvexPresent', 'number', []),
    screenHash: c('corvexScreenHash', 'string', []),
    inputPosition: c('corvexInputPosition', 'number', ['number']),
    switchOn: c('corvexSwitch', 'number', ['number']),
    setInput: c('corvexSetInput', null, ['number', 'number']),
    setSwitch: c('corvexSetSwitch', null, ['number', 'number']),
    reading: c('corvexReading', 'string', ['number']),
    runLines: c('corvexRunLines', 'string', ['string', 'string', 'number']),
    scriptOutput: c('corvexScriptOutput', 'string', []),
    screenshots: c('corvexScreenshots', 'string', []),
    playNmea: c('corvexPlayNmea', 'number', ['string', 'number']),
    stopNmea: c('corvexStopNmea', null, []),
    nmeaStatus: c('corvexNmeaStatus', 'string', []),
    saveMemory: c('corvexSaveMemory', null, []),
  };
}

function utcNow() { return Math.floor(Date.now() / 1000); }

function setStatus(text) { document.getElementById('status').textContent = text; }
function showError(text) {
  page.error = true;
  setStatus(text);
}

// ---- Storage: the card and the memory in IndexedDB ---------------------------------------------

function mountStorage() {
  const FS = Module.FS;
  FS.mkdir(PERSIST);
  FS.mount(FS.filesystems.IDBFS, {}, PERSIST);
  FS.syncfs(true, (err) => {
    if (err) showStorage('The browser keeps no storage here: nothing will be kept after this visit.');
    if (!exists(CARD)) copyTree(REPO + '/SDCARD', CARD);
    start();
  });
}

function exists(path) {
  try { Module.FS.stat(path); return true; } catch (e) { return false; }
}

function copyTree(from, to) {
  const FS = Module.FS;
  FS.mkdir(to);
  for (const name of FS.readdir(from)) {
    if (name === '.' || name === '..') continue;
    const source = from + '/' + name, target = to + '/' + name;
    if (FS.isDir(FS.stat(source).mode)) copyTree(source, target);
    else FS.writeFile(target, FS.readFile(source));
  }
}

function removeTree(path) {
  const FS = Module.FS;
  for (const name of FS.readdir(path)) {
    if (name === '.' || name === '..') continue;
    const p = path + '/' + name;
    if (FS.isDir(FS.stat(p).mode)) { removeTree(p); FS.rmdir(p); } else FS.unlink(p);
  }
}

function showStorage(text) { document.getElementById('storage-status').textContent = text; }

// Writes the file system's stored part out to IndexedDB; resolves once written (or failed).
function syncStorage() {
  return new Promise((resolve) => {
    page.syncWaiters.push(resolve);
    if (page.syncing) { page.syncAgain = true; return; }
    const run = () => {
      page.syncing = true;
      page.syncAgain = false;
      const waiters = page.syncWaiters.splice(0);
      page.lastStorageSync = performance.now();
      Module.FS.syncfs(false, (err) => {
        page.syncing = false;
        if (err) showStorage('Could not store the card and memory in this browser: ' + err);
        waiters.forEach((w) => w(!err));
        if (page.syncAgain) run();
      });
    };
    run();
  });
}

async function clearStorage() {
  if (!confirm('Clear the SD card and the instrument\'s memory kept in this browser?')) return;
  // Nothing is written again before the page starts afresh.
  page.clearing = true;
  api.power(0, performance.now(), utcNow());
  removeTree(PERSIST);
  await syncStorage();
  location.reload();
}

// ---- The front panel ---------------------------------------------------------------------------

function placeAt(element, rect) {
  element.dataset.place = JSON.stringify(rect);
}

function buildPanel() {
  const desc = page.desc;
  const panel = document.getElementById('panel');
  placeAt(document.getElementById('display'), desc.panel.display.slice(0, 2).concat([480, 272]));
  for (const k of desc.panel.keys) {
    const area = document.createElement('button');
    area.className = 'key-area';
    area.type = 'button';
    area.title = k.code === 6 ? 'Knob: click to press, wheel or drag to turn' : 'Soft key ' + k.code;
    area.dataset.code = k.code;
    placeAt(area, k.place);
    area.addEventListener('click', () => pressKey(k.code));
    if (k.code === 6) knobGestures(area);
    panel.appendChild(area);
  }
  for (const b of desc.panel.buttons) {
    const button = document.createElement('button');
    button.className = 'panel-button';
    button.type = 'button';
    button.textContent = b.caption.replace('&', '');
    button.dataset.font = b.font;
    if (b.bold) button.style.fontWeight = 'bold';
    placeAt(button, b.place);
    // KnobPlus, KnobMinus, On, Off
    const actions = [() => pressKey(7), () => pressKey(8), () => power(true), () => power(false)];
    button.addEventListener('click', actions[b.id]);
    panel.appendChild(button);
  }
  for (const l of desc.panel.lamps) {
    const lamp = document.createElement('div');
    lamp.className = 'lamp';
    lamp.title = l.name;
    lamp.dataset.colour = '#' + l.colour.toString(16).padStart(6, '0');
    placeAt(lamp, l.place);
    panel.appendChild(lamp);
    page.lamps.push(lamp);
  }
  document.getElementById('display').addEventListener('wheel', wheel, { passive: false });
  const help = document.getElementById('key-help');
  for (const b of desc.keyBindings) help.insertRow().innerHTML = '<td><b>' + b.key + '</b></td><td>' + b.action + '</td>';
  layout();
  window.addEventListener('resize', layout);
  document.getElementById('zoom').addEventListener('change', () => {
    localStorage.setItem('corvex.zoom', document.getElementById('zoom').value);
    layout();
  });
  document.getElementById('zoom').value = localStorage.getItem('corvex.zoom') || '0';
  layout();
}

// Whole zooms in device pixels, so every display pixel is a square of whole screen pixels; Fit
// takes the largest that fits the page's width.
function layout() {
  const desc = page.desc;
  const dpr = window.devicePixelRatio || 1;
  const chosen = Number(document.getElementById('zoom').value);
  const room = Math.max(1, document.documentElement.clientWidth - 24) * dpr;
  let zoom = chosen || Math.max(1, Math.min(MAX_ZOOM * 2, Math.floor(room / desc.panel.size[0])));
  const css = zoom / dpr;
  const panel = document.getElementById('panel');
  panel.style.width = desc.panel.size[0] * css + 'px';
  panel.style.height = desc.panel.size[1] * css + 'px';
  for (const el of panel.querySelectorAll('[data-place]')) {
    const [x, y, w, h] = JSON.parse(el.dataset.place);
    el.style.left = x * css + 'px';
    el.style.top = y * css + 'px';
    el.style.width = w * css + 'px';
    el.style.height = h * css + 'px';
    if (el.dataset.font) el.style.fontSize = el.dataset.font * css + 'px';
  }
}

function knobGestures(area) {
  area.addEventListener('wheel', wheel, { passive: false });
  let startY = null, moved = false;
  area.addEventListener('pointerdown', (e) => {
    if (e.pointerType === 'mouse') return;
    startY = e.clientY;
    moved = false;
    area.setPointerCapture(e.pointerId);
  });
  area.addEventListener('pointermove', (e) => {
    if (startY === null) return;
    const step = 24;
    while (startY - e.clientY >= step) { pressKey(7); startY -= step; moved = true; }
    while (e.clientY - startY >= step) { pressKey(8); startY += step; moved = true; }
  });
  area.addEventListener('pointerup', () => { startY = null; });
  area.addEventListener('click', (e) => { if (moved) { e.stopImmediatePropagation(); moved = false; } }, true);
}

function wheel(e) {
  e.preventDefault();
  const pixels = e.deltaMode === 1 ? e.deltaY * 40 : e.deltaMode === 2 ? e.deltaY * 400 : e.deltaY;
  page.wheelRest += pixels;
  while (page.wheelRest <= -100) { pressKey(7); page.wheelRest += 100; }
  while (page.wheelRest >= 100) { pressKey(8); page.wheelRest -= 100; }
}

function pressKey(code) { api.key(code); }

function power(on) {
  api.power(on ? 1 : 0, performance.now(), utcNow());
}

// The keyboard's keys by the names of the key table: "F1", "Return", "Enter" (the keypad's),
// "Space", "Up", "Right", "Down", "Left".
function keyName(e) {
  if (e.code === 'NumpadEnter') return 'Enter';
  if (e.key === 'Enter') return 'Return';
  if (e.key === ' ') return 'Space';
  return e.key.replace(/^Arrow/, '');
}

function keyboard(e) {
  if (e.ctrlKey || e.altKey || e.metaKey) return;
  const t = e.target;
  const code = api.keyForName(keyName(e));
  if (!code) return;
  const turn = code === 7 || code === 8;
  // A text field keeps every key; a slider or a list keeps the arrows.
  if (t && (t.tagName === 'TEXTAREA' || (t.tagName === 'INPUT' && t.type !== 'range' && t.type !== 'checkbox'))) return;
  if (t && turn && (t.tagName === 'SELECT' || (t.tagName === 'INPUT' && t.type === 'range'))) return;
  e.preventDefault();
  if (e.repeat && !turn) return;
  pressKey(code);
}

// ---- The inputs --------------------------------------------------------------------------------

function buildInputs() {
  const box = document.getElementById('inputs');
  page.desc.inputs.forEach((info, i) => {
    const row = document.createElement('div');
    row.className = 'input-row';
    const label = document.createElement('label');
    label.textContent = info.caption;
    const slider = document.createElement('input');
    slider.type = 'range';
    slider.min = info.min;
    slider.max = info.max;
    slider.setAttribute('aria-label', info.caption);
    label.htmlFor = slider.id = 'input-' + i;
    const count = document.createElement('span');
    count.className = 'count';
    const reading = document.createElement('span');
    reading.className = 'reading';
    slider.addEventListener('input', () => {
      api.setInput(i, Number(slider.value));
      showInput(i);
    });
    row.append(label, slider, count, reading);
    box.appendChild(row);
    page.inputs.push({ caption: info.caption, slider, count, reading });
  });
  const switches = document.getElementById('switches');
  page.desc.switches.forEach((caption, i) => {
    const label = document.createElement('label');
    label.className = 'switch';
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.addEventListener('change', () => api.setSwitch(i, box.checked ? 1 : 0));
    label.append(box, caption);
    switches.appendChild(label);
    page.switches.push(box);
  });
  showControls();
}

function showInput(i) {
  const input = page.inputs[i];
  const position = api.inputPosition(i);
  input.slider.value = position;
  input.count.textContent = position;
  input.reading.textContent = api.reading(i);
}

function showControls() {
  page.inputs.forEach((_, i) => showInput(i));
  page.switches.forEach((box, i) => { box.checked = api.switchOn(i) !== 0; });
}

function buildPresets() {
  const FS = Module.FS;
  const dir = REPO + '/data/presets';
  const box = document.getElementById('presets');
  for (const preset of page.desc.presets) {
    const text = FS.readFile(dir + '/' + preset.file, { encoding: 'utf8' });
    const title = preset.title;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = title;
    button.title = (text.split('\n')[0] || '').replace(/^#\s*/, '');
    button.addEventListener('click', () => applyLines(text, dir));
    box.appendChild(button);
  }
}

// Input and check lines through the runner's command table, on the running instrument.
function applyLines(text, dir) {
  const error = api.runLines(text, dir, 0);
  showControls();
  if (error) showError(error);
  return error;
}

// ---- GPS ---------------------------------------------------------------------------------------

function buildGps() {
  const FS = Module.FS;
  const dir = REPO + '/tests/data/nmea';
  const select = document.getElementById('nmea-log');
  for (const name of FS.readdir(dir).filter((n) => n.endsWith('.log')).sort()) {
    const option = document.createElement('option');
    option.value = dir + '/' + name;
    option.textContent = name;
    select.appendChild(option);
  }
  document.getElementById('nmea-play').addEventListener('click', () => {
    if (!api.playNmea(select.value, performance.now())) document.getElementById('nmea-status').textContent = 'No sentences in the log';
  });
  document.getElementById('nmea-stop').addEventListener('click', () => api.stopNmea());
}

function showNmea() {
  const [epoch, epochs, accepted] = api.nmeaStatus().split(' ').map(Number);
  document.getElementById('nmea-status').textContent = epochs
    ? 'Second ' + epoch + ' of ' + epochs + (epoch === epochs ? ' (ended)' : '') + ', ' + accepted + ' sentences accepted'
    : accepted ? accepted + ' sentences accepted' : 'Not playing';
}

// ---- The host loop -----------------------------------------------------------------------------

function present() {
  const address = api.present();
  if (!address) return;
  const bytes = new Uint8ClampedArray(Module.HEAPU8.buffer, address, 480 * 272 * 4);
  page.image.data.set(bytes);
  page.context.putImageData(page.image, 0, 0);
  if (page.firstFrameMs === null) page.firstFrameMs = performance.now();
}

function showLamps() {
  const lit = api.lamps();
  page.lamps.forEach((lamp, i) => { lamp.style.background = lit & (1 << i) ? lamp.dataset.colour : ''; });
}

let lastSlow = 0;
function frame(now) {
  if (page.clearing) return;
  if (!document.hidden) {
    if (api.advance(now, utcNow())) page.storageDirty = true;
    present();
    showLamps();
    if (now - lastSlow > 500) {
      lastSlow = now;
      page.inputs.forEach((input, i) => { input.reading.textContent = api.reading(i); });
      showNmea();
      if (!page.error) setStatus(api.lamps() & 1 ? 'On: Off stops the instrument.' : 'Off: On powers the instrument.');
      // The card's files (settings, recordings) are written out every few seconds while on.
      if (page.storageDirty || (api.lamps() & 1 && now - page.lastStorageSync > 5000)) {
        page.storageDirty = false;
        syncStorage();
      }
    }
  }
  requestAnimationFrame(frame);
}

function stamp() {
  const d = new Date(), two = (n) => String(n).padStart(2, '0');
  return d.getFullYear() + two(d.getMonth() + 1) + two(d.getDate()) + '-' + two(d.getHours()) + two(d.getMinutes()) + two(d.getSeconds());
}

function start() {
  bindApi();
  page.desc = JSON.parse(api.describe());
  const message = api.start(MEMORY, stamp(), CARD);
  if (message) showStorage(message);
  document.getElementById('version').textContent = 'version ' + page.desc.version;
  const canvas = document.getElementById('display');
  page.context = canvas.getContext('2d');
  page.image = page.context.createImageData(480, 272);
  buildPanel();
  buildInputs();
  buildPresets();
  buildGps();
  // A fresh start shows an engine at idle, as the window's.
  applyLines(Module.FS.readFile(REPO + '/data/presets/' + page.desc.presets[1].file, { encoding: 'utf8' }), REPO + '/data/presets');
  document.addEventListener('keydown', keyboard);
  document.getElementById('screenshot').addEventListener('click', screenshot);
  document.getElementById('clear-storage').addEventListener('click', clearStorage);
  document.addEventListener('visibilitychange', () => {
    if (document.hidden && !page.clearing) { api.saveMemory(); syncStorage(); }
  });
  window.addEventListener('pagehide', () => { if (!page.clearing) { api.saveMemory(); syncStorage(); } });
  setStatus('Ready: On powers the instrument.');
  present();
  requestAnimationFrame(frame);
  page.readyResolve();
}

function screenshot() {
  document.getElementById('display').toBlob((blob) => {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = 'corvex-ems-' + stamp() + '.png';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }, 'image/png');
}

// ---- The page's script interface ---------------------------------------------------------------

window.corvex = {
  ready,
  // Runs the runner's command lines as corvex-ems-run does (fresh: from factory settings, the
  // instrument off), relative paths from dir; the screenshots come back as their pixels' hashes.
  runScript(text, dir = REPO + '/tests/web', fresh = true) {
    const error = api.runLines(text, dir, fresh ? 1 : 0);
    if (fresh) showStorage('A script ran from a fresh instrument: the stored memory is kept as it was until the page is loaded again.');
    showControls();
    present();
    const shots = api.screenshots().split('\n').filter(Boolean).map((line) => {
      const [file, hash] = line.split(' ');
      return { file: file.replace(/^\/shots\//, ''), hash };
    });
    return { error, output: api.scriptOutput(), shots };
  },
  // print NAME as the runner prints it: the value after "=".
  value(name) {
    const error = api.runLines('print ' + name, REPO, 0);
    if (error) throw new Error(error);
    return api.scriptOutput().trim().split('=').slice(1).join('=');
  },
  screenHash: () => api.screenHash(),
  power,
  key: pressKey,
  passesRun: () => api.passesRun(),
  // When the first frame was shown, in ms from the start of the page's navigation.
  firstFrameMs: () => page.firstFrameMs,
  sync: syncStorage,
  lamps: () => api.lamps(),
};
