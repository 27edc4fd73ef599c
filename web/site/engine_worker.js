// The synthesis engine (WebAssembly) in a worker: renders the live voice in
// blocks as the playback worklet asks for them, a second at a time for the
// fallback player, the built-in score for comparison, and speed measurements.
/* global importScripts, createVocalTract */
importScripts('vocal_tract.js');

const BLOCK = 128;           // output samples per rendered block
let engine = null;
let voice = null;
let player = null;           // MessagePort to the playback worklet
const recent = new Float32Array(2048);  // last samples, for the displays
let recentFill = 0;

function remember(block) {
  const n = block.length;
  recent.copyWithin(0, n);
  recent.set(block, recent.length - n);
  recentFill = Math.min(recent.length, recentFill + n);
}

function renderBlocks(count) {
  const out = new Float32Array(count * BLOCK);
  for (let b = 0; b < count; ++b) out.set(voice.render(BLOCK), b * BLOCK);
  return out;
}

function makeVoice(spec, controls) {
  if (voice) voice.delete();
  voice = new engine.Voice(spec, controls);
  const err = voice.error();
  if (err) {
    voice.delete();
    voice = null;
    return err;
  }
  return '';
}

/// The model's formants below 5 kHz for the voice's current targets.
function formants() {
  return voice ? voice.formants(5000) : [];
}

function onPlayerMessage(e) {
  // The worklet asks for blocks whenever its queue runs low.
  if (!voice || e.data.type !== 'need') return;
  const samples = renderBlocks(e.data.blocks);
  remember(samples);
  player.postMessage({type: 'samples', samples}, [samples.buffer]);
}

const handlers = {
  // A new voice (layout and first controls); its samples go to the worklet port.
  start(m) {
    const err = makeVoice(m.spec, m.controls);
    if (m.port) {
      player = m.port;
      player.onmessage = onPlayerMessage;
    }
    return {error: err, formants: formants()};
  },
  set(m) {
    if (!voice) return {error: 'no voice'};
    return {error: voice.set(m.controls), formants: formants()};
  },
  stop() {
    if (voice) voice.delete();
    voice = null;
    return {};
  },
  // Fallback player: one second of the live voice at once.
  renderSecond(m) {
    if (!voice) return {error: 'no voice'};
    const samples = renderBlocks(Math.ceil(m.smpfrq / BLOCK));
    remember(samples.subarray(samples.length - recent.length));
    return {samples};
  },
  recent() { return {samples: recent.slice(recent.length - recentFill)}; },
  reference() { return {samples: engine.renderDefaultUtterance()}; },
  // Rendered seconds per wall-clock second of a voice with nvt sections.
  bench(m) {
    const v = new engine.Voice(m.spec, m.controls);
    const n = Math.ceil(m.seconds * m.spec.smpfrq / BLOCK);
    const t0 = performance.now();
    for (let b = 0; b < n; ++b) v.render(BLOCK);
    const wall = (performance.now() - t0) / 1000;
    v.delete();
    return {ratio: (n * BLOCK / m.spec.smpfrq) / wall, wall};
  },
};

const ready = createVocalTract().then((m) => { engine = m; });

self.onmessage = async (e) => {
  await ready;
  const m = e.data;
  let reply;
  try {
    reply = handlers[m.type](m);
  } catch (err) {
    reply = {error: String(err)};
  }
  reply.id = m.id;
  const transfer = reply.samples ? [reply.samples.buffer] : [];
  self.postMessage(reply, transfer);
};
