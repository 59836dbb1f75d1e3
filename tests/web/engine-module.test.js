// The page's module (build-wasm/web/crumlet-engine.js) plays what crumlet-play plays: a block
// and a WAV file through the module in planar buffers of 512 frames equal, over
// every whole buffer, the samples crumlet-play wrote for them (its last buffer ends the stream
// and its tail follows, which a live engine never plays).
//   node engine-module.test.js MODULE.js BLOCK.bin IN.wav PLAYED.wav
"use strict";
const fs = require("fs");
const path = require("path");

// A WAV file's channels, rate and samples (32-bit floats, or 16-bit integers).
function wavSamples(file) {
  const b = fs.readFileSync(file);
  let at = 12, channels = 0, rate = 0, bits = 0, data = null;
  while (at + 8 <= b.length) {
    const id = b.toString("latin1", at, at + 4), size = b.readUInt32LE(at + 4);
    if (id === "fmt ") {
      channels = b.readUInt16LE(at + 10);
      rate = b.readUInt32LE(at + 12);
      bits = b.readUInt16LE(at + 22);
    }
    if (id === "data") {
      const bytes = b.buffer.slice(b.byteOffset + at + 8, b.byteOffset + at + 8 + size);
      // 16-bit integers become floats as crumlet-play reads them: each divided by 32768.
      data = bits === 16 ? Float32Array.from(new Int16Array(bytes), (v) => v / 32768) : new Float32Array(bytes);
    }
    at += 8 + size + (size & 1);
  }
  if (!channels || !data) throw new Error(`${file}: no samples`);
  return { channels, rate, data };
}

const [moduleJs, blockFile, inFile, playedFile] = process.argv.slice(2);
const createCrumletEngine = require(path.resolve(moduleJs));
createCrumletEngine({ wasmBinary: fs.readFileSync(moduleJs.replace(/\.js$/, ".wasm")) }).then((Module) => {
  const block = fs.readFileSync(blockFile);
  const input = wavSamples(inFile), played = wavSamples(playedFile);
  const channels = input.channels, frames = 512;
  const blockPtr = Module._malloc(block.length);
  Module.HEAPU8.set(block, blockPtr);
  if (Module._crumlet_engine_create(blockPtr, block.length - 1, input.rate, channels, frames) !== 0)
    throw new Error("a block of 138 bytes made an engine");
  const engine = Module._crumlet_engine_create(blockPtr, block.length, input.rate, channels, frames);
  Module._free(blockPtr);
  if (engine === 0) throw new Error("no engine");
  const samples = Module._malloc(channels * frames * 4);
  const buffers = Math.floor(input.data.length / channels / frames) - 1;
  for (let n = 0; n < buffers; ++n) {
    const heap = new Float32Array(Module.HEAPU8.buffer, samples, channels * frames);
    for (let c = 0; c < channels; ++c)
      for (let i = 0; i < frames; ++i) heap[c * frames + i] = input.data[(n * frames + i) * channels + c];
    if (Module._crumlet_engine_process_planar(engine, samples, frames) !== 0) throw new Error("process refused");
    for (let c = 0; c < channels; ++c)
      for (let i = 0; i < frames; ++i) {
        const want = played.data[(n * frames + i) * channels + c];
        if (!Object.is(heap[c * frames + i], want))
          throw new Error(`buffer ${n}, channel ${c}, frame ${i}: ${heap[c * frames + i]}, crumlet-play ${want}`);
      }
  }
  Module._crumlet_engine_destroy(engine);
  Module._free(samples);
  console.log(`engine-module: ${buffers} buffers of ${frames} frames, ${channels} channels, as crumlet-play`);
}).catch((e) => {
  console.error(`engine-module: ${e.message}`);
  process.exitCode = 1;
});
