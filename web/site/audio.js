// The sound through the engine in an audio worklet: played live (looping, settings changed
// as it plays) or rendered offline as the stream runner renders a file, tail included.

function workletNode(context, wasmBytes, source, values, extra) {
  const channels = source.channels.length;
  return new AudioWorkletNode(context, 'crumlet', {
    numberOfInputs: 1,
    numberOfOutputs: 1,
    outputChannelCount: [channels],
    channelCount: channels,
    channelCountMode: 'explicit',
    channelInterpretation: 'discrete',
    processorOptions: { wasm: wasmBytes, values, channels, ...extra },
  });
}

function bufferOf(context, source) {
  const buffer = context.createBuffer(source.channels.length, source.channels[0].length, source.sampleRate);
  source.channels.forEach((samples, c) => buffer.copyToChannel(samples, c));
  return buffer;
}

export class Player {
  constructor(wasmBytes, source, values, bypass) {
    this.wasmBytes = wasmBytes;
    this.source = source;
    this.values = values;
    this.bypass = bypass;
  }

  async start() {
    this.context = new AudioContext({ sampleRate: this.source.sampleRate, latencyHint: 'playback' });
    await this.context.audioWorklet.addModule('worklet.js');
    if (this.stopped) return;
    this.node = workletNode(this.context, this.wasmBytes, this.source, this.values, { bypass: this.bypass });
    this.node.onprocessorerror = () => console.error('the engine stopped in the audio worklet');
    this.node.connect(this.context.destination);
    this.input = this.context.createBufferSource();
    this.input.buffer = bufferOf(this.context, this.source);
    this.input.loop = true;
    this.input.connect(this.node);
    this.input.start();
  }

  setValues(values) {
    this.values = values;
    if (this.node) this.node.port.postMessage({ values });
  }

  setBypass(bypass) {
    this.bypass = bypass;
    if (this.node) this.node.port.postMessage({ bypass });
  }

  stop() {
    this.stopped = true;
    if (this.context) this.context.close();
  }
}

// The source through the settings, offline: planar Float32Arrays, tail included.
export async function renderOffline(wasmBytes, source, values) {
  const frames = source.channels[0].length;
  const channels = source.channels.length;
  // The stream finishes in the quantum after its last frame; the rest comes by message.
  const context = new OfflineAudioContext(channels, frames + 384, source.sampleRate);
  await context.audioWorklet.addModule('worklet.js');
  const node = workletNode(context, wasmBytes, source, values, { totalFrames: frames });
  const rendered = new Promise((resolve, reject) => {
    node.port.onmessage = (e) => { if (e.data.rendered) resolve(e.data.rendered); };
    node.onprocessorerror = () => reject(new Error('the engine stopped in the audio worklet'));
  });
  const input = context.createBufferSource();
  input.buffer = bufferOf(context, source);
  input.connect(node);
  node.connect(context.destination);
  input.start(0);
  await context.startRendering();
  return rendered;
}
