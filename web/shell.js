// The page around the game: loads it, keeps its best scores in the browser's storage, wakes
// its sound on the first input, sizes the canvas to the page, and runs a committed demo when
// the address asks for one (index.html?play=NAME): the outcome shows on the page and in the
// console, with the desktop's exit statuses (0 replayed exactly, 3 diverged, 2 malformed).
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const status = document.getElementById('status');
  const soundButton = document.getElementById('sound');
  const fullscreenButton = document.getElementById('fullscreen');
  const query = new URLSearchParams(window.location.search);
  const demo = query.get('play');
  // Where the desktop game keeps its table: $HOME/.local/share/brambleshot (HOME is
  // /home/web_user in the compiled game).
  const scoreFolder = '/home/web_user/.local/share/brambleshot';
  let running = false;
  let muted = false;
  let syncing = false;    // a write-back of the best scores is under way
  let syncAgain = false;  // and another save came meanwhile

  function show(text) {
    status.textContent = text;
  }

  // The game's lines go to the console as they are; a demo's also to the page.
  function line(text, isError) {
    (isError ? console.error : console.log)(text);
    if (demo !== null) show(text);
  }

  const args = [];
  // index.html?size=WIDTHxHEIGHT: a canvas of that many pixels that keeps its size (for a page
  // that embeds the game, and for the tests); otherwise the canvas fills the page.
  const size = query.get('size');
  const fixedSize = size !== null && /^[0-9]{1,5}x[0-9]{1,5}$/.test(size);
  if (fixedSize) args.push('--window', size);
  if (demo !== null) {
    if (!/^[A-Za-z0-9_-]+$/.test(demo)) {
      line('brambleshot: "' + demo + '" is not the name of a demo', true);
      window.brambleshotExit = 2;
      return;
    }
    args.push('--play', '/demos/' + demo + '.demo', '--fast');
  }

  window.brambleshotSaves = 0;  // how many saves reached the browser's storage (for the tests)
  window.Module = {
    canvas: canvas,
    arguments: args,
    print: (text) => line(text, false),
    printErr: (text) => line(text, true),
    setStatus: (text) => { if (!running && text) show(text.replace(/\(.*\)/, '').trim() || 'Loading the game…'); },
    preRun: [function () {
      // The best scores live in IndexedDB: read in before the game starts, written back after
      // every save.
      const FS = Module.FS;
      FS.mkdirTree(scoreFolder);
      FS.mount(Module.IDBFS, {}, scoreFolder);
      Module.addRunDependency('scores');
      // A browser whose storage does not answer (another tab holding it, a private window that
      // refuses it) still gets the game, with the table it can read.
      let waiting = true;
      const go = () => {
        if (!waiting) return;
        waiting = false;
        Module.removeRunDependency('scores');
      };
      const timer = setTimeout(() => {
        console.warn('brambleshot: the stored best scores did not come; playing without them');
        go();
      }, 5000);
      FS.syncfs(true, (error) => {
        clearTimeout(timer);
        if (error) console.warn('brambleshot: the stored best scores could not be read:', error);
        go();
      });
    }],
    // One write-back at a time: a save while one is under way is written once it has ended.
    keepSavedFiles: function () {
      if (syncing) {
        syncAgain = true;
        return;
      }
      syncing = true;
      Module.FS.syncfs(false, (error) => {
        syncing = false;
        if (error) console.warn('brambleshot: the best scores could not be stored:', error);
        else window.brambleshotSaves += 1;
        if (syncAgain) {
          syncAgain = false;
          Module.keepSavedFiles();
        }
      });
    },
    onRuntimeInitialized: function () {
      running = true;
      show('');
      window.brambleshotStarted = performance.now();
      if (demo === null) requestAnimationFrame(fitCanvas);
    },
    // Called as the game ends, before the canvas is let go: a demo's last picture stays on the
    // page (and the tests compare it with the desktop's).
    onLastPicture: function () {
      if (demo === null || canvas.width < 2) return;
      window.brambleshotLastPicture = canvas.toDataURL('image/png');
      const picture = document.createElement('img');
      picture.src = window.brambleshotLastPicture;
      picture.alt = 'The demo\'s last picture';
      canvas.replaceWith(picture);
    },
    onExit: function (code) {
      window.brambleshotExit = code;
      console.log('brambleshot: exit status ' + code);
      if (demo === null) show(code === 0 ? 'The game has ended. Reload the page to play again.'
                                         : 'The game stopped (status ' + code + ').');
    },
  };

  // The canvas fills the space between the title and the controls, in whole pixels; every new
  // size is a reshape, as a resized window is on the desktop.
  function fitCanvas() {
    if (!running || demo !== null || fixedSize || document.fullscreenElement) return;
    const stage = document.getElementById('stage');
    const width = Math.max(1, Math.floor(stage.clientWidth));
    const height = Math.max(1, Math.floor(stage.clientHeight));
    if (width !== canvas.width || height !== canvas.height) {
      Module._brambleshot_resize(width, height);
    }
  }
  window.addEventListener('resize', () => requestAnimationFrame(fitCanvas));
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement) requestAnimationFrame(fitCanvas);
  });

  // Browsers let a page make sound only after the player's first key or click: the game opens
  // its sound within the first one, before it handles it.
  function wakeSound() {
    if (!running) return;
    Module._brambleshot_first_input();
    if (Module.resumeAudio) Module.resumeAudio();
  }
  for (const event of ['keydown', 'mousedown', 'touchstart']) {
    window.addEventListener(event, wakeSound, { capture: true });
  }
  window.addEventListener('keydown', (event) => {
    if (event.key === 'm' && !event.ctrlKey && !event.altKey && !event.metaKey) {
      muted = !muted;
      soundButton.textContent = muted ? 'Sound: off' : 'Sound: on';
    }
  }, { capture: true });

  soundButton.addEventListener('click', () => {
    if (!running) return;
    Module._brambleshot_toggle_mute();
    muted = !muted;
    soundButton.textContent = muted ? 'Sound: off' : 'Sound: on';
    soundButton.blur();
  });
  fullscreenButton.addEventListener('click', () => {
    if (running) Module._brambleshot_toggle_fullscreen();
    fullscreenButton.blur();
  });
})();
