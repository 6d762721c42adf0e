// SPDX-License-Identifier: MIT
// The page in every engine: one table of cases, each run in chromium, firefox and webkit
// through the seam of engines.js, each result named "engine: case". Controls are found by
// role and accessible name, values checked against the golden table's bits. What an engine
// cannot do is skipped by name with its reason; under CI=true a skip not listed below fails.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync, utimesSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';

import { engines } from './engines.js';
import { doubleBits, goldenRows, serveSite, siteDir } from './harness.js';

const INPUTS = ['t', 'T', 'Ip', 'Ia', 'Ib'];
const RESULTS = ['Full wave Sinusoidal', 'Pulsed Sinusoidal', 'Rectangular', 'Trapezoid',
  'Triangle', 'General (AC-Coupled)'];
const WARNING = 'Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%';
const EMPTY = 'Please ensure all boxes are filled';
const golden = goldenRows();
const row = (...texts) => golden.find((r) => r.texts.join('|') === texts.join('|'));
const initial = row('0.5', '1', '1', '.5', '1');
const ORDER = ['T', 't', 'Ia', 'Ib', 'Ip', ...RESULTS, 'Calculate'];
const PANELS = ['full_wave_sinusoidal', 'pulsed_sinusoidal', 'rectangular', 'trapezoid', 'triangle',
  'general_ac_coupled'];
const DOWNLOAD = 'Download the figure (SVG)';
// The FNV-1a hash of each figure the command line's --plot writes, by its five texts.
const figureHashes = new Map(readFileSync(join(dirname(fileURLToPath(import.meta.url)), '..', '..',
  'tests', 'golden', 'figures.tsv'), 'utf8').split('\n').filter((line) => line && !line.startsWith('#'))
  .map((line) => line.split('\t')).map((fields) => [fields.slice(0, 5).join('|'), fields[5]]));

// In the page: the figure under the window as shown, and the FNV-1a hash of the bytes its
// link downloads (its data: address percent-decoded, as the browser saves it); null if none.
function seeFigure() {
  const area = document.getElementById('figure');
  const svg = area.querySelector('svg');
  const link = area.querySelector('a');
  if (area.hidden || svg === null || svg.getClientRects().length === 0) {
    return null;
  }
  const href = link.getAttribute('href');
  const body = href.slice(href.indexOf(',') + 1);
  let hash = 0xcbf29ce484222325n;
  for (let i = 0; i < body.length; i += body[i] === '%' ? 3 : 1) {
    const byte = body[i] === '%' ? parseInt(body.slice(i + 1, i + 3), 16) : body.charCodeAt(i);
    hash = ((hash ^ BigInt(byte)) * 0x100000001b3n) & 0xffffffffffffffffn;
  }
  const byId = (id) => document.getElementById(svg.getAttribute(id))?.textContent ?? '';
  return {
    panels: [...svg.querySelectorAll('g[id]')].map((group) => group.id),
    role: svg.getAttribute('role'),
    title: byId('aria-labelledby'),
    description: byId('aria-describedby'),
    texts: [...svg.querySelectorAll('text')].map((text) => text.textContent),
    file: link.download,
    hash: hash.toString(16).padStart(16, '0'),
    wide: document.documentElement.scrollWidth,
    screen: innerWidth,
  };
}

// Skips that CI accepts; each case gives its own reason when it skips.
const EXPECTED_SKIPS = new Set([
  'chromium: a browser language Intl refuses ("C") calculates with the point',
  'webkit: Shift+Tab goes round the other way',
]);

// In the page: the CSS selector of the one element of a role and accessible name, as a
// screen reader meets them here (a box by its aria-label, a button by its text, a dialog by
// the element its aria-labelledby names); hidden ones are not found.
function locate([role, name]) {
  const roles = { textbox: 'input', button: 'button', dialog: 'dialog[open]', status: '[role=status]' };
  const nameOf = (element) => (element.getAttribute('aria-labelledby')
    ? document.getElementById(element.getAttribute('aria-labelledby')).textContent
    : element.getAttribute('aria-label') ?? element.textContent).trim();
  const found = [...document.querySelectorAll(roles[role])]
    .filter((element) => element.getClientRects().length > 0 && (name === null || nameOf(element) === name));
  if (found.length !== 1) {
    throw new Error(`${found.length} of ${role} "${name}"`);
  }
  return `#${CSS.escape(found[0].id)}`;
}

// What a case uses, over one engine's session.
function user(session, url) {
  const find = (role, name = null) => session.evaluate(locate, [role, name]);
  const self = {
    session,
    url,
    find,
    async waitFor(check, what) {
      for (let waited = 0; ; waited += 50) {
        try {
          return await check();
        } catch (error) {
          if (waited >= 5000) {
            throw new Error(`${what}: ${error.message}`);
          }
          await new Promise((resolve) => setTimeout(resolve, 50));
        }
      }
    },
    // From a blank page, so that a link differing only in its fragment is a fresh load and
    // the ready mark found is the new page's.
    async open(address = url) {
      await session.goto('about:blank');
      await session.goto(address);
      await self.waitFor(() => find('button', 'Calculate'), 'the window');
      await self.waitFor(() => session.evaluate(() => {
        if (performance.getEntriesByName('calculator-ready').length === 0) {
          throw new Error('not ready');
        }
      }), 'ready');
    },
    value: async (name) => session.evaluate((selector) => document.querySelector(selector).value,
      await find('textbox', name)),
    fill: async (name, text) => session.fill(await find('textbox', name), text),
    async type(texts) {
      for (let i = 0; i < INPUTS.length; ++i) {
        await self.fill(INPUTS[i], texts[i]);
      }
    },
    calculate: async () => session.click(await find('button', 'Calculate')),
    focused: () => session.evaluate(() => document.activeElement.getAttribute('aria-label')
      ?? document.activeElement.textContent),
    status: () => session.evaluate(() => document.getElementById('status').textContent),
    figure: () => session.evaluate(seeFigure),
    // The figure of a press of `texts` is shown, with the bytes --plot writes for them.
    async expectFigure(texts) {
      const seen = await self.waitFor(async () => {
        const figure = await self.figure();
        assert.notEqual(figure, null, 'no figure');
        return figure;
      }, 'the figure');
      assert.deepEqual(seen.panels, PANELS);
      assert.equal(seen.role, 'img');
      assert.ok(seen.title !== '' && seen.description !== '', `${seen.title} | ${seen.description}`);
      assert.match(seen.file, /^[a-z-]+-waveforms\.svg$/);
      assert.equal(seen.hash, figureHashes.get(texts.join('|')), texts.join(' '));
      assert.ok(seen.wide <= seen.screen, `${seen.wide} px wide in a ${seen.screen} px window`);
      return seen;
    },
    async dismiss(title, text) {
      const dialog = await self.waitFor(() => find('dialog', title), `the ${title} box`);
      assert.equal(await session.evaluate((selector) => document.querySelector(`${selector} p`).textContent, dialog), text);
      await session.click(await find('button', 'OK'));
      await self.waitFor(async () => assert.equal(
        await session.evaluate(() => document.querySelector('dialog[open]')), null), 'the box closing');
    },
    results(reference, separator = '.') {
      return self.waitFor(async () => {
        for (let i = 0; i < RESULTS.length; ++i) {
          const shown = await self.value(RESULTS[i]);
          const expected = reference.results[i];
          if (expected.startsWith('error')) {
            assert.equal(shown, '', `${RESULTS[i]}: ${expected}`);
          } else {
            assert.ok(separator === '.' || !shown.includes('.'), shown);
            assert.equal(doubleBits(Number(shown.replace(separator, '.'))), expected, RESULTS[i]);
          }
        }
      }, 'the results');
    },
  };
  return self;
}

// Each case: [name, language, body(user, skip)]. A body calls skip(reason) where its engine
// cannot do what it checks.
const CASES = [
  ['golden presses without a message', 'en-US', async (u) => {
    await u.open();
    assert.equal(await u.figure(), null);
    for (const reference of [initial, row('3', '10', '2.5', '0.2', '1.8'),
      row('1e-6', '2e-5', '40', '-3', '3'), row('0.25', '1', '-2', '5', '-5')]) {
      await u.type(reference.texts);
      await u.calculate();
      await u.results(reference);
      if (figureHashes.has(reference.texts.join('|'))) {
        await u.expectFigure(reference.texts);
      }
    }
  }],
  ['the warning writes T into t, and an empty box is reported', 'en-US', async (u) => {
    await u.open();
    const over = row('2', '1', '3', '1', '2');
    await u.type(over.texts);
    await u.calculate();
    await u.dismiss('Warning', WARNING);
    assert.equal(await u.value('t'), '1');
    await u.results(over);
    await u.open();  // the golden table's rows each start from a fresh window
    const empty = row('', '1', '1', '1', '1');
    await u.type(empty.texts);
    await u.calculate();
    await u.dismiss('Error', EMPTY);
    await u.results(empty);
  }],
  ['the eleventh failure ends the calculator', 'en-US', async (u) => {
    await u.open();
    await u.fill('Ia', '');
    for (let press = 1; press <= 10; ++press) {
      await u.calculate();
      await u.dismiss('Error', EMPTY);
    }
    await u.calculate();
    await u.dismiss('End', 'Error Not a number');
    await u.waitFor(async () => assert.match(await u.status(), /ended.*[Rr]eload/), 'the end');
    assert.ok(await u.session.evaluate(() => [...document.querySelectorAll('#window input, #window button')]
      .every((control) => control.disabled)));
  }],
  ['Tab goes round in the window order, Enter presses nothing, Space does', 'en-US', async (u) => {
    await u.open();
    assert.equal(await u.focused(), 'T');
    for (const name of [...ORDER.slice(1), 'T']) {
      await u.session.press('Tab');
      assert.equal(await u.focused(), name);
    }
    for (let i = 0; i < ORDER.length - 1; ++i) {
      await u.session.press('Tab');
    }
    assert.equal(await u.focused(), 'Calculate');
    await u.session.press('Enter');
    assert.equal(await u.value(RESULTS[0]), '');
    await u.session.press('Space');
    await u.results(initial);
    await u.expectFigure(initial.texts);
    // The figure's link comes after Calculate, and the round goes on to T.
    for (const name of [DOWNLOAD, ...ORDER]) {
      await u.session.press('Tab');
      assert.equal(await u.focused(), name);
    }
  }],
  ['Shift+Tab goes round the other way', 'en-US', async (u, skip) => {
    await u.open();
    if (u.session.cannot?.has('press Shift+Tab')) {
      skip(u.session.cannot.get('press Shift+Tab'));
      return;
    }
    for (const name of [...ORDER].reverse()) {
      await u.session.press('Shift+Tab');
      assert.equal(await u.focused(), name);
    }
  }],
  ['a German browser reads and writes the decimal comma', 'de-DE', async (u) => {
    await u.open();
    await u.type(['0,5', '1', '1', ',5', '1']);
    await u.calculate();
    await u.results(initial, ',');
    assert.match(await u.value(RESULTS[0]), /^0,7/);
    const { texts } = await u.waitFor(async () => {
      const figure = await u.figure();
      assert.notEqual(figure, null, 'no figure');
      return figure;
    }, 'the figure');
    const numbers = texts.join(' ').match(/\d[.,]\d/g) ?? [];
    assert.ok(numbers.length > 0 && numbers.every((number) => number.includes(',')), numbers.join(' '));
  }],
  ['a browser language Intl refuses ("C") calculates with the point', 'C', async (u, skip) => {
    await u.open();
    if (await u.session.evaluate(() => navigator.language) !== 'C') {
      skip('the engine does not report the language "C"');
      return;
    }
    await u.calculate();
    await u.results(initial);
    assert.equal(await u.status(), '');
  }],
  // A window narrower than the calculator's, in every engine: the one column, as displayed.
  ['a narrow window shows the one column, usable without zooming', 'en-US', async (u, skip) => {
    await u.session.resize(360, 740);
    await u.open();
    const seen = await u.session.evaluate(() => {
      const scale = visualViewport?.scale ?? 1;
      const shown = [...document.querySelectorAll('#window > :not(svg)')].map((element) => {
        const box = element.getBoundingClientRect();
        return [element.getAttribute('aria-label') ?? element.textContent, element.localName,
          parseFloat(getComputedStyle(element).fontSize) * scale, box.width * scale,
          box.height * scale, box.right];
      });
      return { shown, wide: document.documentElement.scrollWidth, screen: innerWidth };
    });
    if (seen.screen >= 709) {
      skip(`the window could not be made narrower than ${seen.screen} px`);
      return;
    }
    assert.ok(seen.wide <= seen.screen, `${seen.wide} px wide in a ${seen.screen} px window`);
    assert.equal(seen.shown.filter(([name]) => /^Irms = /.test(name)).length, 6);
    for (const [name, tag, text, width, height, right] of seen.shown) {
      assert.ok(right <= seen.screen, `${name} past the window's edge`);
      assert.ok(text >= (tag === 'div' ? 12 : 16), `${name}: ${text} px text`);
      assert.ok(tag === 'div' || (width >= 24 && height >= 24), `${name}: ${width} x ${height}`);
    }
    await u.calculate();
    await u.results(initial);
  }],
  ['links: filled, hostile and followed', 'en-US', async (u) => {
    await u.open(`${u.url}#t=%3Cb%3E1&T=1e%2B0&x=1&Ib=a%26b%3D`);
    assert.deepEqual(await Promise.all(INPUTS.map(u.value)), ['<b>1', '1e+0', '1', '.5', 'a&b=']);
    assert.equal(await u.status(), 'The link\'s unknown key "x" was ignored.');
    assert.equal(await u.session.evaluate(() => document.querySelectorAll('#window b').length), 0);
    await u.open(`${u.url}#t=2&T=1&Ip=1&Ia=.5&Ib=1`);
    assert.equal(await u.figure(), null);
    await u.calculate();
    await u.dismiss('Warning', WARNING);
    await u.expectFigure(['2', '1', '1', '.5', '1']);
    await u.open(`${u.url}#t=2&T=1&Ip=3&Ia=1&Ib=2`);
    await u.calculate();
    await u.dismiss('Warning', WARNING);
    await u.results(row('2', '1', '3', '1', '2'));
    await u.waitFor(async () => assert.equal(
      await u.session.evaluate(() => location.hash), '#t=1&T=1&Ip=3&Ia=1&Ib=2'), 'the address');
  }],
  ['nothing is asked of another origin, and the manifest and its icons load', 'en-US', async (u) => {
    await u.open();
    const { origins, icons, names } = await u.session.evaluate(async () => {
      const manifest = await (await fetch(document.querySelector('link[rel=manifest]').href)).json();
      const sizes = [];
      for (const icon of manifest.icons) {
        const image = new Image();
        image.src = icon.src;
        await image.decode();
        sizes.push([icon.sizes, `${image.naturalWidth}x${image.naturalHeight}`]);
      }
      return {
        origins: [...new Set(performance.getEntriesByType('resource').map((entry) => new URL(entry.name).origin))],
        icons: sizes,
        names: [document.title, manifest.name, manifest.short_name],
      };
    });
    // The window's caption is "<product> by <maker>", the manifest's name the product.
    const [title, full, short] = names;
    assert.ok(title.startsWith(`${full} by `) && full.endsWith(short) && short.length < full.length, names.join(' | '));
    assert.deepEqual(origins.filter((origin) => origin !== new URL(u.url).origin), []);
    assert.ok(icons.length >= 2);
    for (const [declared, decoded] of icons) {
      assert.equal(decoded, declared);
    }
  }],
  // Offline as the person meets it: the server is gone.
  ['after one visit the page starts and calculates with its server gone', 'en-US', async (u, skip, serve) => {
    const server = await serve();
    await u.open(server.url);
    const worker = await u.session.evaluate(async () => {
      if (!('serviceWorker' in navigator)) {
        return false;
      }
      const { active } = await navigator.serviceWorker.ready;
      if (active.state === 'activating') {
        await new Promise((done) => active.addEventListener('statechange', done, { once: true }));
      }
      return true;
    });
    if (!worker) {
      skip('no service worker in this engine here');
      return;
    }
    server.close();
    await u.open(server.url);
    const reference = row('', '1', '1', '1', '1');
    await u.type(reference.texts);
    await u.calculate();
    await u.dismiss('Error', EMPTY);
    await u.results(reference);
    await u.type(initial.texts);
    await u.calculate();
    await u.expectFigure(initial.texts);
  }],
  // A visit shows one build whole (its page and its module agree), and the visits after the
  // one that found the rebuilt site show the new one.
  ['a rebuilt site replaces the old one whole', 'en-US', async (u, skip, serve) => {
    const server = await serve();
    const visit = async () => {
      await u.open(server.url);
      const build = await u.session.evaluate(async () => {
        if (!('serviceWorker' in navigator)) {
          return null;
        }
        for (let waited = 0; performance.getEntriesByName('calculator-module').length === 0;
          waited += 20) {
          if (waited > 10_000) {
            throw new Error('the module did not come');
          }
          await new Promise((resolve) => setTimeout(resolve, 20));
        }
        const marks = [document.querySelector('meta[name="build"]')?.content ?? '1',
          String(globalThis.rmsBuild ?? 1)];
        const registration = await navigator.serviceWorker.ready;
        await registration.update();
        for (let waited = 0; registration.installing || registration.waiting; waited += 20) {
          if (waited > 10_000) {
            throw new Error('the new worker was neither activated nor discarded');
          }
          await new Promise((resolve) => setTimeout(resolve, 20));
        }
        return marks;
      });
      if (build === null) {
        return null;
      }
      assert.equal(build[0], build[1], 'a page of one build with the module of another');
      return build[0];
    };
    if (await visit() === null) {
      skip('no service worker in this engine here');
      return;
    }
    assert.equal(await visit(), '1');
    const index = join(server.dir, 'index.html');
    writeFileSync(index, readFileSync(index, 'utf8').replace('<head>', '<head>\n<meta name="build" content="2">'));
    appendFileSync(join(server.dir, 'rms.js'), '\nglobalThis.rmsBuild = 2;\n');
    const web = join(dirname(fileURLToPath(import.meta.url)), '..');
    execFileSync('cmake', [`-DSITE=${server.dir}`, `-DTEMPLATE=${join(web, 'sw.js.in')}`, '-P',
      join(web, 'precache.cmake')]);
    // Dated past the last visit's second, or the server would answer "304 Not Modified".
    const later = new Date(Date.now() + 5000);
    for (const file of ['index.html', 'rms.js', 'sw.js']) {
      utimesSync(join(server.dir, file), later, later);
    }
    const seen = [await visit(), await visit(), await visit()];
    assert.deepEqual(seen.slice(1), ['2', '2'], seen.join(' '));
    assert.equal(await u.session.evaluate(async () => (await caches.keys()).length), 1);
  }],
];

const serveCopy = async (dirs) => {
  const dir = mkdtempSync(join(tmpdir(), 'rms engine site ä '));
  dirs.push(dir);
  cpSync(siteDir, dir, { recursive: true });
  return { ...await serveSite(dir), dir };
};

let site;
const made = [];
before(async () => {
  site = await serveSite();
});
after(() => {
  site?.close();
  for (const dir of made) {
    rmSync(dir, { recursive: true, force: true });
  }
});

for (const engine of engines()) {
  after(() => engine.close());
  for (const [name, language, body] of CASES) {
    const title = `${engine.name}: ${name}`;
    test(title, { timeout: 120_000 }, async (t) => {
      let skipped = null;
      const skip = (reason) => {
        skipped = reason;
      };
      if (engine.missing) {
        skip(engine.missing);
      } else {
        const session = await engine.open(language);
        const servers = [];
        try {
          await body(user(session, site.url), skip, async () => {
            const server = await serveCopy(made);
            servers.push(server);
            return server;
          });
        } finally {
          await session.close();
          servers.forEach((server) => server.close());
        }
      }
      if (skipped !== null) {
        assert.ok(process.env.CI !== 'true' || EXPECTED_SKIPS.has(title),
          `${title} was skipped under CI: ${skipped}`);
        t.skip(skipped);
      }
    });
  }
}
