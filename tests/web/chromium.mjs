// What the page test and the page benchmark share: the site served as a static host serves it, and a
// headless chromium with a profile of its own whose DevTools address is read from its output.
import {spawn} from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const types = {".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".json": "application/json",
               ".webmanifest": "application/manifest+json", ".png": "image/png", ".ttf": "font/ttf"};

// Serves SITE on 127.0.0.1; `Stop()` closes it and cuts every open connection (truly offline).
export async function ServeSite(site) {
  const root = path.resolve(site);
  const sockets = new Set();
  const server = http.createServer((req, res) => {
    const rel = decodeURIComponent(new URL(req.url, "http://x").pathname).replace(/^\/+/, "") || "index.html";
    const file = path.join(root, rel);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, {"content-type": types[path.extname(file)] || "application/octet-stream",
                        "content-length": fs.statSync(file).size});
    fs.createReadStream(file).pipe(res);
  });
  server.on("connection", s => { sockets.add(s); s.on("close", () => sockets.delete(s)); });
  await new Promise(r => server.listen(0, "127.0.0.1", r));
  return {
    origin: `http://127.0.0.1:${server.address().port}`,
    Stop: () => new Promise(r => { server.close(r); for (const s of sockets) s.destroy(); }),
  };
}

// Starts chromium at WIDTH x HEIGHT; resolves to {browser, wsUrl, profile} once DevTools listens.
export async function StartChromium(width, height, profilePrefix) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), profilePrefix));
  const browser = spawn("chromium", ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
    "--no-default-browser-check", "--remote-debugging-port=0", `--user-data-dir=${profile}`,
    `--window-size=${width},${height}`, "about:blank"], {stdio: ["ignore", "ignore", "pipe"]});
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
