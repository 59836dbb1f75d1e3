// The response of the settings as the engine plays them, measured: white noise through a
// fresh engine and the transfer function between input and output (cross spectrum over the
// input's spectrum, Hann-windowed and averaged), which leaves out what the effect adds that
// is not the input (hiss, distortion products). Smoothed to a sixth of an octave for the plot.
import { LiveEngine } from './crumlet-wasm.js';

const FFT_SIZE = 16384;
const LEVEL = 0.125; // the noise's RMS, -18 dBFS: above every shipped gate's threshold
const SETTLE_SECONDS = 0.25;
const MEASURE_SECONDS = 2;

// In-place radix-2 FFT of re/im (length a power of two).
function fft(re, im) {
  const n = re.length;
  for (let i = 1, j = 0; i < n; ++i) {
    let bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) { [re[i], re[j]] = [re[j], re[i]]; [im[i], im[j]] = [im[j], im[i]]; }
  }
  for (let len = 2; len <= n; len <<= 1) {
    const angle = (-2 * Math.PI) / len;
    for (let i = 0; i < n; i += len) {
      for (let k = 0; k < len / 2; ++k) {
        const wr = Math.cos(angle * k);
        const wi = Math.sin(angle * k);
        const a = i + k;
        const b = a + len / 2;
        const tr = re[b] * wr - im[b] * wi;
        const ti = re[b] * wi + im[b] * wr;
        re[b] = re[a] - tr; im[b] = im[a] - ti;
        re[a] += tr; im[a] += ti;
      }
    }
  }
}

// Uniform noise of RMS `LEVEL` from a fixed seed: the same plot for the same settings.
function noise(frames) {
  const out = new Float32Array(frames);
  let state = 0x2545f491;
  const scale = LEVEL * Math.sqrt(3) * 2 / 4294967296;
  for (let i = 0; i < frames; ++i) {
    state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
    out[i] = (state - 2147483648) * scale;
  }
  return out;
}

// { frequencies, db } on a log grid from 20 Hz to the top of the band, or null.
export function measureResponse(wasm, values, sampleRate) {
  const block = 512;
  const settle = Math.ceil((SETTLE_SECONDS * sampleRate) / block) * block;
  const frames = settle + Math.ceil((MEASURE_SECONDS * sampleRate) / FFT_SIZE) * FFT_SIZE;
  const input = noise(frames);
  const output = new Float32Array(frames);
  const engine = new LiveEngine(wasm, values, sampleRate, 1, block);
  try {
    for (let at = 0; at < frames; at += block)
      engine.process(input.subarray(at, at + block), output.subarray(at, at + block), block);
  } finally {
    engine.destroy();
  }
  const bins = FFT_SIZE / 2 + 1;
  const sxx = new Float64Array(bins);
  const sxyRe = new Float64Array(bins);
  const sxyIm = new Float64Array(bins);
  const window = Float64Array.from({ length: FFT_SIZE }, (_, i) => 0.5 - 0.5 * Math.cos((2 * Math.PI * i) / FFT_SIZE));
  for (let at = settle; at + FFT_SIZE <= frames; at += FFT_SIZE / 2) {
    const xr = new Float64Array(FFT_SIZE); const xi = new Float64Array(FFT_SIZE);
    const yr = new Float64Array(FFT_SIZE); const yi = new Float64Array(FFT_SIZE);
    for (let i = 0; i < FFT_SIZE; ++i) { xr[i] = input[at + i] * window[i]; yr[i] = output[at + i] * window[i]; }
    fft(xr, xi);
    fft(yr, yi);
    for (let k = 0; k < bins; ++k) {
      sxx[k] += xr[k] * xr[k] + xi[k] * xi[k];
      // Y times the conjugate of X.
      sxyRe[k] += yr[k] * xr[k] + yi[k] * xi[k];
      sxyIm[k] += yi[k] * xr[k] - yr[k] * xi[k];
    }
  }
  const top = Math.min(20000, sampleRate / 2);
  const points = 240;
  const frequencies = [];
  const db = [];
  for (let p = 0; p < points; ++p) {
    const f = 20 * Math.pow(top / 20, p / (points - 1));
    const lo = Math.max(1, Math.floor((f * Math.pow(2, -1 / 12) * FFT_SIZE) / sampleRate));
    const hi = Math.min(bins - 1, Math.max(lo, Math.ceil((f * Math.pow(2, 1 / 12) * FFT_SIZE) / sampleRate)));
    let re = 0; let im = 0; let xx = 0;
    for (let k = lo; k <= hi; ++k) { re += sxyRe[k]; im += sxyIm[k]; xx += sxx[k]; }
    frequencies.push(f);
    db.push(10 * Math.log10(Math.max((re * re + im * im) / (xx * xx), 1e-12)));
  }
  return { frequencies, db };
}

const GRID_HZ = [20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000];

function label(f) {
  return f >= 1000 ? `${f / 1000}k` : String(f);
}

// Draws the response on the canvas, over its frequency and level grid.
export function drawResponse(canvas, response, sampleRate) {
  const ratio = window.devicePixelRatio || 1;
  const width = canvas.clientWidth || canvas.width;
  const height = Math.round(width * 0.375);
  canvas.width = Math.round(width * ratio);
  canvas.height = Math.round(height * ratio);
  const g = canvas.getContext('2d');
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  g.fillStyle = '#1d1b19';
  g.fillRect(0, 0, width, height);
  const left = 52; const right = width - 12; const topY = 14; const bottomY = height - 24;
  const top = Math.min(20000, sampleRate / 2);
  const x = (f) => left + ((right - left) * Math.log(f / 20)) / Math.log(top / 20);
  const maxDb = Math.ceil((Math.max(...response.db) + 3) / 6) * 6;
  const minDb = maxDb - 60;
  const y = (d) => topY + ((bottomY - topY) * (maxDb - d)) / (maxDb - minDb);
  g.font = '11px "Liberation Sans", Arial, sans-serif';
  g.lineWidth = 1;
  g.textAlign = 'center';
  for (const f of GRID_HZ.filter((f) => f <= top)) {
    g.strokeStyle = 'rgba(255,255,255,0.09)';
    g.beginPath(); g.moveTo(x(f) + 0.5, topY); g.lineTo(x(f) + 0.5, bottomY); g.stroke();
    g.fillStyle = 'rgba(255,255,255,0.5)';
    g.fillText(label(f), x(f), height - 8);
  }
  g.textAlign = 'right';
  for (let d = maxDb; d >= minDb; d -= 12) {
    g.strokeStyle = d === 0 ? 'rgba(255,255,255,0.28)' : 'rgba(255,255,255,0.09)';
    g.beginPath(); g.moveTo(left, Math.round(y(d)) + 0.5); g.lineTo(right, Math.round(y(d)) + 0.5); g.stroke();
    g.fillStyle = 'rgba(255,255,255,0.5)';
    g.fillText(`${d > 0 ? '+' : ''}${d} dB`, left - 6, y(d) + 4);
  }
  g.textAlign = 'left';
  g.fillStyle = 'rgba(255,255,255,0.7)';
  g.fillText('Response, measured through the engine', left + 8, topY + 14);
  g.save();
  g.beginPath(); g.rect(left, topY, right - left, bottomY - topY); g.clip();
  const path = new Path2D();
  response.frequencies.forEach((f, i) => {
    const py = y(Math.max(response.db[i], minDb - 10));
    if (i === 0) path.moveTo(x(f), py); else path.lineTo(x(f), py);
  });
  const fill = new Path2D(path);
  fill.lineTo(x(response.frequencies[response.frequencies.length - 1]), bottomY);
  fill.lineTo(x(response.frequencies[0]), bottomY);
  fill.closePath();
  const gradient = g.createLinearGradient(0, topY, 0, bottomY);
  gradient.addColorStop(0, 'rgba(232,117,78,0.45)');
  gradient.addColorStop(1, 'rgba(232,117,78,0.02)');
  g.fillStyle = gradient;
  g.fill(fill);
  g.strokeStyle = '#f08a5d';
  g.lineWidth = 2;
  g.stroke(path);
  g.restore();
}
