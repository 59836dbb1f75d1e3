// The effect's settings in the page: one value per property in host order (a Float32Array,
// each in its property's units: a list's entry index, a switch's 0 or 1), read from and written
// to preset files as `crumlet presets --json` writes them and `crumlet render --preset` reads them.

// The shortest decimal that reads back as the same single-precision value.
export function shortestFloat(value) {
  for (let digits = 1; digits < 10; ++digits) {
    const n = Number(value.toPrecision(digits));
    if (Math.fround(n) === value) return n;
  }
  return value;
}

export class Properties {
  // `list`: `crumlet params --json`, in host order.
  constructor(list) {
    this.list = list;
    this.byName = new Map(list.map((p, i) => [p.name.toLowerCase(), i]));
  }

  indexOf(name) {
    const i = this.byName.get(name.toLowerCase());
    if (i === undefined) throw new Error(`no property "${name}"`);
    return i;
  }

  get(name) {
    return this.list[this.indexOf(name)];
  }

  defaults() {
    return Float32Array.from(this.list, (p) => p.default);
  }

  // A value as the property holds it: a switch's 0 or 1, a list's entry index, a number in
  // range; an error naming the property otherwise.
  valueOf(property, raw) {
    const p = property;
    let v;
    if (p.type === 'bool' && typeof raw === 'boolean') v = raw ? 1 : 0;
    else if (p.values.length > 0 && typeof raw === 'string') {
      v = p.values.indexOf(raw);
      if (v < 0) throw new Error(`${p.name}: "${raw}" is none of its entries`);
      v += p.min;
    } else if (typeof raw === 'number') v = Math.fround(raw);
    else throw new Error(`${p.name}: ${JSON.stringify(raw)} is not a value`);
    if (!(v >= Math.fround(p.min) && v <= Math.fround(p.max))) throw new Error(`${p.name}: ${raw} is out of range`);
    return v;
  }

  // The values of a preset object (property name to value); properties it leaves out keep
  // their defaults, as in `crumlet render --preset`.
  valuesOfPreset(preset) {
    const values = this.defaults();
    for (const [name, raw] of Object.entries(preset)) {
      if (name === 'description' || name === 'transmission') continue;
      const i = this.indexOf(name);
      values[i] = this.valueOf(this.list[i], raw);
    }
    return values;
  }

  // A preset object holding every value: switches as true/false, list entries by their text,
  // numbers as the shortest decimal of their single-precision value.
  presetOf(values, description) {
    const preset = {};
    if (description) preset.description = description;
    this.list.forEach((p, i) => {
      const v = values[i];
      if (p.type === 'bool') preset[p.name] = v !== 0;
      else if (p.values.length > 0) preset[p.name] = p.values[Math.round(v - p.min)];
      else preset[p.name] = shortestFloat(v);
    });
    return preset;
  }
}
