// The page: area-function profile, source sliders, live spectrum and
// waveform; the engine runs in a worker, the sound through an AudioWorklet
// (or, without one, one rendered second after another).
'use strict';

const SMPFRQ = 10000;       // engine output rate, Hz (the AudioContext runs at it)
const AREA_MAX = 8;         // top of the profile's area scale, cm²
const FRICATION_AREA = 0.08;  // area of the narrowed section, cm²
const $ = (id) => document.getElementById(id);

// /a/ and /s/ of the built-in utterance (17 sections of 1 cm), always present.
const BUILT_IN = [
  {id: 'builtin_a', label: 'a (built-in)', lengths: Array(17).fill(1),
   areas: [1.0, 0.8, 0.6, 0.5, 0.5, 0.6, 0.8, 1.2, 2.0, 3.0, 4.0, 5.0, 5.5, 6.0, 6.0, 5.0, 4.0]},
  {id: 'builtin_s', label: 's (built-in)', lengths: Array(17).fill(1),
   areas: [1.0, 1.2, 1.8, 2.5, 3.0, 3.5, 3.5, 3.2, 2.8, 2.2, 1.6, 1.0, 0.6, 0.3, 0.08, 0.5, 1.0]},
];

const vt = window.vt = {
  ready: false, playing: false, mode: '', errors: [],
  worklet: {played: 0, peak: 0, underruns: 0},
  spectrum: null, presets: BUILT_IN.slice(), nasal: null,
  nvt: 17, areas: [], lengths: [], frication: false, formants: [],
};

window.addEventListener('error', (e) => vt.errors.push(String(e.message)));
window.addEventListener('unhandledrejection', (e) => vt.errors.push(String(e.reason)));

// ---- engine worker, request/reply by id ----
const worker = new Worker('engine_worker.js');
let nextId = 1;
const waiting = new Map();
worker.onmessage = (e) => {
  const w = waiting.get(e.data.id);
  waiting.delete(e.data.id);
  if (w) w(e.data);
};
function call(type, payload = {}, transfer = []) {
  return new Promise((resolve) => {
    const id = nextId++;
    waiting.set(id, resolve);
    worker.postMessage({type, id, ...payload}, transfer);
  });
}

// ---- tract geometry ----
/// n sections of equal length over the same tract length; each area the
/// length-weighted mean of the source sections it covers.
function resample(areas, lengths, n) {
  const total = lengths.reduce((a, b) => a + b, 0);
  const dx = total / n;
  const out = [];
  let i = 0, start = 0;
  for (let k = 0; k < n; ++k) {
    const lo = k * dx, hi = (k + 1) * dx;
    let acc = 0;
    while (i < areas.length) {
      const end = start + lengths[i];
      acc += areas[i] * Math.max(0, Math.min(end, hi) - Math.max(start, lo));
      if (end > hi) break;
      start = end;
      ++i;
    }
    out.push(acc / dx);
  }
  return {areas: out, lengths: Array(n).fill(dx)};
}

function setPreset(id) {
  const p = vt.presets.find((q) => q.id === id) || vt.presets[0];
  const r = resample(p.areas, p.lengths, vt.nvt);
  vt.areas = r.areas;
  vt.lengths = r.lengths;
  vt.preset = p.id;
  drawProfile();
  sendControls();
}

function controls() {
  const areas = vt.areas.slice();
  const fs = Math.min(vt.nvt, Math.max(1, +$('fricSection').value)) - 1;
  if (vt.frication) areas[fs] = Math.min(areas[fs], FRICATION_AREA);
  return {
    Ag0: +$('Ag0').value, AgP: +$('AgP').value, F0: +$('F0').value, Psub: +$('Psub').value,
    velum: $('nasal').checked ? +$('velum').value : 0, noiseOffset: 1,
    areas, lengths: vt.lengths,
  };
}

function spec() {
  const nasal = $('nasal').checked && vt.nasal !== null;
  const s = {nvt: vt.nvt, smpfrq: SMPFRQ, nasal};
  if (nasal) {
    s.nbp = Math.max(1, Math.min(vt.nvt - 1, Math.round(vt.nvt * 9 / 17)));
    s.nasalAreas = vt.nasal.areas;
    s.nasalLengths = vt.nasal.lengths;
    s.couplingLength = vt.nasal.couplingLength;
  }
  return s;
}

let sendQueued = false;
function sendControls() {
  if (!vt.playing || sendQueued) return;
  sendQueued = true;
  requestAnimationFrame(async () => {
    sendQueued = false;
    const r = await call('set', {controls: controls()});
    if (r.error) setStatus(r.error);
    showFormants(r.formants);
  });
}

// ---- audio ----
let ctx = null, node = null, gain = null, fallbackTimer = null;

async function startAudio() {
  ctx = ctx || new AudioContext({sampleRate: SMPFRQ, latencyHint: 'interactive'});
  gain = gain || new GainNode(ctx, {gain: +$('volume').value});
  gain.connect(ctx.destination);
  if (ctx.audioWorklet && !vt.forceFallback) {
    await ctx.audioWorklet.addModule('playback_worklet.js');
    node = new AudioWorkletNode(ctx, 'vocal-tract-player', {
      numberOfInputs: 0, outputChannelCount: [1],
      processorOptions: {lowWater: 1024, askBlocks: 4},
    });
    vt.worklet = {played: 0, peak: 0, underruns: 0};
    vt.generation = (vt.generation || 0) + 1;
    node.port.onmessage = (e) => { if (e.data.type === 'stats') vt.worklet = e.data; };
    const ch = new MessageChannel();
    const r = await call('start', {spec: spec(), controls: controls(), port: ch.port2}, [ch.port2]);
    if (r.error) throw new Error(r.error);
    showFormants(r.formants);
    node.port.postMessage({type: 'engine', port: ch.port1}, [ch.port1]);
    node.connect(gain);
    vt.mode = 'worklet';
  } else {
    const r = await call('start', {spec: spec(), controls: controls()});
    if (r.error) throw new Error(r.error);
    showFormants(r.formants);
    vt.mode = 'fallback';
    vt.generation = (vt.generation || 0) + 1;
    playSeconds(ctx.currentTime + 0.05);
  }
  await ctx.resume();
}

/// Fallback: render a second, schedule it, render the next before it ends.
async function playSeconds(when) {
  if (!vt.playing) return;
  const r = await call('renderSecond', {smpfrq: SMPFRQ});
  if (!vt.playing || r.error) return;
  const buf = new AudioBuffer({length: r.samples.length, sampleRate: SMPFRQ, numberOfChannels: 1});
  buf.copyToChannel(r.samples, 0);
  const src = new AudioBufferSourceNode(ctx, {buffer: buf});
  src.connect(gain);
  const t = Math.max(when, ctx.currentTime + 0.02);
  src.start(t);
  vt.worklet.played += r.samples.length;
  const next = t + buf.duration;
  fallbackTimer = setTimeout(() => playSeconds(next), Math.max(0, (next - ctx.currentTime - 0.4) * 1000));
}

async function stopAudio() {
  clearTimeout(fallbackTimer);
  if (node) {
    node.port.onmessage = null;
    node.port.postMessage({type: 'stop'});  // lets the processor end
    node.disconnect();
    node = null;
  }
  if (gain) gain.disconnect();
  await call('stop');
}

async function restartIfPlaying() {
  if (!vt.playing) return;
  await stopAudio();
  await startAudio();
}

$('play').onclick = async () => {
  vt.playing = !vt.playing;
  $('play').textContent = vt.playing ? 'Stop' : 'Play';
  try {
    if (vt.playing) await startAudio(); else await stopAudio();
    setStatus(vt.playing ? `playing (${vt.mode})` : 'stopped');
  } catch (err) {
    vt.playing = false;
    $('play').textContent = 'Play';
    setStatus(String(err));
  }
};

// ---- profile: draw and drag ----
const profile = $('profile');
function sectionAt(x) {
  return Math.max(0, Math.min(vt.nvt - 1, Math.floor(x / profile.width * vt.nvt)));
}
function drawProfile() {
  const g = profile.getContext('2d');
  const W = profile.width, H = profile.height, mid = H / 2;
  g.clearRect(0, 0, W, H);
  g.strokeStyle = '#ddd';
  g.beginPath(); g.moveTo(0, mid); g.lineTo(W, mid); g.stroke();
  const w = W / vt.nvt;
  const fs = Math.min(vt.nvt, Math.max(1, +$('fricSection').value)) - 1;
  const c = controls();
  for (let k = 0; k < vt.nvt; ++k) {
    // Half-height proportional to the radius sqrt(A/pi), full scale at AREA_MAX.
    const h = Math.sqrt(Math.min(c.areas[k], AREA_MAX) / AREA_MAX) * (mid - 14);
    g.fillStyle = vt.frication && k === fs ? '#d55' : '#6a9fd8';
    g.fillRect(k * w + 1, mid - h, w - 2, 2 * h);
    if (w > 30) {
      g.fillStyle = '#333';
      g.font = '11px sans-serif';
      g.fillText(c.areas[k].toFixed(2), k * w + 3, 12);
    }
  }
  g.fillStyle = '#666';
  g.fillText('glottis', 4, H - 4);
  g.fillText('lips', W - 28, H - 4);
}
let dragging = false;
function dragTo(e) {
  const r = profile.getBoundingClientRect();
  const x = (e.clientX - r.left) * profile.width / r.width;
  const y = (e.clientY - r.top) * profile.height / r.height;
  const mid = profile.height / 2;
  const h = Math.min(1, Math.abs(y - mid) / (mid - 14));
  vt.areas[sectionAt(x)] = Math.max(0.01, +(h * h * AREA_MAX).toFixed(3));
  drawProfile();
  sendControls();
}
profile.addEventListener('pointerdown', (e) => { dragging = true; profile.setPointerCapture(e.pointerId); dragTo(e); });
profile.addEventListener('pointermove', (e) => { if (dragging) dragTo(e); });
profile.addEventListener('pointerup', () => { dragging = false; });

// ---- spectrum and waveform ----
/// Magnitude spectrum in dB of a Hann-windowed frame (length a power of two).
function spectrumDb(x) {
  const n = x.length, re = new Float64Array(n), im = new Float64Array(n);
  for (let i = 0; i < n; ++i) re[i] = x[i] * (0.5 - 0.5 * Math.cos(2 * Math.PI * i / n));
  for (let i = 1, j = 0; i < n; ++i) {  // bit reversal
    let b = n >> 1;
    for (; j & b; b >>= 1) j ^= b;
    j ^= b;
    if (i < j) { [re[i], re[j]] = [re[j], re[i]]; [im[i], im[j]] = [im[j], im[i]]; }
  }
  for (let len = 2; len <= n; len <<= 1) {
    const a = -2 * Math.PI / len;
    for (let i = 0; i < n; i += len) {
      for (let k = 0; k < len / 2; ++k) {
        const wr = Math.cos(a * k), wi = Math.sin(a * k);
        const p = i + k, q = p + len / 2;
        const tr = re[q] * wr - im[q] * wi, ti = re[q] * wi + im[q] * wr;
        re[q] = re[p] - tr; im[q] = im[p] - ti; re[p] += tr; im[p] += ti;
      }
    }
  }
  const db = new Float32Array(n / 2);
  for (let k = 0; k < n / 2; ++k) db[k] = 20 * Math.log10(Math.hypot(re[k], im[k]) / n + 1e-12);
  return db;
}

function drawSpectrum(db) {
  const c = $('spectrum'), g = c.getContext('2d'), W = c.width, H = c.height;
  g.clearRect(0, 0, W, H);
  let top = -100;
  for (const v of db) top = Math.max(top, v);
  const hi = Math.ceil(top / 10) * 10 + 5, lo = hi - 80;
  g.strokeStyle = '#eee'; g.fillStyle = '#888'; g.font = '11px sans-serif';
  for (let f = 1000; f < SMPFRQ / 2; f += 1000) {
    const x = f / (SMPFRQ / 2) * W;
    g.beginPath(); g.moveTo(x, 0); g.lineTo(x, H); g.stroke();
    g.fillText(`${f / 1000} kHz`, x + 2, H - 4);
  }
  drawFormants(g, W, H);
  g.strokeStyle = '#c63'; g.beginPath();
  for (let k = 0; k < db.length; ++k) {
    const y = H - (Math.max(lo, Math.min(hi, db[k])) - lo) / (hi - lo) * H;
    if (k) g.lineTo(k / db.length * W, y); else g.moveTo(0, y);
  }
  g.stroke();
}

/// The model's formants (small-signal analysis of the tract): listed and marked.
function showFormants(list) {
  vt.formants = list || [];
  $('formants').textContent = vt.formants.length
    ? 'model formants ' + vt.formants.slice(0, 5).map((f, i) => `F${i + 1} ${Math.round(f.f)}`).join(', ') + ' Hz'
    : '';
}

function drawFormants(g, W, H) {
  g.save();
  g.setLineDash([4, 4]);
  g.strokeStyle = '#393';
  g.fillStyle = '#393';
  vt.formants.slice(0, 5).forEach((f, i) => {
    const x = f.f / (SMPFRQ / 2) * W;
    g.beginPath(); g.moveTo(x, 14); g.lineTo(x, H); g.stroke();
    g.fillText(`F${i + 1}`, x + 2, 11);
  });
  g.restore();
}

function drawWaveform(x) {
  const c = $('waveform'), g = c.getContext('2d'), W = c.width, H = c.height;
  g.clearRect(0, 0, W, H);
  let peak = 1e-9;
  for (const v of x) peak = Math.max(peak, Math.abs(v));
  g.strokeStyle = '#357'; g.beginPath();
  for (let i = 0; i < x.length; ++i) {
    const y = H / 2 - x[i] / peak * (H / 2 - 4);
    if (i) g.lineTo(i / x.length * W, y); else g.moveTo(0, y);
  }
  g.stroke();
}

async function refreshDisplays() {
  if (vt.playing) {
    const r = await call('recent');
    if (r.samples && r.samples.length >= 1024) {
      vt.spectrum = spectrumDb(r.samples.subarray(r.samples.length - 1024));
      drawSpectrum(vt.spectrum);
      drawWaveform(r.samples.subarray(r.samples.length - 600));
    }
  }
  setTimeout(refreshDisplays, 60);
}

// ---- speed and reference samples (also used by the browser test) ----
vt.reference = async () => (await call('reference')).samples;
vt.bench = async (nvt, seconds) => {
  const r = resample(vt.presets[0].areas, vt.presets[0].lengths, nvt);
  const c = {...controls(), areas: r.areas, lengths: r.lengths};
  return call('bench', {spec: {nvt, smpfrq: SMPFRQ, nasal: false}, controls: c, seconds});
};
vt.setPreset = setPreset;

function setStatus(s) { $('status').textContent = s; }

// ---- controls ----
for (const input of document.querySelectorAll('input[type=range]')) {
  const out = document.querySelector(`output[for=${input.id}]`);
  const show = () => { out.textContent = input.value; };
  show();
  input.addEventListener('input', () => {
    show();
    if (input.id === 'volume') { if (gain) gain.gain.value = +input.value; return; }
    sendControls();
  });
}
$('preset').onchange = () => setPreset($('preset').value);
$('sections').onchange = async () => {
  vt.nvt = +$('sections').value;
  $('fricSection').max = vt.nvt;
  setPreset(vt.preset);
  await restartIfPlaying();
};
$('nasal').onchange = async () => {
  $('velum').disabled = !$('nasal').checked;
  await restartIfPlaying();
};
$('frication').onclick = () => {
  vt.frication = !vt.frication;
  $('frication').classList.toggle('on', vt.frication);
  drawProfile();
  sendControls();
};
$('fricSection').oninput = () => { drawProfile(); sendControls(); };

async function loadLibrary() {
  try {
    const lib = await (await fetch('tracts.json')).json();
    vt.presets = lib.vowels.concat(BUILT_IN);
    vt.nasal = lib.nasal;
    $('sources').textContent = 'Vowel area functions: ' +
        [...new Set(lib.vowels.map((v) => (v.source.match(/^[^;]*?\(\d{4}\)[^,;]*/) || [v.id])[0]))]
            .join('; ') +
        '. Nasal cavity: ' + lib.nasal.source;
  } catch (err) {
    setStatus('no tract library (tracts.json); built-in shapes only');
  }
  for (const p of vt.presets) $('preset').add(new Option(p.label, p.id));
  const a = vt.presets.find((p) => /_a$/.test(p.id)) || vt.presets[0];
  $('preset').value = a.id;
  setPreset(a.id);
}

loadLibrary().then(() => call('reference')).then((r) => {
  vt.ready = !!(r.samples && r.samples.length);
  setStatus(vt.ready ? 'ready' : 'engine failed');
  refreshDisplays();
});
