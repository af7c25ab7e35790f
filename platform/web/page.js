// The page side of the browser build: the canvas, the menu bar, message boxes,
// dialogs, help, the timer and the browser's input, all turned into messages
// in one queue that the game's message loop takes from (window.cpp). Nothing
// here calls into the game: it only queues messages and wakes the loop, so
// the game sees its messages in the order the player made them.
"use strict";

(function () {
  const MSG = {
    ACTIVATE: 0x0006, COMMAND: 0x0111, TIMER: 0x0113, INITMENUPOPUP: 0x0117, KEYDOWN: 0x0100, KEYUP: 0x0101,
    MOUSEMOVE: 0x0200, LBUTTONDOWN: 0x0201, LBUTTONUP: 0x0202, RBUTTONDOWN: 0x0204,
  };
  const IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
  const CMD_SAVE = 15, CMD_LOAD = 16;
  const FONT_FAMILY = "PachinkoGothic";
  const FONT_FILE = "pachinko-gothic.woff2";
  const SAVE_FOLDER = "/save";
  const GAME_FOLDER = "/game";
  const PLAYER_FILE = "pachiko.dat";
  const COURSE_FILE = "tama.dat";
  // An imported save is read like any other; only its first 64 bytes count,
  // but nobody needs more than this to be held in memory.
  const IMPORT_LIMIT = 1 << 20;

  const params = new URLSearchParams(location.search);
  const testMode = params.has("test");
  const tuning = params.has("tuning");

  const el = (tag, className, text) => {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  };
  // Menu and control texts mark their shortcut letter with "&".
  const plain = (text) => text.replace(/&(.)/g, "$1");

  const p = {
    events: [],
    waiting: null,
    main: 0,
    scale: 1,
    boxes: new Map(),
    nextBox: 1,
    dialogs: new Map(),
    dialogCount: 0,
    menuItems: new Map(),
    openPopup: -1,
    timer: null,
    afterTake: null,
    saveStamp: "",
    keptSaves: 0,  // saves that reached IndexedDB
  };
  Module.pachinko = p;
  // For tests: the queue and ticks on demand.
  window.pachinko = p;

  // --- the queue ------------------------------------------------------------
  p.post = function (handle, message, wParam, lParam) {
    p.events.push([handle >>> 0, message >>> 0, wParam >>> 0, lParam >>> 0]);
    p.wake();
  };
  p.wake = function () {
    const resolve = p.waiting;
    if (!resolve) return;
    p.waiting = null;
    // Resumed from a fresh task, never from inside the handler that queued.
    setTimeout(resolve, 0);
  };
  p.waitForEvent = function () {
    return new Promise((resolve) => {
      p.waiting = resolve;
    });
  };
  // Mode 0: the next message; 1: the next timer message only (under a
  // message box); 2: whether anything waits, taking nothing.
  p.takeEvent = function (mode, out) {
    if (mode === 2) return p.events.length > 0 ? 1 : 0;
    const at = mode === 1 ? p.events.findIndex((e) => e[1] === MSG.TIMER) : (p.events.length ? 0 : -1);
    if (at < 0) return 0;
    const e = p.events.splice(at, 1)[0];
    HEAPU32.set(e, out >> 2);
    if (p.onTake) p.onTake(e);
    return 1;
  };
  p.idle = () => p.events.length === 0 && p.waiting !== null;
  p.tick = function (n) {
    for (let i = 0; i < (n || 1); ++i) p.post(p.main, MSG.TIMER, p.timerId || 1, 0);
  };
  window.pachinkoTick = p.tick;
  window.pachinkoIdle = p.idle;

  // --- start-up: font, saves, arguments -----------------------------------------
  // The canvas text waits for the page's font: glyphs measured before it
  // arrives would be the fallback's.
  function loadFont() {
    addRunDependency("font");
    const face = new FontFace(FONT_FAMILY, "url(" + FONT_FILE + ")");
    face.load().then((f) => document.fonts.add(f), () => console.warn("pachinko: font " + FONT_FILE + " missing"))
      .finally(() => removeRunDependency("font"));
  }
  // The saves live in the browser's IndexedDB, mounted at SAVE_FOLDER; the
  // game folder (the packaged content) links its player file there, and a
  // save writes through the link.
  function mountSaves() {
    FS.mkdirTree(SAVE_FOLDER);
    FS.mkdirTree(GAME_FOLDER);
    try {
      FS.mount(IDBFS, {}, SAVE_FOLDER);
    } catch (e) {
      console.warn("pachinko: no IndexedDB, saves last until the page closes", e);
    }
    try {
      FS.symlink(SAVE_FOLDER + "/" + PLAYER_FILE, GAME_FOLDER + "/" + PLAYER_FILE);
    } catch (e) {}
    addRunDependency("saves");
    FS.syncfs(true, (error) => {
      if (error) console.warn("pachinko: saves could not be read", error);
      p.saveStamp = saveStamp();
      removeRunDependency("saves");
    });
  }
  // One function: the runtime calls its pre-run list back to front.
  Module.preRun = [].concat(Module.preRun || [], [() => {
    loadFont();
    mountSaves();
    FS.chdir(GAME_FOLDER);
  }]);
  Module.arguments = tuning ? ["T"] : [];

  function saveStamp() {
    try {
      const st = FS.stat(SAVE_FOLDER + "/" + PLAYER_FILE);
      return st.mtime.getTime() + ":" + st.size;
    } catch (e) {
      return "";
    }
  }
  // After a command, the only message that saves while the game goes on
  // (the menu's save; the saves at the game's end are kept by main.cpp): a
  // player file written since the last look goes to IndexedDB, and what the
  // command asked of the page (an export) is done. Looking after every
  // message would cost each tick a file status.
  p.afterDispatch = function (message) {
    if (message !== MSG.COMMAND && message !== undefined) return;
    const stamp = saveStamp();
    if (stamp !== p.saveStamp) {
      p.saveStamp = stamp;
      FS.syncfs(false, (error) => {
        if (error) console.warn("pachinko: the save could not be kept", error);
        else p.keptSaves += 1;
      });
    }
    if (p.afterTake) {
      const task = p.afterTake;
      p.afterTake = null;
      task();
    }
  };

  // --- the text the game draws --------------------------------------------------
  let text = null;
  Module.pachinkoText = function () {
    if (!text) {
      const canvas = document.createElement("canvas");
      canvas.width = 640;
      canvas.height = 32;
      const ctx = canvas.getContext("2d", { willReadFrequently: true });
      text = { canvas, ctx, font: "16px " + FONT_FAMILY + ", IPAGothic, monospace" };
      ctx.font = text.font;
    }
    text.ctx.font = text.font;
    return text;
  };

  // --- the page -------------------------------------------------------------------
  let root, menubar, stage, canvas, ctx2d, soundNote, pad;

  p.start = function (caption) {
    document.title = caption;
    root = document.getElementById("pachinko") || document.body;
    menubar = el("div", "menubar");
    stage = el("div", "stage");
    canvas = el("canvas", "game");
    canvas.width = 640;
    canvas.height = 416;
    canvas.tabIndex = 0;
    ctx2d = canvas.getContext("2d");
    stage.appendChild(canvas);
    soundNote = el("div", "sound-note", "クリックかキーで音が出ます");
    pad = makeArrowPad();
    root.appendChild(menubar);
    root.appendChild(stage);
    root.appendChild(pad);
    root.appendChild(soundNote);
    const loading = document.getElementById("loading");
    if (loading) loading.remove();
    hookInput();
    window.addEventListener("resize", fit);
    const coarse = matchMedia("(pointer: coarse)");
    if (navigator.maxTouchPoints > 0 || coarse.matches) showArrows();
    coarse.addEventListener("change", () => {
      if (coarse.matches) showArrows();
    });
    fit();
    canvas.focus();
  };

  p.setTimer = function (handle, id, periodMs) {
    p.main = handle;
    p.timerId = id;
    if (testMode || p.timer) return;
    // Like the window system, at most one timer message waits at a time.
    p.timer = setInterval(() => {
      if (!p.events.some((e) => e[1] === MSG.TIMER)) p.post(handle, MSG.TIMER, id, 0);
    }, periodMs);
  };

  // The largest whole magnification that fits the browser's window.
  function fit() {
    const spareH = window.innerHeight - menubar.offsetHeight - (pad.offsetHeight || 0) - 8;
    const spareW = window.innerWidth - 8;
    p.scale = Math.max(1, Math.floor(Math.min(spareW / 640, spareH / 416)));
    canvas.style.width = 640 * p.scale + "px";
    canvas.style.height = 416 * p.scale + "px";
  }

  p.present = function (rgba, width, height) {
    const pixels = new Uint8ClampedArray(rgba.buffer, rgba.byteOffset, rgba.length);
    ctx2d.putImageData(new ImageData(pixels, width, height), 0, 0);
  };

  // --- input ----------------------------------------------------------------------
  function virtualKey(e) {
    const c = e.code || "";
    let m;
    if ((m = /^Key([A-Z])$/.exec(c))) return m[1].charCodeAt(0);
    if ((m = /^Digit([0-9])$/.exec(c))) return 0x30 + +m[1];
    if ((m = /^Numpad([0-9])$/.exec(c))) return 0x60 + +m[1];
    if ((m = /^F([0-9]+)$/.exec(c)) && +m[1] >= 1 && +m[1] <= 12) return 0x70 + +m[1] - 1;
    const named = {
      ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, Escape: 0x1b, Backspace: 0x08,
      Insert: 0x2d, Delete: 0x2e, Enter: 0x0d, NumpadEnter: 0x0d, Space: 0x20,
    };
    return named[c] || 0;
  }
  // Keys the browser would act on itself (scrolling, going back).
  const keepFromBrowser = new Set([0x25, 0x26, 0x27, 0x28, 0x20, 0x08, 0x1b, 0x70]);

  function point(e) {
    const r = canvas.getBoundingClientRect();
    // Game pixels, rounding down, so a release left of the canvas stays left of it.
    const x = Math.floor((e.clientX - r.left) / p.scale);
    const y = Math.floor((e.clientY - r.top) / p.scale);
    return ((x & 0xffff) | ((y & 0xffff) << 16)) >>> 0;
  }

  // A touch screen gets the arrows as soon as it is known to be one.
  function showArrows() {
    if (root.classList.contains("touch")) return;
    root.classList.add("touch");
    fit();
  }

  function firstGesture() {
    if (soundNote) soundNote.remove();
    soundNote = null;
  }

  function hookInput() {
    document.addEventListener("keydown", (e) => {
      firstGesture();
      if (p.boxes.size) return boxKey(e);
      if (e.target.closest && e.target.closest(".dialog, .help")) return;
      if (e.altKey || e.ctrlKey || e.metaKey) return;
      const key = virtualKey(e);
      if (!key) return;
      if (keepFromBrowser.has(key)) e.preventDefault();
      closeMenus();
      p.post(p.main, MSG.KEYDOWN, key, 0);
    });
    document.addEventListener("keyup", (e) => {
      if (p.boxes.size) return;
      if (e.target.closest && e.target.closest(".dialog, .help")) return;
      const key = virtualKey(e);
      if (key) p.post(p.main, MSG.KEYUP, key, 0);
    });
    // Mouse, pen and finger alike: a tap is a click, a finger drags the dial.
    canvas.style.touchAction = "none";
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    canvas.addEventListener("pointerdown", (e) => {
      firstGesture();
      closeMenus();
      canvas.focus();
      e.preventDefault();
      if (e.pointerType === "touch") showArrows();
      if (e.pointerType !== "mouse") p.post(p.main, MSG.MOUSEMOVE, 0, point(e));
      if (e.button === 0) {
        canvas.setPointerCapture(e.pointerId);
        p.post(p.main, MSG.LBUTTONDOWN, 1, point(e));
      } else if (e.button === 2) {
        p.post(p.main, MSG.RBUTTONDOWN, 2, point(e));
      }
    });
    // A busy page gets several moves as one; the game is handed each of them,
    // as the desktop's drag of the dial would be.
    canvas.addEventListener("pointermove", (e) => {
      const moves = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
      for (const m of moves.length ? moves : [e]) p.post(p.main, MSG.MOUSEMOVE, 0, point(m));
    });
    canvas.addEventListener("pointerup", (e) => {
      if (e.button === 0) p.post(p.main, MSG.LBUTTONUP, 0, point(e));
    });
    document.addEventListener("pointerdown", (e) => {
      firstGesture();
      if (!e.target.closest(".menubar")) closeMenus();
    });
    document.addEventListener("visibilitychange", () => {
      p.post(p.main, MSG.ACTIVATE, document.hidden ? 0x10000 : 1, 0);
      // A page out of sight may be closed or discarded with no warning and
      // no time left for IndexedDB: the game saves now, as the desktop game
      // does when it is ended from outside.
      if (document.hidden && p.main && !p.onTake) saveThen(() => {});
    });
  }

  // On-screen arrows for walking, shown on touch screens.
  function makeArrowPad() {
    const box = el("div", "arrow-pad");
    const keys = [["↑", 0x26, "up"], ["←", 0x25, "left"], ["→", 0x27, "right"], ["↓", 0x28, "down"]];
    for (const entry of keys) {
      const label = entry[0], key = entry[1], name = entry[2];
      const b = el("button", "arrow " + name, label);
      b.addEventListener("pointerdown", (e) => {
        e.preventDefault();
        firstGesture();
        b.setPointerCapture(e.pointerId);
        p.post(p.main, MSG.KEYDOWN, key, 0);
      });
      const up = (e) => {
        e.preventDefault();
        p.post(p.main, MSG.KEYUP, key, 0);
      };
      b.addEventListener("pointerup", up);
      b.addEventListener("pointercancel", up);
      box.appendChild(b);
    }
    return box;
  }

  // --- the menu bar ---------------------------------------------------------------
  const popups = [];
  p.menuPopup = function (index, text) {
    const title = el("div", "menu-title", plain(text));
    const list = el("div", "menu-list");
    const wrap = el("div", "menu");
    wrap.appendChild(title);
    wrap.appendChild(list);
    menubar.appendChild(wrap);
    popups[index] = { wrap, list, game: true };
    title.addEventListener("click", () => (p.openPopup === index ? closeMenus() : openMenu(index)));
    title.addEventListener("pointerenter", () => {
      if (p.openPopup >= 0 && p.openPopup !== index) openMenu(index);
    });
  };
  function addItem(list, text, onChoose) {
    if (text === null) {
      list.appendChild(el("div", "menu-separator"));
      return null;
    }
    const item = el("div", "menu-item", plain(text));
    item.addEventListener("click", () => {
      if (item.classList.contains("grayed")) return;
      closeMenus();
      onChoose();
    });
    list.appendChild(item);
    return item;
  }
  p.menuItem = function (index, text, id) {
    const item = addItem(popups[index].list, text, () => p.post(p.main, MSG.COMMAND, id, 0));
    if (item) p.menuItems.set(id, item);
  };
  p.menuEnable = function (id, enabled) {
    const item = p.menuItems.get(id);
    if (item) item.classList.toggle("grayed", !enabled);
  };
  function openMenu(index) {
    closeMenus();
    p.openPopup = index;
    // The game greys the items of a pop-up right before it opens.
    if (popups[index].game) p.post(p.main, MSG.INITMENUPOPUP, index, 0);
    popups[index].wrap.classList.add("open");
  }
  function closeMenus() {
    p.openPopup = -1;
    for (const m of popups) if (m) m.wrap.classList.remove("open");
  }

  // The browser's own pop-up, after the game's: the saved game in and out
  // of the browser.
  p.menuDone = function () {
    const index = popups.length;
    p.menuPopup(index, "ブラウザ(&B)");
    popups[index].game = false;
    const list = popups[index].list;
    addItem(list, "ゲームを書き出す (pachiko.dat)", exportSave);
    addItem(list, "ゲームを読み込む…", () => importInput.click());
    if (tuning) addItem(list, "コースを書き出す (tama.dat)", exportCourses);
    const importInput = el("input");
    importInput.type = "file";
    importInput.style.display = "none";
    importInput.addEventListener("change", () => {
      const file = importInput.files[0];
      importInput.value = "";
      if (file) importSave(file);
    });
    root.appendChild(importInput);
  }
  function download(bytes, name) {
    const url = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
    const a = el("a");
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }
  // The game saves (its own save command, in turn with the other messages),
  // then the file it wrote is downloaded.
  function saveThen(task) {
    p.post(p.main, MSG.COMMAND, CMD_SAVE, 0);
    const posted = p.events[p.events.length - 1];
    p.onTake = (e) => {
      if (e !== posted) return;
      p.onTake = null;
      p.afterTake = task;
    };
  }
  function exportSave() {
    saveThen(() => {
      try {
        download(FS.readFile(SAVE_FOLDER + "/" + PLAYER_FILE), PLAYER_FILE);
      } catch (e) {
        note("pachiko.dat を書き出せませんでした");
      }
    });
  }
  function exportCourses() {
    saveThen(() => download(FS.readFile(GAME_FOLDER + "/" + COURSE_FILE), COURSE_FILE));
  }
  // An imported file becomes the player file and the game loads it with its
  // own load command: the same reading, the same checks, a day added.
  function importSave(file) {
    if (file.size > IMPORT_LIMIT) {
      note("ファイルが大きすぎます");
      return;
    }
    file.arrayBuffer().then((buffer) => {
      FS.writeFile(SAVE_FOLDER + "/" + PLAYER_FILE, new Uint8Array(buffer));
      p.post(p.main, MSG.COMMAND, CMD_LOAD, 0);
    });
  }
  function note(text) {
    const n = el("div", "note", text);
    root.appendChild(n);
    setTimeout(() => n.remove(), 4000);
  }

  // --- windows of the page: title bar, dragging ----------------------------------------
  let stack = 10;
  function frame(className, caption, onClose) {
    const win = el("div", "window " + className);
    const bar = el("div", "title-bar");
    bar.appendChild(el("span", "caption", caption));
    if (onClose) {
      const close = el("button", "close", "×");
      close.addEventListener("click", onClose);
      bar.appendChild(close);
    }
    win.appendChild(bar);
    bar.addEventListener("pointerdown", (e) => {
      if (e.target.closest("button")) return;
      const r = win.getBoundingClientRect();
      const dx = e.clientX - r.left, dy = e.clientY - r.top;
      bar.setPointerCapture(e.pointerId);
      const move = (m) => {
        win.style.left = Math.max(0, m.clientX - dx) + "px";
        win.style.top = Math.max(0, m.clientY - dy) + "px";
      };
      const stop = () => {
        bar.removeEventListener("pointermove", move);
        bar.removeEventListener("pointerup", stop);
      };
      bar.addEventListener("pointermove", move);
      bar.addEventListener("pointerup", stop);
    });
    win.addEventListener("pointerdown", () => {
      if (!win.classList.contains("box")) win.style.zIndex = ++stack;
    });
    win.style.zIndex = ++stack;
    return win;
  }
  function place(win, centred, cascade) {
    root.appendChild(win);
    const w = win.offsetWidth, h = win.offsetHeight;
    if (centred) {
      win.style.left = Math.max(0, (window.innerWidth - w) / 2) + "px";
      win.style.top = Math.max(0, (window.innerHeight - h) / 2) + "px";
    } else {
      const r = canvas.getBoundingClientRect();
      win.style.left = Math.max(0, r.left + 24 + 24 * cascade) + "px";
      win.style.top = Math.max(0, r.top + 24 + 24 * cascade) + "px";
    }
  }

  // --- message boxes --------------------------------------------------------------
  p.openBox = function (text, caption, style) {
    const id = p.nextBox++;
    const yesNo = (style & 0xf) === 4;
    const answer = (value) => {
      const box = p.boxes.get(id);
      if (!box || box.answer) return;
      box.answer = value;
      box.layer.remove();
      p.wake();
    };
    const layer = el("div", "modal-layer");
    const win = frame("box", caption, null);
    const body = el("div", "box-body");
    if ((style & 0xf0) === 0x30) body.appendChild(el("div", "icon-warning", "!"));
    body.appendChild(el("div", "box-text", text));
    win.appendChild(body);
    const buttons = el("div", "box-buttons");
    const choices = yesNo ? [["はい(Y)", IDYES], ["いいえ(N)", IDNO]] : [["OK", IDOK]];
    for (const choice of choices) {
      const label = choice[0], value = choice[1];
      const b = el("button", "push", label);
      b.addEventListener("click", () => answer(value));
      buttons.appendChild(b);
    }
    win.appendChild(buttons);
    layer.appendChild(win);
    layer.style.zIndex = 1000 + id;
    root.appendChild(layer);
    win.style.left = Math.max(0, (window.innerWidth - win.offsetWidth) / 2) + "px";
    win.style.top = Math.max(0, (window.innerHeight - win.offsetHeight) / 2) + "px";
    buttons.firstChild.focus();
    p.boxes.set(id, { answer: 0, layer, yesNo, answerWith: answer });
    closeMenus();
    return id;
  };
  p.boxAnswer = function (id) {
    const box = p.boxes.get(id);
    if (!box) return IDOK;
    if (box.answer) p.boxes.delete(id);
    return box.answer;
  };
  // Keys go to the topmost box: Enter its first button, Y and N a yes/no box's.
  function boxKey(e) {
    const open = Array.from(p.boxes.values()).filter((b) => !b.answer);
    const box = open[open.length - 1];
    if (!box) return;
    if (e.code === "Enter" || e.code === "NumpadEnter" || e.code === "Space") {
      e.preventDefault();
      const focused = document.activeElement;
      if (focused && focused.closest && focused.closest(".box") === box.layer.firstChild) focused.click();
      else box.answerWith(box.yesNo ? IDYES : IDOK);
    } else if (box.yesNo && e.code === "KeyY") {
      box.answerWith(IDYES);
    } else if (box.yesNo && e.code === "KeyN") {
      box.answerWith(IDNO);
    } else if (!box.yesNo && e.code === "Escape") {
      box.answerWith(IDOK);
    }
  }

  // --- dialogs ----------------------------------------------------------------------
  // Dialog units: a quarter of the average character of the templates'
  // 9-point proportional Gothic across (7 pixels), an eighth of its line
  // (16 pixels) down. The page's font has even widths, which would make the
  // dialogs narrower than the texts the game writes into them.
  function dialogUnits() {
    return { x: 7 / 4, y: 16 / 8 };
  }
  const px = (units, unit) => Math.round(units * unit);
  const KIND = { PushButton: 0, Edit: 1, Label: 2, CheckBox: 3, Radio: 4, Icon: 5, Frame: 6 };

  p.dialogCreate = function (handle, caption, width, height, centred) {
    const u = dialogUnits();
    const win = frame("dialog", caption, () => p.post(handle, MSG.COMMAND, IDCANCEL, 0));
    const client = el("div", "client");
    client.style.width = px(width, u.x) + "px";
    client.style.height = px(height, u.y) + "px";
    const face = el("canvas", "face");
    face.width = px(width, u.x);
    face.height = px(height, u.y);
    client.appendChild(face);
    win.appendChild(client);
    win.addEventListener("keydown", (e) => {
      if (e.code === "Escape") p.post(handle, MSG.COMMAND, IDCANCEL, 0);
    });
    p.dialogs.set(handle, { win, client, face, controls: new Map(), centred, cascade: p.dialogCount++ % 6 });
  };
  p.dialogControl = function (handle, kind, text, id, x, y, width, height) {
    const d = p.dialogs.get(handle);
    const u = dialogUnits();
    const command = () => p.post(handle, MSG.COMMAND, id, 0);
    let c, input = null;
    switch (kind) {
      case KIND.PushButton:
        c = el("button", "push", plain(text));
        c.addEventListener("click", command);
        break;
      case KIND.Edit:
        c = input = el("input", "edit");
        input.type = "text";
        input.autocomplete = "off";
        break;
      case KIND.CheckBox:
      case KIND.Radio:
        c = el("label", kind === KIND.Radio ? "radio" : "check");
        input = el("input");
        input.type = kind === KIND.Radio ? "radio" : "checkbox";
        if (kind === KIND.Radio) input.name = "group-" + handle;
        input.addEventListener("click", command);
        c.appendChild(input);
        c.appendChild(document.createTextNode(plain(text)));
        break;
      case KIND.Icon:
        c = el("img", "icon");
        c.src = "pachinko.png";
        c.alt = "";
        break;
      case KIND.Frame:
        c = el("div", "frame");
        break;
      default:
        c = el("span", "label", plain(text));
    }
    c.style.left = px(x, u.x) + "px";
    c.style.top = px(y, u.y) + "px";
    if (kind !== KIND.Icon && kind !== KIND.Label) {
      c.style.width = px(width, u.x) + "px";
      c.style.height = px(height, u.y) + "px";
    }
    d.client.appendChild(c);
    if (id >= 0) d.controls.set(id, input || c);
  };
  p.dialogSize = function (handle) {
    const d = p.dialogs.get(handle);
    return d ? [d.face.width, d.face.height] : [0, 0];
  };
  p.dialogShow = function (handle) {
    const d = p.dialogs.get(handle);
    if (!d || d.shown) return;
    d.shown = true;
    place(d.win, d.centred, d.cascade);
    const first = d.win.querySelector("input.edit, button.push");
    if (first) first.focus();
  };
  p.dialogEnd = function (handle) {
    const d = p.dialogs.get(handle);
    if (!d) return;
    d.win.remove();
    p.dialogs.delete(handle);
    if (canvas) canvas.focus();
  };
  p.dialogPaint = function (handle, rgba, width, height) {
    const d = p.dialogs.get(handle);
    if (!d) return;
    const pixels = new Uint8ClampedArray(rgba.buffer, rgba.byteOffset, rgba.length);
    d.face.getContext("2d").putImageData(new ImageData(pixels, width, height), 0, 0);
  };
  p.dialogText = function (handle, id) {
    const d = p.dialogs.get(handle);
    const c = d && d.controls.get(id);
    return c && c.type === "text" ? c.value : "";
  };
  p.dialogCheck = function (handle, id, checked) {
    const d = p.dialogs.get(handle);
    const c = d && d.controls.get(id);
    if (c && c.type !== "text") c.checked = !!checked;
  };

  // The game has ended (its exit command or closing time): the saved game
  // waits in the browser for the next visit.
  p.ended = function () {
    clearInterval(p.timer);
    const layer = el("div", "modal-layer");
    const win = frame("box", document.title, null);
    win.appendChild(el("div", "box-body", "ゲームを終了しました。"));
    const buttons = el("div", "box-buttons");
    const again = el("button", "push", "もう一度遊ぶ");
    again.addEventListener("click", () => location.reload());
    buttons.appendChild(again);
    win.appendChild(buttons);
    layer.appendChild(win);
    root.appendChild(layer);
    win.style.left = Math.max(0, (window.innerWidth - win.offsetWidth) / 2) + "px";
    win.style.top = Math.max(0, (window.innerHeight - win.offsetHeight) / 2) + "px";
  };

  // --- help -------------------------------------------------------------------------
  p.showHelp = function (file) {
    let html;
    try {
      html = FS.readFile(file, { encoding: "utf8" });
    } catch (e) {
      html = "<p>ヘルプファイル " + file.replace(/[<&]/g, "") + " が見つかりません。</p>";
    }
    const fontUrl = new URL(FONT_FILE, location.href).href;
    const style = "<style>@font-face{font-family:" + FONT_FAMILY + ";src:url(" + fontUrl + ")}" +
      "body{font-family:" + FONT_FAMILY + ",IPAGothic,sans-serif;font-size:14px;margin:8px}</style>";
    let help = document.querySelector(".window.help");
    if (help) help.remove();
    help = frame("help", file, () => help.remove());
    const view = el("iframe", "help-view");
    view.srcdoc = style + html;
    help.appendChild(view);
    place(help, true, 0);
  };
})();
