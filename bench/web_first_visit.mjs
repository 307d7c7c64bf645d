// A family's first visit (a report, never a test): the bytes the site sends until the page and its
// offline copy are complete, and the time from opening the page to the intro's voice when the first
// tap comes as soon as the page takes it, over a line of each rate asked for. Each run has a fresh
// browser profile; the server paces every answer through one shared link.
//   node --experimental-websocket web_first_visit.mjs SITE_DIR [MBIT_S...]   (default: 10 2)
import {Devtools, ServeSite, StartChromium} from "../tests/web/chromium.mjs";
import fs from "node:fs";

const [site, ...rates] = process.argv.slice(2);
if (!site) {
  console.error("usage: web_first_visit.mjs SITE_DIR [MBIT_S...]");
  process.exit(2);
}
const sleep = ms => new Promise(r => setTimeout(r, ms));
const host = await ServeSite(site);
console.log(`site ${site}`);
console.log("line Mbit/s   to the tap s   to the intro s   bytes until offline (MB)   longest task before the tap (ms)");
for (const mbit of rates.length ? rates.map(Number) : [10, 2]) {
  const {browser, wsUrl, profile} = await StartChromium(1366, 768, "ozzel-visit-");
  try {
    const dt = await Devtools(wsUrl);
    const tab = await dt.Tab();
    host.rate = (mbit * 1e6) / 8;
    host.bytes = 0;
    await tab.Page("Page.addScriptToEvaluateOnNewDocument", {source:
      "self.ozzLongest = 0; new PerformanceObserver(l => { for (const e of l.getEntries()) ozzLongest = Math.max(ozzLongest, e.duration); }).observe({entryTypes: ['longtask']});"});
    const opened = Date.now();
    await tab.Page("Page.navigate", {url: host.origin + "/?lang=cs&trace=1"});
    await tab.Until("the start button", "document.getElementById('go') && !document.getElementById('go').disabled", 600000);
    const tappable = Date.now();
    const longest = await tab.Eval("ozzLongest");
    const [x, y] = await tab.Eval("(r => [r.x + r.width / 2, r.y + r.height / 2])(document.getElementById('go').getBoundingClientRect())");
    await tab.Click(x, y);
    await tab.Until("the intro", () => tab.Traced(/wav open .*oz_uvod\.wav/), 600000);
    const playing = Date.now();
    // The offline copy: the worker has taken the page and the line has been quiet for 3 s.
    await tab.Until("the offline copy", "navigator.serviceWorker.controller !== null", 600000);
    for (let last = -1; last !== host.bytes;) { last = host.bytes; await sleep(3000); }
    console.log(`${String(mbit).padStart(11)} ${((tappable - opened) / 1000).toFixed(1).padStart(14)} ` +
                `${((playing - opened) / 1000).toFixed(1).padStart(16)} ${(host.bytes / 1e6).toFixed(2).padStart(26)} ` +
                `${longest.toFixed(0).padStart(34)}`);
    dt.Close();
  } finally {
    browser.kill();
    await sleep(500);
    fs.rmSync(profile, {recursive: true, force: true, maxRetries: 5});
  }
}
await host.Stop();
process.exit(0);
