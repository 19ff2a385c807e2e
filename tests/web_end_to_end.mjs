// The web build end to end, as a visitor uses it: the page served over
// loopback HTTP, in headless Chromium driven through the DevTools protocol
// (--remote-debugging-pipe), its canvas and downloads checked against the
// desktop build's frames and screenshots.
//
//   node web_end_to_end.mjs WEB_DIR RENDER_FRAME DESKTOP_SCREENSHOT
//
// WEB_DIR is a web build (make web); RENDER_FRAME and DESKTOP_SCREENSHOT are
// the desktop build's tools/render_frame and tests/desktop_screenshot. Waits
// are for something to happen; their time limits only keep a broken
// program from hanging the run.
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const [webDir, renderFrame, desktopScreenshot] = process.argv.slice(2).map(p => path.resolve(p));
const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';
const hangGuardMs = 60000;
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'landscape-web-'));
let passed = 0;
let failed = 0;
const pageLog = [];

function check(name, ok, detail) {
  if (ok) {
    passed++;
    console.log(`ok: ${name}`);
  } else {
    failed++;
    console.log(`FAILED: ${name}: ${detail}`);
  }
  return ok;
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// Polls probe until it returns something other than undefined.
async function waitFor(what, probe) {
  const start = Date.now();
  for (;;) {
    const value = await probe();
    if (value !== undefined)
      return value;
    if (Date.now() - start > hangGuardMs)
      throw new Error(`nothing after ${hangGuardMs / 1000} s waiting for ${what}`);
    await sleep(20);
  }
}

// --- The page over loopback HTTP --------------------------------------------
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = http.createServer((request, response) => {
  const name = request.url === '/' ? 'index.html' : path.basename(request.url);
  fs.readFile(path.join(webDir, name), (error, body) => {
    if (error) {
      pageLog.push(`HTTP 404 for ${request.url}`);
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' });
    response.end(body);
  });
});

// --- Chromium and the DevTools protocol -------------------------------------
let chromium;
let nextId = 1;
const pending = new Map();
const eventWaiters = [];
const completedDownloads = new Set();   // guids

function startChromium() {
  chromium = spawn(chromiumPath, [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    `--user-data-dir=${path.join(work, 'profile')}`, '--remote-debugging-pipe', 'about:blank',
  ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  let stderr = '';
  chromium.stdio[2].on('data', chunk => { stderr += chunk; });
  chromium.on('exit', code => {
    for (const { reject } of pending.values())
      reject(new Error(`chromium exited (${code}): ${stderr.slice(-2000)}`));
    pending.clear();
  });
  let buffer = '';
  chromium.stdio[4].on('data', chunk => {
    buffer += chunk.toString();
    for (let end; (end = buffer.indexOf('\0')) >= 0; buffer = buffer.slice(end + 1)) {
      const message = JSON.parse(buffer.slice(0, end));
      if (message.id !== undefined) {
        const call = pending.get(message.id);
        pending.delete(message.id);
        if (message.error)
          call.reject(new Error(`${call.method}: ${message.error.message}`));
        else
          call.resolve(message.result);
      } else {
        onEvent(message);
      }
    }
  });
}

function send(method, params = {}, sessionId = undefined) {
  const id = nextId++;
  chromium.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  return new Promise((resolve, reject) => pending.set(id, { method, resolve, reject }));
}

function onEvent({ method, params }) {
  if (method === 'Runtime.exceptionThrown')
    pageLog.push(`exception: ${params.exceptionDetails.exception?.description || params.exceptionDetails.text}`);
  else if (method === 'Runtime.consoleAPICalled')
    pageLog.push(`console.${params.type}: ${params.args.map(a => a.value ?? a.description).join(' ')}`);
  else if (method === 'Browser.downloadProgress' && params.state === 'completed')
    completedDownloads.add(params.guid);
  for (let i = eventWaiters.length - 1; i >= 0; i--) {
    if (eventWaiters[i].method === method && eventWaiters[i].match(params)) {
      eventWaiters[i].resolve(params);
      eventWaiters.splice(i, 1);
    }
  }
}

function nextEvent(method, match = () => true) {
  return new Promise((resolve, reject) => {
    eventWaiters.push({ method, match, resolve });
    setTimeout(() => reject(new Error(`no ${method} within ${hangGuardMs / 1000} s`)), hangGuardMs).unref();
  });
}

let session;
const page = (method, params) => send(method, params, session);

async function evaluate(expression) {
  const { result, exceptionDetails } = await page('Runtime.evaluate', { expression, returnByValue: true });
  if (exceptionDetails)
    throw new Error(`${expression}: ${exceptionDetails.exception?.description || exceptionDetails.text}`);
  return result.value;
}

const keys = {
  Up: { key: 'ArrowUp', code: 'ArrowUp', windowsVirtualKeyCode: 38 },
  Space: { key: ' ', code: 'Space', windowsVirtualKeyCode: 32, text: ' ' },
  Escape: { key: 'Escape', code: 'Escape', windowsVirtualKeyCode: 27 },
};
const keyDown = name => page('Input.dispatchKeyEvent', { type: 'keyDown', ...keys[name] });
const keyUp = name => page('Input.dispatchKeyEvent', { type: 'keyUp', ...keys[name] });
async function press(name) {
  await keyDown(name);
  await keyUp(name);
}

// --- The canvas and the desktop's frames --------------------------------------
// The canvas's pixels as red, green, blue, alpha.
async function canvasPixels() {
  const base64 = await evaluate(`(() => {
    const canvas = document.getElementById('screen');
    if (canvas.width !== 320 || canvas.height !== 240)
      return '';
    const data = canvas.getContext('2d').getImageData(0, 0, 320, 240).data;
    let text = '';
    for (let at = 0; at < data.length; at += 0x8000)
      text += String.fromCharCode.apply(null, data.subarray(at, at + 0x8000));
    return btoa(text);
  })()`);
  return Buffer.from(base64, 'base64');
}

// A 24-bit BMP of the canvas (opaque pixels only), for render_frame --match.
let pictureCount = 0;
function canvasBmp(rgba) {
  const file = Buffer.alloc(54 + 320 * 240 * 3);
  file.write('BM', 0, 'latin1');
  file.writeUInt32LE(file.length, 2);
  file.writeUInt32LE(54, 10);
  file.writeUInt32LE(40, 14);
  file.writeInt32LE(320, 18);
  file.writeInt32LE(-240, 22);   // top-down
  file.writeUInt16LE(1, 26);
  file.writeUInt16LE(24, 28);
  for (let pixel = 0; pixel < 320 * 240; pixel++) {
    if (rgba[pixel * 4 + 3] !== 255)
      return null;
    for (let k = 0; k < 3; k++)
      file[54 + pixel * 3 + k] = rgba[pixel * 4 + 2 - k];
  }
  const name = path.join(work, `canvas${pictureCount++}.bmp`);
  fs.writeFileSync(name, file);
  return name;
}

// Which frame of the forward flight the canvas shows: { high, steps } or
// null when it shows none (or is not opaque).
function matchFrame(rgba, maxSteps) {
  const picture = canvasBmp(rgba);
  if (!picture)
    return null;
  const run = spawnSync(renderFrame, ['--match', picture, '--max', String(maxSteps)], { encoding: 'utf8' });
  const found = /^(high|LOW) detail frame after (\d+) forward steps$/m.exec(run.stdout);
  return found ? { high: found[1] === 'high', steps: Number(found[2]) } : null;
}

// Waits until the picture has stopped changing on a full-detail frame of the
// forward flight and returns its number of forward steps. A direction still
// held keeps the picture at low detail and moving, so this never returns
// (and the hang guard fails the run).
async function settledHighDetailFrame() {
  let last = null;
  return waitFor('a full-detail frame that stays', async () => {
    const now = await canvasPixels();
    const same = last && now.equals(last);
    last = now;
    if (!same)
      return undefined;
    const frame = matchFrame(now, 1000);
    return frame && frame.high ? frame.steps : undefined;
  });
}

async function waitForCanvasChange(from) {
  await waitFor('the picture to change', async () => ((await canvasPixels()).equals(from) ? undefined : true));
}

// The desktop program's BMP of the full-detail frame after steps passes.
function desktopBmp(steps) {
  const dir = fs.mkdtempSync(path.join(work, 'desktop-'));
  const run = spawnSync(desktopScreenshot, [String(steps)], {
    cwd: dir, encoding: 'utf8', env: { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' },
  });
  const file = path.join(dir, 'lnd000.bmp');
  if (run.status !== 0 || !fs.existsSync(file))
    throw new Error(`desktop_screenshot ${steps}: status ${run.status} ${run.stderr}`);
  return fs.readFileSync(file);
}

// --- The checks -------------------------------------------------------------
async function run() {
  for (const name of ['index.html', 'landscape.js', 'landscape.wasm'])
    if (!fs.existsSync(path.join(webDir, name)))
      throw new Error(`${path.join(webDir, name)} is missing: build the web version first (make web)`);

  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  const url = `http://127.0.0.1:${server.address().port}/`;
  startChromium();
  const downloads = path.join(work, 'downloads');
  fs.mkdirSync(downloads);
  await send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, eventsEnabled: true });
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  ({ sessionId: session } = await send('Target.attachToTarget', { targetId, flatten: true }));
  await page('Runtime.enable');
  await page('Page.enable');
  await page('Page.navigate', { url });

  await waitFor('the page to start the flyover', async () =>
    ((await evaluate("document.getElementById('status')?.textContent || ''")).startsWith('Flying') ? true : undefined));
  // Whether the page's own key handling kept the browser from acting on a
  // key (scrolling, for the arrows and Space).
  await evaluate(`window.addEventListener('keydown', e => { window.keptFromBrowser = e.defaultPrevented; })`);

  const startUp = await canvasPixels();
  const first = matchFrame(startUp, 0);
  check('the canvas shows the desktop start-up frame, pixel for pixel', first && first.high && first.steps === 0,
    first ? JSON.stringify(first) : 'no frame of the flight');

  // Fly: hold Up until the picture moves, let go, and wait for full detail.
  await keyDown('Up');
  check('Up does not scroll the page', await evaluate('window.keptFromBrowser') === true, 'default action not prevented');
  await waitForCanvasChange(startUp);
  await keyUp('Up');
  const flown = await settledHighDetailFrame();
  check('after Up is released the canvas shows the desktop full-detail frame of the flight', flown >= 1,
    `${flown} forward steps`);
  console.log(`  (high detail frame after ${flown} forward steps)`);

  // Screenshots: two downloads of the same frame, named in sequence.
  const desktop = desktopBmp(flown);
  for (const expected of ['lnd000.bmp', 'lnd001.bmp']) {
    const begun = nextEvent('Browser.downloadWillBegin');
    await press('Space');
    const { guid, suggestedFilename } = await begun;
    await waitFor(`${suggestedFilename} to be downloaded`, async () => (completedDownloads.has(guid) ? true : undefined));
    check(`Space downloads ${expected}`, suggestedFilename === expected, `downloaded ${suggestedFilename}`);
    const bytes = fs.readFileSync(path.join(downloads, suggestedFilename));
    check(`${expected} is byte for byte the desktop program's screenshot of the frame`, bytes.equals(desktop),
      `${bytes.length} bytes against ${desktop.length}, first difference at ${bytes.findIndex((b, i) => b !== desktop[i])}`);
  }
  check('Space does not scroll the page', await evaluate('window.keptFromBrowser') === true, 'default action not prevented');
  const links = await evaluate("[...document.querySelectorAll('#shots a')].map(a => a.download).join(' ')");
  check('the page links both screenshots', links === 'lnd000.bmp lnd001.bmp', `links: '${links}'`);

  // Losing focus releases a held direction. The press and the window's blur
  // arrive within one animation frame: the drain sees the press first, so
  // only the focus event can release it. (Emscripten's layer itself
  // releases the keys it saw pressed on a blur, so a blur of its own after
  // a real key press would not show whether the program handles focus.)
  const before = await canvasPixels();
  await evaluate(`document.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowUp', keyCode: 38 }));
                  window.dispatchEvent(new FocusEvent('blur'))`);
  await waitForCanvasChange(before);   // the press's low-detail frame
  const still = await settledHighDetailFrame();
  check('losing focus releases a held direction: a press and a blur in one frame fly nowhere', still === flown,
    `${still} forward steps against ${flown}`);

  // Escape stops the flyover and says so.
  await press('Escape');
  const status = await waitFor('the page to say the flyover stopped', async () => {
    const text = await evaluate("document.getElementById('status').textContent");
    return text.startsWith('Stopped') ? text : undefined;
  });
  check('Escape stops the flyover with a message', status.includes('Reload'), status);

  check('the page logged no errors', !pageLog.some(line => /^(exception|console\.(error|warn))|HTTP/.test(line)),
    pageLog.join('\n    '));
}

const started = Date.now();
try {
  await run();
} catch (error) {
  check('the run completes', false, error.message);
}
if (failed && pageLog.length)
  console.log(`  page log:\n    ${pageLog.join('\n    ')}`);
if (chromium && chromium.exitCode === null && chromium.signalCode === null) {
  const exited = new Promise(resolve => chromium.once('exit', resolve));
  chromium.kill();
  await exited;
}
server.close();
// Chromium's helper processes can still be writing into the profile for a
// moment after the browser itself has exited.
try {
  fs.rmSync(work, { recursive: true, force: true, maxRetries: 20, retryDelay: 100 });
} catch (error) {
  console.log(`  (could not remove ${work}: ${error.message})`);
}
console.log(`  (${((Date.now() - started) / 1000).toFixed(1)} s)`);
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
