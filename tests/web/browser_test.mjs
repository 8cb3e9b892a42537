// The browser build played in the system's headless Chromium (WebGL on its software renderer):
// the committed demos replay with every frame's world as recorded, their last pictures are the
// desktop's within a measured tolerance, a scripted game reacts to keys and the mouse as on the
// desktop, the best scores survive a reload (a damaged table is kept aside), and the page loads
// without an error in the console.
//
//   node tests/web/browser_test.mjs WEB_DIR NATIVE_BUILD [--pace SECONDS]
//
// WEB_DIR is build/web (make web); NATIVE_BUILD the desktop build holding tools/demos and
// tools/framediff, which draw the desktop's pictures and compare them. --pace only measures the
// page's world steps a second (make web-bench). Exit status 0 when every check passes.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const [webDir, nativeBuild] = process.argv.slice(2).filter((a) => !a.startsWith('--'));
const paceIndex = process.argv.indexOf('--pace');
const paceSeconds = paceIndex > 0 ? Number(process.argv[paceIndex + 1]) : 0;
const root = resolve(new URL('../..', import.meta.url).pathname);
const scratch = mkdtempSync(join(tmpdir(), 'brambleshot-web-'));
const failures = [];
let pictureCount = 0;  // BRAMBLESHOT_WEB_PICTURES=DIR keeps every picture looked at, numbered

function check(ok, what) {
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
  if (!ok) failures.push(what);
}

const { server, url } = await serve(webDir);
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
         '--autoplay-policy=user-gesture-required'],
});

// A page of the game, its console and errors collected.
async function open(query = '', viewport = { width: 1000, height: 820 }, beforeLoad = null) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
  const errors = [];
  const lines = [];
  page.on('console', (message) => {
    lines.push(message.text());
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(error.message));
  const started = Date.now();
  await page.goto(url + 'index.html' + query);
  return { page, errors, lines, started };
}

const frames = (page) => page.evaluate(() => Module._brambleshot_frames());
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// Waits for the game's first frame. The count is asked for only once the runtime is up: the
// exported function throws before, which would stop Chromium's polling of the condition.
async function started(page) {
  await page.waitForFunction(() => window.brambleshotStarted && Module._brambleshot_frames() > 0,
                             { timeout: 30000 });
}

// The canvas's pixels as RGB rows, through ImageMagick (a test dependency).
async function canvasPixels(page) {
  const canvas = await page.$('#canvas');
  const png = await canvas.screenshot({ type: 'png' });
  const size = await page.evaluate(() => [canvas.width, canvas.height]);
  const rgb = execFileSync('convert', ['png:-', 'rgb:-'], { input: png, maxBuffer: 1 << 26 });
  if (process.env.BRAMBLESHOT_WEB_PICTURES)
    writeFileSync(join(process.env.BRAMBLESHOT_WEB_PICTURES, `${++pictureCount}.png`), png);
  return { width: size[0], height: size[1], rgb, png };
}

// The share of a rectangle's pixels (top-left origin) that two pictures show clearly apart (by
// more than 40 levels in a channel): a mark or a page that came or went.
function regionChange(a, b, x0, y0, x1, y1) {
  let changed = 0;
  for (let y = y0; y < y1; ++y)
    for (let x = x0; x < x1; ++x) {
      const i = (y * a.width + x) * 3;
      if (Math.max(Math.abs(a.rgb[i] - b.rgb[i]), Math.abs(a.rgb[i + 1] - b.rgb[i + 1]),
                   Math.abs(a.rgb[i + 2] - b.rgb[i + 2])) > 40) ++changed;
    }
  return changed / ((x1 - x0) * (y1 - y0));
}

// The mean column of the tank's dark pixels in the bottom rows of the play area.
function tankColumn(picture) {
  let sum = 0, count = 0;
  for (let y = picture.height - 60; y < picture.height - 5; ++y)
    for (let x = Math.floor(0.15 * picture.width); x < picture.width; ++x) {
      const i = (y * picture.width + x) * 3;
      if (picture.rgb[i] + picture.rgb[i + 1] + picture.rgb[i + 2] < 150) { sum += x; ++count; }
    }
  return count ? sum / count : -1;
}

async function press(page, key, times = 1) {
  for (let i = 0; i < times; ++i) await page.keyboard.press(key);
  await sleep(150);  // a few rounds of the loop: the frames that show the key's effect
}

try {
  if (paceSeconds > 0) {
    // The pace: world steps a second at the start screen and in play, as a player would feel it.
    const { page } = await open('?size=800x600');
    await started(page);
    // What a step's time is made of: the game's own work (world step and drawing, WebGL calls
    // included), and the rest, the browser's timer and whatever else the page does.
    const busy = () => page.evaluate(() => Module._brambleshot_busy_ms());
    for (const [scene, key] of [['start screen', null], ['play', 'n']]) {
      if (key) await press(page, key);
      const [framesBefore, busyBefore, t0] = [await frames(page), await busy(), Date.now()];
      await sleep(paceSeconds * 1000);
      const [framesAfter, busyAfter, t1] = [await frames(page), await busy(), Date.now()];
      const steps = framesAfter - framesBefore;
      const perStep = (t1 - t0) / steps, work = (busyAfter - busyBefore) / steps;
      console.log(`browser pace, ${scene}: ${(steps * 1000 / (t1 - t0)).toFixed(0)} steps/s at ` +
                  `800x600; a step ${perStep.toFixed(2)} ms: the game's work ${work.toFixed(2)} ms, ` +
                  `the timer and the browser ${(perStep - work).toFixed(2)} ms`);
    }
    await page.close();
  } else {
    // Loading: the first frame, no error in the console.
    {
      const { page, errors, started } = await open();
      await page.waitForFunction(() => window.brambleshotStarted && Module._brambleshot_frames() > 0,
                                 { timeout: 30000 });
      const firstFrame = Date.now() - started;
      console.log(`first frame ${firstFrame} ms after the page was asked for`);
      check(firstFrame < 10000, `the page shows its first frame within 10 s (${firstFrame} ms)`);
      await sleep(1000);
      check(errors.length === 0, `no error in the console on loading (${errors.join(' | ')})`);
      await page.close();
    }

    // Every committed demo replays in the browser: each frame's world as recorded.
    const demos = readdirSync(join(root, 'tests/demo/games')).filter((f) => f.endsWith('.demo'));
    for (const file of demos) {
      const name = basename(file, '.demo');
      const { page, errors, lines } = await open('?play=' + name);
      await page.waitForFunction(() => window.brambleshotExit !== undefined, { timeout: 240000 });
      const status = await page.evaluate(() => window.brambleshotExit);
      check(status === 0 && lines.some((l) => l.includes('frames replayed exactly')) && errors.length === 0,
            `demo ${name} replays exactly in the browser (status ${status}; ${lines.filter((l) => l.includes(name)).join(' | ')})`);
      // Its last picture against the desktop's. Measured, SwiftShader against llvmpipe: allowing
      // an edge one pixel over and 3 levels of rounding, 0.15 to 0.25 % of the pixels differ,
      // single pixels of the panel's thin lettering by up to 223 levels (the two rasterisers
      // take the neighbouring texel where a texel's edge meets a pixel's centre). The limit is
      // twice the worst share; a wrong texture, a lost mark or a shifted layout is far beyond.
      const dataUrl = await page.evaluate(() => window.brambleshotLastPicture);
      const webPpm = join(scratch, `${name}-web.ppm`);
      const nativePpm = join(scratch, `${name}-native.ppm`);
      execFileSync('convert', ['png:-', webPpm], { input: Buffer.from(dataUrl.split(',')[1], 'base64') });
      execFileSync(join(nativeBuild, 'tools/demos'), ['picture', join(root, 'tests/demo/games', file), join(scratch, `${name}.png`)],
                   { cwd: root, stdio: 'ignore' });
      execFileSync('convert', [join(scratch, `${name}.png`), nativePpm]);
      let verdict;
      try {
        verdict = execFileSync(join(nativeBuild, 'tools/framediff'),
                               [nativePpm, webPpm, '--shifted', '--noise', '3', '--max-share', '0.5',
                                '--max-level', '255'], { encoding: 'utf8' });
      } catch (error) {
        verdict = (error.stdout || '') + (error.stderr || '');
      }
      const summary = verdict.trim().split('\n').pop();
      check(summary.includes('within the limits'), `demo ${name}'s last picture is the desktop's (${summary})`);
      await page.close();
    }
    // A demo that is not there: the desktop's status for a malformed one.
    {
      const { page } = await open('?play=no_such_demo');
      await page.waitForFunction(() => window.brambleshotExit !== undefined, { timeout: 60000 });
      check(await page.evaluate(() => window.brambleshotExit) === 2, 'a missing demo ends with status 2');
      await page.close();
    }

    // A scripted game: new game, drive, aim, guns, cannon, pause, help, mute.
    {
      const { page, errors } = await open('?size=800x600');
      await started(page);
      const start = await canvasPixels(page);
      await press(page, 'n');
      const playing = await canvasPixels(page);
      check(regionChange(start, playing, 250, 40, 650, 440) > 0.3, 'n starts a game: the best-score card goes');
      await press(page, 'd', 25);
      const driven = await canvasPixels(page);
      check(tankColumn(driven) > tankColumn(playing) + 20, `d drives right (${tankColumn(playing).toFixed(0)} -> ${tankColumn(driven).toFixed(0)})`);
      await press(page, 'a', 50);
      check(tankColumn(await canvasPixels(page)) < tankColumn(driven) - 40, 'a drives left');
      // The reticle follows the mouse: the sky around the pointer changes where it goes.
      const canvasBox = await (await page.$('#canvas')).boundingBox();
      await page.mouse.move(canvasBox.x + 300, canvasBox.y + 150);
      await sleep(150);
      const aimLeft = await canvasPixels(page);
      await page.mouse.move(canvasBox.x + 600, canvasBox.y + 150);
      await sleep(150);
      const aimRight = await canvasPixels(page);
      check(regionChange(aimLeft, aimRight, 285, 135, 315, 165) > 0.05 && regionChange(aimLeft, aimRight, 585, 135, 615, 165) > 0.05,
            'the reticle follows the mouse');
      await page.mouse.down();
      await sleep(300);
      await page.mouse.up();
      await press(page, ' ');
      const fired = await canvasPixels(page);
      // The panel's cannon place turns from READY to RELOADING.
      check(regionChange(playing, fired, 0, 125, 100, 165) > 0.05, 'space fires the cannon: the panel shows it reloading');
      await press(page, 'p');
      const paused = await canvasPixels(page);
      await sleep(500);
      const stillPaused = await canvasPixels(page);
      check(regionChange(fired, paused, 0, 195, 100, 230) > 0.1, 'p shows the PAUSED mark');
      check(regionChange(paused, stillPaused, 100, 0, 800, 600) === 0, 'while paused the picture stands still');
      await press(page, 'p');
      await press(page, 'h');
      const help = await canvasPixels(page);
      check(regionChange(paused, help, 150, 50, 750, 550) > 0.3, 'h shows the help page');
      await press(page, 'h');
      await press(page, 'm');
      const muted = await canvasPixels(page);
      check(regionChange(help, muted, 20, 475, 85, 525) > 0.05, 'm shows the mute mark');
      check(errors.length === 0, `no error in the console during play (${errors.join(' | ')})`);
      await page.close();
    }

    // A gamepad through the browser's Gamepad API (a standard-layout pad the page is given in
    // place of a real one): X starts a game, A fires the cannon, Start pauses.
    {
      const { page, errors, lines } = await open('?size=800x600', { width: 1000, height: 820 }, (pad) => {
        const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
        window.testPad = { id: 'Test pad', index: 0, connected: true, mapping: 'standard',
                           timestamp: 0, axes: [0, 0, 0, 0], buttons };
        navigator.getGamepads = () => [window.testPad];
        window.padButton = (i, down) => {
          buttons[i] = { pressed: down, touched: down, value: down ? 1 : 0 };
          window.testPad.timestamp += 1;
        };
      });
      await started(page);
      const hold = async (button) => {
        await page.evaluate((b) => padButton(b, true), button);
        await sleep(200);
        await page.evaluate((b) => padButton(b, false), button);
        await sleep(200);
      };
      const start = await canvasPixels(page);
      await hold(2);  // X: a new game
      const playing = await canvasPixels(page);
      await hold(0);  // A: the cannon
      const fired = await canvasPixels(page);
      await hold(9);  // Start: pause
      const paused = await canvasPixels(page);
      check(lines.some((l) => l.includes('gamepad connected: Test pad')), 'the browser\'s pad is taken in, with one line');
      check(regionChange(start, playing, 250, 40, 650, 440) > 0.3, 'the pad\'s X starts a game');
      check(regionChange(playing, fired, 0, 125, 100, 165) > 0.05, 'the pad\'s A fires the cannon');
      check(regionChange(fired, paused, 0, 195, 100, 230) > 0.1, 'the pad\'s Start pauses');
      check(errors.length === 0, `no error in the console with a pad (${errors.join(' | ')})`);
      await page.close();
    }

    // The best scores live in the browser's storage: a table stored by one visit is shown by
    // the next; a damaged one is moved aside, as on the desktop, and kept.
    {
      const folder = '/home/web_user/.local/share/brambleshot';
      const table = 'brambleshot scores 1\n6400 31 2026-11-28\n3850 19 2026-12-01\n';
      const emptyVisit = await open('?size=800x600');
      await started(emptyVisit.page);
      const empty = await canvasPixels(emptyVisit.page);
      await emptyVisit.page.evaluate((folder, table) => {
        Module.FS.writeFile(folder + '/scores', table);
        Module.keepSavedFiles();
      }, folder, table);
      await emptyVisit.page.waitForFunction(() => window.brambleshotSaves > 1);
      await emptyVisit.page.reload();
      await started(emptyVisit.page);
      await emptyVisit.page.waitForFunction(() => window.brambleshotSaves > 0);
      const kept = await canvasPixels(emptyVisit.page);
      const stored = await emptyVisit.page.evaluate((folder) => Module.FS.readFile(folder + '/scores', { encoding: 'utf8' }), folder);
      check(stored === table && regionChange(empty, kept, 300, 110, 650, 180) > 0.02,
            'a stored table survives a reload and shows on the start screen');
      await emptyVisit.page.evaluate((folder) => {
        Module.FS.writeFile(folder + '/scores', 'not a table at all\n');
        Module.keepSavedFiles();
      }, folder);
      await emptyVisit.page.waitForFunction(() => window.brambleshotSaves > 1);
      const lines = [];
      emptyVisit.page.on('console', (m) => lines.push(m.text()));
      // Each visit writes back what start-up did (the damaged table moved aside) before the next.
      for (let visit = 0; visit < 2; ++visit) {
        await emptyVisit.page.reload();
        await started(emptyVisit.page);
        await emptyVisit.page.waitForFunction(() => window.brambleshotSaves > 0);
      }
      const files = await emptyVisit.page.evaluate((folder) => Module.FS.readdir(folder), folder);
      const aside = files.filter((f) => f.startsWith('scores.damaged-'));
      const content = aside.length
        ? await emptyVisit.page.evaluate((path) => Module.FS.readFile(path, { encoding: 'utf8' }), folder + '/' + aside[0])
        : '';
      check(aside.length === 1 && content === 'not a table at all\n' && lines.some((l) => l.includes('damaged')),
            `a damaged stored table is moved aside once and kept across reloads (${files.join(', ')})`);
      await emptyVisit.page.close();
    }
  }
} finally {
  await browser.close();
  server.close();
}

if (failures.length > 0) {
  console.log(`${failures.length} browser check(s) FAILED`);
  process.exit(1);
}
console.log('every browser check passed');
