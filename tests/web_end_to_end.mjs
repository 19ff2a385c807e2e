// The web site in Debian's headless Chromium or Firefox driven by
// puppeteer-core (in NPM_DIR/node_modules): its canvas and downloads against
// the desktop program's frames and screenshots, flown with keys, with
// fingers on a phone's touch controls and with a scripted gamepad; the
// first view at laptop sizes; installing (Chromium); flying offline and a
// rebuilt site picked up. Time limits only guard against hangs.
//   node web_end_to_end.mjs chromium|firefox WEB_DIR LANDSCAPE SCRIPTED_EVENTS RENDER_FRAME NPM_DIR
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [browserName, ...paths] = process.argv.slice(2);
const [webDir, landscape, scriptedEventsBuilt, renderFrame, npmDir] = paths.map(p => path.resolve(p));
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const hangGuardMs = 60000;
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'landscape-web-'));
// The server serves a copy of the site, which the test rebuilds.
const site = path.join(work, 'site');
fs.cpSync(webDir, site, { recursive: true });
const downloads = path.join(work, 'downloads');
// LD_PRELOAD splits at spaces: the library goes where the path has none.
const scriptedEvents = path.join(work, 'scripted_events.so');
fs.copyFileSync(scriptedEventsBuilt, scriptedEvents);
const pageLog = [];
let passed = 0, failed = 0, browser, server, port = 0;

// The directions by console button, as render_frame names them, and the
// desktop keys that hold them (SDLK_UP, SDLK_KP7, SDLK_LEFT, ...).
const directions = ['forward', 'forward-left', 'left', 'backward-left', 'backward', 'backward-right', 'right',
  'forward-right'];
const directionKeys = [273, 263, 276, 257, 274, 259, 275, 265];

// Firefox emulates no touch screen over WebDriver BiDi: its preferences
// make one of the whole browser, launched a second time for the touch
// checks. They also say where downloads go.
const launchOptions = touch => ({
  chromium: { executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update'] },
  firefox: { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', extraPrefsFirefox: {
    ...(touch && { 'dom.w3c_touch_events.enabled': 1, 'dom.maxtouchpoints.testing.value': 5,
      'ui.primaryPointerCapabilities': 1 }),
    'browser.download.folderList': 2, 'browser.download.dir': downloads, 'browser.download.useDownloadDir': true,
    'browser.download.always_ask_before_handling_new_types': false, 'browser.download.alwaysOpenPanel': false } },
}[browserName]);

function check(name, ok, detail) {
  ok ? passed++ : failed++;
  console.log(ok ? `ok: ${browserName}: ${name}` : `FAILED: ${browserName}: ${name}: ${detail}`);
}

// Polls probe until it returns something other than undefined.
async function waitFor(what, probe) {
  for (const start = Date.now(); ; await new Promise(resolve => setTimeout(resolve, 20))) {
    const value = await probe();
    if (value !== undefined) return value;
    if (Date.now() - start > hangGuardMs) throw new Error(`nothing in ${hangGuardMs / 1000} s: ${what}`);
  }
}

// A flight is a list of [steps, direction] legs from the start-up view.
const flightArgs = flight => flight.flatMap(([steps, direction]) => ['--fly', String(steps), direction]);

// Which frame a picture (a PNG data URL of the canvas, or a BMP file) shows
// after the flight and some steps of steer: { high, steps }, or null.
function matchFrame(picture, flight, steer) {
  if (picture.startsWith('data:')) {
    fs.writeFileSync(path.join(work, 'canvas.png'), Buffer.from(picture.split(',')[1], 'base64'));
    picture = path.join(work, 'canvas.png');
  }
  const { stdout } = spawnSync(renderFrame, ['--match', picture, '--max', '1000', ...flightArgs(flight),
    '--steer', steer], { encoding: 'utf8' });
  const found = /^(high|LOW) detail frame after (\d+) [a-z-]+ steps$/m.exec(stdout);
  return found && { high: found[1] === 'high', steps: Number(found[2]) };
}

// The desktop program's lnd000.bmp after the flight from a fresh start, each
// leg's key held for its steps. Events scripted for pass N are read in the
// drain after update pass N, and a held key moves once in each later pass.
function desktopBmp(flight) {
  const dir = fs.mkdtempSync(path.join(work, 'desktop-'));
  let pass = 1, script = '';
  for (const [steps, direction] of flight) {
    const key = directionKeys[directions.indexOf(direction)];
    script += ` ${pass}+${key} ${pass += steps}-${key}`;
  }
  script += ` ${pass + 1}+32 ${pass + 2}+27`;
  const env = { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy', LD_PRELOAD: scriptedEvents,
    SCRIPTED_EVENTS: script.trim() };
  const run = spawnSync(landscape, [], { cwd: dir, env, encoding: 'utf8', timeout: hangGuardMs });
  if (run.status !== 0) throw new Error(`landscape with '${script}': status ${run.status} ${run.stderr}`);
  return fs.readFileSync(path.join(dir, 'lnd000.bmp'));
}

// The download of that name, once the browser has finished writing it.
const download = name => waitFor(`the download ${name}`, () => {
  const files = fs.existsSync(downloads) ? fs.readdirSync(downloads) : [];
  const busy = files.some(file => /\.(crdownload|part)$/.test(file));
  return !busy && files.includes(name) ? fs.readFileSync(path.join(downloads, name)) : undefined;
});

function checkBytes(name, bytes, expected) {
  const at = bytes.findIndex((b, i) => b !== expected[i]);
  check(`${name} is the desktop program's screenshot, byte for byte`, bytes.equals(expected),
    `${bytes.length} bytes against ${expected.length}, first difference at ${at}`);
}

// The page's own origin, served from the copy of the site on the loopback
// (content types by file name); a secure context, as the gamepads and the
// service worker need. Started again after a stop, on the same port.
async function serve() {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
    '.webmanifest': 'application/manifest+json' };
  server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://x/').pathname) || 'index.html';
    fs.readFile(path.join(site, name), (error, data) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': types[path.extname(name)] || 'text/plain' });
      response.end(data);
    });
  });
  await new Promise(resolve => server.listen(port, '127.0.0.1', resolve));
  port = server.address().port;
  return `http://127.0.0.1:${port}/`;
}
async function stopServing() {
  const closed = new Promise(resolve => server.close(resolve));
  server.closeAllConnections();
  await closed;
}

// A new tab at the size of viewport, its errors and warnings logged, and
// every address it asks for. Without touch, a scripted gamepad stands in
// for navigator.getGamepads: setPad(null) disconnects it, setPad({ buttons,
// axes }) connects it (standard mapping) in that state.
const requested = [];
async function openTab(viewport) {
  const page = await browser.newPage();
  page.setDefaultTimeout(hangGuardMs);
  page.on('pageerror', error => pageLog.push(`exception: ${error.message}`));
  page.on('console', message => pageLog.push(`console.${message.type()}: ${message.text()}`));
  page.on('request', request => requested.push(request.url()));
  if (!viewport.hasTouch) await page.evaluateOnNewDocument(() => {
    const pads = [null, null, null, null];
    window.setPad = state => {
      pads[0] = state && { id: 'scripted', index: 0, connected: true, mapping: 'standard', timestamp: performance.now(),
        axes: state.axes || [0, 0, 0, 0],
        buttons: Array.from({ length: 17 }, (_, i) => ({ pressed: !!state.buttons?.includes(i), touched: false,
          value: state.buttons?.includes(i) ? 1 : 0 })) };
    };
    navigator.getGamepads = () => pads;
  });
  await page.setViewport(viewport);
  return page;
}

// A page of the flyover, flying, with helpers bound to it: a new tab, or
// `reload`, a tab opened before, reloaded.
const laptop = { width: 1280, height: 800 };
async function openPage(url, viewport = laptop, reload) {
  const page = reload ?? await openTab(viewport);
  await (reload ? page.reload() : page.goto(url));
  await page.waitForFunction(() => document.getElementById('status')?.textContent.startsWith('Flying'));
  // Whether the page kept the browser from acting on the last key
  // (scrolling); holdPasses stops the passes (animation frames skip them).
  await page.evaluate(() => {
    window.addEventListener('keydown', e => { window.keptFromBrowser = e.defaultPrevented; });
    const poll = Module.preMainLoop;
    Module.preMainLoop = () => (window.holdPasses ? false : poll());
  });
  const canvasPixels = () => page.evaluate(() => document.getElementById('screen').toDataURL());
  const flight = [];
  return {
    page, flight, canvasPixels,
    // The picture once it differs from `from`.
    canvasChange: from => waitFor('the picture to change', async () => {
      const pixels = await canvasPixels();
      return pixels !== from ? pixels : undefined;
    }),
    // The steps of steer after the flight in the full-detail frame the picture
    // comes to, or that it shows after a change from the picture `after`;
    // then flown. A direction still held keeps the picture at low detail, so
    // this never returns (and the hang guard fails the run).
    settle: async (steer, after) => {
      const steps = await waitFor('a full-detail frame', async () => {
        const pixels = await canvasPixels();
        const frame = pixels !== after && matchFrame(pixels, flight, steer);
        return frame?.high ? frame.steps : undefined;
      });
      flight.push([steps, steer]);
      return steps;
    },
    box: selector => page.$eval(selector, e => e.getBoundingClientRect().toJSON()),
  };
}

// The site's folder holds exactly the files to publish, the service worker
// keeps all the others, and the manifest's icons are there at their sizes.
function siteChecks() {
  const files = fs.readdirSync(webDir).sort();
  const published = ['index.html', 'landscape-192.png', 'landscape-32.png', 'landscape-512.png', 'landscape.js',
    'landscape.wasm', 'manifest.webmanifest', 'service-worker.js'];
  check('the site folder holds exactly the published files', `${files}` === `${published}`, `${files}`);
  const worker = fs.readFileSync(path.join(webDir, 'service-worker.js'), 'utf8');
  const kept = JSON.parse(/siteFiles = (\[.*\]);/.exec(worker)?.[1].replace(/'/g, '"') ?? '[]').sort();
  check('the service worker keeps every other file', `${kept}` === `${files.filter(f => f !== 'service-worker.js')}`,
    `${kept}`);
  const manifest = JSON.parse(fs.readFileSync(path.join(webDir, 'manifest.webmanifest'), 'utf8'));
  const icons = manifest.icons.map(icon => {
    const png = fs.readFileSync(path.join(webDir, icon.src));   // width and height in the IHDR chunk
    return `${png.readUInt32BE(16)}x${png.readUInt32BE(20)}` === icon.sizes && (icon.purpose ?? 'any');
  });
  check('the manifest names icons of 192 and 512 px as they are, one maskable',
    manifest.icons.some(icon => icon.sizes === '192x192') && manifest.icons.some(icon => icon.sizes === '512x512')
    && `${icons}` === 'any,any,maskable', JSON.stringify(manifest.icons));
}

// What a box lies within.
const inside = (box, outer) => box.width > 0 && box.left >= outer.left && box.top >= outer.top
  && box.right <= outer.right && box.bottom <= outer.bottom;

// Whether the page shows the canvas's frame with every frame pixel an
// exact square of whole device pixels: '' or what differs. The page's
// screenshot of the canvas's box compared with the frame in the page.
async function crisp(page, screen) {
  const shot = await page.screenshot({ encoding: 'base64',
    clip: { x: screen.x, y: screen.y, width: screen.width, height: screen.height } });
  return page.evaluate(async png => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const pixels = (source, width, height) => {
      const canvas = Object.assign(document.createElement('canvas'), { width, height });
      const context = canvas.getContext('2d');
      context.drawImage(source, 0, 0);
      return new Uint32Array(context.getImageData(0, 0, width, height).data.buffer);
    };
    const factor = image.width / 320;
    if (!Number.isInteger(factor) || image.height !== 240 * factor) return `a ${image.width} x ${image.height} picture`;
    const shown = pixels(image, image.width, image.height), frame = pixels(document.getElementById('screen'), 320, 240);
    let differ = 0;
    for (let y = 0; y < image.height; ++y)
      for (let x = 0; x < image.width; ++x)
        differ += shown[y * image.width + x] !== frame[Math.floor(y / factor) * 320 + Math.floor(x / factor)];
    return differ ? `${differ} of ${shown.length} device pixels differ` : '';
  }, shot);
}

// Keys, downloads, a scripted gamepad, focus and Escape, on a laptop-sized page.
async function desktopChecks(url) {
  const { page, flight, canvasPixels, canvasChange, settle, box } = await openPage(url);
  const pad = await box('[aria-label="Direction pad"]');
  check('no touch controls without a touch screen', pad.width === 0, `a pad of ${pad.width} px`);

  // At laptop sizes the canvas, whole and crisp at the most device pixels a
  // pixel that leave room for the help, and the title, the status line and
  // the keys are all in view (at 1024 x 768, 3x would leave none).
  for (const [viewport, factor] of [[{ width: 1024, height: 768 }, 2], [{ width: 1366, height: 768 }, 3], [laptop, 3]]) {
    await page.setViewport(viewport);
    await page.evaluate(() => new Promise(requestAnimationFrame));   // after the resize
    const view = { left: 0, top: 0, right: viewport.width, bottom: viewport.height };
    const [screen, title, status, keys] = [await box('#screen'), await box('h1'), await box('#status'), await box('#help')];
    const blurred = await crisp(page, screen);
    check(`at ${viewport.width} x ${viewport.height} the canvas at ${factor}x, crisp, and the title, status and keys in view`,
      screen.width === 320 * factor && !blurred && [screen, title, status, keys].every(b => inside(b, view)),
      `${blurred} ${JSON.stringify({ screen, title, status, keys })}`);
  }

  // Fly: hold Up until the picture moves, let go, and wait for full detail.
  const startUp = await canvasPixels();
  await page.keyboard.down('ArrowUp');
  check('Up does not scroll the page', await page.evaluate(() => window.keptFromBrowser), 'default action not prevented');
  await canvasChange(startUp);
  await page.keyboard.up('ArrowUp');
  const flown = await settle('forward');
  check(`the canvas shows the desktop full-detail frame after ${flown} forward steps`, flown >= 1, 'no steps');

  // Screenshots: two downloads of the same frame, named in sequence.
  const desktop = desktopBmp(flight);
  for (const name of ['lnd000.bmp', 'lnd001.bmp']) {
    await page.keyboard.press(' ');   // Space
    checkBytes(`the download ${name}`, await download(name), desktop);
  }
  check('Space does not scroll the page', await page.evaluate(() => window.keptFromBrowser), 'default action not prevented');
  const links = await page.$$eval('#shots a', links => links.map(a => a.download).join(' '));
  check('the page links both screenshots', links === 'lnd000.bmp lnd001.bmp', `links: '${links}'`);

  // A gamepad connected after the page loaded steers as the keys do: each
  // state held until the picture moves, then let go, or the page loses the
  // focus, or the pad is disconnected; Back/Select takes a screenshot.
  const gamepadHelp = () => page.$eval('.gamepad-only', row => row.getBoundingClientRect().height > 0);
  const noPadHelp = await gamepadHelp();
  await page.evaluate(() => { setPad({}); window.dispatchEvent(new Event('gamepadconnected')); });
  check('the help has a gamepad\'s line once one is connected', !noPadHelp && await gamepadHelp(), `before: ${noPadHelp}`);
  for (const [state, steer, end] of [[{ buttons: [12] }, 'forward', 'let go'],
    [{ buttons: [12, 15] }, 'forward-right', 'let go'], [{ axes: [-0.7, 0.7, 0, 0] }, 'backward-left', 'let go'],
    [{ buttons: [14] }, 'left', 'blur'], [{ buttons: [12] }, 'forward', 'disconnect']]) {
    const before = await canvasPixels();
    await page.evaluate(state => setPad(state), state);
    await canvasChange(before);
    await page.evaluate(end => end === 'blur' ? window.dispatchEvent(new FocusEvent('blur')) : setPad(end === 'let go' && {}),
      end);
    const steps = await settle(steer);
    await page.evaluate(() => setPad({}));
    check(`the gamepad's ${JSON.stringify(state)}, then ${end}, flies ${steps} ${steer} steps`, steps >= 1, 'no steps');
  }
  await page.evaluate(() => setPad({ buttons: [8] }));
  checkBytes('the gamepad\'s screenshot lnd002.bmp', await download('lnd002.bmp'), desktopBmp(flight));
  await page.evaluate(() => { setPad(null); window.dispatchEvent(new Event('gamepaddisconnected')); });
  check('the gamepad\'s line goes with the last pad', !await gamepadHelp(), 'still shown');

  // Losing focus releases a held direction: a press and a blur within one
  // animation frame, so that only the focus event can release the press (on
  // a blur of its own the layer releases the keys it saw pressed).
  const before = await canvasPixels();
  await page.evaluate(() => {
    document.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowUp', keyCode: 38 }));
    window.dispatchEvent(new FocusEvent('blur'));
  });
  await canvasChange(before);   // the press's low-detail frame
  const still = await settle('forward');
  check('a press and a blur in one frame fly nowhere', still === 0, `${still} steps`);

  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('Stopped'));
  const stopped = await page.$eval('#status', e => e.textContent);
  const [message, screen] = [await box('#message'), await box('#screen')];
  check('Escape stops the flyover with a message over the canvas, in view', stopped.includes('Reload')
    && await page.$eval('#message', e => e.textContent) === stopped && inside(message, screen)
    && inside(screen, { left: 0, top: 0, right: laptop.width, bottom: laptop.height }), `${stopped} ${JSON.stringify(message)}`);
  await page.close();
}

// Fingers on the touch controls of a phone-sized page (with the browser's
// own gamepads: none).
async function touchChecks(url) {
  const portrait = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true };
  const { page, flight, canvasPixels, canvasChange, settle, box } = await openPage(url, portrait);
  const touch = page.touchscreen;

  // The help speaks of the on-screen controls, not of keys, nor of a
  // gamepad while there is none.
  const help = await page.$$eval('#help tr', rows => rows.filter(row => row.getBoundingClientRect().height > 0)
    .map(row => row.cells[0].textContent));
  check('on a touch screen the help names the pad and the buttons only', `${help}` === 'pad,Screenshot,Fullscreen'
    || (browserName === 'firefox' && `${help}` === 'pad,Screenshot'), `${help}`);

  // Upright the canvas is as wide as whole device pixels allow, the
  // controls below it; lying down, the controls are beside it. The targets
  // are thumb-sized.
  for (const [name, viewport, factor] of [['portrait', portrait, 2], ['landscape', { ...portrait, width: 844, height: 390 }, 3]]) {
    await page.setViewport(viewport);
    await page.evaluate(() => new Promise(requestAnimationFrame));   // after the resize
    const [screen, pad, shot] = [await box('#screen'), await box('[aria-label="Direction pad"]'),
      await box('[aria-label="Screenshot"]')];
    const clear = name === 'portrait' ? pad.top >= screen.bottom && shot.top >= screen.bottom
      : pad.right <= screen.left && shot.left >= screen.right;
    check(`${name}: the canvas at ${factor} device pixels a pixel, the controls clear of it, 48 px or more`,
      screen.width * 2 === 320 * factor && clear && Math.min(pad.width, pad.height, shot.width, shot.height) >= 48,
      JSON.stringify({ screen, pad, shot }));
  }
  await page.setViewport(portrait);
  await page.evaluate(() => new Promise(requestAnimationFrame));
  const pad = await box('[aria-label="Direction pad"]'), shot = await box('[aria-label="Screenshot"]');
  // Where on the pad a finger steers toward direction (a console button).
  const sector = direction => [pad.x + pad.width / 2 * (1 - 0.7 * Math.sin(direction * Math.PI / 4)),
    pad.y + pad.height / 2 * (1 - 0.7 * Math.cos(direction * Math.PI / 4))];
  const held = direction => waitFor(`the pad to show ${direction}`, () =>
    page.$eval('#pad', (e, d) => e.dataset.held === d || undefined, String(direction)));
  // Puts a finger down on a direction and waits until the picture moves.
  const hold = async direction => {
    const before = await canvasPixels();
    const finger = await touch.touchStart(...sector(direction));
    await canvasChange(before);
    return finger;
  };

  // A finger held on forward, then on forward-right.
  for (const direction of [0, 7]) {
    await (await hold(direction)).end();
    const steps = await settle(directions[direction]);
    check(`a finger on ${directions[direction]} flies the desktop's ${steps} steps`, steps >= 1, 'no steps');
  }

  // Sliding from forward to right: the passes are stopped while the finger
  // moves, so that the frame before the slide tells the forward steps.
  let finger = await hold(0);
  await page.evaluate(() => { window.holdPasses = true; });
  const forward = matchFrame(await canvasPixels(), flight, 'forward');
  await finger.move(...sector(6));
  await held(6);
  const before = await canvasPixels();
  await page.evaluate(() => { window.holdPasses = false; });
  await canvasChange(before);
  await finger.end();
  // The page hands the slide to the program's controls at once: the first
  // pass after it flies right.
  flight.push([forward.steps, 'forward']);
  const right = await settle('right');
  check(`a slide flies ${forward.steps + 1} forward then ${right} right steps`, !forward.high && right >= 1,
    `${JSON.stringify(forward)} then ${right}`);

  // Two fingers on forward: lifting one keeps it held (the frame after next
  // is surely drawn after the lift).
  const first = await hold(0), second = await touch.touchStart(...sector(0));
  await first.end();
  const afterLift = matchFrame(await canvasChange(await canvasChange(await canvasPixels())), flight, 'forward');
  await second.end();
  const both = await settle('forward');
  check('of two fingers on one direction, lifting one keeps it held', afterLift && !afterLift.high && both >= 1,
    JSON.stringify(afterLift));

  // One finger holds forward-right, another taps Screenshot: the download
  // is the desktop's screenshot, and the held direction flies on at full
  // detail.
  finger = await hold(7);
  await (await touch.touchStart(shot.x + shot.width / 2, shot.y + shot.height / 2)).end();
  const bytes = await download('lnd000.bmp');
  const shown = matchFrame(path.join(downloads, 'lnd000.bmp'), flight, 'forward-right')?.steps ?? -1;
  checkBytes('a screenshot tapped while a finger steers', bytes, desktopBmp([...flight, [shown, 'forward-right']]));
  const after = await settle('forward-right', await canvasPixels());
  flight.pop();
  await finger.end();
  const flownOn = await settle('forward-right');
  check('the finger steers on at full detail after the screenshot', flownOn > after && after > shown,
    `${shown}, ${after} then ${flownOn} steps`);
  await page.close();
}

// Served once, the page is installable (Chromium tells) and, the server
// gone, starts and flies as before; a rebuilt site is then picked up. The
// errors of the visits without a server are expected, and not kept.
async function offlineChecks(url) {
  const online = await openPage(url);
  const page = online.page;
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  if (browserName === 'chromium') {
    const { installabilityErrors } = await (await page.createCDPSession()).send('Page.getInstallabilityErrors');
    check('installable: Chromium reports no installability error', installabilityErrors.length === 0,
      JSON.stringify(installabilityErrors));
  }
  const caches = () => page.evaluate(() => window.caches.keys());
  const built = await caches();

  await stopServing();
  const logged = pageLog.length;
  const { canvasPixels, canvasChange, settle } = await openPage(url, laptop, page);
  const start = matchFrame(await canvasPixels(), [], 'forward');
  await page.keyboard.down('ArrowUp');
  await canvasChange(await canvasPixels());
  await page.keyboard.up('ArrowUp');
  const flown = await settle('forward');
  check(`the server gone, the page starts at the desktop's start frame and flies ${flown} forward steps`,
    start?.high && start.steps === 0 && flown >= 1, JSON.stringify(start));
  pageLog.length = logged;

  // The site rebuilt with a page of another title: the visit after the new
  // worker took over shows it, and only the new build's cache is left.
  const pageSource = path.join(work, 'page');
  fs.cpSync(path.join(source, 'web'), pageSource, { recursive: true });
  const index = path.join(pageSource, 'index.html');
  fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace('<title>Landscape<', '<title>Landscape rebuilt<'));
  const version = spawnSync(path.join(source, 'tools/version.sh'), { encoding: 'utf8' }).stdout.trim();
  const rebuild = spawnSync('cmake', [`-DSITE=${site}`, `-DPAGE=${pageSource}`, `-DICONS=${path.join(source, 'data/icons')}`,
    `-DPROGRAM=${webDir}`, `-DVERSION=${version}`, '-P', path.join(source, 'cmake/web_site.cmake')], { encoding: 'utf8' });
  if (rebuild.status !== 0) throw new Error(`the site's rebuild: ${rebuild.stderr}`);
  await serve();
  await openPage(url, laptop, page);
  const rebuilt = await waitFor('the new build\'s cache alone', async () => {
    const names = await caches();
    return names.length === 1 && names[0] !== built[0] ? names : undefined;
  });
  await openPage(url, laptop, page);
  const title = await page.title();
  check('a rebuilt site is picked up on the next visit, its old cache deleted', built.length === 1
    && title === 'Landscape rebuilt', `${title}, caches ${built} then ${rebuilt}`);
  await page.close();
}

async function run() {
  siteChecks();
  const url = await serve();
  const puppeteer = createRequire(`${npmDir}/`)('puppeteer-core');
  // Desktop pages, then a browser with touch (Firefox needs a new one).
  for (const touch of [false, true]) {
    browser = await puppeteer.launch({ ...launchOptions(touch), headless: true, timeout: hangGuardMs,
      downloadBehavior: { policy: 'allow', downloadPath: downloads } });
    if (touch) {
      await touchChecks(url);
    } else {
      await desktopChecks(url);
      await offlineChecks(url);
      fs.rmSync(downloads, { recursive: true, force: true });
      await browser.close();
    }
  }
  check('the pages logged no errors or warnings', !pageLog.some(line => /^(exception|console\.(error|warn))/.test(line)),
    '');
  const elsewhere = requested.filter(address => !address.startsWith(url) && !/^(data|blob):/.test(address));
  check('the pages fetched nothing from elsewhere', requested.length > 0 && !elsewhere.length, `${elsewhere}`);
}

await run().catch(error => check('the run completes', false, error.stack));
if (failed && pageLog.length) console.log(`  page log:\n    ${pageLog.join('\n    ')}`);
await browser?.close();
server?.close();
fs.rmSync(work, { recursive: true, force: true });
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
