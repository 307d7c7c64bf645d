// Sound: speech (0), music (1) and effects (2) on their own gains; the program says what plays from where.
"use strict";

function MakeSound(readFile) {
  const Ctx = window.AudioContext || window.webkitAudioContext;
  const ctx = new Ctx({latencyHint: "playback"});
  const gains = [0, 1, 2].map(() => { const g = ctx.createGain(); g.connect(ctx.destination); return g; });
  const voices = [null, null, null], turn = [0, 0, 0];
  const decoded = new Map();  // the last few files, most recent last: decoded sound is large
  let hidden = false;
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
    }));
    decoded.set(path, p);
    while (decoded.size > 12) decoded.delete(decoded.keys().next().value);
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
      Decode(path).then(buffer => {
        if (!buffer || mine !== turn[voice]) return;
        // Decoding took time the channel's clock has counted: start that much later in the sound.
        const at = (fromMs + performance.now() - asked) / 1000;
        if (at >= buffer.duration) return;
        const source = ctx.createBufferSource();
        source.buffer = buffer;
        source.connect(gains[voice]);
        source.start(0, at);
        voices[voice] = source;
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
