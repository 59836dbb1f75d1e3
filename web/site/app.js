// The audition page: a sound, a look (a shipped preset or a device), a few controls, playback
// through the engine in an audio worklet, the response plot and the downloads.
import { CrumletWasm } from './crumlet-wasm.js';
import { Properties } from './settings.js';
import { buildControls } from './controls.js';
import { floatWav, wavSampleRate } from './wav.js';
import { Player, renderOffline } from './audio.js';
import { measureResponse, drawResponse } from './response.js';

const $ = (id) => document.getElementById(id);

const FRAME_WIDTH = 137; // one device's picture in data/devices.png
const THUMB_WIDTH = 58;

const state = {
  wasmBytes: null,
  wasm: null,
  properties: null,
  presets: {},
  devices: [],
  values: null,
  title: '',
  base: '', // the preset the settings started from, in quotes
  description: '',
  source: null, // { name, sampleRate, channels: Float32Array[] }
  player: null,
  rendered: null,
};

async function fetchOk(path) {
  const response = await fetch(path);
  if (!response.ok) throw new Error(`${path}: ${response.status} ${response.statusText}`);
  return response;
}

function status(text) {
  $('status').textContent = text;
}

// --- the sound --------------------------------------------------------------------------

async function decode(name, bytes) {
  // A WAV file is read as the tool reads it; other files (and WAV files it does not take)
  // decode through the browser, a WAV file at its own rate, others at 48 kHz.
  const wav = state.wasm.readWav(bytes);
  if (wav) return { name, ...wav };
  const rate = wavSampleRate(bytes) || 48000;
  const context = new OfflineAudioContext(1, 1, rate);
  const buffer = await context.decodeAudioData(bytes.slice(0));
  const channels = [];
  for (let c = 0; c < buffer.numberOfChannels; ++c) channels.push(buffer.getChannelData(c).slice());
  return { name, sampleRate: buffer.sampleRate, channels };
}

function describeSource(s) {
  const seconds = s.channels[0].length / s.sampleRate;
  const layout = s.channels.length === 1 ? 'mono' : s.channels.length === 2 ? 'stereo' : `${s.channels.length} channels`;
  return `${s.name} · ${seconds.toFixed(1)} s · ${(s.sampleRate / 1000).toFixed(s.sampleRate % 1000 ? 1 : 0)} kHz ${layout}`;
}

async function useSource(name, bytes) {
  $('source-line').textContent = `Reading ${name}…`;
  try {
    const source = await decode(name, bytes);
    if (source.channels[0].length === 0) throw new Error('it holds no sound');
    stopPlaying();
    state.source = source;
    $('source-line').textContent = describeSource(source);
    settingsChanged();
  } catch (e) {
    $('source-line').textContent = `${name} could not be read (${e.message || e}). Try WAV, FLAC, MP3 or Ogg.`;
  }
}

async function useDemo() {
  const bytes = await (await fetchOk('data/demo.wav')).arrayBuffer();
  await useSource('Demo: speech, a pause, drums and a chord', bytes);
}

function setUpDrop() {
  const drop = $('drop');
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', async (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    const file = e.dataTransfer.files[0];
    if (file) await useSource(file.name, await file.arrayBuffer());
  });
  $('file').addEventListener('change', async (e) => {
    const file = e.target.files[0];
    if (file) await useSource(file.name, await file.arrayBuffer());
  });
  $('use-demo').addEventListener('click', useDemo);
}

// --- the look ---------------------------------------------------------------------------

function pictureAt(element, device, width) {
  const scale = width / FRAME_WIDTH;
  element.style.backgroundPosition = `${-device * width}px 0`;
  element.style.backgroundSize = `${state.devices.length * width}px ${Math.round(96 * scale)}px`;
}

function select(list, item) {
  for (const other of list.children) other.setAttribute('aria-selected', String(other === item));
}

function showChosen() {
  const device = state.values[state.properties.indexOf('SIMType')];
  const simOn = state.values[state.properties.indexOf('SIMEnable')] !== 0;
  const d = state.devices[device];
  $('chosen-title').textContent = state.title;
  $('chosen-device').textContent = simOn ? `${d.name} · ${d.category} · ${d.description}` : 'No device model';
  $('chosen-description').textContent = state.description;
  pictureAt($('device-picture'), device, FRAME_WIDTH);
  $('device-picture').setAttribute('aria-label', d.name);
}

function choosePreset(name, item) {
  const preset = state.presets[name];
  state.values = state.properties.valuesOfPreset(preset);
  state.title = name;
  state.base = `"${name}"`;
  state.description = preset.description || '';
  const t = preset.transmission;
  const note = $('chosen-note');
  if (t) {
    const parts = [];
    if (t.codec) parts.push(`its ${t.codec} codec${t.loss ? ` with ${t.loss} loss` : ''}`);
    if (t.radio) parts.push('its radio keying');
    if (t.space) parts.push(`its space (${t.space})`);
    note.textContent = `Heard here without ${parts.join(', ')}: the page plays the device alone. ` +
      `crumlet render --preset "${name}" adds ${parts.length > 1 ? 'them' : 'it'}.`;
    note.hidden = false;
  } else note.hidden = true;
  select($('presets'), item);
  settingsChanged();
}

function chooseDevice(index, item) {
  const p = state.properties;
  state.values[p.indexOf('SIMType')] = index;
  state.values[p.indexOf('SIMEnable')] = 1;
  state.title = state.devices[index].name;
  state.description = `${state.devices[index].name} with the rest of ${state.base}'s settings.`;
  $('chosen-note').hidden = true;
  select($('devices'), item);
  select($('presets'), null);
  settingsChanged();
}

function buildPresetList() {
  const list = $('presets');
  for (const [name, preset] of Object.entries(state.presets)) {
    const item = document.createElement('button');
    item.type = 'button';
    item.className = 'item';
    item.setAttribute('role', 'option');
    item.dataset.preset = name;
    const first = (preset.description || '').split(/(?<=[.:])\s/)[0];
    item.innerHTML = '<span class="name"></span><span class="sub"></span>';
    item.querySelector('.name').textContent = name;
    item.querySelector('.sub').textContent = first.replace(/[.:]$/, '');
    item.addEventListener('click', () => choosePreset(name, item));
    list.append(item);
  }
}

function buildDeviceList() {
  const list = $('devices');
  for (const d of state.devices) {
    const item = document.createElement('button');
    item.type = 'button';
    item.className = 'item device';
    item.setAttribute('role', 'option');
    item.dataset.device = String(d.index);
    item.dataset.words = [d.name, d.category, d.description, ...(d.tags || [])].join(' ').toLowerCase();
    item.innerHTML = '<span class="thumb"></span><span class="name"></span><span class="sub"></span>';
    pictureAt(item.querySelector('.thumb'), d.index, THUMB_WIDTH);
    item.querySelector('.name').textContent = d.name;
    item.querySelector('.sub').textContent = `${d.category} · ${d.description}`;
    item.addEventListener('click', () => chooseDevice(d.index, item));
    list.append(item);
  }
  $('device-search').addEventListener('input', (e) => {
    const words = e.target.value.toLowerCase().split(/\s+/).filter(Boolean);
    for (const item of list.children) item.hidden = !words.every((w) => item.dataset.words.includes(w));
  });
  const tabs = [['tab-presets', 'presets'], ['tab-devices', 'devices-pane']];
  for (const [tab, pane] of tabs) {
    $(tab).addEventListener('click', () => {
      for (const [t, p] of tabs) {
        $(t).setAttribute('aria-selected', String(t === tab));
        $(p).hidden = t !== tab;
      }
    });
  }
}

// --- tuning, playing, the plot ----------------------------------------------------------

let showValues = () => {};
let plotTimer = 0;

function settingsChanged() {
  showValues(state.values);
  showChosen();
  state.rendered = null;
  if (state.player) state.player.setValues(state.values);
  clearTimeout(plotTimer);
  plotTimer = setTimeout(updatePlot, 60);
}

function controlMoved(index, value) {
  state.values[index] = value;
  if (state.title && !state.title.endsWith(' (tuned)')) state.title += ' (tuned)';
  settingsChanged();
}

function updatePlot() {
  const canvas = $('plot');
  const rate = state.source ? state.source.sampleRate : 48000;
  drawResponse(canvas, measureResponse(state.wasm, state.values, rate), rate);
}

function stopPlaying() {
  if (state.player) state.player.stop();
  state.player = null;
  $('play').textContent = '▶ Play';
}

async function togglePlay() {
  if (state.player) { stopPlaying(); return; }
  state.player = new Player(state.wasmBytes, state.source, state.values, $('bypass').checked);
  $('play').textContent = '■ Stop';
  await state.player.start();
}

function download(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

function fileStem() {
  return (state.title || 'crumlet').replace(/ \(tuned\)$/, '-tuned').replace(/[^A-Za-z0-9-]+/g, '-').replace(/^-|-$/g, '').toLowerCase();
}

// The preset file of the current settings, as `crumlet render --preset` reads it.
export function presetJson() {
  return `${JSON.stringify(state.properties.presetOf(state.values, state.description), null, 2)}\n`;
}

// The current sound through the current settings, rendered offline through the worklet.
export async function render() {
  if (!state.rendered) state.rendered = await renderOffline(state.wasmBytes, state.source, state.values);
  return state.rendered;
}

async function downloadWav() {
  status('Rendering…');
  const channels = await render();
  download(`${fileStem()}.wav`, floatWav(channels, state.source.sampleRate), 'audio/wav');
  status(`Rendered ${(channels[0].length / state.source.sampleRate).toFixed(2)} s, tail included.`);
}

// --- start ------------------------------------------------------------------------------

async function start() {
  const [properties, presets, devices, wasmBytes] = await Promise.all([
    fetchOk('data/properties.json').then((r) => r.json()),
    fetchOk('data/presets.json').then((r) => r.json()),
    fetchOk('data/devices.json').then((r) => r.json()),
    fetchOk('crumlet-web.wasm').then((r) => r.arrayBuffer()),
  ]);
  state.wasmBytes = wasmBytes;
  state.wasm = new CrumletWasm(wasmBytes);
  state.properties = new Properties(properties);
  const names = state.wasm.propertyNames();
  if (names.join() !== properties.map((p) => p.name).join()) throw new Error('the page data and crumlet-web.wasm are from different builds');
  state.presets = presets;
  state.devices = devices;
  showValues = buildControls($('controls'), state.properties, controlMoved);
  buildPresetList();
  buildDeviceList();
  setUpDrop();
  $('play').addEventListener('click', togglePlay);
  $('bypass').addEventListener('change', (e) => state.player && state.player.setBypass(e.target.checked));
  $('download-wav').addEventListener('click', downloadWav);
  $('download-preset').addEventListener('click', () => download(`${fileStem()}.json`, presetJson(), 'application/json'));
  choosePreset(Object.keys(presets)[0], $('presets').firstElementChild);
  await useDemo();
  $('play').disabled = false;
  $('download-wav').disabled = false;
  document.body.dataset.ready = 'true';
}

// For the page's test and the console.
window.crumlet = { state, presetJson, render };

start().catch((e) => {
  status(`The page could not start: ${e.message || e}`);
  console.error(e);
});
