// Appended to the compiled game's script, in its scope: lets the page wake the game's sound.
// Browsers start an audio context suspended until the player's first key or click; the game's
// OpenAL contexts are resumed from that first input (web/shell.js).
Module['resumeAudio'] = function () {
  if (typeof AL === 'undefined' || !AL.contexts) return;
  for (var id in AL.contexts) {
    var context = AL.contexts[id];
    if (context && context.audioCtx && context.audioCtx.state === 'suspended') {
      context.audioCtx.resume();
    }
  }
};

// The compiler's GLUT shrinks the canvas to a pixel when the game ends; the page may keep the
// last picture first. (The exit callbacks run from the front; GLUT adds its own at start-up.)
if (typeof __ATEXIT__ !== 'undefined') {
  __ATEXIT__.unshift(function () {
    if (Module['onLastPicture']) Module['onLastPicture']();
  });
}
