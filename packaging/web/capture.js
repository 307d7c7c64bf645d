// The microphone's worklet: its raw samples (the first channel, as floats) to the page, a block at a time.
"use strict";

class OzzCapture extends AudioWorkletProcessor {
  constructor() {
    super();
    this.stopped = false;
    this.port.onmessage = m => { if (m.data === "stop") this.stopped = true; };
  }
  process(inputs) {
    const channel = inputs[0] && inputs[0][0];
    // Copied: the engine reuses its blocks. Posted in blocks of 128, about 375 a second at 48 kHz.
    if (channel && channel.length) this.port.postMessage(channel.slice(0));
    return !this.stopped;
  }
}

registerProcessor("ozz-capture", OzzCapture);
