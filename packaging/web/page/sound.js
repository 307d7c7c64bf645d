// Sound: speech (0), music (1) and effects (2) on their own gains; the program says what plays from where.
"use strict";

function MakeSound(readFile) {
  const Ctx = window.AudioContext || window.webkitAudioContext;
  const ctx = new Ctx({latencyHint: "playback"});
  const gains = [0, 1, 2].map(() => { const g = ctx.createGain(); g.connect(ctx.destination); return g; });
  const voices = [null, null, null], turn = [0, 0, 0];
  const decoded = new Map();  // the last few files, most recent last: decoded sound is large
  const ready = new Map();  // of those, the ones decoded already
  let hidden = false;
  // The start of a WAV that travelled with its first samples (16-bit PCM), as a buffer made at once:
  // a line is heard from its first sample while its FLAC decodes. Null for any other file.
  function Head(path) {
    const b = readFile(path);
    if (!b || b.length < 12) return null;
    const v = new DataView(b.buffer, b.byteOffset, b.byteLength);
    let channels = 0, rate = 0, bits = 0;
    for (let at = 12; at + 8 <= b.length;) {
      const tag = String.fromCharCode(b[at], b[at + 1], b[at + 2], b[at + 3]), size = v.getUint32(at + 4, true);
      if (tag === "fmt " && at + 24 <= b.length) {
        if (v.getUint16(at + 8, true) !== 1) return null;
        channels = v.getUint16(at + 10, true), rate = v.getUint32(at + 12, true), bits = v.getUint16(at + 22, true);
      } else if (tag === "data") {
        if (bits !== 16 || channels < 1 || channels > 8 || rate < 3000 || rate > 384000) return null;
        const frames = Math.floor(Math.min(size, b.length - at - 8) / (2 * channels));
        if (frames < 1) return null;
        const buffer = ctx.createBuffer(channels, frames, rate);
        for (let c = 0; c < channels; ++c) {
          const out = buffer.getChannelData(c);
          for (let i = 0; i < frames; ++i) out[i] = v.getInt16(at + 8 + 2 * (i * channels + c), true) / 32768;
        }
        return buffer;
      }
      at += 8 + size + (size & 1);
    }
    return null;
  }
  const delays = [];  // ms from the program's play to its sound's start, the last few; cut: started late
  delays.cut = 0;
  function Started(asked) {
    delays.push(performance.now() - asked);
    if (delays.length > 50) delays.shift();
  }
  function Decode(path) {
    if (decoded.has(path)) {
      const p = decoded.get(path);
      decoded.delete(path);
      decoded.set(path, p);
      return p;
    }
    // A WAV of the medium is heard from its FLAC (the WAV itself is only its header).
    const bytes = readFile(path.replace(/\.wav$/i, ".flac")) || readFile(path);
    if (!bytes) return Promise.resolve(null);
    const p = new Promise(resolve => ctx.decodeAudioData(bytes.slice().buffer, resolve, e => {
      console.error("cannot decode " + path + ": " + (e && e.message || e));
      resolve(null);
    })).then(buffer => { if (decoded.get(path) === p) ready.set(path, buffer); return buffer; });
    decoded.set(path, p);
    while (decoded.size > 8) {
      const old = decoded.keys().next().value;
      decoded.delete(old);
      ready.delete(old);
    }
    return p;
  }
  // The song streams from its compressed bytes through one media element on the music's gain: decoded
  // whole it would be some 20 MB of samples, and a media element starts at once where it is asked to.
  const song = new Audio();
  song.preload = "auto";
  ctx.createMediaElementSource(song).connect(gains[1]);
  let songPath = null, songUrl = null;
  function LoadSong(path, bytes) {
    if (songUrl) URL.revokeObjectURL(songUrl);
    songUrl = URL.createObjectURL(new Blob([bytes], {type: "audio/mpeg"}));
    songPath = path;
    song.src = songUrl;
  }
  const sound = {
    ctx,
    song,
    delays,
    // Called from the start tap: Safari lets a media element play later only once one gesture played it.
    Prime(bytes) {
      if (!bytes) return;
      LoadSong(null, bytes);
      song.play().then(() => song.pause(), () => {});
    },
    play(voice, path, fromMs) {
      this.stop(voice);
      if (voice === 1) {
        if (songPath !== path) {
          const bytes = readFile(path);
          if (!bytes) return;
          LoadSong(path, bytes);
        }
        song.currentTime = fromMs / 1000;
        song.play().catch(e => console.warn("the song does not play: " + e.message));
        voices[1] = {stop: () => song.pause()};
        return;
      }
      const mine = ++turn[voice], asked = performance.now();
      const Source = (buffer, when, offset) => {
        const source = ctx.createBufferSource();
        source.buffer = buffer;
        source.connect(gains[voice]);
        source.start(when, offset);
        return source;
      };
      if (ready.get(path)) {
        Decode(path);  // most recent again
        const buffer = ready.get(path);
        if (fromMs / 1000 < buffer.duration) voices[voice] = Source(buffer, 0, fromMs / 1000), Started(asked);
        return;
      }
      // Not decoded yet: its first samples now, the rest from its FLAC joined on where they end.
      const head = Decode(path) && Head(path), t0 = ctx.currentTime;
      let headSource = null;
      if (head && fromMs / 1000 < head.duration) {
        headSource = Source(head, 0, fromMs / 1000);
        voices[voice] = headSource;
        Started(asked);
      }
      Decode(path).then(buffer => {
        if (!buffer || mine !== turn[voice]) return;
        const join = headSource ? t0 + head.duration - fromMs / 1000 : 0;
        let source;
        if (headSource && join > ctx.currentTime + 0.005) {
          source = Source(buffer, join, head.duration);
        } else {
          // Decoding took time the channel's clock has counted: start that much later in the sound.
          const at = (fromMs + performance.now() - asked) / 1000;
          if (at >= buffer.duration) return;
          if (headSource) try { headSource.stop(); } catch (e) { /* ended */ }
          source = Source(buffer, 0, at);
          if (!headSource) Started(asked), ++delays.cut;
        }
        voices[voice] = {stop() { for (const s of [headSource, source]) if (s) try { s.stop(); } catch (e) { /* never started */ } }};
      });
    },
    stop(voice) {
      ++turn[voice];
      if (voices[voice]) {
        try { voices[voice].stop(); } catch (e) { /* never started */ }
        voices[voice] = null;
      }
    },
    levels(music, speech) {
      gains[1].gain.value = music;
      gains[0].gain.value = gains[2].gain.value = speech;
    },
    // A tablet suspends the context when the app is switched or the screen locked; any later gesture or
    // return to the page may start it again. Hidden, the page is silent, as a minimised window.
    Resume() {
      if (!hidden && ctx.state !== "running" && ctx.state !== "closed") ctx.resume().catch(() => {});
    },
    Hidden(now) {
      hidden = now;
      if (now && ctx.state === "running") ctx.suspend().catch(() => {});
      else sound.Resume();
    },
    // Files written anew under PREFIX (the family's takes, recorded again) are decoded anew.
    Forget(prefix) {
      for (const path of [...decoded.keys()]) if (path.startsWith(prefix)) decoded.delete(path);
    },
    Close() {
      for (const v of [0, 1, 2]) sound.stop(v);
      if (ctx.state !== "closed") ctx.close().catch(() => {});
    },
  };
  for (const type of ["pointerdown", "touchend", "keydown", "click"]) window.addEventListener(type, () => sound.Resume(), true);
  document.addEventListener("visibilitychange", () => sound.Hidden(document.visibilityState === "hidden"));
  window.addEventListener("pageshow", () => sound.Hidden(document.visibilityState === "hidden"));
  ctx.onstatechange = () => { if (ctx.state === "interrupted") sound.Resume(); };
  return sound;
}
