// The page's own parts under node: the archive reader's confinement and bounds, the WAV padding, the
// language rule and the store's record checks. Run with `node --test tests/web/`.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import test from "node:test";
import vm from "node:vm";
import {fileURLToPath} from "node:url";

const page = path.join(path.dirname(fileURLToPath(import.meta.url)), "../../packaging/web/page");
const ctx = vm.createContext({TextDecoder, Uint8Array, DataView, ArrayBuffer, console: {warn() {}}});
for (const f of ["words.js", "tar.js", "store.js"]) vm.runInContext(fs.readFileSync(path.join(page, f), "utf8"), ctx, {filename: f});
const {TarReader, ChooseLanguage, ValidRecord, StoreChanges, DamagedError} =
  vm.runInContext("({TarReader, ChooseLanguage, ValidRecord, StoreChanges, DamagedError})", ctx);

// A ustar entry as tar writes it: name, octal size, type, checksum; then the body padded to 512.
function Entry(name, body = new Uint8Array(0), type = "0") {
  const h = new Uint8Array(512);
  const put = (at, s) => h.set(new TextEncoder().encode(s), at);
  put(0, name);
  put(124, body.length.toString(8).padStart(11, "0"));
  h[156] = type.charCodeAt(0);
  put(257, "ustar\u000000");
  put(148, "        ");
  const sum = h.reduce((a, b) => a + b, 0);
  put(148, sum.toString(8).padStart(6, "0") + "\u0000 ");
  const out = new Uint8Array(512 + Math.ceil(body.length / 512) * 512);
  out.set(h);
  out.set(body, 512);
  return out;
}
const Tar = (...entries) => {
  const all = [...entries, new Uint8Array(1024)];
  const out = new Uint8Array(all.reduce((n, e) => n + e.length, 0));
  let at = 0;
  for (const e of all) out.set(e, at), at += e.length;
  return out;
};
// Fed in awkward pieces, as a stream delivers them.
function Read(bytes, limits) {
  const r = TarReader(limits);
  for (let at = 0; at < bytes.length; at += 333) r.Feed(bytes.subarray(at, at + 333));
  return r.End();
}

test("the archive reader keeps files whole across pieces and refuses what leaves its folder", () => {
  const body = new Uint8Array(1000).map((_, i) => i & 255);
  const files = Read(Tar(Entry("./bm4/", undefined, "5"), Entry("./bm4/_ozzel/a.wav", body), Entry("./b", new Uint8Array(0))));
  assert.deepEqual(Array.from(files, ([p]) => p), ["bm4/_ozzel/a.wav", "b"]);
  assert.deepEqual(Array.from(files[0][1]), Array.from(body));
  for (const [what, tar] of [
    ["a parent folder", Tar(Entry("../x", body))],
    ["an absolute path", Tar(Entry("/etc/x", body))],
    ["a file then a folder of its name", Tar(Entry("a", body), Entry("a/b", body))],
    ["a folder then a file of its name", Tar(Entry("a/b", body), Entry("a", body))],
    ["one name twice", Tar(Entry("a", body), Entry("a", body))],
    ["a cut archive", Tar(Entry("a", body)).subarray(0, 700)],
  ]) assert.throws(() => Read(tar), DamagedError, what);
  const header = Entry("a", body);
  header[130] ^= 1;  // a size digit changed: the checksum no longer holds
  assert.throws(() => Read(Tar(header)), DamagedError, "a damaged header");
});

test("the archive reader stops a bomb before it unpacks it", () => {
  const big = new Uint8Array(4096);
  assert.throws(() => Read(Tar(Entry("a", big), Entry("b", big)), {files: 10, bytes: 6000}), /too many bytes/);
  assert.throws(() => Read(Tar(Entry("a"), Entry("b"), Entry("c")), {files: 2, bytes: 1 << 20}), /too many files/);
  // Endless empty headers count too.
  const r = TarReader({files: 10, bytes: 1000});
  assert.throws(() => { for (;;) r.Feed(new Uint8Array(4096).fill(1)); }, DamagedError);
});

test("the language: asked, kept, the browser's, else English, else the site's first", () => {
  assert.equal(ChooseLanguage(["cs", "en"], "en", "cs", ["cs"]), "en");
  assert.equal(ChooseLanguage(["cs", "en"], "sk", null, ["fr-FR", "fr"]), "en");
  assert.equal(ChooseLanguage(["cs", "de"], null, "sk", ["fr"]), "cs");
  assert.equal(ChooseLanguage(["cs", "de"], null, null, ["de-AT"]), "de");
});

test("the store takes back only records that can be files of the settings folder", () => {
  const bytes = new Uint8Array([1]);
  assert.ok(ValidRecord("bimbalo/registry.reg", bytes));
  for (const key of ["../x", "/abs", "a//b", 7, "a/./b", ""]) assert.equal(ValidRecord(key, bytes), null, String(key));
  assert.equal(ValidRecord("a", "text"), null);
  assert.equal(ValidRecord("a", {length: 1}), null);
  // Only what changed is written, and what went is deleted.
  const known = new Map([["a", new Uint8Array([1])], ["b", new Uint8Array([2])], ["c", new Uint8Array([3])]]);
  const now = new Map([["a", new Uint8Array([1])], ["b", new Uint8Array([9])], ["d", new Uint8Array([4])]]);
  assert.deepEqual(Array.from(StoreChanges(known, now), ([p, b]) => [p, b && b[0]]), [["b", 9], ["d", 4], ["c", null]]);
});
