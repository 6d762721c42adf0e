// SPDX-License-Identifier: MIT
// What the browser suite and the benchmarks share: the site served by a plain static
// server, Debian's chromium driven by playwright-core, the committed golden table as the
// reference for values, and screenshots as grey levels for pixel checks.
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const siteDir = process.env.RMS_SITE_DIR ?? join(root, 'build-web', 'site');

// Serves a folder, the site's unless told, on a free port of 127.0.0.1 with Python's http.server. Its log of
// requests on stderr is read all the time, or the server would block once the pipe is full;
// only the end of it is kept, to say why the server stopped.
export async function serveSite(dir = siteDir) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0',
    '--directory', dir], { stdio: ['ignore', 'pipe', 'pipe'] });
  let log = '';
  server.stderr.setEncoding('utf8');
  server.stderr.on('data', (chunk) => {
    log = (log + chunk).slice(-2000);
  });
  const url = await new Promise((resolve, reject) => {
    let seen = '';
    server.stdout.setEncoding('utf8');
    server.stdout.on('data', (chunk) => {
      seen = (seen + chunk).slice(-2000);
      const port = /port (\d+)/.exec(seen);
      if (port) {
        resolve(`http://127.0.0.1:${port[1]}/`);
      }
    });
    server.on('exit', (code) => reject(new Error(`http.server exited with ${code}:\n${log}`)));
  });
  return { url, close: () => server.kill() };
}

// Debian's chromium, headless, in a fresh profile, kept off the network.
export function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.RMS_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// A fresh context in American English and UTC unless the options say otherwise: the page
// writes numbers in the browser's language, which chromium otherwise takes from the machine.
export function newContext(browser, options = {}) {
  return browser.newContext({ locale: 'en-US', timezoneId: 'UTC', ...options });
}

// The golden table: one press on a fresh window a row, by the native build's bits.
export function goldenRows() {
  const lines = readFileSync(join(root, 'tests', 'golden', 'presses.tsv'), 'utf8').split('\n');
  return lines.filter((line) => line && !line.startsWith('#')).map((line) => {
    const fields = line.split('\t');
    return { texts: fields.slice(0, 5), results: fields.slice(6, 12) };
  });
}

// The bits of a double as 16 hex digits.
export function doubleBits(value) {
  const view = new DataView(new ArrayBuffer(8));
  view.setFloat64(0, value);
  return view.getBigUint64(0).toString(16).padStart(16, '0');
}

// A screenshot of the page as grey levels (0 black, 255 white), decoded by the browser
// itself in a blank page of the same context.
export async function screenshotGrey(page) {
  const png = await page.screenshot();
  const scratch = await page.context().newPage();
  const { width, height, levels } = await scratch.evaluate(async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const rgba = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const grey = new Array(bitmap.width * bitmap.height);
    for (let i = 0; i < grey.length; ++i) {
      grey[i] = Math.round((rgba[4 * i] + rgba[4 * i + 1] + rgba[4 * i + 2]) / 3);
    }
    return { width: bitmap.width, height: bitmap.height, levels: grey };
  }, png.toString('base64'));
  await scratch.close();
  return { width, height, grey: (x, y) => levels[y * width + x] };
}
