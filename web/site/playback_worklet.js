// Plays the engine's samples: a queue filled by the engine worker through a
// MessagePort, asked to refill whenever fewer than `low` samples are queued.
class VocalTractPlayer extends AudioWorkletProcessor {
  constructor(options) {
    super();
    this.low = options.processorOptions.lowWater;    // samples kept queued
    this.ask = options.processorOptions.askBlocks;   // blocks asked per refill
    this.queue = [];
    this.head = 0;        // read position in queue[0]
    this.queued = 0;      // samples queued, all chunks
    this.pending = false;
    this.played = 0;
    this.peak = 0;
    this.underruns = 0;
    this.engine = null;
    this.stopped = false;
    this.port.onmessage = (e) => {
      if (e.data.type === 'stop') this.stopped = true;
      if (e.data.type === 'engine') {
        this.engine = e.data.port;
        this.engine.onmessage = (m) => this.receive(m.data);
        this.refill();
      }
    };
  }

  receive(m) {
    if (m.type !== 'samples') return;
    this.queue.push(m.samples);
    this.queued += m.samples.length;
    this.pending = false;
    this.refill();
  }

  refill() {
    if (this.engine && !this.pending && this.queued < this.low) {
      this.pending = true;
      this.engine.postMessage({type: 'need', blocks: this.ask});
    }
  }

  process(inputs, outputs) {
    if (this.stopped) return false;
    const out = outputs[0][0];
    for (let i = 0; i < out.length; ++i) {
      if (this.queue.length === 0) {
        out[i] = 0;
        this.underruns++;
        continue;
      }
      const chunk = this.queue[0];
      const v = chunk[this.head++];
      if (this.head >= chunk.length) {
        this.queue.shift();
        this.head = 0;
      }
      this.queued--;
      out[i] = v;
      this.played++;
      if (Math.abs(v) > this.peak) this.peak = Math.abs(v);
    }
    for (let c = 1; c < outputs[0].length; ++c) outputs[0][c].set(out);
    this.refill();
    if (currentFrame % 2048 < out.length) {
      this.port.postMessage({type: 'stats', played: this.played, peak: this.peak,
                             underruns: this.underruns});
    }
    return true;
  }
}

registerProcessor('vocal-tract-player', VocalTractPlayer);
