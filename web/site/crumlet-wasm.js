// The page's WebAssembly module (crumlet-web.wasm) over its C exports: the parameter block of
// a set of values and back, and the engine made from a block. Used by the page and by its
// audio worklet alike; both instantiate the module synchronously from its bytes.

// A standalone module asks its host for nothing but an exit; anything else it asks for is a
// build fault, said at once.
function importsFor() {
  const fail = (name) => () => { throw new Error(`crumlet-web.wasm called ${name}`); };
  return new Proxy({}, {
    get: (_, moduleName) => new Proxy({}, { get: (__, name) => fail(`${String(moduleName)}.${String(name)}`) }),
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

  // Whether this build holds the engine (the sound), not only the settings.
  hasEngine() {
    return typeof this.x.crumlet_engine_create === 'function';
  }
}

// One effect instance in the module, as the host's stream runner plays it: `live`, buffer by
// buffer without an end (playLive); otherwise a stream fed as it comes and finished (its last
// buffer marked as the end of input, its tail, the playing on while it rings), its output
// taken as it is ready. Buffers of `blockFrames` frames; interleaved samples.
export class Engine {
  constructor(wasm, values, sampleRate, channels, blockFrames, live) {
    this.w = wasm;
    this.channels = channels;
    this.blockFrames = blockFrames;
    const x = wasm.x;
    this.io = x.malloc(4 * channels * blockFrames * 2);
    this.out = this.io + 4 * channels * blockFrames;
    this.blockAt = x.malloc(wasm.blockBytes);
    new Uint8Array(wasm.heap(), this.blockAt, wasm.blockBytes).set(wasm.blockOf(values));
    this.h = x.crumlet_engine_create(this.blockAt, sampleRate, channels, blockFrames, live ? 1 : 0);
    if (!this.h) throw new Error('the engine could not be made for these settings');
  }

  // New settings, reaching the effect at its next buffer.
  update(values) {
    new Uint8Array(this.w.heap(), this.blockAt, this.w.blockBytes).set(this.w.blockOf(values));
    this.w.x.crumlet_engine_update(this.h, this.blockAt);
  }

  // At most blockFrames interleaved frames through the effect (a live engine), into `output`.
  playLive(input, output, frames) {
    const n = frames * this.channels;
    new Float32Array(this.w.heap(), this.io, n).set(input.subarray(0, n));
    this.w.x.crumlet_engine_play_live(this.h, this.io, this.out, frames);
    output.set(new Float32Array(this.w.heap(), this.out, n));
  }

  // At most blockFrames interleaved frames of the stream; the output that is ready goes to
  // `sink(interleaved)`.
  feed(input, frames, sink) {
    new Float32Array(this.w.heap(), this.io, frames * this.channels).set(input.subarray(0, frames * this.channels));
    if (this.w.x.crumlet_engine_feed(this.h, this.io, frames) < 0) throw new Error('the effect stopped with an error');
    this.drain(sink);
  }

  // Ends the stream: the rest of its output, tail included, to `sink`.
  finish(sink) {
    if (this.w.x.crumlet_engine_finish(this.h) < 0) throw new Error('the effect stopped with an error');
    this.drain(sink);
  }

  drain(sink) {
    for (;;) {
      const frames = this.w.x.crumlet_engine_take(this.h, this.out, this.blockFrames);
      if (frames <= 0) return;
      sink(new Float32Array(this.w.heap(), this.out, frames * this.channels).slice());
    }
  }

  destroy() {
    this.w.x.crumlet_engine_destroy(this.h);
    this.w.x.free(this.io);
    this.w.x.free(this.blockAt);
  }
}
