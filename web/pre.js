// Runs before the program: how Emscripten's SDL 1.2 layer is to treat the
// page, and the calls app/platform_web.cpp makes into it. The page
// (index.html) may define Module.onScreenshot(name, bytes) and
// Module.onStopped() to show what happens.

// The screen is only ever written whole by the program: locking it need not
// read the canvas back, and the canvas's image is created once.
Module['screenIsReadOnly'] = true;
Module['preRun'] = [].concat(Module['preRun'] || [], function () {
  SDL.defaults.copyOnLock = false;
  SDL.defaults.discardOnLock = true;
});

// The layer's own capture takes every key on the page (reload, zoom, Tab,
// Alt+arrows all stop working). Only the flyover's keys are passed to it
// instead: the arrows, the keypad's digits, Space and Escape. It then keeps
// their default action (scrolling) from happening. F12 is the browser's.
Module['doNotCaptureKeyboard'] = true;
var landscapeKeys = {37: 1, 38: 1, 39: 1, 40: 1, 97: 1, 98: 1, 99: 1, 100: 1,
                     102: 1, 103: 1, 104: 1, 105: 1, 32: 1, 27: 1};
function landscapeKey(event) {
  if (!landscapeKeys[event.keyCode])
    return;
  // Alt+Left is the browser's Back and the like; a release always counts,
  // so that no key stays held.
  if (event.type === 'keydown' && (event.altKey || event.ctrlKey || event.metaKey))
    return;
  SDL.receiveEvent(event);
}
// Focus: the window's blur and focus, and the page being hidden or shown,
// arrive as SDL window events.
function landscapeFocus(event) {
  SDL.receiveEvent(event);
}
function landscapeListen(add) {
  var listen = add ? 'addEventListener' : 'removeEventListener';
  document[listen]('keydown', landscapeKey);
  document[listen]('keyup', landscapeKey);
  window[listen]('focus', landscapeFocus);
  window[listen]('blur', landscapeFocus);
  document[listen]('visibilitychange', landscapeFocus);
}
landscapeListen(true);

// A screenshot was written to the in-memory file system under name.
Module['landscapeScreenshot'] = function (name) {
  var bytes = FS.readFile(name);
  if (Module['onScreenshot'])
    Module['onScreenshot'](name, bytes);
};

// The main loop has ended (Escape): the page's keys are the browser's again.
Module['landscapeStopped'] = function () {
  landscapeListen(false);
  if (Module['onStopped'])
    Module['onStopped']();
};

// The flyover takes no mouse or touch input. The layer's listeners on the
// canvas, added when the video mode is set, would only keep the wheel and
// touch from scrolling the page.
Module['postRun'] = [].concat(Module['postRun'] || [], function () {
  ['touchstart', 'touchend', 'touchmove', 'mousedown', 'mouseup', 'mousemove',
   'DOMMouseScroll', 'mousewheel', 'wheel', 'mouseout'].forEach(function (type) {
    Module['canvas'].removeEventListener(type, SDL.receiveEvent, true);
  });
});
