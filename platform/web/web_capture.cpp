// The browser's microphone: getUserMedia without the browser's processing, its raw float samples through
// an AudioWorklet (the site's capture.js), gathered by the page until the program reads them.
#include <emscripten.h>

#include "platform/web/web_audio.h"

// Opens the microphone's own AudioContext and asks for the microphone (the browser may ask the parent);
// returns its rate, or 0 when this browser cannot capture at all. Refused, missing or unplugged later:
// the capture is "gone", which the next read says.
EM_JS(int, ozz_capture_open, (), {
  if (Module.ozzCapture) Module.ozzCapture.Close();
  const Ctx = window.AudioContext || window.webkitAudioContext;
  if (!Ctx || !navigator.mediaDevices || !navigator.mediaDevices.getUserMedia || typeof AudioWorkletNode === "undefined")
    return 0;
  let ctx;
  try { ctx = new Ctx(); } catch (e) { return 0; }
  const cap = Module.ozzCapture = {ctx, blocks: [], held: 0, gone: false, stream: null, node: null};
  const limit = ctx.sampleRate * 60;  // a program that stopped reading keeps the last minute
  cap.Close = () => {
    if (Module.ozzCapture === cap) Module.ozzCapture = null;
    cap.gone = true;
    if (cap.stream) cap.stream.getTracks().forEach(t => t.stop());
    if (cap.node) { cap.node.port.postMessage("stop"); cap.node.disconnect(); }
    if (ctx.state !== "closed") ctx.close().catch(() => {});
  };
  const Gone = why => {
    if (!cap.gone) console.warn("ozzel: the microphone: " + why);
    cap.gone = true;
  };
  const url = Module.locateFile ? Module.locateFile("capture.js", "") : "capture.js";
  navigator.mediaDevices.getUserMedia({audio: {echoCancellation: false, noiseSuppression: false, autoGainControl: false, channelCount: 1}})
    .then(stream => {
      cap.stream = stream;
      if (cap.gone) return cap.Close();
      stream.getAudioTracks().forEach(t => t.addEventListener("ended", () => Gone("it was unplugged")));
      return ctx.audioWorklet.addModule(url).then(() => {
        if (cap.gone) return;
        const node = cap.node = new AudioWorkletNode(ctx, "ozz-capture", {numberOfInputs: 1, numberOfOutputs: 1, outputChannelCount: [1]});
        node.port.onmessage = m => {
          cap.blocks.push(m.data);
          cap.held += m.data.length;
          while (cap.held > limit) cap.held -= cap.blocks.shift().length;
        };
        // Pulled by the output (silence); nothing of the microphone is heard.
        ctx.createMediaStreamSource(stream).connect(node);
        node.connect(ctx.destination);
        if (ctx.state !== "running") ctx.resume().catch(() => {});
      });
    })
    .catch(e => Gone((e && e.name) + ": " + (e && e.message)));
  return ctx.sampleRate;
});

// Copies up to MAX samples heard; -1 once the microphone is gone and everything heard was read.
EM_JS(int, ozz_capture_read, (float* out, int max), {
  const cap = Module.ozzCapture;
  if (!cap) return -1;
  let n = 0;
  while (n < max && cap.blocks.length) {
    const b = cap.blocks[0], take = Math.min(b.length, max - n);
    HEAPF32.set(b.subarray(0, take), (out >> 2) + n);
    n += take;
    if (take === b.length) cap.blocks.shift();
    else cap.blocks[0] = b.subarray(take);
  }
  cap.held -= n;
  return n === 0 && cap.gone ? -1 : n;
});

EM_JS(void, ozz_capture_close, (), {
  if (Module.ozzCapture) Module.ozzCapture.Close();
});

namespace plat {

namespace {

class WebMicrophone : public CaptureDevice {
 public:
  explicit WebMicrophone(uint32_t rate) : rate_(rate) {}
  ~WebMicrophone() override { ozz_capture_close(); }
  uint32_t Rate() const override { return rate_; }
  bool Read(std::vector<float>& out) override {
    float buf[4096];
    for (;;) {
      const int got = ozz_capture_read(buf, int(sizeof buf / sizeof buf[0]));
      if (got < 0) return false;
      out.insert(out.end(), buf, buf + got);
      if (got < int(sizeof buf / sizeof buf[0])) return true;
    }
  }

 private:
  uint32_t rate_;
};

}  // namespace

std::unique_ptr<CaptureDevice> WebAudio::OpenMicrophone(std::string* error) {
  const int rate = ozz_capture_open();
  if (rate <= 0) {
    if (error) *error = "this browser cannot capture sound here (it needs a secure page and AudioWorklet)";
    return nullptr;
  }
  return std::make_unique<WebMicrophone>(uint32_t(rate));
}

}  // namespace plat
