// SPDX-License-Identifier: MIT
// The page as a user meets it, in Debian's chromium: found only by roles and accessible
// names, values checked against the committed golden table (the native build's bits).
// The press logic itself is tested in C++; this proves the page around it.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import {
  cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync,
} from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { after, before, test as nodeTest } from 'node:test';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import {
  doubleBits, goldenRows, launchBrowser, newContext, screenshotGrey, serveSite, siteDir,
} from './harness.js';

const INPUTS = ['t', 'T', 'Ip', 'Ia', 'Ib'];  // the boxes in the golden table's order
const RESULTS = ['Full wave Sinusoidal', 'Pulsed Sinusoidal', 'Rectangular', 'Trapezoid',
  'Triangle', 'General (AC-Coupled)'];
const CAPTION = 'Korvath RMS calculator by Tandrell';
const golden = goldenRows();

// Each test has its own bound, so a hang names its test instead of lasting until ctest's.
// These cases use what only chromium's driver gives (routes, offline, the DevTools
// protocol, phone emulation, screenshots), so each result names it; the cases every engine
// runs are in engines.test.js.
const test = (name, body) => nodeTest(`chromium: ${name}`, { timeout: 60_000 }, body);
const row = (...texts) => golden.find((r) => r.texts.join('|') === texts.join('|'));

let site;
let browser;
before(async () => {
  site = await serveSite();
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  site?.close();
});

// A fresh page, ready; every request and console complaint is kept for the checks.
async function openPage(options = {}, address = site.url) {
  const context = await newContext(browser, { viewport: { width: 760, height: 440 }, ...options });
  const page = await context.newPage();
  page.requests = [];
  page.complaints = [];
  page.on('request', (request) => page.requests.push(request.url()));
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') {
      page.complaints.push(message.text());
    }
  });
  page.on('pageerror', (error) => page.complaints.push(error.message));
  await page.goto(address);
  await page.getByRole('button', { name: 'Calculate' }).waitFor();
  return page;
}

// Every test ends on a page that has not complained: no script error, no blocked load.
async function finish(page) {
  assert.deepEqual(page.complaints, []);
  await page.context().close();
}

const box = (page, name) => page.getByRole('textbox', { name, exact: true });
const calculate = (page) => page.getByRole('button', { name: 'Calculate' });
const isFocused = (locator) => locator.evaluate((element) => element === document.activeElement);

async function typeInputs(page, texts) {
  for (let i = 0; i < INPUTS.length; ++i) {
    await box(page, INPUTS[i]).fill(texts[i]);
  }
}

// The rest of a press runs once its message box has closed, a moment after the box has
// gone: checks of what the press writes are retried for up to two seconds.
async function eventually(check) {
  for (let waited = 0; ; waited += 50) {
    try {
      return await check();
    } catch (error) {
      if (waited >= 2000) {
        throw error;
      }
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }
}

// Each result box shows the golden result, or nothing where it could not be computed.
function expectResults(page, reference, separator = '.') {
  return eventually(() => resultsAre(page, reference, separator));
}
async function resultsAre(page, reference, separator) {
  for (let i = 0; i < RESULTS.length; ++i) {
    const shown = await box(page, RESULTS[i]).inputValue();
    const expected = reference.results[i];
    if (expected.startsWith('error')) {
      assert.equal(shown, '', `${RESULTS[i]}: ${expected}`);
    } else {
      assert.ok(separator === '.' || !shown.includes('.'), shown);
      assert.equal(doubleBits(Number(shown.replace(separator, '.'))), expected, RESULTS[i]);
    }
  }
}

// Waits for the message box, checks it and dismisses it with OK.
async function dismiss(page, title, text) {
  const dialog = page.getByRole('dialog', { name: title });
  await dialog.waitFor();
  assert.equal(await dialog.getByText(text, { exact: true }).count(), 1, text);
  await dialog.getByRole('button', { name: 'OK' }).click();
  await dialog.waitFor({ state: 'hidden' });
}

test('starts as the window does, asking nothing of another origin', async () => {
  const page = await openPage();
  assert.equal(await page.title(), CAPTION);
  const initial = { t: '0.5', T: '1', Ip: '1', Ia: '.5', Ib: '1' };
  for (const [name, text] of Object.entries(initial)) {
    assert.equal(await box(page, name).inputValue(), text, name);
  }
  for (const name of RESULTS) {
    assert.equal(await box(page, name).inputValue(), '', name);
  }
  assert.equal(await page.getByRole('textbox').count(), 11);
  assert.ok(await isFocused(box(page, 'T')));
  const origin = new URL(site.url).origin;
  assert.deepEqual(page.requests.filter((url) => new URL(url).origin !== origin), []);
  await finish(page);  // a blocked script or wasm would complain
});

test('a module that does not load leaves one line and no form', async () => {
  const context = await newContext(browser);
  await context.route('**/rms.wasm', (route) => route.fulfill({ status: 404, body: '' }));
  const page = await context.newPage();
  await page.goto(site.url);
  const line = page.getByRole('status');
  await line.getByText(/^The calculator could not start: ./).waitFor();
  assert.equal(await page.getByRole('textbox').count(), 0);
  assert.equal(await page.getByRole('button').count(), 0);
  await context.close();
});

// The window comes with the page; the module is needed only at the first press.
test('the window is ready before its module has come, and a press waits for it', async () => {
  const context = await newContext(browser, { serviceWorkers: 'block' });
  let release;
  const held = new Promise((resolve) => {
    release = resolve;
  });
  await context.route('**/rms.wasm', async (route) => {
    await held;
    await route.continue();
  });
  const page = await context.newPage();
  await page.goto(site.url, { waitUntil: 'domcontentloaded' });
  await page.waitForFunction(() => performance.getEntriesByName('calculator-ready').length > 0);
  assert.ok(await isFocused(box(page, 'T')));
  assert.equal(await page.evaluate(() => performance.getEntriesByName('calculator-module').length), 0);
  await calculate(page).click();
  assert.equal(await box(page, RESULTS[0]).inputValue(), '');
  release();
  await expectResults(page, row('0.5', '1', '1', '.5', '1'));
  await context.close();
});

test('a press with the initial texts shows the six results', async () => {
  const page = await openPage();
  await calculate(page).click();
  await expectResults(page, row('0.5', '1', '1', '.5', '1'));
  assert.equal(await page.getByRole('dialog').count(), 0);
  await finish(page);
});

test('a duty cycle above 100 % writes T into t and warns; a second press waits', async () => {
  const page = await openPage();
  const reference = row('2', '1', '3', '1', '2');
  await typeInputs(page, reference.texts);
  await calculate(page).click();
  // The warning holds the rest of the press: no result is written yet, and a second
  // press from code while it is open is ignored.
  await page.getByRole('dialog', { name: 'Warning' }).waitFor();
  assert.equal(await box(page, 't').inputValue(), '1');
  assert.equal(await box(page, RESULTS[0]).inputValue(), '');
  await calculate(page).dispatchEvent('click');
  // Run, it would have read t as written and filled every box at once.
  assert.equal(await box(page, RESULTS[0]).inputValue(), '');
  await dismiss(page, 'Warning', 'Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%');
  await expectResults(page, reference);
  assert.equal(await page.getByRole('dialog').count(), 0);
  await finish(page);
});

test('an empty box is reported once and the press goes on', async () => {
  const page = await openPage();
  const reference = row('', '1', '1', '1', '1');
  await typeInputs(page, reference.texts);
  await calculate(page).click();
  await dismiss(page, 'Error', 'Please ensure all boxes are filled');
  await expectResults(page, reference);
  await finish(page);
});

test('the eleventh failure ends the calculator and the page says so', async () => {
  const page = await openPage();
  await box(page, 'Ia').fill('');
  for (let press = 1; press <= 10; ++press) {
    await calculate(page).click();
    await dismiss(page, 'Error', 'Please ensure all boxes are filled');
  }
  await calculate(page).click();
  await dismiss(page, 'End', 'Error Not a number');
  await eventually(async () => {
    for (const name of [...INPUTS, ...RESULTS]) {
      assert.ok(await box(page, name).isDisabled(), name);
    }
    assert.ok(await calculate(page).isDisabled());
  });
  const line = await page.getByRole('status').textContent();
  assert.match(line, /ended/);
  assert.match(line, /[Rr]eload/);
  await finish(page);
});

test('Tab goes round in the window order, Shift+Tab back, and Enter presses nothing', async () => {
  const page = await openPage();
  const order = ['T', 't', 'Ia', 'Ib', 'Ip', ...RESULTS].map((name) => box(page, name));
  order.push(calculate(page));
  for (const control of [...order.slice(1), order[0]]) {
    await page.keyboard.press('Tab');
    assert.ok(await isFocused(control), await control.evaluate((e) => e.ariaLabel ?? e.textContent));
  }
  for (const control of [...order].reverse()) {
    await page.keyboard.press('Shift+Tab');
    assert.ok(await isFocused(control), await control.evaluate((e) => e.ariaLabel ?? e.textContent));
  }
  // Enter in a box or on the button does not calculate; Space on the button does.
  await box(page, 'Ip').press('Enter');
  await box(page, 'T').focus();
  await page.keyboard.press('Shift+Tab');
  assert.ok(await isFocused(calculate(page)));
  await page.keyboard.press('Enter');
  assert.equal(await page.getByRole('dialog').count(), 0);
  assert.equal(await box(page, RESULTS[0]).inputValue(), '');
  await page.keyboard.press('Space');
  await expectResults(page, row('0.5', '1', '1', '.5', '1'));
  await finish(page);
});

test('an edit past 32,767 characters is refused whole', async () => {
  const page = await openPage();
  await box(page, 'Ip').fill('0'.repeat(32766) + '5');
  assert.equal((await box(page, 'Ip').inputValue()).length, 32767);
  await box(page, 'Ia').fill('0'.repeat(32767) + '5');
  assert.equal(await box(page, 'Ia').inputValue(), '.5');
  await finish(page);
});

test('where the language writes a decimal comma, the page reads and writes one', async () => {
  const page = await openPage({ locale: 'de-DE' });
  const reference = row('2', '1', '3', '1', '2');
  await typeInputs(page, ['2', '1,0', '3', '1', '2,0']);
  await calculate(page).click();
  await dismiss(page, 'Warning', 'Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%');
  await expectResults(page, reference, ',');
  await typeInputs(page, ['0,5', '1', '1', ',5', '1']);
  await calculate(page).click();
  const defaults = row('0.5', '1', '1', '.5', '1');
  await expectResults(page, defaults, ',');
  assert.match(await box(page, RESULTS[0]).inputValue(), /^0,7/);
  await finish(page);
});

// A few sketch pixels, in logical pixels of the window, as the desktop's sketch test
// checks them: at 1x each is one device pixel, at 2x a square of four.
for (const scale of [1, 2]) {
  test(`the sketches are drawn at their places, at ${scale}x`, async () => {
    const page = await openPage({ deviceScaleFactor: scale });
    // The window's corner, from the T box at (3000, 5040) twips, 200 x 336 pixels.
    const t = await box(page, 'T').boundingBox();
    const origin = { x: t.x - 200, y: t.y - 336 };
    const shot = await screenshotGrey(page);
    const ink = (x, y) => {
      let darkest = 255;
      for (let dy = 0; dy < scale; ++dy) {
        for (let dx = 0; dx < scale; ++dx) {
          darkest = Math.min(darkest, shot.grey((origin.x + x) * scale + dx, (origin.y + y) * scale + dy));
        }
      }
      return darkest < 128;
    };
    // The separator from (6600, 120) to (6600, 5520): pixel column 440, rows 8 to 368.
    for (let y = 8; y <= 368; ++y) {
      assert.ok(ink(440, y), `separator at y ${y}`);
    }
    assert.ok(!ink(439, 200) && !ink(441, 200) && !ink(440, 7) && !ink(440, 369));
    // The mask of panel 0 hides the humps' lower halves: nothing between the time axis
    // (y 40) and panel 1 (from y 48) right of the axis.
    for (let y = 41; y < 48; ++y) {
      for (let x = 9; x < 96; ++x) {
        assert.ok(!ink(x, y), `panel 0 below its axis at ${x}, ${y}`);
      }
    }
    // The top of the first rectangle of panel 3, over the panel-1 mask: row 104, x 8 to 24.
    for (let x = 8; x <= 24; ++x) {
      assert.ok(ink(x, 104), `rectangle top at x ${x}`);
    }
    await finish(page);
  });
}

// What a phone fetches on a first visit: every file of the site, at gzip -9 as a server
// would send it (74,764 bytes with the press's figure, once embind and the font's hinting
// had gone).
nodeTest('the site is under 80 KiB gzipped', () => {
  const bytes = readdirSync(siteDir).reduce((sum, file) =>
    sum + gzipSync(readFileSync(join(siteDir, file)), { level: 9 }).length, 0);
  assert.ok(bytes < 80 * 1024, `${bytes} bytes`);
});

// A phone, by touch: sizes as displayed (CSS pixels times the visual viewport's scale),
// nothing wider than the screen, every panel's parts shown, and presses by tapping.
for (const [width, height] of [[390, 844], [360, 740], [844, 390]]) {
  test(`a phone's ${width} x ${height} screen: usable without zooming, and tapped presses calculate`, async () => {
    const page = await openPage({ viewport: { width, height }, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
    const seen = await page.evaluate(() => {
      const scale = visualViewport.scale;
      const shown = [...document.querySelectorAll('#window > :not(svg)')].map((element) => {
        const box = element.getBoundingClientRect();
        return {
          name: element.getAttribute('aria-label') ?? element.textContent,
          tag: element.localName,
          text: parseFloat(getComputedStyle(element).fontSize) * scale,
          width: box.width * scale,
          height: box.height * scale,
          right: box.right,
        };
      });
      const sketches = document.querySelector('svg.sketches').getBoundingClientRect();
      return { shown, sketches: sketches.width * sketches.height, wide: document.documentElement.scrollWidth, screen: innerWidth };
    });
    assert.ok(seen.wide <= seen.screen, `${seen.wide} px wide on a ${seen.screen} px screen`);
    assert.ok(seen.sketches > 0);
    assert.equal(seen.shown.filter((e) => e.text && /^Irms = /.test(e.name)).length, 6);
    for (const element of seen.shown) {
      assert.ok(element.right <= seen.screen, `${element.name} past the screen's edge`);
      if (element.tag === 'div') {
        assert.ok(element.text >= 12, `${element.name}: ${element.text} px text`);
      } else {
        assert.ok(element.text >= 16, `${element.name}: ${element.text} px text`);
        assert.ok(element.width >= 24 && element.height >= 24, `${element.name}: ${element.width} x ${element.height}`);
      }
    }
    for (const name of RESULTS) {
      assert.ok(await page.getByText(name, { exact: true }).isVisible(), name);
    }
    await calculate(page).tap();
    await expectResults(page, row('0.5', '1', '1', '.5', '1'));
    // The figure joins the column and scales down to it.
    const figure = page.getByRole('img', { name: /^Waveforms/ });
    assert.ok(await figure.isVisible());
    const shown = await page.evaluate(() => ({
      wide: document.documentElement.scrollWidth,
      right: document.querySelector('#figure svg').getBoundingClientRect().right,
      screen: innerWidth,
    }));
    assert.ok(shown.wide <= shown.screen && shown.right <= shown.screen, JSON.stringify(shown));
    const reference = row('2', '1', '3', '1', '2');
    await typeInputs(page, reference.texts);
    await calculate(page).tap();
    const ok = page.getByRole('dialog', { name: 'Warning' }).getByRole('button', { name: 'OK' });
    const okBox = await ok.boundingBox();
    assert.ok(okBox.width >= 24 && okBox.height >= 24, `OK: ${okBox.width} x ${okBox.height}`);
    await ok.tap();
    await expectResults(page, reference);
    await finish(page);
  });
}

// The page as an app. Chromium reads the manifest itself (its own parser, over the DevTools
// protocol); the icons are decoded by the page.
test('the manifest parses, its icons have their sizes, and a worker is active after one visit', async () => {
  const page = await openPage();
  const devtools = await page.context().newCDPSession(page);
  const { errors, data } = await devtools.send('Page.getAppManifest');
  assert.deepEqual(errors, []);
  const manifest = JSON.parse(data);
  assert.equal(manifest.display, 'standalone');
  const face = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
  const hex = `#${face.match(/\d+/g).map((c) => Number(c).toString(16).padStart(2, '0')).join('')}`;
  assert.equal(manifest.background_color, hex);
  assert.equal(manifest.theme_color, hex);
  assert.deepEqual(manifest.icons.map((icon) => icon.sizes), ['192x192', '512x512', '512x512']);
  assert.ok(manifest.icons.some((icon) => icon.purpose === 'maskable'));
  for (const icon of manifest.icons) {
    const size = await page.evaluate(async (src) => {
      const bitmap = await createImageBitmap(await (await fetch(src)).blob());
      return `${bitmap.width}x${bitmap.height}`;
    }, icon.src);
    assert.equal(size, icon.sizes, icon.src);
  }
  // ready gives the worker as soon as it is activating; its activation is done a moment later.
  assert.equal(await page.evaluate(async () => {
    const { active } = await navigator.serviceWorker.ready;
    if (active.state === 'activating') {
      await new Promise((done) => active.addEventListener('statechange', done, { once: true }));
    }
    return active.state;
  }), 'activated');
  await finish(page);
});

test('after one visit the page starts and calculates offline', async () => {
  const page = await openPage();
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.context().setOffline(true);
  for (const reference of [row('0.5', '1', '1', '.5', '1'), row('', '1', '1', '1', '1')]) {
    await page.reload();
    await typeInputs(page, reference.texts);
    await calculate(page).click();
    if (reference.texts[0] === '') {
      await dismiss(page, 'Error', 'Please ensure all boxes are filled');
    }
    await expectResults(page, reference);
  }
  await finish(page);
});

test('with service workers blocked the page starts and calculates', async () => {
  const page = await openPage({ serviceWorkers: 'block' });
  await calculate(page).click();
  await expectResults(page, row('0.5', '1', '1', '.5', '1'));
  assert.equal(await page.evaluate(() => navigator.serviceWorker.controller), null);
  // Playwright's own word on the blocked registration; the page says nothing.
  page.complaints = page.complaints.filter((text) => !/blocked by Playwright/.test(text));
  await finish(page);
});

// Two releases on one origin, as a stable and a newer copy are served: each keeps its own
// offline copy, and a visit to one does not clear the other's.
test('two releases under /v1/ and /v2/ both start and calculate offline', async () => {
  const dir = mkdtempSync(join(tmpdir(), 'rms two releases ä '));
  const web = join(dirname(fileURLToPath(import.meta.url)), '..');
  for (const release of ['v1', 'v2']) {
    const folder = join(dir, release);
    cpSync(siteDir, folder, { recursive: true });
    const index = join(folder, 'index.html');
    writeFileSync(index, readFileSync(index, 'utf8').replace('<head>', `<head>\n<meta name="build" content="${release}">`));
    execFileSync('cmake', [`-DSITE=${folder}`, `-DTEMPLATE=${join(web, 'sw.js.in')}`, '-P',
      join(web, 'precache.cmake')]);
  }
  const server = await serveSite(dir);
  const context = await newContext(browser);
  try {
    const page = await context.newPage();
    for (const release of ['v1', 'v2']) {
      await page.goto(`${server.url}${release}/`);
      await calculate(page).waitFor();
      await page.evaluate(async () => {
        const { active } = await navigator.serviceWorker.ready;
        if (active.state === 'activating') {
          await new Promise((done) => active.addEventListener('statechange', done, { once: true }));
        }
      });
    }
    assert.equal(await page.evaluate(async () => (await caches.keys()).length), 2);
    await context.setOffline(true);
    for (const release of ['v1', 'v2']) {
      await page.goto(`${server.url}${release}/`);
      assert.equal(await page.evaluate(() => document.querySelector('meta[name="build"]').content), release);
      await calculate(page).click();
      await expectResults(page, row('0.5', '1', '1', '.5', '1'));
    }
    // Its cache gone, a release still registered comes from the network.
    await context.setOffline(false);
    await page.evaluate(async () => Promise.all((await caches.keys()).map((name) => caches.delete(name))));
    await page.goto(`${server.url}v1/`);
    await calculate(page).click();
    await expectResults(page, row('0.5', '1', '1', '.5', '1'));
  } finally {
    await context.close();
    server.close();
    rmSync(dir, { recursive: true, force: true });
  }
});

// A fault of the page's own is told on the status line, and the next press works.
test('a press that fails unplanned says so, and the next press calculates', async () => {
  const context = await newContext(browser, { viewport: { width: 760, height: 440 } });
  await context.addInitScript(() => {
    const replace = History.prototype.replaceState;
    let failures = 1;
    History.prototype.replaceState = function replaceState(...args) {
      if (failures-- > 0) {
        throw new Error('injected');
      }
      return replace.apply(this, args);
    };
  });
  const page = await context.newPage();
  await page.goto(site.url);
  await calculate(page).click();
  await page.getByRole('status').getByText(/^The press failed/).waitFor();
  assert.ok(!(await calculate(page).isDisabled()));
  const reference = row('3', '10', '2.5', '0.2', '1.8');
  await typeInputs(page, reference.texts);
  await calculate(page).click();
  await expectResults(page, reference);
  assert.equal(await page.getByRole('status').count(), 0);
  await context.close();
});

// Links: the fragment fills the boxes it names, nothing is pressed, and the status line says
// in one sentence what was ignored.
const initialTexts = ['0.5', '1', '1', '.5', '1'];
const over = '1'.repeat(32768);
for (const [name, fragment, texts, line] of [
  ['five texts fill the boxes', 't=2&T=1&Ip=3&Ia=1&Ib=2', ['2', '1', '3', '1', '2'], ''],
  ['escapes are decoded, and markup is text', 't=%3Cb%3E1&T=1e%2B0&Ib=a%26b%3D',
    ['<b>1', '1e+0', '1', '.5', 'a&b='], ''],
  ['a text of the limit is taken', `Ip=${over.slice(1)}`, ['0.5', '1', over.slice(1), '.5', '1'], ''],
  ['an unknown key', 'x=1&t=2&ip=3', ['2', '1', '1', '.5', '1'],
    'The link\'s unknown key "x" and unknown key "ip" were ignored.'],
  ['a repeated key', 'T=2&Ip=4&T=2', ['0.5', '1', '4', '.5', '1'],
    'The link\'s repeated key "T" was ignored.'],
  ['a bad escape', 'Ia=%E0%A4&t=3&Ib=%zz', ['3', '1', '1', '.5', '1'],
    'The link\'s badly escaped "Ia" and badly escaped "Ib" were ignored.'],
  ['an over-long text', `Ip=${over}&Ib=7`, ['0.5', '1', '1', '.5', '7'],
    'The link\'s over-long "Ip" was ignored.'],
  ['all of them', `x=1&T=2&T=3&Ia=%zz&Ip=${over}&Ib=7`, ['0.5', '1', '1', '.5', '7'],
    'The link\'s unknown key "x", repeated key "T", badly escaped "Ia", and over-long "Ip" were ignored.'],
  ['no fragment', '', initialTexts, ''],
]) {
  test(`a link: ${name}`, async () => {
    const page = await openPage({}, `${site.url}#${fragment}`);
    for (let i = 0; i < INPUTS.length; ++i) {
      assert.equal(await box(page, INPUTS[i]).inputValue(), texts[i], INPUTS[i]);
    }
    if (line) {
      assert.equal(await page.getByRole('status').textContent(), line);
    } else {
      assert.equal(await page.getByRole('status').count(), 0);
    }
    assert.equal(await box(page, RESULTS[0]).inputValue(), '');
    assert.equal(await page.locator('#window b').count(), 0);
    await finish(page);
  });
}

test('a link opened in the tab that shows the page fills the boxes afresh', async () => {
  const page = await openPage({}, `${site.url}#t=2&T=1&Ip=3&Ia=1&Ib=2`);
  await calculate(page).click();
  await dismiss(page, 'Warning', 'Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%');
  await expectResults(page, row('2', '1', '3', '1', '2'));
  await page.goto(`${site.url}#Ip=7`);
  await eventually(async () => {
    assert.deepEqual(await Promise.all(INPUTS.map((name) => box(page, name).inputValue())),
      ['0.5', '1', '7', '.5', '1']);
    assert.equal(await box(page, RESULTS[0]).inputValue(), '');
  });
  await finish(page);
});

test('after a press the address holds the boxes, and a German link gives the same on an English page', async () => {
  const german = await openPage({ locale: 'de-DE' });
  const length = await german.evaluate(() => history.length);
  await typeInputs(german, ['2', '1,0', '3', '1', '2,0']);
  await calculate(german).click();
  await dismiss(german, 'Warning', 'Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%');
  const reference = row('2', '1', '3', '1', '2');
  await expectResults(german, reference, ',');
  // The press wrote t; the address follows it, in the same history entry.
  const link = german.url();
  assert.equal(new URL(link).hash, '#t=1&T=1.0&Ip=3&Ia=1&Ib=2.0');
  assert.equal(await german.evaluate(() => history.length), length);
  await finish(german);

  const english = await openPage({}, link);
  assert.deepEqual(await Promise.all(INPUTS.map((name) => box(english, name).inputValue())),
    ['1', '1.0', '3', '1', '2.0']);
  await calculate(english).click();
  // t limited to T reads as t = T: the German page's results.
  await expectResults(english, reference);
  await finish(english);
});
