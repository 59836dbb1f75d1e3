// The audition page in a real browser: Debian's chromium, headless, driven by puppeteer-core
// over a static server of its own on a free port.
//
//   node page-test.mjs --site DIR --crumlet PATH --work DIR
//
// Checks: the page starts with no console error or failed request; the parameter block the
// page makes for every shipped preset is the tool's (`crumlet bank`) byte for byte, and reads
// back to the same values; bad preset values are refused by name; the preset file the page
// downloads, after tuning, sets what the page plays (`crumlet bank --preset FILE`); a file that
// is not audio is refused, a 44.1 kHz mono 16-bit WAV file is taken at its own rate; that file
// and the demo rendered offline through the audio worklet are `crumlet render --bank ...
// --block 128 --format float` sample for sample (the demo through the page's WAV download),
// and so is the downloaded preset rendered by `crumlet render --preset`; the look plays live
// and takes new settings as it plays; the response plot is drawn.
// Writes page.png (the page as a customer sees it) into the work folder.
//
// Exit 77 (skipped) when chromium or the node modules are missing.
import { execFileSync } from 'node:child_process';
import { createServer } from 'node:http';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const SKIPPED = 77;
const CHROMIUM = process.env.CRUMLET_CHROMIUM || '/usr/bin/chromium';
const BLOCK_FRAMES = 128; // the worklet's render quantum: the engine's buffer

function options() {
  const o = {};
  const args = process.argv.slice(2);
  for (let i = 0; i + 1 < args.length; i += 2) o[args[i].replace(/^--/, '')] = args[i + 1];
  for (const name of ['site', 'crumlet', 'work'])
    if (!o[name]) throw new Error(`give --${name}`);
  return o;
}

async function loadPuppeteer() {
  try {
    return (await import('puppeteer-core')).default;
  } catch {
    const here = path.dirname(fileURLToPath(import.meta.url));
    console.log(`SKIP: puppeteer-core is not installed (npm ci --prefix ${here})`);
    process.exit(SKIPPED);
  }
}

const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.json': 'application/json',
  '.wasm': 'application/wasm', '.png': 'image/png', '.wav': 'audio/wav',
};

function serve(root) {
  const server = createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    const file = path.join(root, decodeURIComponent(url.pathname === '/' ? '/index.html' : url.pathname));
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The samples of a float WAV file as the tool and the page write it (format 3, 32 bits).
function floatWavSamples(file) {
  const b = fs.readFileSync(file);
  let at = 12;
  let format = 0;
  while (at + 8 <= b.length) {
    const id = b.toString('latin1', at, at + 4);
    const size = b.readUInt32LE(at + 4);
    if (id === 'fmt ') format = b.readUInt16LE(at + 8);
    if (id === 'data') {
      if (format !== 3) throw new Error(`${file}: not a float WAV file`);
      const out = new Float32Array(size / 4);
      for (let i = 0; i < out.length; ++i) out[i] = b.readFloatLE(at + 8 + 4 * i);
      return out;
    }
    at += 8 + size + (size & 1);
  }
  throw new Error(`${file}: no data chunk`);
}

// Where two sample arrays first differ (as bits), or -1 when they are the same.
function firstDifference(a, b) {
  const x = new Uint32Array(a.buffer, a.byteOffset, a.length);
  const y = new Uint32Array(b.buffer, b.byteOffset, b.length);
  const n = Math.min(x.length, y.length);
  for (let i = 0; i < n; ++i) if (x[i] !== y[i]) return i;
  return x.length === y.length ? -1 : n;
}

const failures = [];
function check(condition, message) {
  if (!condition) failures.push(message);
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${message}`);
}

function crumlet(o, ...args) {
  return execFileSync(o.crumlet, args, { stdio: ['ignore', 'pipe', 'pipe'] });
}

async function waitForFile(file, seconds = 20) {
  for (let i = 0; i < seconds * 10; ++i) {
    if (fs.existsSync(file) && fs.statSync(file).size > 0) return;
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error(`no download ${file}`);
}

async function main() {
  const o = options();
  if (!fs.existsSync(CHROMIUM)) {
    console.log(`SKIP: no chromium at ${CHROMIUM} (apt-get install chromium)`);
    process.exit(SKIPPED);
  }
  const puppeteer = await loadPuppeteer();
  const site = path.resolve(o.site);
  const work = path.resolve(o.work);
  fs.rmSync(work, { recursive: true, force: true });
  const downloads = path.join(work, 'downloads');
  fs.mkdirSync(downloads, { recursive: true });
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'crumlet-chromium-'));
  const server = await serve(site);
  const base = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--autoplay-policy=no-user-gesture-required'],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900, deviceScaleFactor: 1 });
    const problems = [];
    page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') problems.push(`console ${m.type()}: ${m.text()}`); });
    page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
    page.on('requestfailed', (r) => problems.push(`request failed: ${r.url()}`));
    page.on('response', (r) => { if (r.status() >= 400) problems.push(`${r.status()}: ${r.url()}`); });
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });

    await page.goto(base, { waitUntil: 'load' });
    await page.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
    check(problems.length === 0, `the page starts with no console error or failed request${problems.length ? `: ${problems.join('; ')}` : ''}`);

    // Every shipped preset's block, against the tool's.
    const pageBlocks = await page.evaluate(() => {
      const { state } = window.crumlet;
      const out = {};
      for (const [name, preset] of Object.entries(state.presets)) {
        const values = state.properties.valuesOfPreset(preset);
        const block = state.wasm.blockOf(values);
        const back = state.wasm.valuesOf(block);
        out[name] = { hex: Array.from(block, (b) => b.toString(16).padStart(2, '0')).join(''),
          roundTrip: back.every((v, i) => Object.is(v, values[i])) };
      }
      return out;
    });
    const names = Object.keys(pageBlocks);
    check(names.length === Object.keys(JSON.parse(crumlet(o, 'presets', '--json'))).length, `the page lists every shipped preset (${names.length})`);
    const wrong = names.filter((name) => {
      const file = path.join(work, 'preset.bin');
      crumlet(o, 'bank', '--preset', name, '--out', file);
      return fs.readFileSync(file).toString('hex') !== pageBlocks[name].hex;
    });
    check(wrong.length === 0, `the page's parameter block of each shipped preset is crumlet bank's${wrong.length ? ` (not: ${wrong.join(', ')})` : ''}`);
    check(names.every((n) => pageBlocks[n].roundTrip), 'each block reads back to the values it was made of');

    // A look chosen and tuned as a user does it, then downloaded as a preset file.
    await page.click('#tab-devices');
    await page.type('#device-search', 'megaphone');
    const shown = await page.evaluate(() => ({
      devices: Array.from(document.querySelectorAll('#devices .item')).filter((e) => e.offsetParent !== null).map((e) => e.dataset.words),
      presets: document.getElementById('presets').offsetParent !== null,
    }));
    check(shown.devices.length > 0 && shown.devices.every((w) => w.includes('megaphone')) && !shown.presets,
      `the Devices tab shows the devices a search finds and nothing else (${shown.devices.length} for "megaphone")`);
    const device = await page.$eval('#devices .item:not([hidden])', (e) => Number(e.dataset.device));
    await page.click(`#devices .item[data-device="${device}"]`);
    await page.click('#tab-presets');
    await page.click('#presets .item[data-preset="Megaphone"]');
    await page.$eval('#control-SIMTuning', (e) => { e.value = '123'; e.dispatchEvent(new Event('input')); });
    await page.$eval('#control-Balance', (e) => { e.value = '85'; e.dispatchEvent(new Event('input')); });
    await page.$eval('#control-FiltersLPFFreq', (e) => { e.value = '900'; e.dispatchEvent(new Event('input')); });
    await page.select('#control-DistortionMode', '2');
    const tuned = await page.evaluate(() => {
      const { state } = window.crumlet;
      return Array.from(state.wasm.blockOf(state.values), (b) => b.toString(16).padStart(2, '0')).join('');
    });
    await page.click('#download-preset');
    const presetFile = path.join(downloads, 'megaphone-tuned.json');
    await waitForFile(presetFile);
    const tunedBlock = path.join(work, 'tuned.bin');
    crumlet(o, 'bank', '--preset', presetFile, '--out', tunedBlock);
    check(fs.readFileSync(tunedBlock).toString('hex') === tuned,
      'the downloaded preset file sets, through crumlet bank --preset, the block the page plays');
    const saved = JSON.parse(fs.readFileSync(presetFile, 'utf8'));
    check(saved.SIMTuning === 123 && saved.Balance === 85 && saved.DistortionMode === 'Fuzz',
      'the preset file holds the tuned values as crumlet writes them (123 %, 85 %, "Fuzz")');

    // Preset values the page refuses, each naming the property.
    const refusals = await page.evaluate(() => {
      const { properties } = window.crumlet.state;
      const cases = [{ SIMType: 'No Such Device' }, { NoiseLevel: 5 }, { Nope: 1 }, { FiltersEnable: 'yes' }];
      return cases.map((c) => { try { properties.valuesOfPreset(c); return ''; } catch (e) { return e.message; } });
    });
    check(refusals.every((m, i) => m.includes(['SIMType', 'NoiseLevel', 'Nope', 'FiltersEnable'][i])),
      `a preset with an unknown entry, a value out of range, an unknown name or a wrong type is refused by name (${refusals.join(' | ')})`);

    // A file of the user's: 44.1 kHz mono 16-bit, decoded at its own rate.
    const own = path.join(work, 'own.wav');
    const off = ['Filters', 'Distortion', 'EQ', 'Noise', 'SIM', 'Gate', 'LoFi'].map((s) => `${s}Enable=off`);
    crumlet(o, 'render', '--out', own, '--rate', '44.1k', '--channels', '1', '--bits', '16', '--set', ...off);
    const notAudio = path.join(work, 'notes.wav');
    fs.writeFileSync(notAudio, 'not a sound\n');
    const fileInput = await page.$('#file');
    await fileInput.uploadFile(notAudio);
    await page.waitForFunction(() => document.getElementById('source-line').textContent.includes('could not be read'), { timeout: 10000 });
    check(true, 'a file that is not audio is refused in the page, the sound before it kept');
    await fileInput.uploadFile(own);
    await page.waitForFunction(() => document.getElementById('source-line').textContent.startsWith('own.wav'), { timeout: 10000 });
    const line = await page.$eval('#source-line', (e) => e.textContent);
    check(line.includes('44.1 kHz mono'), `a 44.1 kHz mono WAV file is taken at its own rate (${line})`);

    await page.screenshot({ path: path.join(work, 'page.png'), fullPage: true });

    const ownReference = path.join(work, 'own-reference.wav');
    crumlet(o, 'render', '--in', own, '--bank', tunedBlock, '--block', String(BLOCK_FRAMES), '--format', 'float', '--out', ownReference);
    const ownRendered = await page.evaluate(async () => {
      const channels = await window.crumlet.render();
      return Array.from(new Uint8Array(channels[0].buffer));
    });
    const ownGot = new Float32Array(Uint8Array.from(ownRendered).buffer);
    const ownRef = floatWavSamples(ownReference);
    const ownAt = firstDifference(ownGot, ownRef);
    check(ownAt < 0, `the 44.1 kHz mono 16-bit file rendered in the page is crumlet render --bank of it, ${ownRef.length} samples bit for bit` +
      `${ownAt < 0 ? '' : ` (first difference at sample ${ownAt}: ${ownGot[ownAt]} against ${ownRef[ownAt]}; ${ownGot.length} samples against ${ownRef.length})`}`);
    await page.click('#use-demo');
    await page.waitForFunction(() => document.getElementById('source-line').textContent.startsWith('Demo'), { timeout: 10000 });
    // The demo through the worklet, offline, against the tool, with the tuned look.
    const demo = path.join(site, 'data', 'demo.wav');
    const reference = path.join(work, 'reference.wav');
    crumlet(o, 'render', '--in', demo, '--bank', tunedBlock, '--block', String(BLOCK_FRAMES), '--format', 'float', '--out', reference);
    await page.click('#download-wav');
    const wavFile = path.join(downloads, 'megaphone-tuned.wav');
    await waitForFile(wavFile, 60);
    const ref = floatWavSamples(reference);
    const got = floatWavSamples(wavFile);
    const at = firstDifference(got, ref);
    check(at < 0, `the demo rendered offline through the worklet is crumlet render --bank --block ${BLOCK_FRAMES}, ` +
      `${ref.length} samples bit for bit${at < 0 ? '' : ` (first difference at sample ${at}: ${got[at]} against ${ref[at]}; ${got.length} samples against ${ref.length})`}`);
    const fromPreset = path.join(work, 'from-preset.wav');
    crumlet(o, 'render', '--in', demo, '--preset', presetFile, '--block', String(BLOCK_FRAMES), '--format', 'float', '--out', fromPreset);
    check(firstDifference(floatWavSamples(fromPreset), got) < 0, 'the downloaded preset renders through crumlet render --preset the same samples');
    // Playing live: the worklet runs, takes new settings and the original beside them.
    await page.click('#play');
    await page.waitForFunction(() => {
      const p = window.crumlet.state.player;
      return p && p.node && p.context.state === 'running' && p.context.currentTime > 0.3;
    }, { timeout: 15000 });
    await page.$eval('#control-NoiseLevel', (e) => { e.value = '-40'; e.dispatchEvent(new Event('input')); });
    await page.click('#bypass');
    await new Promise((r) => setTimeout(r, 300));
    await page.click('#bypass');
    await page.click('#play');
    check(await page.evaluate(() => window.crumlet.state.player === null), 'the look plays live through the worklet, tuned and compared with the original as it plays, and stops');
    const plotted = await page.evaluate(() => document.getElementById('plot').toDataURL().length);
    check(plotted > 5000, 'the response plot is drawn');
    await page.screenshot({ path: path.join(work, 'page.png'), fullPage: true });
    check(problems.length === 0, `no console error or failed request while it was used${problems.length ? `: ${problems.join('; ')}` : ''}`);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  console.log(`screenshot: ${path.join(work, 'page.png')}`);
  if (failures.length) {
    console.log(`${failures.length} check(s) failed`);
    process.exit(1);
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
