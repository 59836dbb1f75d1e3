// WAV files in the page: the sample rate in a file's header (so that a file decodes at its own
// rate), and 32-bit float WAV out, as the tool writes it (WAVE_FORMAT_IEEE_FLOAT with a fact
// chunk).

// The sample rate of a RIFF WAVE file's fmt chunk; 0 for anything else.
export function wavSampleRate(bytes) {
  const d = new DataView(bytes);
  const tag = (at) => String.fromCharCode(...new Uint8Array(bytes, at, 4));
  if (bytes.byteLength < 12 || tag(0) !== 'RIFF' || tag(8) !== 'WAVE') return 0;
  for (let at = 12; at + 8 <= bytes.byteLength;) {
    const size = d.getUint32(at + 4, true);
    if (tag(at) === 'fmt ' && at + 16 <= bytes.byteLength) return d.getUint32(at + 12, true);
    at += 8 + size + (size & 1);
  }
  return 0;
}

// Channels (Float32Arrays of one length) as a 32-bit float WAV file.
export function floatWav(channels, sampleRate) {
  const count = channels.length;
  const frames = channels[0].length;
  const dataBytes = frames * count * 4;
  const buffer = new ArrayBuffer(58 + dataBytes);
  const d = new DataView(buffer);
  let at = 0;
  const tag = (s) => { for (const c of s) d.setUint8(at++, c.charCodeAt(0)); };
  const u32 = (v) => { d.setUint32(at, v, true); at += 4; };
  const u16 = (v) => { d.setUint16(at, v, true); at += 2; };
  tag('RIFF'); u32(50 + dataBytes); tag('WAVE');
  tag('fmt '); u32(18); u16(3); u16(count); u32(sampleRate); u32(sampleRate * count * 4); u16(count * 4); u16(32); u16(0);
  tag('fact'); u32(4); u32(frames);
  tag('data'); u32(dataBytes);
  // The samples start at byte 58, not on a float boundary: written through the view.
  for (let f = 0; f < frames; ++f)
    for (let c = 0; c < count; ++c, at += 4) d.setFloat32(at, channels[c][f], true);
  return buffer;
}
