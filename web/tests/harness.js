// SPDX-License-Identifier: MIT
// What the browser suite and the benchmarks share: the site served by a plain static
// server, Debian's chromium driven by playwright-core, the committed golden table as the
// reference for values, and a PNG reader for pixel checks.
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { inflateSync } from 'node:zlib';
import { chromium } from 'playwright-core';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const siteDir = process.env.RMS_SITE_DIR ?? join(root, 'build-web', 'site');

// Serves the site folder on a free port of 127.0.0.1 with Python's http.server.
export async function serveSite() {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0',
    '--directory', siteDir], { stdio: ['ignore', 'pipe', 'pipe'] });
  const url = await new Promise((resolve, reject) => {
    let seen = '';
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const port = /port (\d+)/.exec(seen);
      if (port) {
        resolve(`http://127.0.0.1:${port[1]}/`);
      }
    });
    server.on('exit', (code) => reject(new Error(`http.server exited with ${code}`)));
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

// An 8-bit RGB or RGBA PNG, as playwright's screenshots are.
export function readPng(buffer) {
  let offset = 8;
  let width = 0;
  let height = 0;
  let channels = 0;
  const data = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const type = buffer.toString('latin1', offset + 4, offset + 8);
    const body = buffer.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0) {
        throw new Error('not an 8-bit, non-interlaced RGB(A) PNG');
      }
      channels = body[9] === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    offset += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const left = i >= channels ? pixels[y * stride + i - channels] : 0;
      const up = y > 0 ? pixels[(y - 1) * stride + i] : 0;
      const corner = y > 0 && i >= channels ? pixels[(y - 1) * stride + i - channels] : 0;
      let predictor = 0;
      switch (filter) {
        case 0: predictor = 0; break;
        case 1: predictor = left; break;
        case 2: predictor = up; break;
        case 3: predictor = (left + up) >> 1; break;
        case 4: {
          const p = left + up - corner;
          const [pa, pb, pc] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - corner)];
          predictor = pa <= pb && pa <= pc ? left : pb <= pc ? up : corner;
          break;
        }
        default: throw new Error(`PNG filter ${filter}`);
      }
      pixels[y * stride + i] = (line[i] + predictor) & 0xff;
    }
  }
  // The grey level of a pixel: 0 black, 255 white.
  const grey = (x, y) => {
    const at = (y * width + x) * channels;
    return Math.round((pixels[at] + pixels[at + 1] + pixels[at + 2]) / 3);
  };
  return { width, height, grey };
}
