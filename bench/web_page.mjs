// The page's run-time figures in headless chromium (a report, never a test), for a Chromebook (1366 x 768,
// DPR 1) and an iPad (1180 x 820, DPR 2, touch), each in one browser beside a blank page and a minimal
// page that plays the same song through Web Audio: the first visit's bytes and its tap to first frame,
// then in the menu and in a scene waiting for a tap the renderer's PSS above the blank page's and the CPU
// of the renderer and the audio service against the song page's, and how soon a sound starts after the
// program plays it. Started by bench/web.sh.
//   node --experimental-websocket web_page.mjs SITE_DIR [IDLE_SECONDS]
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

import {Devtools, ServeSite, StartChromium} from "../tests/web/chromium.mjs";

const [site, idleArg = "10"] = process.argv.slice(2);
const idle = Number(idleArg);
const lang = process.env.OZZEL_LANGUAGE || "cs";
const sleep = ms => new Promise(r => setTimeout(r, ms));
const hz = 100;  // the kernel's clock ticks in /proc/PID/stat

// Memory and CPU of processes, as the kernel counts them.
const Pss = pid => Number(/^Pss:\s+(\d+)/m.exec(fs.readFileSync(`/proc/${pid}/smaps_rollup`, "utf8"))[1]) / 1024;
const Cpu = pid => { const f = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" "); return (Number(f[11]) + Number(f[12])) / hz; };
const Cmd = pid => { try { return fs.readFileSync(`/proc/${pid}/cmdline`, "utf8"); } catch (e) { return ""; } };
const Pids = () => fs.readdirSync("/proc").filter(d => /^\d+$/.test(d)).map(Number);
const Renderers = () => new Set(Pids().filter(p => /--type=renderer/.test(Cmd(p)) && !/--extension-process/.test(Cmd(p))));
const AudioService = () => Pids().find(p => /audio\.mojom\.AudioService/.test(Cmd(p)));
// The renderer a new tab got: the one that was not there before (the largest, if a worker's came too).
function NewRenderer(before) {
  const fresh = [...Renderers()].filter(p => !before.has(p));
  return fresh.sort((a, b) => Pss(b) - Pss(a))[0];
}
// CPU seconds per second of PIDS over SECONDS.
async function CpuOver(pids, seconds) {
  const at = () => pids.filter(Boolean).reduce((t, p) => { try { return t + Cpu(p); } catch (e) { return t; } }, 0);
  const a = at(), t0 = Date.now();
  await sleep(seconds * 1000);
  return (at() - a) / ((Date.now() - t0) / 1000);
}

// The minimal song page: one media element through an AudioContext, as the game's page plays its song.
function SongSite() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "ozzel-song-"));
  const find = d => fs.readdirSync(d, {withFileTypes: true}).flatMap(e =>
    e.isDirectory() ? find(path.join(d, e.name)) : /\.mp3$/i.test(e.name) ? [path.join(d, e.name)] : []);
  const song = find(path.join(site, "..", "media", lang))[0];
  if (!song) throw new Error("no song (.mp3) in the medium beside the site");
  fs.copyFileSync(song, path.join(dir, "song.mp3"));
  fs.writeFileSync(path.join(dir, "index.html"), '<!doctype html><title>song</title><script src="song.js"></script>');
  fs.writeFileSync(path.join(dir, "song.js"), `addEventListener("click", () => {
    const ctx = new AudioContext({latencyHint: "playback"}), a = new Audio("song.mp3");
    a.loop = true;
    ctx.createMediaElementSource(a).connect(ctx.destination);
    a.play();
  }, {once: true});`);
  return dir;
}

const profiles = [
  {name: "Chromebook", width: 1366, height: 768, dpr: 1, mobile: false},
  {name: "iPad", width: 1180, height: 820, dpr: 2, mobile: true},
];

async function Measure(profile) {
  const host = await ServeSite(site);
  const songHost = await ServeSite(SongSite());
  const {browser, wsUrl, profile: dir} = await StartChromium(profile.width, profile.height, "ozzel-bench-");
  const dt = await Devtools(wsUrl);
  const r = {profile};
  const Tab = async (url, before) => {
    const tab = await dt.Tab({isolated: true});
    await tab.Page("Emulation.setDeviceMetricsOverride", {width: profile.width, height: profile.height,
      deviceScaleFactor: profile.dpr, mobile: profile.mobile});
    if (profile.mobile) await tab.Page("Emulation.setTouchEmulationEnabled", {enabled: true, maxTouchPoints: 5});
    await tab.Page("Page.navigate", {url});
    await sleep(3000);
    tab.pid = NewRenderer(before);
    return tab;
  };
  try {
    // A blank page, then the song page alone.
    let before = Renderers();
    const blank = await Tab("about:blank", before);
    await sleep(2000);
    before = Renderers();
    const song = await Tab(songHost.origin + "/", before);
    await song.Click(10, 10);
    await sleep(5000);
    // Chromium keeps a spare renderer ready: the page's is the larger of the new ones once it plays.
    song.pid = NewRenderer(before);
    r.songCpu = await CpuOver([song.pid, AudioService()], idle);
    // PSS shares pages among the processes there are: the blank page stays open and is read each time.
    r.blank = Pss(blank.pid);
    r.songPss = Pss(song.pid) - Pss(blank.pid);
    await song.Close();
    await sleep(2000);

    // The game: a first visit, the intro skipped, the menu; then the home scene's first question.
    host.served.length = 0;
    before = Renderers();
    const game = await Tab(`${host.origin}/?lang=${lang}&trace=1`, before);
    await game.Until("the start button", "!document.getElementById('go').disabled", 180000);
    const tapped = await game.Eval("performance.now()");
    const [x, y] = await game.Eval("(r => [r.x + r.width / 2, r.y + r.height / 2])(document.getElementById('go').getBoundingClientRect())");
    if (profile.mobile) await game.Touch([[x, y]]);
    else await game.Click(x, y);
    await game.Until("the first frame", () => game.lines.some(l => l.startsWith("first-frame ")), 60000);
    r.tapToFrame = Number(game.lines.find(l => l.startsWith("first-frame ")).split(" ")[1]) - tapped;
    r.bytes = host.served.reduce((t, rel) => { try { return t + fs.statSync(path.join(site, rel)).size; } catch (e) { return t; } }, 0);
    await game.Until("the intro", () => game.Traced(/wav open .*oz_uvod\.wav/), 60000);
    const f = game.lines.map(l => /bounds form_ozzel (-?\d+) (-?\d+) 640 480/.exec(l)).find(Boolean);
    const form = {x: Number(f[1]), y: Number(f[2])}, s = Math.min(profile.width / 640, profile.height / 480);
    await sleep(1000);
    await game.Key("Escape", "Escape", 27);
    await game.Until("the menu", () => game.Traced(/ hide stit$/), 20000);
    await game.Move(2, 2);
    await sleep(6000);
    r.menuCpu = await CpuOver([game.pid, AudioService()], idle);
    r.menuPss = Pss(game.pid) - Pss(blank.pid);
    const at = [(form.x + 72.5) * s, (form.y + 446.5) * s];
    if (profile.mobile) await game.Touch([at]);
    else await game.Click(...at);
    await game.Until("the scene's question", () => game.Traced(/wav open .*(oz_D_[ab]\d+|oz_snd\w+)\.wav/i), 30000);
    if (!profile.mobile) await game.Move(2, 2);
    await sleep(8000);
    r.sceneCpu = await CpuOver([game.pid, AudioService()], idle);
    r.scenePss = Pss(game.pid) - Pss(blank.pid);
    r.wasm = await game.Eval("Module.HEAPU8 ? Module.HEAPU8.length : 0") / 1048576;
    r.starts = await game.Eval("(d => ({ms: [...d], cut: d.cut}))(Module.ozzAudio.delays)");
  } finally {
    dt.Close();
    browser.kill();
    await sleep(1000);
    await host.Stop();
    await songHost.Stop();
    fs.rmSync(dir, {recursive: true, force: true, maxRetries: 5});
  }
  return r;
}

const results = [];
for (const p of profiles) {
  console.error(`  ${p.name} (${p.width} x ${p.height}, DPR ${p.dpr})`);
  results.push(await Measure(p));
}
const mb = v => v.toFixed(0) + " MB", pc = v => (100 * v).toFixed(1) + " %";
console.log("| measure | " + results.map(r => `${r.profile.name} ${r.profile.width} x ${r.profile.height} DPR ${r.profile.dpr}`).join(" | ") + " | goal |");
console.log("|---|" + results.map(() => "---|").join("") + "---|");
const row = (what, f, goal = "") => console.log(`| ${what} | ${results.map(f).join(" | ")} | ${goal} |`);
row("first visit: bytes transferred (uncompressed files)", r => (r.bytes / 1048576).toFixed(1) + " MB", "");
row("first visit: tap to first frame", r => r.tapToFrame.toFixed(0) + " ms", "≤ 1 s");
row("blank page's renderer PSS (beside the song page)", r => mb(r.blank));
row("song page: renderer PSS over blank; renderer + audio service CPU", r => `${mb(r.songPss)}; ${pc(r.songCpu)}`);
row("Ozzel menu: renderer PSS over blank", r => mb(r.menuPss), "≤ 45 MB");
row("Ozzel scene waiting for a tap: renderer PSS over blank", r => mb(r.scenePss), "≤ 45 MB");
row("Ozzel menu: CPU (renderer + audio service), × the song page's", r => `${pc(r.menuCpu)} (${(r.menuCpu / r.songCpu).toFixed(1)} ×)`, "");
row("Ozzel scene: CPU (renderer + audio service), × the song page's", r => `${pc(r.sceneCpu)} (${(r.sceneCpu / r.songCpu).toFixed(1)} ×)`, "≤ 1.3 ×");
row("the program's wasm memory", r => mb(r.wasm));
row("speech and effects: play to sound's start, median / most (starts; of them cut short)", r => {
  const ms = r.starts.ms.slice().sort((a, b) => a - b);
  return `${ms[ms.length >> 1].toFixed(1)} / ${ms[ms.length - 1].toFixed(1)} ms (${ms.length}; ${r.starts.cut})`;
}, "≤ 20 ms, none cut");
process.exit(0);
