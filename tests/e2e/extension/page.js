// Drives morel_xy_host through the browser's real native-messaging channel and checks, from
// inside the page, that what the host did is what a user would have done. Every outcome goes to
// the test through a second native host (the reporter), one message per check:
//   {type: "check", name, ok, detail}   judged here
//   {type: "data", name, value}         the outer rect, scale and display list are judged by
//                                       the test against the X server; the rest is context,
//                                       kept in the report a --keep run leaves behind
//   {type: "done"} at the end, {type: "fatal", detail} when the run cannot go on.
'use strict';

// Firefox names the extension API `browser`, Chromium `chrome`.
const api = globalThis.browser || globalThis.chrome;
const HOST_NAME = 'com.morel.xy_host';
const REPORTER_NAME = 'com.morel.e2e_reporter';

const reporter = api.runtime.connectNative(REPORTER_NAME);
function report(message) {
  reporter.postMessage(message);
}
function check(name, ok, detail) {
  report({type: 'check', name, ok: !!ok, detail: detail === undefined ? '' : detail});
  status(`${ok ? 'ok' : 'FAILED'}: ${name}`);
}
function data(name, value) {
  report({type: 'data', name, value});
}
function status(text) {
  document.getElementById('status').textContent = text;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Resolves with the first value of `fn()` that is truthy, or with null after `timeoutMs`.
async function waitFor(fn, timeoutMs = 3000) {
  const end = performance.now() + timeoutMs;
  for (;;) {
    const value = fn();
    if (value) return value;
    if (performance.now() > end) return null;
    await sleep(20);
  }
}

// Resolves with `fn()` once it has kept one value for `quietMs` (scrolling may be animated),
// or with its last value after `timeoutMs`.
async function settled(fn, quietMs = 400, timeoutMs = 4000) {
  const end = performance.now() + timeoutMs;
  let value = fn();
  let since = performance.now();
  while (performance.now() < end) {
    await sleep(20);
    const now = fn();
    if (now !== value) {
      value = now;
      since = performance.now();
    } else if (performance.now() - since >= quietMs) {
      break;
    }
  }
  return value;
}

// The host over one native-messaging port: requests carry increasing ids and each response is
// matched to its request by id.
class Host {
  constructor(name) {
    this.port = api.runtime.connectNative(name);
    this.nextId = 1;
    this.pending = new Map();
    this.disconnected = null;
    this.port.onMessage.addListener((message) => {
      const entry = this.pending.get(message.id);
      if (!entry) {
        check('responses match requests', false, `unexpected response ${JSON.stringify(message)}`);
        return;
      }
      this.pending.delete(message.id);
      entry.resolve(message);
    });
    this.port.onDisconnect.addListener((port) => {
      // Firefox gives the reason on the port, Chromium in runtime.lastError.
      const error = port.error || api.runtime.lastError;
      const why = error ? error.message : 'disconnected';
      this.disconnected = why;
      for (const entry of this.pending.values()) entry.reject(new Error(`host: ${why}`));
      this.pending.clear();
    });
  }

  // The whole response object ({id, result} or {id, error}).
  request(method, params, timeoutMs = 15000) {
    if (this.disconnected) return Promise.reject(new Error(`host: ${this.disconnected}`));
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.pending.delete(id);
        reject(new Error(`host: no answer to ${method} in ${timeoutMs} ms`));
      }, timeoutMs);
      this.pending.set(id, {
        resolve: (m) => { clearTimeout(timer); resolve(m); },
        reject: (e) => { clearTimeout(timer); reject(e); },
      });
      const message = {id, method};
      if (params !== undefined) message.params = params;
      this.port.postMessage(message);
    });
  }

  // The result of a request; an error response throws.
  async call(method, params, timeoutMs) {
    const response = await this.request(method, params, timeoutMs);
    if ('error' in response) {
      throw new Error(`${method} answered an error: ${JSON.stringify(response.error)}`);
    }
    return response.result;
  }
}

const $ = (id) => document.getElementById(id);

// Whether the host's whole points `host` may stand for the same pixels as the page's `page`.
// The host truncates a length in pixels to whole points; on a scaled desktop a window frame can
// lie at an odd pixel (the window manager's borders do not scale), which a browser rounds up
// where the host truncates. The test checks those values to the pixel against the X server.
function samePoint(host, page) {
  return host === page || (window.devicePixelRatio > 1 && host === page - 1);
}

// The centre of an element in viewport (CSS) pixels, rounded to whole points.
function centre(element) {
  const r = element.getBoundingClientRect();
  return {x: Math.round(r.left + r.width / 2), y: Math.round(r.top + r.height / 2)};
}

// Every DOM event of interest, recorded with what a test needs to judge it.
const events = [];
for (const type of ['mousemove', 'mousedown', 'mouseup', 'click', 'dblclick', 'contextmenu',
  'auxclick', 'keydown', 'wheel']) {
  window.addEventListener(type, (e) => {
    const screen = screenPosition(e);
    events.push({
      type, target: e.target.id || e.target.tagName, clientX: e.clientX, clientY: e.clientY,
      screenX: screen.x, screenY: screen.y, button: e.button, detail: e.detail,
      ctrlKey: e.ctrlKey, shiftKey: e.shiftKey, altKey: e.altKey, metaKey: e.metaKey, key: e.key,
    });
    // No context menu and no middle-button autoscroll: either would grab the pointer.
    if (type === 'contextmenu') e.preventDefault();
    if (type === 'mousedown' && e.button === 1) e.preventDefault();
  }, true);
}
function eventsSince(mark, type) {
  return events.slice(mark).filter((e) => !type || e.type === type);
}

// Where a mouse event happened on the screen, in points. The browser measures its events'
// screenX and screenY from its window's outer corner, and where it knows its window's place
// that corner is screenX / screenY. Where it does not (Wayland), the corner is the host's
// outer rectangle moved out by the window's invisible margin (the frame's shadow, which the
// compositor's rectangle leaves out), the same on every side.
function windowCorner() {
  if (!config.positionsFromHost) return {x: window.screenX, y: window.screenY};
  if (!hostOuter) return {x: NaN, y: NaN};
  return {x: hostOuter.x - (window.outerWidth - hostOuter.width) / 2,
          y: hostOuter.y - (window.outerHeight - hostOuter.height) / 2};
}
function screenPosition(e) {
  const corner = windowCorner();
  return {x: corner.x + e.screenX - window.screenX, y: corner.y + e.screenY - window.screenY};
}

// The host's answer to get_display_list, once asked.
let displayList = null;

// The id of the display under the middle of `rect` (top-left global points) when that is not
// the primary one: find_rectangle captures the primary display unless told another. Display
// frames come bottom-up from the primary display's bottom-left corner.
function displayIdUnder(rect) {
  const primary = (displayList || []).find((d) => d.isPrimary);
  if (!primary || !rect) return undefined;
  const x = rect.x + rect.width / 2;
  const y = primary.frame.height - (rect.y + rect.height / 2);
  const display = displayList.find((d) => x >= d.frame.x && x < d.frame.x + d.frame.width &&
      y >= d.frame.y && y < d.frame.y + d.frame.height);
  return display && !display.isPrimary ? display.id : undefined;
}

let host = null;
// Where the viewport's top-left corner is on the screen, in points, as the browser itself
// reports it in its mouse events (screenX - clientX).
let viewportOrigin = null;
let calibrationCount = 0;
// The host's answer to get_active_browser_outer_rect, once asked.
let hostOuter = null;

// How the test runs, from the config.json the runner may put beside these files:
//   hostVersion: the version the host must report, the build's;
//   positionsFromHost: the browser does not know where its window is (on Wayland screenX and
//   screenY are always 0): the window's place comes from the host's outer rectangle, which
//   the runner checks against the compositor (see screenPosition).
let config = {};
async function loadConfig() {
  try {
    const response = await fetch(chrome.runtime.getURL('config.json'));
    if (response.ok) config = await response.json();
  } catch (e) {
    // No config: the browser knows its place.
  }
}

// Moves the pointer with the host into the calibration area, checks that the browser saw the
// pointer exactly where the host was told to put it, and learns the viewport's origin.
async function calibrate(name) {
  const area = $('calib').getBoundingClientRect();
  // A different point each time, so every move is a real move.
  const cx = Math.round(area.left + 60 + 17 * (calibrationCount % 10));
  const cy = Math.round(area.top + 50 + 11 * (calibrationCount % 10));
  calibrationCount++;
  // Estimate from the window's geometry (borders split evenly, the rest on top); the check
  // below does not depend on it being exact, except where only the host knows the window's
  // place: there the estimate must be right for the move to land where asked.
  const border = (window.outerWidth - window.innerWidth) / 2;
  const corner = windowCorner();
  const estimate = {
    x: corner.x + border,
    y: corner.y + (window.outerHeight - window.innerHeight) - border,
  };
  if (!viewportOrigin) viewportOrigin = estimate;  // replaced by the measured one below
  const origin = viewportOrigin;
  const target = {x: Math.round(origin.x + cx), y: Math.round(origin.y + cy)};
  const mark = events.length;
  const result = await host.call('send_mouse_event', {type: 0, button: 0, x: target.x, y: target.y});
  const seen = await waitFor(() => eventsSince(mark, 'mousemove')
      .find((e) => e.screenX === target.x && e.screenY === target.y));
  const last = eventsSince(mark, 'mousemove').pop();
  check(`${name}: move lands where asked`, result === true && seen,
      `asked (${target.x},${target.y}), result ${result}, last mousemove ` +
      JSON.stringify(last || null));
  if (seen) {
    viewportOrigin = {x: seen.screenX - seen.clientX, y: seen.screenY - seen.clientY};
    data(`${name}: viewport origin`, {viewportOrigin, estimate});
  }
  return !!seen;
}

function toScreen(point) {
  return {x: viewportOrigin.x + point.x, y: viewportOrigin.y + point.y};
}

async function testVersion() {
  const response = await host.request('get_version', {});
  check('get_version', response.result === config.hostVersion && typeof response.id === 'number',
      JSON.stringify(response));
}

async function testWindowAndDisplays() {
  data('window', {
    screenX: window.screenX, screenY: window.screenY, outerWidth: window.outerWidth,
    outerHeight: window.outerHeight, innerWidth: window.innerWidth,
    innerHeight: window.innerHeight, devicePixelRatio: window.devicePixelRatio,
    screenWidth: screen.width, screenHeight: screen.height,
  });
  // Each answer goes to the test, which compares it with the X server; an error response is
  // reported and the next method still asked.
  for (const method of ['get_display_list', 'get_screen_backing_scale_factor']) {
    try {
      const value = await host.call(method, {});
      data(method, value);
      if (method === 'get_display_list') displayList = value;
    } catch (e) {
      check(`${method} answers`, false, String(e));
    }
  }
  const outer = await host.call('get_active_browser_outer_rect', {});
  data('get_active_browser_outer_rect', outer);
  hostOuter = outer;
  // The browser's own idea of its outer frame, in points; where the browser does not know its
  // place, only the size, as the runner checks the place against the compositor. There the
  // host's rectangle leaves out an invisible margin of the frame, the same on every side.
  const ok = outer && (config.positionsFromHost ?
      window.outerWidth - outer.width === window.outerHeight - outer.height &&
          window.outerWidth >= outer.width :
      samePoint(outer.x, window.screenX) && samePoint(outer.y, window.screenY) &&
          samePoint(outer.width, window.outerWidth) && samePoint(outer.height, window.outerHeight));
  check('get_active_browser_outer_rect matches the browser window', ok,
      `host ${JSON.stringify(outer)}, browser (${window.screenX},${window.screenY}) ` +
      `${window.outerWidth}x${window.outerHeight}`);
  return outer;
}

async function testClick() {
  const button = $('clickTarget');
  const point = centre(button);
  const target = toScreen(point);
  const mark = events.length;
  const result = await host.call('send_mouse_event', {type: 3, button: 0, ...target});
  const click = await waitFor(() => eventsSince(mark, 'click').find((e) => e.target === 'clickTarget'));
  check('click registers on the button at the computed point',
      result === true && click && click.clientX === point.x && click.clientY === point.y &&
      click.button === 0 && click.detail === 1,
      `want client (${point.x},${point.y}), result ${result}, click ${JSON.stringify(click)}`);
  const downs = eventsSince(mark, 'mousedown').length;
  const ups = eventsSince(mark, 'mouseup').length;
  check('click is one press and one release', downs === 1 && ups === 1, `${downs} down, ${ups} up`);
}

async function testPressAndRelease() {
  const point = centre($('pressTarget'));
  const target = toScreen(point);
  let mark = events.length;
  const down = await host.call('send_mouse_event', {type: 1, button: 0, ...target});
  const pressed = await waitFor(() => eventsSince(mark, 'mousedown').find((e) => e.target === 'pressTarget'));
  const clickedEarly = eventsSince(mark, 'click').length;
  mark = events.length;
  const up = await host.call('send_mouse_event', {type: 2, button: 0, ...target});
  const released = await waitFor(() => eventsSince(mark, 'mouseup').find((e) => e.target === 'pressTarget'));
  check('separate press and release', down === true && up === true && pressed && released &&
      clickedEarly === 0, `down ${JSON.stringify(pressed)}, up ${JSON.stringify(released)}`);
}

async function testDoubleClick() {
  const target = toScreen(centre($('dblTarget')));
  const mark = events.length;
  const result = await host.call('send_mouse_event', {type: 4, button: 0, ...target});
  const dbl = await waitFor(() => eventsSince(mark, 'dblclick').find((e) => e.target === 'dblTarget'));
  const clicks = eventsSince(mark, 'click').map((e) => e.detail);
  check('double click fires dblclick', result === true && dbl && dbl.detail === 2,
      `result ${result}, dblclick ${JSON.stringify(dbl)}, click details ${JSON.stringify(clicks)}`);
}

async function testTripleClick() {
  const para = $('para');
  const r = para.getBoundingClientRect();
  // A point on the first line of text, inside a word.
  const point = {x: Math.round(r.left + 60), y: Math.round(r.top + 10)};
  window.getSelection().removeAllRanges();
  const mark = events.length;
  const result = await host.call('send_mouse_event', {type: 7, button: 0, ...toScreen(point)});
  const want = para.textContent.replace(/\s+/g, ' ').trim();
  const got = await waitFor(() => {
    const s = window.getSelection().toString().replace(/\s+/g, ' ').trim();
    return s === want ? s : null;
  });
  const details = eventsSince(mark, 'mousedown').map((e) => e.detail);
  check('triple click selects the paragraph', result === true && got === want,
      `result ${result}, selection "${window.getSelection().toString()}", press details ` +
      JSON.stringify(details));
}

async function testModifiedClicks() {
  const point = centre($('modTarget'));
  const target = toScreen(point);
  const cases = [
    {name: 'ctrl-click holds Control', type: 5, button: 0, want: (e) => e.ctrlKey && !e.shiftKey && e.button === 0},
    {name: 'shift-click holds Shift', type: 6, button: 0, want: (e) => e.shiftKey && !e.ctrlKey && e.button === 0},
    {name: 'right button click', type: 3, button: 1, want: (e) => e.button === 2 && !e.ctrlKey && !e.shiftKey},
    {name: 'middle button click', type: 3, button: 2, want: (e) => e.button === 1 && !e.ctrlKey && !e.shiftKey},
  ];
  for (const c of cases) {
    // Far enough apart in time that no two of them make a double click.
    await sleep(600);
    const mark = events.length;
    const result = await host.call('send_mouse_event', {type: c.type, button: c.button, ...target});
    const down = await waitFor(() => eventsSince(mark, 'mousedown').find((e) => e.target === 'modTarget'));
    const up = await waitFor(() => eventsSince(mark, 'mouseup').find((e) => e.target === 'modTarget'));
    check(c.name, result === true && down && up && c.want(down) && c.want(up),
        `result ${result}, down ${JSON.stringify(down)}, up ${JSON.stringify(up)}`);
  }
  // No modifier stays held: a plain click afterwards carries none.
  await sleep(600);
  const mark = events.length;
  await host.call('send_mouse_event', {type: 3, button: 0, ...target});
  const plain = await waitFor(() => eventsSince(mark, 'mousedown').find((e) => e.target === 'modTarget'));
  check('modifiers are released after modified clicks',
      plain && !plain.ctrlKey && !plain.shiftKey && !plain.altKey && !plain.metaKey,
      JSON.stringify(plain));
}

async function focusField() {
  const field = $('field');
  const mark = events.length;
  await host.call('send_mouse_event', {type: 3, button: 0, ...toScreen(centre(field))});
  await waitFor(() => eventsSince(mark, 'click').length > 0);
  return waitFor(() => document.activeElement === field);
}

async function testText() {
  const field = $('field');
  field.value = '';
  const focused = await focusField();
  check('a click focuses the text field', focused, `active element ${document.activeElement.id}`);

  const text = 'Hello, World! café naïve Ωμέγα 漢字 😀 <>&"\'';
  let mark = events.length;
  const result = await host.call('send_text', {text: text + '${KEY_ENTER}'}, 60000);
  const enter = await waitFor(() => eventsSince(mark, 'keydown').find((e) => e.key === 'Enter'));
  await waitFor(() => field.value === text, 2000);
  const enters = eventsSince(mark, 'keydown').filter((e) => e.key === 'Enter').length;
  check('send_text types mixed scripts and an emoji exactly, then Enter',
      result === true && field.value === text && enter && enters === 1,
      `result ${result}, value ${JSON.stringify(field.value)} ` +
      `(code points ${[...field.value].map((c) => c.codePointAt(0).toString(16)).join(' ')}), ` +
      `Enter key-downs ${enters}`);

  const replaced = await host.call('send_text', {text: '${KEY_CTRL+KEY_A}replaced'}, 30000);
  await waitFor(() => field.value === 'replaced', 2000);
  check('Ctrl+A then text replaces the selection', replaced === true && field.value === 'replaced',
      `result ${replaced}, value ${JSON.stringify(field.value)}`);

  const before = field.value;
  mark = events.length;
  const malformed = await host.call('send_text', {text: 'abc${KEY_CTRL+KEY_BOGUS}def'});
  await sleep(500);
  const keys = eventsSince(mark, 'keydown').length;
  check('a malformed chord types nothing', malformed === false && field.value === before && keys === 0,
      `result ${malformed}, value ${JSON.stringify(field.value)}, key-downs ${keys}`);

  const unterminated = await host.call('send_text', {text: 'xyz${KEY_ENTER'});
  await sleep(300);
  check('an unterminated chord types nothing', unterminated === false && field.value === before,
      `result ${unterminated}, value ${JSON.stringify(field.value)}`);
  field.blur();
}

async function testWheel() {
  const scroller = $('scroller');
  scroller.scrollTop = 0;
  scroller.scrollLeft = 0;
  // The wheel acts where the pointer is: put it over the scroller first.
  const r = scroller.getBoundingClientRect();
  await host.call('send_mouse_event', {type: 0, button: 0,
    ...toScreen({x: Math.round(r.left + 100), y: Math.round(r.top + 60)})});
  await sleep(200);

  // deltaX drives the vertical wheel; negative scrolls down.
  let result = await host.call('send_mouse_wheel_event', {deltaX: -3, deltaY: 0, deltaZ: 0});
  await waitFor(() => scroller.scrollTop > 0);
  const lowest = await settled(() => scroller.scrollTop);
  check('wheel deltaX < 0 scrolls down', result === true && lowest > 0 && scroller.scrollLeft === 0,
      `result ${result}, scrollTop ${lowest}, scrollLeft ${scroller.scrollLeft}`);
  result = await host.call('send_mouse_wheel_event', {deltaX: 2, deltaY: 0, deltaZ: 0});
  await waitFor(() => scroller.scrollTop < lowest);
  const higher = await settled(() => scroller.scrollTop);
  check('wheel deltaX > 0 scrolls up', result === true && higher < lowest && higher >= 0,
      `result ${result}, scrollTop ${lowest} -> ${higher}`);

  // deltaY drives the horizontal wheel; negative scrolls right.
  result = await host.call('send_mouse_wheel_event', {deltaX: 0, deltaY: -3, deltaZ: 0});
  await waitFor(() => scroller.scrollLeft > 0);
  const right = await settled(() => scroller.scrollLeft);
  const top = scroller.scrollTop;
  check('wheel deltaY < 0 scrolls right', result === true && right > 0 && top === higher,
      `result ${result}, scrollLeft ${right}, scrollTop ${higher} -> ${top}`);
}

async function testFindRectangle(outer) {
  // Keep the pointer away from the blocks so nothing covers them.
  await host.call('send_mouse_event', {type: 0, button: 0, ...toScreen({x: 30, y: 30})});
  await sleep(300);
  // Relative to the outer frame the host reported, which is whole points; the test checks the
  // filled block's answer to the pixel (see samePoint).
  const expected = (element) => {
    const r = element.getBoundingClientRect();
    return {
      x: Math.round(viewportOrigin.x + r.left - outer.x),
      y: Math.round(viewportOrigin.y + r.top - outer.y),
      width: Math.round(r.width), height: Math.round(r.height),
    };
  };
  const same = (a, b) => a && b && samePoint(a.x, b.x) && samePoint(a.y, b.y) &&
      a.width === b.width && a.height === b.height;
  // Where the block is on the screen, in points.
  const onScreen = (element) => {
    const r = element.getBoundingClientRect();
    return {x: viewportOrigin.x + r.left, y: viewportOrigin.y + r.top, width: r.width,
      height: r.height};
  };
  const displayId = displayIdUnder(outer);
  const on = displayId === undefined ? {} : {displayId};
  // The colour is given blue-green-red: rgb(18, 200, 77) is "#4DC812".
  const block = await host.call('find_rectangle', {color: '#4DC812', ...on}, 30000);
  check('find_rectangle finds the filled block', same(block, expected($('block'))),
      `got ${JSON.stringify(block)}, want ${JSON.stringify(expected($('block')))}`);
  data('find_rectangle block', {got: block, want: expected($('block')), screen: onScreen($('block'))});
  // rgb(201, 33, 150) is "9621C9"; the outline is one pixel wide.
  const outline = await host.call('find_rectangle', {color: '9621C9', ...on}, 30000);
  check('find_rectangle finds the one-pixel outline', same(outline, expected($('outline'))),
      `got ${JSON.stringify(outline)}, want ${JSON.stringify(expected($('outline')))}`);
  // A colour that is nowhere in the window, nor within the finder's tolerance of anything
  // there (text and its anti-aliasing are grey): the empty rectangle. rgb(250, 5, 250).
  const none = await host.call('find_rectangle', {color: '#FA05FA', ...on}, 30000);
  check('find_rectangle of an absent colour is empty',
      none && none.x === 0 && none.y === 0 && none.width === 0 && none.height === 0,
      JSON.stringify(none));
  const unknown = await host.request('find_rectangle', {color: '#4DC812', displayId: 'no-such'});
  check('find_rectangle on an unknown display is an error',
      unknown.error && unknown.error[0] === 'message' &&
      unknown.error[1] === 'Display cannot be found.', JSON.stringify(unknown));
}

async function testErrors() {
  const response = await host.request('send_mouse_wheel_event', {deltaX: 'a', deltaY: 0, deltaZ: 0});
  check('a wrong parameter type is an error response and the channel stays open',
      Array.isArray(response.error) && response.error[0] === 'message' &&
      String(response.error[1]).startsWith('Exception: '), JSON.stringify(response));
  const version = await host.call('get_version', {});
  check('the host keeps serving after an error', version === config.hostVersion, String(version));
}

// Runs every step even when one fails, so one run shows every fault; a step that throws is
// reported as a failed check of its own.
async function main() {
  let outer = null;
  const steps = [
    ['get_version', testVersion],
    ['window and displays', async () => { outer = await testWindowAndDisplays(); }],
    ['calibration', () => calibrate('calibration')],
    ['click', testClick],
    ['calibration 2', () => calibrate('calibration 2')],
    ['press and release', testPressAndRelease],
    ['double click', testDoubleClick],
    ['calibration 3', () => calibrate('calibration 3')],
    ['triple click', testTripleClick],
    ['modified clicks', testModifiedClicks],
    ['text', testText],
    // Without the host's rectangle, the browser's own idea of its outer frame.
    ['find_rectangle', () => testFindRectangle(outer || {x: window.screenX, y: window.screenY})],
    ['wheel', testWheel],
    ['errors', testErrors],
  ];
  await loadConfig();
  data('config', config);
  try {
    host = new Host(HOST_NAME);
  } catch (e) {
    report({type: 'fatal', detail: `connectNative: ${e}`});
  }
  for (const [name, step] of steps) {
    if (!host) break;
    try {
      await step();
    } catch (e) {
      check(`step "${name}" ran`, false, String(e && e.stack || e));
    }
    // Apart in time and place, so no two steps' clicks make a double click.
    await sleep(600);
  }
  data('events', events.length);
  report({type: 'done'});
  status('done');
}

window.addEventListener('load', () => { setTimeout(main, 500); });
