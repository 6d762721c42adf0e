// SPDX-License-Identifier: MIT
// Pictures of the page for a person to look at (not a test): at 1x and 2x device scale,
// after a press with the initial texts, with a message box open, and without its wasm.
//   node web/tests/screenshots.js DIR
import { join } from 'node:path';

import { launchBrowser, newContext, serveSite } from './harness.js';

const dir = process.argv[2] ?? '.';
const site = await serveSite();
const browser = await launchBrowser();
const viewport = { width: 710, height: 420 };
for (const scale of [1, 2]) {
  const context = await newContext(browser, { viewport, deviceScaleFactor: scale });
  const page = await context.newPage();
  page.on('console', (message) => console.log(`console ${message.type()}: ${message.text()}`));
  await page.goto(site.url);
  const calculate = page.getByRole('button', { name: 'Calculate' });
  await calculate.waitFor();
  await page.screenshot({ path: join(dir, `web-${scale}x.png`) });
  await calculate.click();
  await page.screenshot({ path: join(dir, `web-${scale}x-pressed.png`) });
  await page.getByRole('textbox', { name: 'Ia', exact: true }).fill('');
  await calculate.click();
  await page.getByRole('dialog').waitFor();
  await page.screenshot({ path: join(dir, `web-${scale}x-message.png`) });
  await page.waitForTimeout(3500);  // long enough for chromium to name an unused preload
  await context.close();
}
const context = await newContext(browser, { viewport });
await context.route('**/rms.wasm', (route) => route.fulfill({ status: 404, body: '' }));
const page = await context.newPage();
await page.goto(site.url);
await page.getByRole('status').getByText(/could not start/).waitFor();
await page.screenshot({ path: join(dir, 'web-no-wasm.png') });
console.log(`without its wasm: ${await page.getByRole('status').textContent()}`);
await browser.close();
site.close();
