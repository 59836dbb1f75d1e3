// The few controls the page offers for tuning a look, each over one property; the rest of a
// preset's values are kept as they are.

// How a control moves: linearly, or on a log scale (frequencies).
const CONTROLS = [
  { name: 'SIMTuning', label: 'Device tuning', step: 1 },
  { name: 'Balance', label: 'Mix (effect share)', step: 1 },
  { name: 'DistortionMode', label: 'Distortion' },
  { name: 'DistortionAmount', label: 'Drive', step: 1 },
  { name: 'NoiseLevel', label: 'Hiss', step: 1 },
  { name: 'LoFiBitDepthType', label: 'Bits' },
  { name: 'FiltersHPFFreq', label: 'Low cut', log: true },
  { name: 'FiltersLPFFreq', label: 'High cut', log: true },
  { name: 'OutputGain', label: 'Output', step: 0.5 },
];

// The control positions of a log slider.
const LOG_STEPS = 1000;

function formatValue(p, v) {
  if (p.values.length > 0) return p.values[Math.round(v - p.min)];
  if (p.unit === 'Hz') return v >= 1000 ? `${(v / 1000).toFixed(v >= 10000 ? 1 : 2)} kHz` : `${Math.round(v)} Hz`;
  if (p.unit === 'dB') return `${v > 0 ? '+' : ''}${v.toFixed(1)} dB`;
  if (p.unit === '%') return `${Math.round(v)} %`;
  return String(v);
}

// Builds the controls into `container`; onChange(index, value) when one moves. Answers a
// function that shows a new set of values.
export function buildControls(container, properties, onChange) {
  const views = [];
  for (const spec of CONTROLS) {
    const index = properties.indexOf(spec.name);
    const p = properties.list[index];
    const row = document.createElement('div');
    row.className = 'control';
    const label = document.createElement('label');
    label.textContent = spec.label;
    label.htmlFor = `control-${p.name}`;
    const output = document.createElement('output');
    let input;
    let show;
    if (p.values.length > 0) {
      input = document.createElement('select');
      p.values.forEach((text, i) => input.add(new Option(text === 'Off' ? 'Off (full)' : text, String(i))));
      input.addEventListener('change', () => onChange(index, p.min + Number(input.value)));
      show = (v) => { input.value = String(Math.round(v - p.min)); output.textContent = ''; };
    } else {
      input = document.createElement('input');
      input.type = 'range';
      if (spec.log) {
        const lo = Math.log(p.min);
        const hi = Math.log(p.max);
        input.min = '0'; input.max = String(LOG_STEPS); input.step = '1';
        input.addEventListener('input', () => {
          const v = Math.round(Math.exp(lo + (hi - lo) * Number(input.value) / LOG_STEPS));
          output.textContent = formatValue(p, v);
          onChange(index, v);
        });
        show = (v) => { input.value = String(Math.round((Math.log(v) - lo) / (hi - lo) * LOG_STEPS)); output.textContent = formatValue(p, v); };
      } else {
        input.min = String(p.min); input.max = String(p.max); input.step = String(spec.step);
        input.addEventListener('input', () => {
          const v = Number(input.value);
          output.textContent = formatValue(p, v);
          onChange(index, v);
        });
        show = (v) => { input.value = String(v); output.textContent = formatValue(p, v); };
      }
    }
    input.id = `control-${p.name}`;
    input.dataset.property = p.name;
    row.append(label, output, input);
    container.append(row);
    views.push({ index, show });
  }
  return (values) => views.forEach((view) => view.show(values[view.index]));
}
