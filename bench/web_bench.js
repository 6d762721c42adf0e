// SPDX-License-Identifier: MIT
// The browser edition's figures, reported, not asserted:
//   the site's total weight gzipped (every file at gzip -9, as a server would send it),
//   load to ready in headless chromium from localhost (navigation start to the page's
//   "calculator-ready" mark, the T box focused; median of 10 fresh pages),
//   one press in chromium (five box texts in, Command1_Click, the record out; median of
//   20 runs of 2,000 presses, a module of its own so the page's state is untouched).
// Run after `bash scripts/web.sh build`:   node bench/web_bench.js
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { launchBrowser, newContext, serveSite, siteDir } from '../web/tests/harness.js';

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

let total = 0;
for (const file of readdirSync(siteDir).sort()) {
  const bytes = readFileSync(join(siteDir, file));
  const zipped = gzipSync(bytes, { level: 9 }).length;
  total += zipped;
  console.log(`${file.padEnd(26)} ${String(bytes.length).padStart(7)} B, gzipped ${String(zipped).padStart(6)} B`);
}
console.log(`site, gzipped: ${(total / 1024).toFixed(1)} KiB (aim: at most 150 KB)`);

const site = await serveSite();
const browser = await launchBrowser();
const ready = [];
for (let i = 0; i < 10; ++i) {
  const context = await newContext(browser);
  const page = await context.newPage();
  await page.goto(site.url);
  await page.waitForFunction(() => performance.getEntriesByName('calculator-ready').length > 0);
  ready.push(await page.evaluate(() => performance.getEntriesByName('calculator-ready')[0].startTime));
  await context.close();
}
console.log(`load to ready: median ${median(ready).toFixed(1)} ms of ${ready.map((t) => t.toFixed(0)).join(', ')} (aim: 300 ms)`);

const page = await (await newContext(browser)).newPage();
await page.goto(site.url);
await page.getByRole('button', { name: 'Calculate' }).waitFor();
const perPress = await page.evaluate(async () => {
  const { default: createCalculator } = await import('./rms.js');
  const module = await createCalculator();
  const calculator = new module.Calculator('.');
  const texts = ['0.5', '1', '1', '.5', '1'];
  const press = () => {
    const steps = calculator.press(texts);
    const record = Array.from({ length: steps.size() }, (_, i) => steps.get(i));
    steps.delete();
    return record;
  };
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
site.close();
