// SPDX-License-Identifier: MIT
// The one seam between the browser suite's engine table and the three engines: Debian's
// chromium (playwright-core), firefox-esr (puppeteer-core over WebDriver BiDi) and WebKitGTK
// (its WebKitWebDriver and MiniBrowser on a virtual display, over W3C WebDriver with a client of a
// few lines over fetch). A session opens an address, runs a function in the page, clicks and
// fills an element by CSS selector and presses a key; finding by role and name is the
// suite's, in the page, the same for every engine.
import { spawn } from 'node:child_process';
import { existsSync } from 'node:fs';
import { createServer } from 'node:net';
import puppeteer from 'puppeteer-core';

import { launchBrowser, newContext } from './harness.js';

// The locales the engines take their language from, by the language a test asks for.
const POSIX_LOCALES = { 'en-US': 'en_US.UTF-8', 'de-DE': 'de_DE.UTF-8', C: 'C.UTF-8' };
const MINIBROWSER = process.env.RMS_MINIBROWSER
  ?? ['x86_64-linux-gnu', 'aarch64-linux-gnu', 'i386-linux-gnu']
    .map((arch) => `/usr/lib/${arch}/webkit2gtk-4.1/MiniBrowser`).find(existsSync);
const FIREFOX = process.env.RMS_FIREFOX ?? '/usr/bin/firefox-esr';
const CHROMIUM = process.env.RMS_CHROMIUM ?? '/usr/bin/chromium';

const bounded = (promise, ms, what) => Promise.race([promise, new Promise((_, reject) => {
  setTimeout(() => reject(new Error(`${what}: no answer in ${ms} ms`)), ms).unref();
})]);

// Chromium: a context per session, which carries the language.
function chromiumEngine() {
  let browser;
  return {
    name: 'chromium',
    missing: existsSync(CHROMIUM) ? null : `${CHROMIUM} is not installed`,
    async open(language) {
      browser ??= await launchBrowser();
      // It refuses a locale that is not a language tag, and then keeps its own.
      let locale = 'en-US';
      try {
        locale = Intl.getCanonicalLocales(language)[0];
      } catch {
        // the case sees the language it got, and says so
      }
      const context = await newContext(browser, { locale, viewport: { width: 760, height: 440 } });
      const page = await context.newPage();
      return {
        goto: (url) => page.goto(url),
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        click: (selector) => page.click(selector),
        fill: (selector, text) => page.fill(selector, text),
        press: (key) => page.keyboard.press(key),
        resize: (width, height) => page.setViewportSize({ width, height }),
        close: () => context.close(),
      };
    },
    close: () => browser?.close(),
  };
}

// Firefox takes its language from a preference of the whole browser: one browser a language.
function firefoxEngine() {
  const browsers = new Map();
  return {
    name: 'firefox',
    missing: existsSync(FIREFOX) ? null : `${FIREFOX} is not installed (Debian: firefox-esr)`,
    async open(language) {
      if (!browsers.has(language)) {
        browsers.set(language, puppeteer.launch({
          browser: 'firefox', executablePath: FIREFOX, headless: true,
          extraPrefsFirefox: { 'intl.accept_languages': language, 'browser.shell.checkDefaultBrowser': false },
        }));
      }
      const browser = await browsers.get(language);
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      await page.setViewport({ width: 760, height: 440 });
      return {
        goto: (url) => page.goto(url),
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        click: (selector) => page.click(selector),
        fill: (selector, text) => page.locator(selector).fill(text),
        async press(key) {
          const [modifier, name] = key.includes('+') ? key.split('+') : [null, key];
          if (modifier) {
            await page.keyboard.down(modifier);
          }
          await page.keyboard.press(name === 'Space' ? ' ' : name);
          if (modifier) {
            await page.keyboard.up(modifier);
          }
        },
        resize: (width, height) => page.setViewport({ width, height }),
        close: () => context.close(),
      };
    },
    async close() {
      for (const browser of browsers.values()) {
        await (await browser).close();
      }
    },
  };
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    }).on('error', reject);
  });
}

// A virtual display of its own: Xvfb picks a free number and writes it once it takes
// clients. (xvfb-run -a picks by looking for lock files, and two started together, here and
// in another suite, can pick the same number: the later one's server fails.)
function startDisplay() {
  return new Promise((resolve, reject) => {
    const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
      { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    let written = '';
    server.stdio[3].on('data', (chunk) => {
      written += chunk;
      if (written.includes('\n')) {
        resolve({ display: `:${written.trim()}`, stop: () => server.kill() });
      }
    });
    server.on('error', reject);
    server.on('exit', (code) => reject(new Error(`Xvfb ended with status ${code} before it took clients`)));
  });
}

// WebKitGTK: WebKitWebDriver takes the language from its locale. Each session has a driver
// and a display of its own, ended with it: a session once went unanswered after others had
// come and gone on a shared driver, and a fresh one leaves nothing of one case to the next.
const KEYS = { Tab: '\uE004', Enter: '\uE007', Space: ' ', Shift: '\uE008' };
function webkitEngine() {
  const drivers = new Set();
  async function driver(language) {
    const port = await freePort();
    const locale = POSIX_LOCALES[language] ?? language;
    const screen = await startDisplay();
    const process_ = spawn('WebKitWebDriver', [`--port=${port}`], {
      env: { ...process.env, LANG: locale, LC_ALL: locale, DISPLAY: screen.display },
      stdio: 'ignore', detached: true,
    });
    const base = `http://127.0.0.1:${port}`;
    for (let tries = 0; ; ++tries) {
      try {
        await fetch(`${base}/status`);
        break;
      } catch (error) {
        if (tries > 100 || process_.exitCode !== null) {
          screen.stop();
          throw new Error(`WebKitWebDriver did not start: ${error.message}`);
        }
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
    }
    return {
      base,
      stop: () => {
        process.kill(-process_.pid);
        screen.stop();
      },
    };
  }
  return {
    name: 'webkit',
    missing: !existsSync('/usr/bin/WebKitWebDriver') ? 'WebKitWebDriver is not installed (Debian: webkit2gtk-driver)'
      : !MINIBROWSER ? 'no MiniBrowser in the WebKitGTK library folder' : null,
    async open(language) {
      const started = await driver(language);
      drivers.add(started);
      const { base } = started;
      const call = async (method, path, body) => {
        const response = await bounded(fetch(`${base}${path}`, {
          method, headers: { 'content-type': 'application/json' }, body: body && JSON.stringify(body),
        }), 30_000, `WebKitWebDriver ${method} ${path}`);
        const { value } = await response.json();
        if (!response.ok) {
          throw new Error(`WebKitWebDriver ${method} ${path}: ${value.error}: ${value.message}`);
        }
        return value;
      };
      const { sessionId } = await call('POST', '/session', {
        capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] } } },
      });
      const session = `/session/${sessionId}`;
      const element = async (selector) => Object.values(
        await call('POST', `${session}/element`, { using: 'css selector', value: selector }))[0];
      const keys = (names) => call('POST', `${session}/actions`, {
        actions: [{
          type: 'key', id: 'keyboard',
          actions: [...names.map((name) => ({ type: 'keyDown', value: KEYS[name] })),
            ...[...names].reverse().map((name) => ({ type: 'keyUp', value: KEYS[name] }))],
        }],
      });
      await call('POST', `${session}/window/rect`, { width: 760, height: 440 });
      return {
        goto: (url) => call('POST', `${session}/url`, { url }),
        // The function's result, or its exception, comes back through the callback.
        async evaluate(fn, arg) {
          const outcome = await call('POST', `${session}/execute/async`, {
            script: `const done = arguments[1];
              Promise.resolve().then(() => (${fn})(arguments[0]))
                .then((value) => done({ value }), (error) => done({ error: String(error) }));`,
            args: [arg ?? null],
          });
          if ('error' in outcome) {
            throw new Error(outcome.error);
          }
          return outcome.value;
        },
        click: async (selector) => call('POST', `${session}/element/${await element(selector)}/click`, {}),
        async fill(selector, text) {
          const id = await element(selector);
          await call('POST', `${session}/element/${id}/clear`, {});
          if (text !== '') {
            await call('POST', `${session}/element/${id}/value`, { text });
          }
        },
        press: (key) => keys(key.split('+')),
        // The window's size, its frame included: the page gets a little less.
        resize: (width, height) => call('POST', `${session}/window/rect`, { width, height }),
        // What it cannot do, by the seam's method and argument.
        cannot: new Map([['press Shift+Tab', 'WebKitWebDriver\'s Shift+Tab reaches the page as the key '
          + '"Unidentified", and the engine moves the focus forward']]),
        async close() {
          try {
            await call('DELETE', session);
          } finally {
            started.stop();
            drivers.delete(started);
          }
        },
      };
    },
    async close() {
      for (const started of drivers) {
        started.stop();
      }
    },
  };
}

// The engines to run, all unless RMS_ENGINES names some ("chromium,webkit").
export function engines() {
  const all = [chromiumEngine(), firefoxEngine(), webkitEngine()];
  const wanted = process.env.RMS_ENGINES?.split(',');
  return wanted ? all.filter((engine) => wanted.includes(engine.name)) : all;
}
