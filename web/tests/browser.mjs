// The playground in headless Chromium, driven over the DevTools protocol on
// a pipe (no driver, no extra service): the built site is served on
// 127.0.0.1 and each check works the page as a user would, through keys,
// the file input and the menus, and reads the result from the DOM.
// Usage: node browser.mjs SITE_DIR NATIVE_TOVIK REPOSITORY [SCREENSHOT.png]
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import test from 'node:test';
import { serve } from '../tools/serve.mjs';

const [site, native, root] = process.argv.slice(2).map((arg) => resolve(arg));
const screenshot = process.argv[5];
const scratch = mkdtempSync(join(tmpdir(), 'tovik-web-'));
const downloads = join(scratch, 'downloads');
mkdirSync(downloads);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Waits until `condition()` holds; fails after `ms`.
async function settle(condition, ms = 20000, what = condition) {
  const end = Date.now() + ms;
  while (!(await condition())) {
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await sleep(10);
  }
}

// ---- the DevTools protocol over --remote-debugging-pipe ----

class Browser {
  constructor() {
    this.process = spawn(
      process.env.CHROMIUM || 'chromium',
      ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--remote-debugging-pipe', `--user-data-dir=${join(scratch, 'profile')}`,
        '--window-size=1280,720', 'about:blank'],
      { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] },
    );
    this.nextId = 1;
    this.calls = new Map();
    this.listeners = new Set();
    let buffered = '';
    this.process.stdio[4].on('data', (data) => {
      buffered += data.toString();
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        const message = JSON.parse(buffered.slice(0, end));
        buffered = buffered.slice(end + 1);
        const call = this.calls.get(message.id);
        if (call) {
          this.calls.delete(message.id);
          if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
          else call.resolve(message.result);
        } else {
          for (const listener of this.listeners) listener(message);
        }
      }
    });
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    this.process.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((resolve, reject) => this.calls.set(id, { resolve, reject, method }));
  }

  async newPage(url) {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, sessionId, targetId);
    await page.send('Page.enable');
    await page.send('Page.bringToFront');
    await page.send('Runtime.enable');
    await page.open(url);
    return page;
  }

  close() {
    this.process.kill();
  }
}

class Page {
  constructor(browser, sessionId, targetId) {
    this.browser = browser;
    this.sessionId = sessionId;
    this.targetId = targetId;
    // Uncaught exceptions and console errors of the page, which fail a check.
    this.errors = [];
    browser.listeners.add((m) => {
      if (m.sessionId !== sessionId) return;
      if (m.method === 'Runtime.exceptionThrown') this.errors.push(m.params.exceptionDetails.exception?.description);
      if (m.method === 'Runtime.consoleAPICalled' && m.params.type === 'error')
        this.errors.push(m.params.args.map((a) => a.value ?? a.description).join(' '));
    });
  }

  send(method, params) {
    return this.browser.send(method, params, this.sessionId);
  }

  close() {
    return this.browser.send('Target.closeTarget', { targetId: this.targetId });
  }

  async open(url) {
    await this.send('Page.navigate', { url });
    await this.until('document.body && document.body.dataset.state === "ready"', 10000);
  }

  async eval(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate', {
      expression, awaitPromise: true, returnByValue: true, userGesture: true,
    });
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.exception?.description || exceptionDetails.text}`);
    return result.value;
  }

  // Waits until the expression is true in the page.
  until(expression, ms = 20000) {
    return settle(() => this.eval(expression).catch(() => false), ms, expression);
  }

  async key(key, code, keyCode, modifiers = 0) {
    for (const type of ['rawKeyDown', 'keyUp'])
      await this.send('Input.dispatchKeyEvent', { type, key, code, windowsVirtualKeyCode: keyCode, modifiers });
  }

  run() {
    return this.key('Enter', 'Enter', 13, 2);
  }

  // Replaces the editor's text as typing would, with an input event.
  // (execCommand('insertText') would take minutes on thousands of lines.)
  async setText(text) {
    await this.eval(`(() => { const t = document.querySelector('#editor textarea'); t.focus();
      t.value = ${JSON.stringify(text)}; t.dispatchEvent(new Event('input')); })()`);
  }

  async openFile(path) {
    const { root } = await this.send('DOM.getDocument');
    const { nodeId } = await this.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#file' });
    await this.send('DOM.setFileInputFiles', { nodeId, files: [path] });
  }

  text(selector) {
    return this.eval(`document.querySelector(${JSON.stringify(selector)}).textContent`);
  }
}

// ---- what the page should show ----

function nativeRun(path) {
  return spawnSync(native, [path]).stdout;
}

// Output bytes as the page shows them: decoded, without the CR of each line.
function shown(bytes, encoding = 'gbk') {
  return new TextDecoder(encoding).decode(bytes).replace(/\r\n/g, '\n');
}

const example = (name) => join(root, 'examples', name);
const chain = (n) => `S{} = {[1, 3]};\nS a;\n${Array(n).fill('a').join(' + ')} = ${2 * n};\noutput {a}\n`;
// Twelve variables of ten values each and a condition that holds only for
// the very last assignment: a search of many seconds natively.
const LONG_SEARCH = 'D{} = {[0, 9]};\nD a, b, c, d, e, f, g, h, i, j, k, l;\n' +
  'a + b + c + d + e + f + g + h + i + j + k + l = 108 & a = 0;\noutput {a}\n';
const PERMUTATIONS = '数{} = {[1, 8]};\n数 a, b, c, d, e, f, g, h;\n互不同(a, b, c, d, e, f, g, h);\n输出{a b c d e f g h}\n';

let browser;
let server;
let url;

test.before(async () => {
  server = await serve(site);
  url = `http://127.0.0.1:${server.address().port}/index.html`;
  browser = new Browser();
  await browser.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
});

test.after(() => {
  browser?.close();
  server?.close();
  // Chromium may still be writing its profile as it ends.
  setTimeout(() => rmSync(scratch, { recursive: true, force: true }), 500);
});

const checks = [
  ['runs a puzzle, streams its lines into the page and downloads them', async (page) => {
    await page.eval(`(() => { const s = document.getElementById('examples');
      s.value = [...s.options].find((o) => o.text === 'ranking.tvk').value; s.dispatchEvent(new Event('change')); })()`);
    // Both keyword spellings are highlighted.
    const keywords = await page.eval(`[...document.querySelectorAll('.highlight .t-keyword')].map((e) => e.textContent)`);
    for (const keyword of ['#', '任意', 'in', '属于', '存在', '互不同', '输出']) assert.ok(keywords.includes(keyword), keyword);
    await page.run();
    await page.until('document.body.dataset.state === "done"');
    const expected = nativeRun(example('ranking.tvk'));
    assert.equal(await page.text('#output'), shown(expected, 'utf-8'));
    assert.equal(await page.text('#solutions'), '1 solution line');
    if (screenshot) {
      const { data } = await page.send('Page.captureScreenshot', { format: 'png' });
      writeFileSync(screenshot, Buffer.from(data, 'base64'));
    }
    await page.key('S', 'KeyS', 83, 2 | 8);
    const file = join(downloads, 'ranking.out');
    await settle(() => existsSync(file) && readFileSync(file).length === expected.length);
    assert.ok(readFileSync(file).equals(expected), 'the download is the native output');
  }],

  ['stops a long search within half a second, offline', async (page) => {
    // Once loaded, the page runs puzzles without the network.
    await page.send('Network.enable');
    await page.send('Network.emulateNetworkConditions', { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
    await page.setText(LONG_SEARCH);
    await page.run();
    await page.until('document.body.dataset.state === "running"');
    await sleep(300);
    const started = Date.now();
    await page.key('Escape', 'Escape', 27);
    await page.until('document.body.dataset.state === "stopped"', 2000);
    assert.ok(Date.now() - started < 500, `stopped after ${Date.now() - started} ms`);
    // The next run starts afresh.
    await page.setText('S{} = {1, 2};\nS x;\nx > 1;\noutput {"x=" x}\n');
    await page.run();
    await page.until('document.body.dataset.state === "done"');
    assert.equal(await page.text('#output'), '正在编译……\n正在搜索……\nx=2\n');
  }],

  ['opens a GBK file and runs it as the native build does', async (page) => {
    const path = example('zebra.tvk');
    await page.openFile(path);
    await page.until(`document.getElementById('document').textContent === 'zebra.tvk · GBK'`);
    assert.equal(await page.eval(`document.querySelector('#editor textarea').value`), shown(readFileSync(path)));
    await page.run();
    await page.until('document.body.dataset.state === "done"');
    assert.equal(await page.text('#output'), shown(nativeRun(path)));
    // Save writes the same GBK bytes back.
    await page.key('s', 'KeyS', 83, 2);
    await settle(() => existsSync(join(downloads, 'zebra.tvk')) && readFileSync(join(downloads, 'zebra.tvk')).length > 0);
    assert.ok(readFileSync(join(downloads, 'zebra.tvk')).equals(readFileSync(path)), 'saved as it was read');
  }],

  ['marks a compile error at its line', async (page) => {
    const path = join(root, 'examples/guide/error-set-twice.tvk');
    const line = Number(/(\d+) \u884c: /.exec(shown(nativeRun(path)))[1]);
    await page.openFile(path);
    await page.until(`document.getElementById('document').textContent.startsWith('error-set-twice.tvk')`);
    await page.run();
    await page.until('document.body.dataset.state === "failed"');
    assert.equal(await page.text('#state'), 'Compile error');
    assert.deepEqual(await page.eval(`[...document.querySelectorAll('.gutter .error-mark')].map((e) => Number(e.textContent))`), [line]);
    assert.equal(await page.eval(`[...document.querySelectorAll('.highlight .line')].findIndex((e) => e.classList.contains('error-line')) + 1`), line);
  }],

  ['a share link carries the text exactly and does not run it', async (page) => {
    const text = '// 分享 "quotes" & <tags>\n任意 x 属于 S:\tx != 1;\n\n  trailing  \n😀 é\n';
    await page.setText(text);
    await page.key('L', 'KeyL', 76, 2 | 8);
    await page.until(`location.hash.startsWith('#p=')`);
    const link = await page.eval('location.href');
    const other = await browser.newPage(link);
    assert.equal(await other.eval(`document.querySelector('#editor textarea').value`), text);
    assert.equal(await other.text('#output'), '');
    assert.equal(await other.eval('document.body.dataset.state'), 'ready');
    await other.close();
  }],

  ['paints a flood of lines in batches and keeps the view capped', async (page) => {
    await page.setText(PERMUTATIONS);
    await page.run();
    await page.until('document.body.dataset.state === "done"', 60000);
    assert.equal(await page.text('#solutions'), '40,320 solution lines');
    const lines = (await page.text('#output')).split('\n').length - 1;
    const note = await page.text('#output-note');
    assert.ok(lines >= 5000 && lines < 10000, `${lines} lines in the page`);
    assert.equal(note, `${(40322 - lines).toLocaleString('en')} earlier lines are not shown; Save output has them all.`);
  }],

  ['nesting too deep for the browser ends with a message', async (page) => {
    await page.setText(chain(200000));
    await page.run();
    await page.until('document.body.dataset.state === "failed"');
    assert.match(await page.text('#output'), /nests too deeply for the browser's stack/);
  }],
];

for (const [name, check] of checks) {
  test(name, async () => {
    const page = await browser.newPage(url);
    try {
      await check(page);
      assert.deepEqual(page.errors, [], 'errors in the page');
    } finally {
      await page.close();
    }
  });
}
