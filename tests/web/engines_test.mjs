// The page's core path in WebKit (WebKitGTK, as Safari's engine) and in Firefox ESR: a tap starts the
// intro, Esc reaches the menu, a scene is chosen, a click on an animal is judged, and a reload keeps the
// start count. Nothing may throw. Real time, generous waits.
//   node --experimental-websocket engines_test.mjs SITE_DIR webkit|firefox [LANGUAGE]   (WebKit needs an X server)
import {ServeSite} from "./chromium.mjs";
import {ESCAPE, StartFirefox, StartWebKit} from "./webdriver.mjs";

const [site, engine, lang = "cs"] = process.argv.slice(2);
if (!site || !/^(webkit|firefox)$/.test(engine || "")) {
  console.error("usage: engines_test.mjs SITE_DIR webkit|firefox [LANGUAGE]");
  process.exit(2);
}
const W = 1366, H = 768;
const sleep = ms => new Promise(r => setTimeout(r, ms));
let failures = 0;
const Check = (ok, what) => {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures++;
};

const host = await ServeSite(site);
const page = await (engine === "webkit" ? StartWebKit : StartFirefox)(W, H);
console.log("engine: " + page.name);

// The program's trace reaches the console; the page keeps a copy of each line, and of every error.
const Listen = () => page.Eval(`(() => {
    window.ozzLines = [];
    const keep = (f, mark) => (...a) => { ozzLines.push(mark + a.map(String).join(" ")); f(...a); };
    console.log = keep(console.log.bind(console), "");
    console.error = keep(console.error.bind(console), "error: ");
    addEventListener("error", e => ozzLines.push("error: " + e.message));
    addEventListener("unhandledrejection", e => ozzLines.push("error: " + (e.reason && e.reason.message || e.reason)));
    return true;
  })()`);
const Lines = () => page.Eval("window.ozzLines || []");
async function Until(what, test, ms = 30000) {
  for (const end = Date.now() + ms; Date.now() < end; await sleep(200))
    if (await Promise.resolve().then(test).catch(() => false)) return;
  throw new Error("timed out waiting for " + what);
}
const Traced = async re => (await Lines()).some(l => re.test(l));
const StoredCount = () => page.Eval(`new Promise(resolve => {
    const o = indexedDB.open("ozzel-settings", 1);
    o.onupgradeneeded = () => o.result.createObjectStore("files");
    o.onerror = () => resolve(-2);
    o.onsuccess = () => {
      const g = o.result.transaction("files").objectStore("files").get("bimbalo/registry.reg");
      g.onsuccess = () => {
        o.result.close();
        const m = g.result && /"Ozzel_starty"=dword:([0-9a-f]+)/i.exec(new TextDecoder().decode(g.result));
        resolve(m ? parseInt(m[1], 16) : -1);
      };
    };
  })`);

let form = {x: 0, y: 0}, scale = 1;
const OnPage = (x, y) => [(form.x + x + 0.5) * scale, (form.y + y + 0.5) * scale];
async function StartGame(label) {
  await Until("the start button " + label, () => page.Eval("!document.getElementById('go').disabled"), 120000);
  await Listen();
  const [x, y, w, h] = await page.Eval("[innerWidth, innerHeight, ...(r => [r.x + r.width / 2, r.y + r.height / 2])(document.getElementById('go').getBoundingClientRect())]")
    .then(([iw, ih, bx, by]) => [bx, by, iw, ih]);
  scale = Math.min(w / 640, h / 480);
  await page.Click(x, y);
  await Until("the intro " + label, () => Traced(/wav open .*oz_uvod\.wav/), 60000);
  const f = (await Lines()).map(l => /bounds form_ozzel (-?\d+) (-?\d+) 640 480/.exec(l)).find(Boolean);
  if (f) form = {x: Number(f[1]), y: Number(f[2])};
}

try {
  await page.Navigate(`${host.origin}/?lang=${lang}&trace=1`);
  await StartGame("(first visit)");
  Check(true, "a tap starts the intro");
  await sleep(1000);
  await page.Key(ESCAPE);
  await Until("the menu after Esc", () => Traced(/ hide stit$/));
  await page.Click(...OnPage(72, 446));
  await Until("the home scene", () => Traced(/ show podklad$/));
  await Until("the first question", () => Traced(/wav open .*(oz_D_[ab]\d+|oz_snd\w+)\.wav/i), 30000);
  Check(true, "Esc reaches the menu; a scene button chooses the home scene and its question is asked");
  await sleep(1500);
  await page.Click(...OnPage(157, 310));  // the parrot, whichever animal was asked for
  await Until("the answer judged", () => Traced(/caption lbl_(dobre|spatne) 1$/), 30000);
  Check(true, "a click on an animal is judged");
  await Until("the start stored", async () => (await StoredCount()) === 1, 20000);
  await page.Reload();
  await StartGame("(after a reload)");
  await Until("the second start stored", async () => (await StoredCount()) === 2, 20000);
  Check(true, "a reload keeps the start count and counts the next start");
  const errors = (await Lines()).filter(l => l.startsWith("error: "));
  Check(errors.length === 0, "nothing failed in the page" + (errors.length ? ":\n  " + errors.slice(0, 5).join("\n  ") : ""));
} catch (e) {
  Check(false, e.message);
  const lines = await Lines().catch(() => []);
  console.log("--- the page's last lines ---\n" + lines.slice(-20).join("\n"));
  console.log("the start screen says: " + await page.Eval("document.getElementById('say').textContent").catch(x => x.message));
} finally {
  await page.Close();
  await host.Stop();
}
console.log(failures ? `${failures} check(s) failed in ${engine}` : `all checks passed in ${engine}`);
process.exit(failures ? 1 : 0);
