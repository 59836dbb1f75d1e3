// The engine in the audio thread: the page's WebAssembly module instantiated from the bytes
// the page hands over, one effect instance over the node's input.
//
// Playing (options.totalFrames absent): each render quantum straight through a live engine;
// new settings arrive as messages. Rendering (options.totalFrames given): the input is a
// stream of that many frames, fed as it comes and finished after its last frame, so that the
// output is the stream runner's, tail included; the whole output goes to the page in one
// message.
import { CrumletWasm, LiveEngine, StreamRender } from './crumlet-wasm.js';

class CrumletProcessor extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const o = options.processorOptions;
    this.channels = o.channels;
    this.wasm = new CrumletWasm(o.wasm);
    this.totalFrames = o.totalFrames;
    this.rendering = o.totalFrames !== undefined;
    this.quantum = 128;
    this.engine = this.rendering
      ? new StreamRender(this.wasm, o.values, sampleRate, o.channels, this.quantum)
      : new LiveEngine(this.wasm, o.values, sampleRate, o.channels, this.quantum);
    this.bypass = !!o.bypass;
    this.input = new Float32Array(this.quantum * o.channels);
    this.output = new Float32Array(this.quantum * o.channels);
    this.framesIn = 0;
    this.chunks = [];
    this.port.onmessage = (e) => {
      if (e.data.values && !this.rendering) this.engine.update(e.data.values);
      if (e.data.bypass !== undefined) this.bypass = e.data.bypass;
    };
  }

  interleave(input, frames) {
    const c = this.channels;
    for (let ch = 0; ch < c; ++ch) {
      const src = input[ch];
      for (let f = 0; f < frames; ++f) this.input[f * c + ch] = src ? src[f] : 0;
    }
  }

  process(inputs, outputs) {
    const input = inputs[0];
    const output = outputs[0];
    const frames = output[0].length;
    if (!this.rendering) {
      if (this.bypass) {
        for (let ch = 0; ch < output.length; ++ch) if (input[ch]) output[ch].set(input[ch]);
        return true;
      }
      this.interleave(input, frames);
      this.engine.process(this.input, this.output, frames);
      this.deinterleave(this.output, output, frames);
      return true;
    }
    // Rendering: feed what is left of the stream, finish after its last frame, then hand the
    // whole output to the page (the node itself stays silent).
    if (this.framesIn < this.totalFrames) {
      const n = Math.min(frames, this.totalFrames - this.framesIn);
      this.interleave(input, n);
      const keep = (chunk) => this.chunks.push(chunk);
      this.engine.feed(this.input, n, keep);
      this.framesIn += n;
      if (this.framesIn === this.totalFrames) {
        this.engine.finish(keep);
        this.handOver();
      }
    }
    return true;
  }

  handOver() {
    const c = this.channels;
    const frames = this.chunks.reduce((sum, chunk) => sum + chunk.length, 0) / c;
    const planar = Array.from({ length: c }, () => new Float32Array(frames));
    let at = 0;
    for (const chunk of this.chunks) {
      const n = chunk.length / c;
      for (let ch = 0; ch < c; ++ch) {
        const dst = planar[ch];
        for (let f = 0; f < n; ++f) dst[at + f] = chunk[f * c + ch];
      }
      at += n;
    }
    this.chunks = [];
    this.engine.destroy();
    this.port.postMessage({ rendered: planar }, planar.map((p) => p.buffer));
  }

  deinterleave(interleaved, output, frames) {
    const c = this.channels;
    for (let ch = 0; ch < output.length && ch < c; ++ch) {
      const dst = output[ch];
      for (let f = 0; f < frames; ++f) dst[f] = interleaved[f * c + ch];
    }
  }
}

registerProcessor('crumlet', CrumletProcessor);
