// SPDX-License-Identifier: MIT
// The browser edition's figures, reported, not asserted:
//   the site's total weight gzipped (every file at gzip -9, as a server would send it),
//   load to ready in headless chromium from localhost (navigation start to the later of
//   the page's "calculator-ready" mark, the T box focused, and its first contentful paint): a first visit in a fresh profile, a repeat
//   visit answered by the service worker, and, as the floor, the first paint of a bare
//   one-line page from the same server; medians of 10 of each (or as many as the first
//   argument says, for a busy machine), taken in turn, and where
//   the first visit's time goes,
//   one press in chromium (five box texts in, Command1_Click, the record out; median of
//   20 runs of 2,000 presses, a module of its own so the page's state is untouched),
//   and first visit against the bare page in each engine of the browser suite (chromium,
//   firefox-esr, WebKitGTK), each visit in a fresh session, as the ratio of the medians.
// Run after `bash scripts/web.sh build`:   node bench/web_bench.js [visits]
import { mkdtempSync, readdirSync, readFileSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { engines } from '../web/tests/engines.js';
import { launchBrowser, newContext, serveSite, siteDir } from '../web/tests/harness.js';

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

let total = 0;
for (const file of readdirSync(siteDir).sort()) {
  const bytes = readFileSync(join(siteDir, file));
  const zipped = gzipSync(bytes, { level: 9 }).length;
  total += zipped;
  console.log(`${file.padEnd(26)} ${String(bytes.length).padStart(7)} B, gzipped ${String(zipped).padStart(6)} B`);
}
console.log(`site, gzipped: ${(total / 1024).toFixed(1)} KiB (aim: under 80 KiB)`);

// The site and the bare page side by side in one served folder.
const served = mkdtempSync(join(tmpdir(), 'rms-bench-'));
symlinkSync(siteDir, join(served, 'site'));
writeFileSync(join(served, 'bare.html'),
  '<!DOCTYPE html><html lang="en"><title>Bare</title><p>One line of text.</p></html>\n');
const server = await serveSite(served);
const site = { url: `${server.url}site/` };
const browser = await launchBrowser();

// The window is ready for a person once it is both marked ready and painted: the mark can
// come before the first paint, and the bare page is timed by its paint. Each is waited for
// up to 10 s.
const painted = (names) => new Promise((resolve, reject) => {
  const started = performance.now();
  const poll = () => {
    const entries = names.map((name) => performance.getEntriesByName(name)[0]);
    if (entries.every(Boolean)) {
      resolve(Math.max(...entries.map((entry) => entry.startTime)));
    } else if (performance.now() - started > 10000) {
      reject(new Error(`no ${names.join(' and ')} in 10 s`));
    } else {
      setTimeout(poll, 5);
    }
  };
  poll();
});
const readyTime = (page) => page.evaluate(painted, ['calculator-ready', 'first-contentful-paint']);
// Where a first visit's time goes: when each file had come, and the page's own steps.
const steps = (page) => page.evaluate(() => {
  const at = { navigation: performance.getEntriesByType('navigation')[0].responseEnd };
  for (const entry of performance.getEntriesByType('resource')) {
    at[entry.name.split('/').pop()] = entry.responseEnd;
  }
  for (const mark of performance.getEntriesByType('mark')) {
    at[mark.name] = mark.startTime;
  }
  for (const paint of performance.getEntriesByType('paint')) {
    at[paint.name] = paint.startTime;
  }
  return at;
});
const times = { first: [], repeat: [], bare: [] };
const breakdown = [];
const visits = Number(process.argv[2] ?? 10);
for (let i = 0; i < visits; ++i) {
  let context = await newContext(browser);
  let page = await context.newPage();
  await page.goto(site.url);
  times.first.push(await readyTime(page));
  breakdown.push(await steps(page));
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.goto(site.url);
  times.repeat.push(await readyTime(page));
  if (!(await page.evaluate(() => navigator.serviceWorker.controller))) {
    throw new Error('the repeat visit was not answered by the service worker');
  }
  await context.close();

  context = await newContext(browser);
  page = await context.newPage();
  await page.goto(`${server.url}bare.html`);
  times.bare.push(await page.evaluate(painted, ['first-contentful-paint']));
  await context.close();
}
const show = (values) => `${median(values).toFixed(1)} ms (${values.map((t) => t.toFixed(0)).join(', ')})`;
console.log(`first visit to ready:  median ${show(times.first)}`);
console.log(`repeat visit to ready: median ${show(times.repeat)}`);
console.log(`bare page, first contentful paint: median ${show(times.bare)}`);
console.log(`first visit / bare: ${(median(times.first) / median(times.bare)).toFixed(2)} (aim: at most 2), ` +
  `repeat visit / bare: ${(median(times.repeat) / median(times.bare)).toFixed(2)} (aim: at most 1.5)`);
const names = [...new Set(breakdown.flatMap(Object.keys))]
  .sort((a, b) => (breakdown[0][a] ?? Infinity) - (breakdown[0][b] ?? Infinity));
console.log(`first visit, medians: ${names.map((name) =>
  `${name} ${median(breakdown.map((b) => b[name]).filter((t) => t !== undefined)).toFixed(0)}`)
  .join(', ')} ms`);

const page = await (await newContext(browser)).newPage();
await page.goto(site.url);
await page.getByRole('button', { name: 'Calculate' }).waitFor();
const perPress = await page.evaluate(async () => {
  const { default: createCalculator } = await import('./rms.js');
  const module = await createCalculator();
  const calculator = new module.Calculator('.');
  const texts = ['0.5', '1', '1', '.5', '1'];
  const press = () => calculator.press(texts);
  const runs = [];
  for (let run = 0; run < 20; ++run) {
    const start = performance.now();
    for (let i = 0; i < 2000; ++i) {
      press();
    }
    runs.push(((performance.now() - start) * 1000) / 2000);
  }
  return runs;
});
console.log(`one press: median ${median(perPress).toFixed(2)} µs (aim: under 50 µs)`);
await browser.close();

// The same first visit and bare page in every engine, through the suite's seam.
for (const engine of engines()) {
  if (engine.missing) {
    console.log(`${engine.name}: not measured, ${engine.missing}`);
    continue;
  }
  const engineTimes = { first: [], bare: [] };
  for (let i = 0; i < visits; ++i) {
    for (const [kind, url, names] of [
      ['first', site.url, ['calculator-ready', 'first-contentful-paint']],
      ['bare', `${server.url}bare.html`, ['first-contentful-paint']]]) {
      const session = await engine.open('en-US');
      try {
        await session.goto(url);
        engineTimes[kind].push(await session.evaluate(painted, names));
      } finally {
        await session.close();
      }
    }
  }
  console.log(`${engine.name}: first visit median ${show(engineTimes.first)}, bare page ${show(engineTimes.bare)}, ` +
    `first visit / bare: ${(median(engineTimes.first) / median(engineTimes.bare)).toFixed(2)}`);
  await engine.close();
}
server.close();
rmSync(served, { recursive: true, force: true });
