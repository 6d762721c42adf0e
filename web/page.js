// SPDX-License-Identifier: MIT
// The calculator's window in a web page. The C++ module (rms.js, rms.wasm) holds the
// calculator and the window's design; this script builds the controls and the sketches
// from that design, hands a press the five input texts, and replays what the press did:
// box writes, message boxes (each a modal dialog that holds the rest of the replay until
// it is dismissed) and the end of the program.

const status = document.getElementById('status');
const windowArea = document.getElementById('window');
const dialog = document.getElementById('message');

// The one place where twips become CSS pixels. A CSS pixel is the window's logical
// pixel; the browser's device-pixel ratio scales it to the screen as Qt's does.
let twipsPerPixel = 15;
function toPixels(twips) {
  return Math.trunc(twips / twipsPerPixel);
}

function place(element, [left, top, width, height]) {
  element.style.left = `${toPixels(left)}px`;
  element.style.top = `${toPixels(top)}px`;
  element.style.width = `${toPixels(width)}px`;
  element.style.height = `${toPixels(height)}px`;
}

// The desktop's rule: a decimal comma where the language writes one, the point
// everywhere else.
function decimalSeparatorOf(language) {
  const parts = new Intl.NumberFormat(language).formatToParts(1.5);
  return parts.find((part) => part.type === 'decimal')?.value === ',' ? ',' : '.';
}

const SVG = 'http://www.w3.org/2000/svg';
function svgElement(name, attributes) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) {
    element.setAttribute(key, String(value));
  }
  return element;
}

// The sketches, bottom to top in the order the design lists them. Lines and outlines
// run through the centres of their pixels, one logical pixel wide, so both end pixels
// light; a dotted line starts and ends on pixel edges so that each dot fills whole pixels.
function sketchLayer(module, design) {
  const svg = svgElement('svg', {
    class: 'sketches',
    width: toPixels(design.width),
    height: toPixels(design.height),
    'shape-rendering': 'crispEdges',
    'aria-hidden': 'true',
  });
  place(svg, [0, 0, design.width, design.height]);
  const { ShapeKind, LineStyle } = module;
  for (const element of design.sketch) {
    if (element.isLine) {
      const [x1, y1, x2, y2] = element.line.map((t) => toPixels(t) + 0.5);
      const line = { x1, y1, x2, y2 };
      if (element.style === LineStyle.Dotted) {
        const length = Math.hypot(x2 - x1, y2 - y1);
        if (length > 0) {
          const dx = (x2 - x1) / (2 * length);
          const dy = (y2 - y1) / (2 * length);
          Object.assign(line, { x1: x1 - dx, y1: y1 - dy, x2: x2 + dx, y2: y2 + dy });
        }
        line.class = 'dotted';
      } else {
        line['stroke-linecap'] = 'square';
      }
      svg.append(svgElement('line', line));
      continue;
    }
    const [left, top, width, height] = element.rect.map(toPixels);
    switch (element.shape) {
      case ShapeKind.Mask:
        svg.append(svgElement('rect', { class: 'mask', x: left, y: top, width, height }));
        break;
      case ShapeKind.Rectangle:
        svg.append(svgElement('rect', {
          class: 'outline', x: left + 0.5, y: top + 0.5, width: width - 1, height: height - 1,
        }));
        break;
      case ShapeKind.Ellipse:
        svg.append(svgElement('ellipse', {
          cx: left + width / 2, cy: top + height / 2, rx: (width - 1) / 2, ry: (height - 1) / 2,
        }));
        break;
      default:
        throw new Error(`the design has a sketch element of unknown kind ${element.shape.value}`);
    }
  }
  return svg;
}

// The message box icons: a stop sign, or information.
function drawIcon(critical) {
  const icon = dialog.querySelector('.icon');
  icon.replaceChildren();
  if (critical) {
    icon.append(svgElement('circle', { cx: 16, cy: 16, r: 15, fill: '#d32f2f' }));
    icon.append(svgElement('path', {
      d: 'M10 10 L22 22 M22 10 L10 22', stroke: '#fff', 'stroke-width': 3.5, 'stroke-linecap': 'round',
    }));
  } else {
    icon.append(svgElement('circle', { cx: 16, cy: 16, r: 15, fill: '#1f6fd1' }));
    icon.append(svgElement('circle', { cx: 16, cy: 9, r: 2.2, fill: '#fff' }));
    icon.append(svgElement('path', {
      d: 'M16 14 L16 24', stroke: '#fff', 'stroke-width': 3.5, 'stroke-linecap': 'round',
    }));
  }
}

document.getElementById('message-ok').addEventListener('click', () => dialog.close());

// Modal: resolves when the user has dismissed the box (OK, or Escape as on the desktop).
function showMessage(module, { text, style, title }) {
  document.getElementById('message-title').textContent = title;
  document.getElementById('message-text').textContent = text;
  drawIcon(style === module.MessageStyle.Critical);
  return new Promise((resolve) => {
    dialog.addEventListener('close', resolve, { once: true });
    dialog.showModal();
  });
}

// A link to a calculation: the five box texts in the address's fragment, under the keys a
// person sees and the batch's CSV header uses ("#t=0.5&T=1&Ip=1&Ia=.5&Ib=1"). Reading gives
// the texts to put in the boxes and what was ignored: a key that is not one of the five, a
// key given twice, a text that is not properly percent-escaped or is over the limit.
function readLink(fragment, keys, limit) {
  const found = new Map();  // key -> every text given for it
  const ignored = new Set();
  for (const part of fragment.split('&').filter((p) => p !== '')) {
    const at = part.indexOf('=');
    const key = at < 0 ? part : part.slice(0, at);
    if (!keys.includes(key)) {
      ignored.add(`unknown key "${key.length > 20 ? `${key.slice(0, 20)}…` : key}"`);
      continue;
    }
    found.set(key, [...(found.get(key) ?? []), at < 0 ? '' : part.slice(at + 1)]);
  }
  const texts = new Map();
  for (const [key, given] of found) {
    if (given.length > 1) {
      ignored.add(`repeated key "${key}"`);
      continue;
    }
    let text;
    try {
      text = decodeURIComponent(given[0]);
    } catch {
      ignored.add(`badly escaped "${key}"`);
      continue;
    }
    if (text.length > limit) {
      ignored.add(`over-long "${key}"`);
      continue;
    }
    texts.set(key, text);
  }
  return { texts, ignored: [...ignored] };
}

function ignoredSentence(ignored) {
  const list = new Intl.ListFormat('en', { type: 'conjunction' }).format(ignored);
  return `The link's ${list} ${ignored.length > 1 ? 'were' : 'was'} ignored.`;
}

// A box text in a fragment: percent-escaped, a lone surrogate (which has no escape) as U+FFFD.
function escapeText(text) {
  const lone = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/g;
  return encodeURIComponent(text.replace(lone, '\uFFFD'));
}

// Offline after one visit, where the browser allows a service worker; elsewhere (file://,
// workers turned off, a private window that refuses them) the page simply stays online.
// A newer site's worker takes over once this page has loaded all it needs from the old one.
async function keepOffline() {
  try {
    const registration = await navigator.serviceWorker.register('sw.js');
    const handOver = (worker) => {
      if (worker.state === 'installed') {
        worker.postMessage('activate');
      }
    };
    if (registration.waiting) {
      handOver(registration.waiting);
    }
    registration.addEventListener('updatefound', () => {
      const worker = registration.installing;
      worker?.addEventListener('statechange', () => handOver(worker));
    });
  } catch {
    // Nothing to tell: the calculator works as it is.
  }
}

// The elements of one of the module's vectors as an array; the vector itself is freed.
function arrayOf(vector) {
  try {
    return Array.from({ length: vector.size() }, (_, i) => vector.get(i));
  } finally {
    vector.delete();
  }
}

function start(module, design) {
  const { ControlKind, StepKind } = module;
  twipsPerPixel = design.twipsPerPixel;
  document.title = design.caption;
  place(windowArea, [0, 0, design.width, design.height]);

  // Labels first, then the sketches over them, then the boxes and the button on top:
  // the window's stacking.
  for (const row of design.controls.filter((c) => c.kind === ControlKind.Label)) {
    const label = document.createElement('div');
    label.className = 'label';
    label.classList.toggle('centred', row.align === module.TextAlign.Centred);
    label.classList.toggle('legend', row.font === module.FontRole.Legend);
    label.textContent = row.text;
    place(label, row.rect);
    windowArea.append(label);
  }
  windowArea.append(sketchLayer(module, design));

  const boxes = new Map();  // layout name -> input
  const kept = new Map();  // input box -> its last text within the limit
  const stops = [];
  let button = null;
  for (const row of design.controls.filter((c) => c.kind !== ControlKind.Label)) {
    let control;
    if (row.kind === ControlKind.TextBox) {
      control = document.createElement('input');
      control.type = 'text';
      control.value = row.text;
      control.spellcheck = false;
      control.autocomplete = 'off';
      control.setAttribute('aria-label', row.partner);
      boxes.set(row.name, control);
      if (row.input) {
        kept.set(control, row.text);
      }
    } else {
      control = document.createElement('button');
      control.type = 'button';
      control.textContent = row.text;
      button = control;
    }
    control.id = row.name;
    place(control, row.rect);
    windowArea.append(control);
    stops.push({ tab: row.tab, control });
  }
  stops.sort((a, b) => a.tab - b.tab);
  const order = stops.map((s) => s.control);

  // An edit that would make an input box longer than the limit is refused whole, and the
  // box keeps its text and selection, as the desktop's validator does.
  let selection = [0, 0];
  for (const [box] of kept) {
    box.addEventListener('beforeinput', () => {
      selection = [box.selectionStart, box.selectionEnd];
    });
    box.addEventListener('input', () => {
      if (box.value.length > design.maxInputLength) {
        box.value = kept.get(box);
        box.setSelectionRange(...selection);
      } else {
        kept.set(box, box.value);
      }
    });
  }

  // Made after the first frame, or by the first press if that comes sooner: the browser's
  // number formats, which give the separator, take longer to load than the rest of the start.
  let made = null;
  const calculator = () => {
    made ??= new module.Calculator(decimalSeparatorOf(navigator.language));
    return made;
  };
  const inputs = design.inputs.map(({ name }) => boxes.get(name));
  const keys = design.inputs.map(({ key }) => key);

  // Texts from the address are data: they only ever become a box's value.
  const link = readLink(location.hash.slice(1), keys, design.maxInputLength);
  keys.forEach((key, i) => {
    if (link.texts.has(key)) {
      inputs[i].value = link.texts.get(key);
      kept.set(inputs[i], inputs[i].value);
    }
  });
  if (link.ignored.length > 0) {
    status.textContent = ignoredSentence(link.ignored);
  }
  // After a press the address holds a link to what the window shows, in the same history entry.
  function writeLink() {
    const fragment = keys
      .map((key, i) => `${key}=${escapeText(calculator().linkText(inputs[i].value))}`)
      .join('&');
    history.replaceState(history.state, '', `#${fragment}`);
  }

  let running = false;
  let ended = false;
  function end() {
    ended = true;
    for (const control of order) {
      control.disabled = true;
    }
    status.textContent = 'The calculator has ended. Reload the page to start it afresh.';
  }
  async function press() {
    // One press at a time: a press while another waits in its message box is ignored.
    if (running || ended) {
      return;
    }
    running = true;
    try {
      const steps = arrayOf(calculator().press(inputs.map((box) => box.value)));
      for (const step of steps) {
        switch (step.kind) {
          case StepKind.Set: {
            const box = boxes.get(step.box);
            box.value = step.text;
            if (kept.has(box)) {
              kept.set(box, step.text);
            }
            break;
          }
          case StepKind.Message:
            await showMessage(module, step);
            break;
          case StepKind.End:
            end();
            break;
        }
      }
      if (linkOpened) {
        location.reload();
      } else {
        writeLink();
      }
    } finally {
      running = false;
    }
  }
  button.addEventListener('click', press);

  // A link opened in the tab that shows the page changes only the fragment, which loads
  // nothing: the page starts afresh from it, as from any link, once a press in progress has
  // finished.
  let linkOpened = false;
  window.addEventListener('hashchange', () => {
    linkOpened = true;
    if (!running) {
      location.reload();
    }
  });

  document.addEventListener('keydown', (event) => {
    if (dialog.open || ended) {
      return;
    }
    // The window's tab order, round from the button back to T and the other way.
    if (event.key === 'Tab' && !event.altKey && !event.ctrlKey && !event.metaKey) {
      event.preventDefault();
      const at = order.indexOf(document.activeElement);
      const step = event.shiftKey ? order.length - 1 : 1;
      const next = order[at < 0 ? (event.shiftKey ? order.length - 1 : 0) : (at + step) % order.length];
      next.focus();
      if (next instanceof HTMLInputElement) {
        next.select();
      }
    }
    // Calculate is not the default button: Enter neither in a box nor on it presses it.
    if (event.key === 'Enter' && event.target === button) {
      event.preventDefault();
    }
  });

  windowArea.hidden = false;
  const first = order[0];
  first.focus();
  first.setSelectionRange(first.value.length, first.value.length);
  performance.mark('calculator-ready');
  requestAnimationFrame(() => setTimeout(calculator));
  if ('serviceWorker' in navigator) {
    keepOffline();
  }
}

function failed(reason) {
  // The loader's abort names the file it could not fetch or compile in its own words.
  if (/Aborted\(.*wasm/.test(reason)) {
    reason = 'its WebAssembly module (rms.wasm) did not load or did not compile.';
  }
  windowArea.replaceChildren();
  windowArea.hidden = true;
  status.textContent = `The calculator could not start: ${reason}`;
}

try {
  if (typeof WebAssembly !== 'object') {
    throw new Error('this browser does not run WebAssembly.');
  }
  const { default: createCalculator } = await import('./rms.js');
  const module = await createCalculator({
    // The loader's own messages go to the console, not to the page.
    print: () => {},
    printErr: (text) => console.warn(text),
  });
  performance.mark('calculator-module');
  const design = module.design();
  design.controls = arrayOf(design.controls);
  design.sketch = arrayOf(design.sketch);
  start(module, design);
} catch (error) {
  failed(error instanceof Error ? error.message : String(error));
}
