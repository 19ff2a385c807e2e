// Runs before the program: how Emscripten's SDL 1.2 layer is to treat the
// page, the calls app/platform_web.cpp makes into it, and the touch controls
// and gamepads. The page (index.html) may define Module.onScreenshot(name,
// bytes) and Module.onStopped() to show what happens, and give its on-screen
// controls as Module.directionPad and Module.screenshotButton.

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
// arrive as SDL window events. Losing it also lets go of what fingers and
// gamepads hold.
function landscapeFocus(event) {
  SDL.receiveEvent(event);
  if (event.type === 'blur' || document.hidden)
    landscapeLetGo();
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

// Fingers and gamepads steer through the program's controls
// (app/controls.h), which keep who holds which direction: each finger or
// gamepad in use is one of the page's four sources there, and points one
// way at a time. A direction is given as the console's button number: 0 up,
// then counter-clockwise in steps of 45 degrees to 7 up-right; -1 none. The
// program opens no joystick, so the layer itself reads no gamepad. Nothing
// reaches the program before it has started (the pass loop runs from then).
function landscapeReady() {
  return !!Module['calledRun'];
}
function landscapeShoot() {
  if (landscapeReady())
    _pageSelect();
}

// The direction button that a push toward (x, y), y downward, stands for:
// the nearest of the eight, or -1 within deadZone of the centre.
function landscapeDirection(x, y, deadZone) {
  if (x * x + y * y <= deadZone * deadZone)
    return -1;
  return Math.round(Math.atan2(-x, -y) / (Math.PI / 4)) & 7;
}

// A source (a finger, a gamepad) takes the first of the page's sources that
// is free while it is in use; a fifth at once steers nothing.
var landscapePageSources = 4;
var landscapeSources = [];   // every source still in use, by page source number
function landscapeSource() {
  var source = {direction: -1, number: -1};
  for (var n = 0; n < landscapePageSources; ++n) {
    if (!landscapeSources[n]) {
      source.number = n;
      landscapeSources[n] = source;
      break;
    }
  }
  return source;
}
function landscapeSteer(source, direction) {
  if (source.dropped || source.direction === direction)
    return;
  source.direction = direction;
  if (source.number >= 0 && landscapeReady())
    _pagePointTo(source.number, direction);
}
function landscapeEnd(source) {
  if (source.dropped)
    return;
  source.last = source.direction;
  landscapeSteer(source, -1);
  source.dropped = true;
  if (source.number >= 0)
    delete landscapeSources[source.number];
}
// On a loss of focus: a finger down now steers no more until it is lifted
// and put down again, a pad until it is pushed another way or let go of.
function landscapeLetGo() {
  for (var n = 0; n < landscapePageSources; ++n)
    if (landscapeSources[n])
      landscapeEnd(landscapeSources[n]);
}

// The on-screen direction pad steers by the angle of the finger (or the
// mouse, or pen) around its centre, and keeps following it when it slides
// off the pad, until it is lifted; the dead centre is a fifth of its radius.
// Each finger is a source of its own.
var landscapePadDeadZone = 0.2;
function landscapeTouchControls(pad, shoot) {
  var fingers = {};   // sources by pointer id
  function steer(event) {
    var finger = fingers[event.pointerId];
    if (!finger)
      return;
    var box = pad.getBoundingClientRect(), radius = box.width / 2;
    landscapeSteer(finger, landscapeDirection((event.clientX - box.left) / radius - 1,
                                              (event.clientY - box.top - box.height / 2) / radius,
                                              landscapePadDeadZone));
    show();
  }
  // The pad shows a direction its fingers hold (its styles draw data-held).
  function show() {
    var held = -1;
    for (var id in fingers)
      held = Math.max(held, fingers[id].direction);
    if (held < 0) {
      delete pad.dataset.held;
    } else {
      pad.dataset.held = held;
      pad.style.setProperty('--held', held * -45 + 'deg');
    }
  }
  function lift(event) {
    var finger = fingers[event.pointerId];
    if (!finger)
      return;
    delete fingers[event.pointerId];
    landscapeEnd(finger);
    show();
  }
  pad.addEventListener('pointerdown', function (event) {
    if (event.button !== 0)
      return;
    event.preventDefault();
    pad.setPointerCapture(event.pointerId);
    lift(event);
    fingers[event.pointerId] = landscapeSource();
    steer(event);
  });
  pad.addEventListener('pointermove', steer);
  pad.addEventListener('pointerup', lift);
  pad.addEventListener('pointercancel', lift);
  pad.addEventListener('lostpointercapture', lift);
  shoot.addEventListener('pointerdown', function (event) {
    if (event.button !== 0)
      return;
    event.preventDefault();
    landscapeShoot();
  });
}
if (Module['directionPad'])
  landscapeTouchControls(Module['directionPad'], Module['screenshotButton']);

// Gamepads, read once per animation frame before the pass. One with the
// browser's standard mapping steers with its d-pad (buttons 12 to 15: up,
// down, left, right; two at once for a diagonal) or else its left stick,
// and takes a screenshot with Back/Select (8). Start and the other buttons
// do nothing, so that no button stops the flyover by surprise. A pad without
// the standard mapping steers with its first two axes and nothing else. A
// stick counts beyond half-way from its centre.
var landscapeStickDeadZone = 0.5;
var landscapePads = {};   // sources by gamepad index, each with select: Back/Select was down
function landscapePressed(button) {
  return button ? button.pressed : false;
}
function landscapePadDirection(pad) {
  var buttons = pad.buttons, axes = pad.axes;
  if (pad.mapping === 'standard' && buttons.length > 15) {
    var x = landscapePressed(buttons[15]) - landscapePressed(buttons[14]);
    var y = landscapePressed(buttons[13]) - landscapePressed(buttons[12]);
    if (x || y)
      return landscapeDirection(x, y, 0);
  }
  return axes.length > 1 ? landscapeDirection(axes[0], axes[1], landscapeStickDeadZone) : -1;
}
Module['preMainLoop'] = function () {
  if (!navigator.getGamepads)
    return;
  var pads = navigator.getGamepads(), connected = {};
  for (var i = 0; i < pads.length; ++i) {
    var pad = pads[i];
    if (!pad || !pad.connected)
      continue;
    connected[pad.index] = true;
    var source = landscapePads[pad.index], direction = landscapePadDirection(pad);
    if (!source || (source.dropped && direction !== source.last)) {
      var fresh = landscapeSource();
      fresh.select = !!source && source.select;
      source = landscapePads[pad.index] = fresh;
    }
    landscapeSteer(source, direction);
    var select = pad.mapping === 'standard' && landscapePressed(pad.buttons[8]);
    if (select && !source.select)
      landscapeShoot();
    source.select = select;
  }
  for (var index in landscapePads) {
    if (!connected[index]) {
      landscapeEnd(landscapePads[index]);
      delete landscapePads[index];
    }
  }
};

// The canvas itself takes no mouse or touch input. The layer's listeners on
// it, added when the video mode is set, would only keep the wheel and touch
// from scrolling the page (the page's styles keep touch from doing so).
Module['postRun'] = [].concat(Module['postRun'] || [], function () {
  ['touchstart', 'touchend', 'touchmove', 'mousedown', 'mouseup', 'mousemove',
   'DOMMouseScroll', 'mousewheel', 'wheel', 'mouseout'].forEach(function (type) {
    Module['canvas'].removeEventListener(type, SDL.receiveEvent, true);
  });
});
