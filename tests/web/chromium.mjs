// What the page test and the page benchmark share: the site served as a static host serves it, and a
// headless chromium with a profile of its own whose DevTools address is read from its output.
import {spawn} from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const types = {".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".json": "application/json",
               ".webmanifest": "application/manifest+json", ".png": "image/png", ".ttf": "font/ttf"};

// A file whose name carries its content's hash never changes: a host may keep it for ever.
const Named = rel => /\.[0-9a-f]{12}\.[a-z.]+$/.test(rel);
export const CSP = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self' 'unsafe-inline'; " +
                   "img-src 'self' data:; font-src 'self' data:; media-src 'self' blob:; object-src 'none'; base-uri 'none'";

// Serves SITE on 127.0.0.1 with the headers a static host is told to send. `Stop()` closes it and cuts
// every open connection (truly offline); `site` may be changed (a deploy), and `tamper(rel)` may answer
// for a file: "truncate", "stall" (half of it, then nothing), "fail" (503), or nothing.
export async function ServeSite(site) {
  const sockets = new Set();
  // `rate` (bytes a second, 0: as fast as it goes) is one link shared by every answer, as a family's line
  // is; `bytes` counts what was sent.
  const host = {site, tamper: () => null, served: [], rate: 0, bytes: 0};
  let linkFreeAt = 0;
  function Send(res, data) {
    if (!host.rate) {
      host.bytes += data.length;
      res.end(data);
      return;
    }
    let at = 0;
    const Next = () => {
      if (at >= data.length || res.destroyed) return res.end();
      const piece = data.subarray(at, at + 16384);
      at += piece.length;
      linkFreeAt = Math.max(Date.now(), linkFreeAt) + (1000 * piece.length) / host.rate;
      setTimeout(() => { host.bytes += piece.length; res.write(piece); Next(); }, Math.max(0, linkFreeAt - Date.now()));
    };
    Next();
  }
  const server = http.createServer((req, res) => {
    let rel;
    try {
      rel = decodeURIComponent(new URL(req.url, "http://x").pathname).replace(/^\/+/, "") || "index.html";
    } catch (e) {
      res.writeHead(400).end();
      return;
    }
    const root = path.resolve(host.site);
    const file = path.join(root, rel);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    const size = fs.statSync(file).size;
    host.served.push(rel);
    const how = host.tamper(rel);
    if (how === "fail") {
      res.writeHead(503).end();
      return;
    }
    // "truncate" is a file a deploy caught half-copied: half the bytes, and a length that says so.
    const sent = how === "truncate" ? size >> 1 : size;
    res.writeHead(200, {"content-type": types[path.extname(file)] || "application/octet-stream",
                        "content-length": sent, "content-security-policy": CSP,
                        "cache-control": Named(rel) ? "public, max-age=31536000, immutable" : "no-cache"});
    if (how === "truncate" || how === "stall") {
      res.write(fs.readFileSync(file).subarray(0, size >> 1));
      if (how === "truncate") res.end();
      return;
    }
    Send(res, fs.readFileSync(file));
  });
  server.on("connection", s => { sockets.add(s); s.on("close", () => sockets.delete(s)); });
  await new Promise(r => server.listen(0, "127.0.0.1", r));
  host.origin = `http://127.0.0.1:${server.address().port}`;
  host.Stop = () => new Promise(r => { server.close(r); for (const s of sockets) s.destroy(); });
  const port = server.address().port;
  host.Start = () => new Promise(r => server.listen(port, "127.0.0.1", r));
  return host;
}

// Starts chromium at WIDTH x HEIGHT; resolves to {browser, wsUrl, profile} once DevTools listens. With
// `microphone` (a WAV file) every page may use a microphone that hears that file, over and over.
export async function StartChromium(width, height, profilePrefix, {microphone = null} = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), profilePrefix));
  const browser = spawn("chromium", ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
    "--no-default-browser-check", "--remote-debugging-port=0", `--user-data-dir=${profile}`,
    `--window-size=${width},${height}`,
    ...(microphone ? ["--use-fake-device-for-media-stream", "--use-fake-ui-for-media-stream", `--use-file-for-fake-audio-capture=${microphone}`] : []),
    "about:blank"], {stdio: ["ignore", "ignore", "pipe"]});
  const wsUrl = await new Promise((resolve, reject) => {
    let err = "";
    const t = setTimeout(() => reject(new Error("chromium did not start:\n" + err)), 30000);
    browser.stderr.on("data", d => {
      err += d;
      const m = /DevTools listening on (ws:\/\/\S+)/.exec(err);
      if (m) { clearTimeout(t); resolve(m[1]); }
    });
  });
  return {browser, wsUrl, profile};
}

// One DevTools connection to the browser; `Tab()` opens a page (in a fresh profile of its own when
// `isolated`) whose console lines, exceptions and console errors it keeps.
export async function Devtools(wsUrl) {
  const ws = new WebSocket(wsUrl);
  await new Promise((r, j) => { ws.onopen = r; ws.onerror = j; });
  let nextId = 1;
  const pending = new Map(), sessions = new Map();
  ws.onmessage = m => {
    const msg = JSON.parse(m.data);
    if (msg.id && pending.has(msg.id)) {
      const {resolve, reject} = pending.get(msg.id);
      pending.delete(msg.id);
      msg.error ? reject(new Error(JSON.stringify(msg.error))) : resolve(msg.result);
    } else if (msg.method && sessions.has(msg.sessionId)) {
      sessions.get(msg.sessionId)(msg);
    }
  };
  const Send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, {resolve, reject});
    ws.send(JSON.stringify({id, method, params, sessionId}));
  });
  const sleep = ms => new Promise(r => setTimeout(r, ms));
  return {
    Send,
    Close: () => ws.close(),
    async Tab({isolated = false, context = null} = {}) {
      const browserContextId = context || (isolated ? (await Send("Target.createBrowserContext")).browserContextId : undefined);
      const {targetId} = await Send("Target.createTarget", {url: "about:blank", browserContextId});
      const {sessionId} = await Send("Target.attachToTarget", {targetId, flatten: true});
      const tab = {
        targetId, context: browserContextId, lines: [], problems: [],
        Page: (method, params) => Send(method, params, sessionId),
        async Eval(expr) {
          const r = await tab.Page("Runtime.evaluate", {expression: expr, returnByValue: true, awaitPromise: true});
          if (r.exceptionDetails) throw new Error(expr.slice(0, 200) + ": " + JSON.stringify(r.exceptionDetails).slice(0, 500));
          return r.result.value;
        },
        // Until TEST (an expression, or a function) is true, or fails naming WHAT.
        async Until(what, test, ms = 20000) {
          const check = typeof test === "string" ? () => tab.Eval(test) : test;
          for (const end = Date.now() + ms; Date.now() < end; await sleep(100))
            // The page may be between two documents: an answer that cannot be had yet is a no.
            if (await Promise.resolve().then(check).catch(() => false)) return true;
          throw new Error("timed out waiting for " + what);
        },
        Traced: re => tab.lines.some(l => re.test(l)),
        async Move(x, y) { await tab.Page("Input.dispatchMouseEvent", {type: "mouseMoved", x, y}); },
        async Click(x, y) {
          await tab.Move(x, y);
          for (const type of ["mousePressed", "mouseReleased"])
            await tab.Page("Input.dispatchMouseEvent", {type, x, y, button: "left", clickCount: 1});
        },
        // Fingers down at POINTS, held for MS, lifted.
        async Touch(points, ms = 80) {
          await tab.Page("Input.dispatchTouchEvent", {type: "touchStart", touchPoints: points.map(([x, y], id) => ({x, y, id}))});
          await sleep(ms);
          await tab.Page("Input.dispatchTouchEvent", {type: "touchEnd", touchPoints: []});
        },
        async Key(key, code, keyCode) {
          for (const type of ["keyDown", "keyUp"])
            await tab.Page("Input.dispatchKeyEvent", {type, key, code, windowsVirtualKeyCode: keyCode});
        },
        async Shot(file) {
          fs.writeFileSync(file, Buffer.from((await tab.Page("Page.captureScreenshot", {format: "png"})).data, "base64"));
        },
        Close: () => Send("Target.closeTarget", {targetId}),
      };
      sessions.set(sessionId, msg => {
        if (msg.method === "Runtime.consoleAPICalled") {
          const text = msg.params.args.map(a => a.value ?? a.description ?? "").join(" ");
          if (process.env.OZZEL_WEB_VERBOSE) console.log("page:", text.slice(0, 300));
          if (msg.params.type === "error") tab.problems.push("console error: " + text);
          tab.lines.push(text);
        } else if (msg.method === "Runtime.exceptionThrown") {
          const d = msg.params.exceptionDetails;
          tab.problems.push("exception: " + ((d.exception && d.exception.description) || d.text).slice(0, 1500) +
                            " (after: " + tab.lines.slice(-3).join(" / ") + ")");
        }
      });
      await tab.Page("Runtime.enable");
      await tab.Page("Page.enable");
      return tab;
    },
  };
}
