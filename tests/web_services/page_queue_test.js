// The page's message queue (platform/web/page.js) without a browser: the
// game takes messages in the order the player made them; under a message box
// only timer messages are taken and input waits; the page's timer never lets
// two timer messages wait; the test mode's ticks are all kept.
//
//   node page_queue_test.js PAGE_JS
"use strict";
const assert = require("assert");
const fs = require("fs");
const vm = require("vm");

const TIMER = 0x113, KEYDOWN = 0x100, MOUSEMOVE = 0x200;
const source = fs.readFileSync(process.argv[2], "utf8");

// A fresh page; `search` is the address's query, `timers` collects the
// callbacks the page hands to setInterval.
function page(search, timers) {
  const g = {
    location: { search, href: "http://127.0.0.1/" }, URLSearchParams, Module: {}, HEAPU32: new Uint32Array(4),
    console, Promise, setTimeout, setInterval: (f) => timers.push(f),
  };
  g.window = g;
  vm.runInNewContext(source, g);
  const p = g.Module.pachinko;
  p.takeAll = (mode) => {
    const taken = [];
    while (p.takeEvent(mode, 0)) taken.push(g.HEAPU32[1]);
    return taken;
  };
  return p;
}

const cases = [
  ["in order", (p) => {
    p.post(7, KEYDOWN, 0x25, 0); p.post(7, TIMER, 1, 0); p.post(7, MOUSEMOVE, 0, 5);
    assert.deepStrictEqual(p.takeAll(0), [KEYDOWN, TIMER, MOUSEMOVE]);
  }],
  ["only ticks under a box, input kept in order", (p) => {
    p.post(7, KEYDOWN, 0x25, 0); p.post(7, TIMER, 1, 0); p.post(7, MOUSEMOVE, 0, 5); p.post(7, TIMER, 1, 0);
    assert.deepStrictEqual(p.takeAll(1), [TIMER, TIMER]);
    assert.deepStrictEqual(p.takeAll(0), [KEYDOWN, MOUSEMOVE]);
  }],
  ["looking takes nothing", (p) => {
    p.post(7, KEYDOWN, 0x25, 0);
    assert.strictEqual(p.takeEvent(2, 0), 1);
    assert.deepStrictEqual(p.takeAll(0), [KEYDOWN]);
  }],
  ["test mode: every tick kept, no timer of its own", (p, timers) => {
    p.setTimer(7, 1, 100);
    p.tick(3);
    assert.strictEqual(timers.length, 0);
    assert.deepStrictEqual(p.takeAll(0), [TIMER, TIMER, TIMER]);
  }],
];
for (const [name, run] of cases) {
  const timers = [];
  run(page("?test", timers), timers);
  console.log("ok: " + name);
}

// The page's own timer: a tick that is not taken yet is not doubled.
const timers = [];
const p = page("", timers);
p.setTimer(7, 1, 100);
assert.strictEqual(timers.length, 1);
timers[0](); timers[0]();
p.post(7, KEYDOWN, 0x25, 0);
timers[0]();
assert.deepStrictEqual(p.takeAll(0), [TIMER, KEYDOWN]);
timers[0]();
assert.deepStrictEqual(p.takeAll(0), [TIMER]);
console.log("ok: at most one timer message waits");

// A waiting loop wakes for the next message.
let woke = false;
p.waitForEvent().then(() => { woke = true; });
p.post(7, KEYDOWN, 0x25, 0);
setTimeout(() => { assert.ok(woke, "the loop was not woken"); console.log("ok: woken"); }, 20);
