// The web build in Debian's headless Chromium driven by playwright-core (in
// NPM_DIR/node_modules): its canvas and downloads against the desktop
// program's frames and screenshots. Time limits only guard against hangs.
//   node web_end_to_end.mjs WEB_DIR LANDSCAPE SCRIPTED_EVENTS RENDER_FRAME NPM_DIR
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

const [webDir, landscape, scriptedEvents, renderFrame, npmDir] = process.argv.slice(2).map(p => path.resolve(p));
const hangGuardMs = 60000;
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'landscape-web-'));
// LD_PRELOAD splits at spaces, which a checkout's path may hold: preload a copy.
const preload = path.join(work, path.basename(scriptedEvents));
fs.copyFileSync(scriptedEvents, preload);
const pageLog = [];
let passed = 0, failed = 0, browser;

function check(name, ok, detail) {
  ok ? passed++ : failed++;
  console.log(ok ? `ok: ${name}` : `FAILED: ${name}: ${detail}`);
}

// Polls probe until it returns something other than undefined.
async function waitFor(what, probe) {
  for (const start = Date.now(); ; await new Promise(resolve => setTimeout(resolve, 20))) {
    const value = await probe();
    if (value !== undefined) return value;
    if (Date.now() - start > hangGuardMs) throw new Error(`nothing in ${hangGuardMs / 1000} s: ${what}`);
  }
}

// Which frame of the forward flight a PNG data URL of the canvas shows,
// { high, steps }, or null for none.
function matchFrame(dataUrl) {
  const picture = path.join(work, 'canvas.png');
  fs.writeFileSync(picture, Buffer.from(dataUrl.split(',')[1], 'base64'));
  const { stdout } = spawnSync(renderFrame, ['--match', picture, '--max', '1000'], { encoding: 'utf8' });
  const found = /^(high|LOW) detail frame after (\d+) forward steps$/m.exec(stdout);
  return found && { high: found[1] === 'high', steps: Number(found[2]) };
}

// The desktop program's lnd000.bmp after Up is held for steps update passes
// from a fresh start. Events scripted for pass N are read in the drain after
// update pass N, and a held direction moves once in each later update pass.
function desktopBmp(steps) {
  const dir = fs.mkdtempSync(path.join(work, 'desktop-'));
  const script = `1+273 ${1 + steps}-273 ${2 + steps}+32 ${3 + steps}+27`;
  const env = { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy', LD_PRELOAD: preload,
    SCRIPTED_EVENTS: script };
  const run = spawnSync(landscape, [], { cwd: dir, env, encoding: 'utf8', timeout: hangGuardMs });
  if (run.status !== 0) throw new Error(`landscape with '${script}': status ${run.status} ${run.stderr}`);
  return fs.readFileSync(path.join(dir, 'lnd000.bmp'));
}

async function run() {
  const { chromium } = createRequire(`${npmDir}/`)('playwright-core');
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', downloadsPath: work, timeout: hangGuardMs,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update'] });
  const context = await browser.newContext();
  // The page's own origin, served from WEB_DIR (content types by file name).
  await context.route('http://landscape.test/**', route => route.fulfill({
    path: path.join(webDir, path.basename(new URL(route.request().url()).pathname) || 'index.html') }));
  const page = await context.newPage();
  page.setDefaultTimeout(hangGuardMs);
  page.on('pageerror', error => pageLog.push(`exception: ${error.message}`));
  page.on('console', message => pageLog.push(`console.${message.type()}: ${message.text()}`));
  await page.goto('http://landscape.test/');
  await page.waitForFunction(() => document.getElementById('status')?.textContent.startsWith('Flying'));
  // Whether the page kept the browser from acting on the last key (scrolling).
  await page.evaluate(() => window.addEventListener('keydown', e => { window.keptFromBrowser = e.defaultPrevented; }));
  const keptFromBrowser = () => page.evaluate(() => window.keptFromBrowser);

  // The canvas as a PNG data URL: its pixels exactly.
  const canvasPixels = () => page.evaluate(() => document.getElementById('screen').toDataURL());
  const canvasChange = from => waitFor('the picture to change', async () => (await canvasPixels()) !== from || undefined);
  // The forward steps of the full-detail frame the picture comes to. A
  // direction still held keeps it at low detail, so this never returns (and
  // the hang guard fails the run).
  const settledHighDetailFrame = () => waitFor('a full-detail frame', async () => {
    const frame = matchFrame(await canvasPixels());
    return frame?.high ? frame.steps : undefined;
  });

  // Fly: hold Up until the picture moves, let go, and wait for full detail.
  const startUp = await canvasPixels();
  await page.keyboard.down('ArrowUp');
  check('Up does not scroll the page', await keptFromBrowser(), 'default action not prevented');
  await canvasChange(startUp);
  await page.keyboard.up('ArrowUp');
  const flown = await settledHighDetailFrame();
  check(`the canvas shows the desktop full-detail frame after ${flown} forward steps`, flown >= 1, 'no steps');

  // Screenshots: two downloads of the same frame, named in sequence.
  const desktop = desktopBmp(flown);
  for (const expected of ['lnd000.bmp', 'lnd001.bmp']) {
    const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Space')]);
    check(`Space downloads ${expected}`, download.suggestedFilename() === expected, download.suggestedFilename());
    const bytes = fs.readFileSync(await download.path()), at = bytes.findIndex((b, i) => b !== desktop[i]);
    check(`${expected} is the desktop program's screenshot, byte for byte`, bytes.equals(desktop),
      `${bytes.length} bytes against ${desktop.length}, first difference at ${at}`);
  }
  check('Space does not scroll the page', await keptFromBrowser(), 'default action not prevented');
  const links = await page.locator('#shots a').evaluateAll(links => links.map(a => a.download).join(' '));
  check('the page links both screenshots', links === 'lnd000.bmp lnd001.bmp', `links: '${links}'`);

  // Losing focus releases a held direction: a press and a blur within one
  // animation frame, so that only the focus event can release the press (on
  // a blur of its own the layer releases the keys it saw pressed).
  const before = await canvasPixels();
  await page.evaluate(() => {
    document.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowUp', keyCode: 38 }));
    window.dispatchEvent(new FocusEvent('blur'));
  });
  await canvasChange(before);   // the press's low-detail frame
  const still = await settledHighDetailFrame();
  check('a press and a blur in one frame fly nowhere', still === flown, `${still} steps against ${flown}`);

  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('Stopped'));
  const stopped = await page.locator('#status').textContent();
  check('Escape stops the flyover with a message', stopped.includes('Reload'), stopped);
  check('the page logged no errors', !pageLog.some(line => /^(exception|console\.(error|warning))/.test(line)), '');
}

await run().catch(error => check('the run completes', false, error.message));
if (failed && pageLog.length) console.log(`  page log:\n    ${pageLog.join('\n    ')}`);
await browser?.close();
fs.rmSync(work, { recursive: true, force: true });
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
