// The page's WebAssembly module (crumlet-web.wasm) over its C exports: the parameter block of
// a set of values and back, and the engine made from a block. Used by the page and by its
// audio worklet alike; both instantiate the module synchronously from its bytes.

// A standalone module asks its host only to hear of its memory growing (the views over it are
// made afresh at each use) and to exit; anything else it asks for is a build fault, said when
// it is called.
function importsFor() {
  const fail = (name) => () => { throw new Error(`crumlet-web.wasm called ${name}`); };
  const known = { emscripten_notify_memory_growth: () => {} };
  return new Proxy({}, {
    get: (_, moduleName) => new Proxy({}, {
      get: (__, name) => known[name] || fail(`${String(moduleName)}.${String(name)}`),
    }),
  });
}

export class CrumletWasm {
  constructor(bytes) {
    const instance = new WebAssembly.Instance(new WebAssembly.Module(bytes), importsFor());
    this.x = instance.exports;
    if (this.x._initialize) this.x._initialize();
    this.count = this.x.crumlet_web_property_count();
    this.blockBytes = this.x.crumlet_web_block_bytes();
    this.scratch = this.x.malloc(4 * this.count + this.blockBytes + 64);
  }

  heap() {
    return this.x.memory.buffer;
  }

  // The properties' names in host order, as the parameter table holds them.
  propertyNames() {
    const names = [];
    for (let i = 0; i < this.count; ++i) {
      const n = this.x.crumlet_web_property_name(i, this.scratch, 64);
      names.push(new TextDecoder().decode(new Uint8Array(this.heap(), this.scratch, n)));
    }
    return names;
  }

  // The parameter block (Uint8Array) of values in host order, each in its property's units.
  blockOf(values) {
    const at = this.scratch;
    new Float32Array(this.heap(), at, this.count).set(values);
    this.x.crumlet_web_block_of(at, at + 4 * this.count);
    return new Uint8Array(this.heap(), at + 4 * this.count, this.blockBytes).slice();
  }

  // The values (Float32Array, host order) a parameter block carries.
  valuesOf(block) {
    const at = this.scratch + 4 * this.count;
    new Uint8Array(this.heap(), at, this.blockBytes).set(block);
    this.x.crumlet_web_values_of(at, this.scratch);
    return new Float32Array(this.heap(), this.scratch, this.count).slice();
  }

  // A WAV file's sound as the tool reads it, { sampleRate, channels: [Float32Array] }; null for
  // a file the reader does not take.
  readWav(bytes) {
    const x = this.x;
    const size = bytes.byteLength;
    const at = x.malloc(size);
    new Uint8Array(this.heap(), at, size).set(new Uint8Array(bytes));
    const wav = x.crumlet_web_wav_read(at, size);
    x.free(at);
    if (!wav) return null;
    const count = x.crumlet_web_wav_channels(wav);
    const frames = x.crumlet_web_wav_frames(wav);
    const sampleRate = x.crumlet_web_wav_rate(wav);
    const samples = new Float32Array(this.heap(), x.crumlet_web_wav_samples(wav), frames * count);
    const channels = Array.from({ length: count }, () => new Float32Array(frames));
    for (let f = 0; f < frames; ++f)
      for (let c = 0; c < count; ++c) channels[c][f] = samples[f * count + c];
    x.crumlet_web_wav_destroy(wav);
    return { sampleRate, channels };
  }
}

// The effect live, buffer by buffer and without an end, as a player runs it: the engine
// side's C interface (web/CrumletEngine.h), interleaved buffers of at most `maxFrames` frames
// processed in place.
export class LiveEngine {
  constructor(wasm, values, sampleRate, channels, maxFrames) {
    this.w = wasm;
    this.channels = channels;
    const x = wasm.x;
    this.samples = x.malloc(4 * channels * maxFrames);
    this.blockAt = x.malloc(wasm.blockBytes);
    this.writeBlock(values);
    this.h = x.crumlet_engine_create(this.blockAt, wasm.blockBytes, sampleRate, channels, maxFrames);
    if (!this.h) throw new Error('the engine could not be made for this sound');
  }

  writeBlock(values) {
    new Uint8Array(this.w.heap(), this.blockAt, this.w.blockBytes).set(this.w.blockOf(values));
  }

  // New settings, from the next buffer on.
  update(values) {
    this.writeBlock(values);
    this.w.x.crumlet_engine_set_block(this.h, this.blockAt, this.w.blockBytes);
  }

  // `frames` interleaved frames of `input` through the effect, into `output`.
  process(input, output, frames) {
    const n = frames * this.channels;
    const heap = new Float32Array(this.w.heap(), this.samples, n);
    heap.set(input.subarray(0, n));
    this.w.x.crumlet_engine_process_interleaved(this.h, this.samples, frames);
    output.set(heap);
  }

  destroy() {
    this.w.x.crumlet_engine_destroy(this.h);
    this.w.x.free(this.samples);
    this.w.x.free(this.blockAt);
  }
}

// A whole stream through the effect, as the tool renders a file (web/wasm/WebStream.cpp):
// fed in pieces of at most `blockFrames` frames, finished, its output (interleaved) handed to
// `sink` as it is ready, tail included.
export class StreamRender {
  constructor(wasm, values, sampleRate, channels, blockFrames) {
    this.w = wasm;
    this.channels = channels;
    this.blockFrames = blockFrames;
    const x = wasm.x;
    this.io = x.malloc(4 * channels * blockFrames);
    const blockAt = x.malloc(wasm.blockBytes);
    new Uint8Array(wasm.heap(), blockAt, wasm.blockBytes).set(wasm.blockOf(values));
    this.h = x.crumlet_web_stream_create(blockAt, sampleRate, channels, blockFrames);
    x.free(blockAt);
    if (!this.h) throw new Error('the engine could not be made for this sound');
  }

  feed(input, frames, sink) {
    new Float32Array(this.w.heap(), this.io, frames * this.channels).set(input.subarray(0, frames * this.channels));
    if (this.w.x.crumlet_web_stream_feed(this.h, this.io, frames) < 0) throw new Error('the effect stopped with an error');
    this.drain(sink);
  }

  finish(sink) {
    if (this.w.x.crumlet_web_stream_finish(this.h) < 0) throw new Error('the effect stopped with an error');
    this.drain(sink);
  }

  drain(sink) {
    for (;;) {
      const frames = this.w.x.crumlet_web_stream_take(this.h, this.io, this.blockFrames);
      if (frames === 0) return;
      sink(new Float32Array(this.w.heap(), this.io, frames * this.channels).slice());
    }
  }

  destroy() {
    this.w.x.crumlet_web_stream_destroy(this.h);
    this.w.x.free(this.io);
  }
}
