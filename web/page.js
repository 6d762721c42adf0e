// SPDX-License-Identifier: MIT
// The calculator's window in a web page. The page holds the window itself, written at build
// time from the design's tables (web/page_window.cpp): this script gives its boxes and button
// their behaviour, makes it ready before the C++ module (rms.js, rms.wasm) has loaded, and
// from then on hands each press the five input texts and replays what the press did: box
// writes, message boxes (each a modal dialog that holds the rest of the replay until it is
// dismissed) and the end of the program.

const status = document.getElementById('status');
const windowArea = document.getElementById('window');
const dialog = document.getElementById('message');
const figureArea = document.getElementById('figure');

// The desktop's rule: a decimal comma where the language writes one, the point
// everywhere else, and so also for a language Intl refuses (WebKitGTK in the C locale
// reports "C"), as the desktop writes the point in the C locale.
function decimalSeparatorOf(language) {
  let parts;
  try {
    parts = new Intl.NumberFormat(language).formatToParts(1.5);
  } catch {
    return '.';
  }
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
function showMessage({ text, style, title }) {
  document.getElementById('message-title').textContent = title;
  document.getElementById('message-text').textContent = text;
  drawIcon(style === 'critical');
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

// The press's figure under the window, and a link that saves it as the very SVG it is. The
// page's copy goes without its <style>, which the page's policy refuses: the page's own style
// has its rules. A data: address, not a blob:, which the policy's connect-src would keep unreadable.
function showFigure(svg, fileName) {
  // Cut before parsing: a parsed document's <style> meets the page's policy too.
  const shown = svg.replace(/<style>[^<]*<\/style>\n?/, '');
  const figure = new DOMParser().parseFromString(shown, 'image/svg+xml').documentElement;
  const link = document.createElement('a');
  link.href = `data:image/svg+xml;charset=utf-8,${encodeURIComponent(svg)}`;
  link.download = fileName;
  link.textContent = 'Download the figure (SVG)';
  figureArea.replaceChildren(document.importNode(figure, true), link);
  figureArea.hidden = false;
}

// The window as the page holds it: ready at once, the module asked for only afterwards.
function start(loading) {
  const boxes = new Map([...windowArea.querySelectorAll('input')].map((box) => [box.id, box]));
  const button = windowArea.querySelector('button');
  const order = [...windowArea.querySelectorAll('[data-tab]')]
    .sort((a, b) => Number(a.dataset.tab) - Number(b.dataset.tab));
  const limit = Number(windowArea.dataset.limit);
  const inputs = windowArea.dataset.inputs.split(' ').map((name) => boxes.get(name));
  const keys = inputs.map((box) => box.dataset.key);
  // A reload starts from the design's texts, as a new window does, never from a restored form.
  for (const box of boxes.values()) {
    box.value = box.defaultValue;
  }
  // Each input box with its last text within the limit.
  const kept = new Map(inputs.map((box) => [box, box.value]));

  // An edit that would make an input box longer than the limit is refused whole, and the
  // box keeps its text and selection, as the desktop's validator does.
  let selection = [0, 0];
  for (const [box] of kept) {
    box.addEventListener('beforeinput', () => {
      selection = [box.selectionStart, box.selectionEnd];
    });
    box.addEventListener('input', () => {
      if (box.value.length > limit) {
        box.value = kept.get(box);
        box.setSelectionRange(...selection);
      } else {
        kept.set(box, box.value);
      }
    });
  }

  // Made once the module has come, or by the first press if that is sooner.
  let made = null;
  const calculator = (module) => {
    made ??= new module.Calculator(decimalSeparatorOf(navigator.language));
    return made;
  };
  // A fault here is the first press's to report.
  loading.then(calculator).catch(() => {});

  // Texts from the address are data: they only ever become a box's value.
  const link = readLink(location.hash.slice(1), keys, limit);
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
  function writeLink(module) {
    const fragment = keys
      .map((key, i) => `${key}=${escapeText(calculator(module).linkText(inputs[i].value))}`)
      .join('&');
    history.replaceState(history.state, '', `#${fragment}`);
  }

  let running = false;
  let ended = false;
  const failedPress = 'The press failed in this page, not in the calculation; press Calculate to try again.';
  function end() {
    ended = true;
    for (const control of order) {
      control.disabled = true;
    }
    status.textContent = 'The calculator has ended. Reload the page to start it afresh.';
  }
  async function press() {
    // One press at a time: a press while another waits in its message box, or for the
    // module, is ignored.
    if (running || ended) {
      return;
    }
    running = true;
    if (status.textContent === failedPress) {
      status.textContent = '';
    }
    try {
      let module;
      try {
        module = await loading;
      } catch {
        return;  // the status line already says the calculator could not start
      }
      const steps = calculator(module).press(inputs.map((box) => box.value));
      const figure = calculator(module).figure();
      // The figure comes with the last result written, in the same frame.
      const lastResult = steps.findLastIndex((step) => step.kind === 'set'
        && !kept.has(boxes.get(step.box)));
      if (lastResult < 0) {
        showFigure(figure, windowArea.dataset.figure);
      }
      for (const [at, step] of steps.entries()) {
        switch (step.kind) {
          case 'set': {
            const box = boxes.get(step.box);
            box.value = step.text;
            if (kept.has(box)) {
              kept.set(box, step.text);
            }
            if (at === lastResult) {
              showFigure(figure, windowArea.dataset.figure);
            }
            break;
          }
          case 'message':
            await showMessage(step);
            break;
          case 'end':
            end();
            break;
        }
      }
      if (linkOpened) {
        location.reload();
      } else {
        writeLink(module);
      }
    } catch (error) {
      // A fault of the page itself: said, not swallowed, and the next press starts afresh.
      console.error(error);
      if (dialog.open) {
        dialog.close();
      }
      status.textContent = failedPress;
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
    // The window's tab order, round from the button (or the figure's link after it, once
    // there is a figure) back to T and the other way.
    if (event.key === 'Tab' && !event.altKey && !event.ctrlKey && !event.metaKey) {
      event.preventDefault();
      const round = figureArea.hidden ? order : [...order, figureArea.querySelector('a')];
      const at = round.indexOf(document.activeElement);
      const step = event.shiftKey ? round.length - 1 : 1;
      const next = round[at < 0 ? (event.shiftKey ? round.length - 1 : 0) : (at + step) % round.length];
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

// The module: its loader, which fetches and compiles the code as it streams in.
async function load() {
  const { default: createCalculator } = await import('./rms.js');
  const module = await createCalculator({
    // The loader's own messages go to the console, not to the page.
    print: () => {},
    printErr: (text) => console.warn(text),
  });
  performance.mark('calculator-module');
  return module;
}

if (typeof WebAssembly !== 'object') {
  failed('this browser does not run WebAssembly.');
} else {
  try {
    // Asked for after the first frame: evaluating the loader and starting the module would
    // otherwise hold back the paint of a window that is already there.
    const loading = new Promise((painted) => requestAnimationFrame(() => setTimeout(painted)))
      .then(load);
    start(loading);
    // A newer site's worker is let in only once the page has everything it needs from the
    // site it came from.
    await loading;
    if ('serviceWorker' in navigator) {
      keepOffline();
    }
  } catch (error) {
    failed(error instanceof Error ? error.message : String(error));
  }
}
