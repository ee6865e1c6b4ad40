// The page's front end for the simulated handheld, put before the module's
// own code (the page's loader in index.html has fetched the files): a crash
// said in one line, the "click to start" card, the canvas
// (whole-number scaling, letterbox, fullscreen), the input (keyboard, game
// pads, touch buttons), the Web Audio output, and the two ways to run: in
// real time by the browser clock, or as a test run as fast as it goes on the
// virtual clock (?frames=N, with hash=1 the hashes into <pre id="hashes">).
//
// What the program does is all in the module; this script only moves
// pixels, samples and button masks across.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const canvas = $('screen');
  const view = $('view');
  const card = $('card');
  const picture = canvas.getContext('2d', { alpha: false });

  const say = Module.say;  // the loader's: one line on the page per thing that went wrong

  // A crash, whether the module aborts or a call into it throws: said once,
  // and nothing more is run.
  let crashed = false;
  function crash(what) {
    if (!crashed) say('The program stopped (' + what + '): reload the page to start again.');
    crashed = true;
  }
  function guarded(step) {
    return (...args) => {
      if (crashed) return undefined;
      try {
        return step(...args);
      } catch (e) {
        crash(e);
        return undefined;
      }
    };
  }

  // --- Picture ---------------------------------------------------------------

  let scale = 0;  // ?scale=N, or 0: the largest whole factor that fits

  // Whole device pixels per frame pixel, centred on black at a whole device
  // pixel; a frame larger than the page is fitted, the only case where
  // pixels are not whole.
  function layout() {
    const w = canvas.width, h = canvas.height, dpr = window.devicePixelRatio || 1;
    const box = view.getBoundingClientRect();
    const k = scale || Math.floor(Math.min((box.width * dpr) / w, (box.height * dpr) / h));
    const f = k >= 1 ? k / dpr : Math.min(box.width / w, box.height / h);
    const at = (room, size) => Math.max(0, Math.floor(((room - size) / 2) * dpr) / dpr) + 'px';
    canvas.style.width = w * f + 'px';
    canvas.style.height = h * f + 'px';
    canvas.style.left = at(box.width, w * f);
    canvas.style.top = at(box.height, h * f);
  }
  addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', layout);

  function present(rgba, width, height) {
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      layout();
    }
    const pixels = new Uint8ClampedArray(Module.HEAPU8.buffer, rgba, width * height * 4);
    picture.putImageData(new ImageData(pixels, width, height), 0, 0);
  }

  const fullscreen = $('fullscreen');
  if (document.fullscreenEnabled) {
    fullscreen.hidden = false;
    document.addEventListener('fullscreenchange', () => {
      fullscreen.textContent = document.fullscreenElement ? 'leave fullscreen' : 'fullscreen';
    });
    fullscreen.addEventListener('click', () => {
      if (document.fullscreenElement) document.exitFullscreen();
      else $('stage').requestFullscreen().catch(() => {});
    });
  }

  // --- Input -----------------------------------------------------------------

  const keysHeld = new Set();
  const keyMasks = new Map();
  const touchHeld = new Map();  // pointer id -> mask
  // Buttons pressed since the last refresh: each is held for that refresh
  // even when it was let go before it, so no quick tap is lost.
  let pressedSince = 0;

  function keyMask(code) {
    if (!keyMasks.has(code)) keyMasks.set(code, Module.ccall('web_key_buttons', 'number', ['string'], [code]));
    return keyMasks.get(code);
  }

  // Keys the browser keeps: with Ctrl, Alt or Meta (zoom, tabs, history),
  // F1-F12, and Escape, which leaves fullscreen (quitting is Q + W, l + r, as
  // on the handheld).
  function browserKey(e) {
    return e.ctrlKey || e.altKey || e.metaKey || /^F([1-9]|1[0-2])$/.test(e.code) || e.code === 'Escape';
  }

  function listenForInput() {
    addEventListener('keydown', (e) => {
      if (browserKey(e) || !keyMask(e.code)) return;
      e.preventDefault();
      keysHeld.add(e.code);
      pressedSince |= keyMask(e.code);
    });
    addEventListener('keyup', (e) => {
      if (keysHeld.delete(e.code)) e.preventDefault();
    });
    addEventListener('blur', () => {
      keysHeld.clear();
      touchHeld.clear();
    });
    for (const button of document.querySelectorAll('#touch button')) {
      const mask = Module.ccall('web_button', 'number', ['string'], [button.dataset.button]);
      const release = (e) => touchHeld.delete(e.pointerId);
      button.addEventListener('pointerdown', (e) => {
        e.preventDefault();
        touchHeld.set(e.pointerId, mask);
        pressedSince |= mask;
      });
      for (const type of ['pointerup', 'pointercancel', 'pointerleave']) button.addEventListener(type, release);
      button.addEventListener('contextmenu', (e) => e.preventDefault());
    }
    // Pads can only be polled: often, so that a quick press is seen too.
    setInterval(() => {
      pressedSince |= padMask();
    }, 4);
    setInterval(showPadLegend, 500);  // not every browser tells when a pad comes
  }

  // Pads in the Gamepad API's standard layout; sticks and triggers in the
  // units of the window's game controllers.
  function padMask() {
    let mask = 0;
    for (const pad of navigator.getGamepads ? navigator.getGamepads() : []) {
      if (!pad || !pad.connected) continue;
      let pressed = 0;
      pad.buttons.forEach((b, i) => {
        if (i < 16 && b.pressed) pressed |= 1 << i;
      });
      const axis = (i) => Math.round((pad.axes[i] || 0) * 32767);
      const trigger = (i) => Math.round((pad.buttons[i] ? pad.buttons[i].value : 0) * 32767);
      mask |= Module._web_pad_buttons(pressed, axis(0), axis(1), trigger(6), trigger(7));
    }
    return mask;
  }

  function buttonsHeld() {
    let mask = padMask() | pressedSince;
    for (const code of keysHeld) mask |= keyMask(code);
    for (const m of touchHeld.values()) mask |= m;
    pressedSince = 0;
    return mask >>> 0;
  }

  // --- Legend ----------------------------------------------------------------

  // What each button is on the keyboard, and on a pad while one is
  // connected, from the module's own tables. Hidden with its button; a
  // touch screen starts with it hidden.
  const KEY_LABELS = {
    ArrowUp: '\u2191', ArrowDown: '\u2193', ArrowLeft: '\u2190', ArrowRight: '\u2192', Minus: '-', Equal: '=',
    NumpadSubtract: 'num -', NumpadAdd: 'num +', NumpadEnter: 'num Enter',
  };
  const PAD_PLACES = [
    'bottom face button', 'right face button', 'left face button', 'top face button', 'left shoulder',
    'right shoulder', 'left trigger', 'right trigger', 'back', 'start', 'left stick press', 'right stick press',
    'd-pad up', 'd-pad down', 'd-pad left', 'd-pad right',
  ];
  const buttonNames = (mask) => Module.ccall('web_button_names', 'string', ['number'], [mask]);

  function fillTable(table, rows) {
    table.replaceChildren(...[...rows].map(([button, how]) => {
      const tr = document.createElement('tr');
      for (const text of [button, how.join(', ')]) tr.appendChild(document.createElement('td')).textContent = text;
      return tr;
    }));
  }
  function add(rows, mask, how) {
    if (!mask) return;
    const name = buttonNames(mask);
    if (!rows.has(name)) rows.set(name, []);
    rows.get(name).push(how);
  }

  function buildLegend() {
    const keys = new Map();
    const firstKey = new Map();
    let quit = 0;
    for (let i = 0; i < Module._web_key_binding_count(); i++) {
      const code = Module.ccall('web_key_binding_code', 'string', ['number'], [i]);
      const mask = Module._web_key_binding_buttons(i);
      // Escape is the browser's (see browserKey): quitting is the combination's own keys.
      if (code === 'Escape') quit = mask;
      else add(keys, mask, KEY_LABELS[code] || code.replace(/^Key/, ''));
    }
    keys.forEach((how, name) => firstKey.set(name, how[0]));
    if (quit) keys.set('quit', [buttonNames(quit).split('+').map((b) => firstKey.get(b)).join(' + ')]);
    fillTable($('legend-keys'), keys);

    const pad = new Map();
    PAD_PLACES.forEach((place, i) => add(pad, Module._web_pad_buttons(1 << i, 0, 0, 0, 0), place));
    for (const xy of [[0, -32767], [0, 32767], [-32767, 0], [32767, 0]])
      add(pad, Module._web_pad_buttons(0, xy[0], xy[1], 0, 0), 'left stick');
    add(pad, Module._web_pad_buttons(0, 0, 0, 32767, 0), 'left trigger');
    add(pad, Module._web_pad_buttons(0, 0, 0, 0, 32767), 'right trigger');
    fillTable($('legend-pad'), pad);

    const toggle = $('legend-toggle');
    const show = (on) => {
      $('legend-keys').hidden = !on;
      toggle.textContent = on ? 'hide keys' : 'keys';
      showPadLegend();
    };
    toggle.addEventListener('click', () => show($('legend-keys').hidden));
    show(!matchMedia('(pointer: coarse)').matches);
    $('legend').hidden = false;
    addEventListener('gamepadconnected', showPadLegend);
    addEventListener('gamepaddisconnected', showPadLegend);
  }

  function showPadLegend() {
    const pads = navigator.getGamepads ? [...navigator.getGamepads()] : [];
    $('legend-pad').hidden = $('legend-keys').hidden || !pads.some((p) => p && p.connected);
  }

  // --- Sound -----------------------------------------------------------------

  // The sound card's side: a ring of samples that starts playing once it
  // holds `lead` of them and starts again from silence when it runs dry, so
  // a late frame costs one gap, not a click at every frame. Samples beyond
  // its size are dropped (the page ran ahead of the card's clock). Linear
  // interpolation when the browser would not run the context at the
  // handheld's rate. It stands alone: the worklet gets its source.
  const Ring = class {
    constructor(rate, outputRate, lead) {
      this.step = rate / outputRate;
      this.lead = lead;
      this.size = 8 * lead;
      this.ring = new Float32Array(2 * this.size);
      this.read = 0;
      this.fill = 0;
      this.frac = 0;
      this.playing = false;
      this.played = 0;  // samples of the handheld's rate played so far
    }
    push(s) {
      const n = s.length >> 1;
      if (this.fill + n > this.size) return;
      let w = (this.read + this.fill) % this.size;
      for (let i = 0; i < n; i++) {
        this.ring[2 * w] = s[2 * i] / 32768;
        this.ring[2 * w + 1] = s[2 * i + 1] / 32768;
        if (++w === this.size) w = 0;
      }
      this.fill += n;
    }
    pull(left, right) {
      if (!this.playing && this.fill >= this.lead) this.playing = true;
      for (let i = 0; i < left.length; i++) {
        if (this.fill < 2) this.playing = false;
        if (!this.playing) {
          left[i] = right[i] = 0;
          continue;
        }
        const a = 2 * this.read, b = 2 * ((this.read + 1) % this.size), t = this.frac;
        left[i] = this.ring[a] + (this.ring[b] - this.ring[a]) * t;
        right[i] = this.ring[a + 1] + (this.ring[b + 1] - this.ring[a + 1]) * t;
        for (this.frac += this.step; this.frac >= 1; this.frac -= 1) {
          this.read = (this.read + 1) % this.size;
          this.fill--;
          this.played++;
        }
      }
    }
  };
  const SINK = `const Ring = (${Ring});
registerProcessor('palendro-sink', class extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const o = options.processorOptions;
    this.ring = new Ring(o.rate, sampleRate, o.lead);
    this.port.onmessage = (e) => this.ring.push(e.data);
  }
  process(inputs, outputs) {
    this.ring.pull(outputs[0][0], outputs[0][1]);
    return true;
  }
});
`;

  // Two ways to play: an AudioWorklet, or where the browser has none (a
  // page neither from https nor from localhost) the older ScriptProcessorNode
  // on the page's own thread, fed the same samples.
  const sound = { context: null, worklet: false, sink: null, ring: null, queued: 0 };

  // Called in the first click or key press: browsers start sound only then.
  async function startSound() {
    const Context = window.AudioContext || window.webkitAudioContext;
    let context = null;
    try {
      if (!Context) throw new Error('this browser has no Web Audio');
      try {
        context = new Context({ sampleRate: Module._web_mix_rate(), latencyHint: 'interactive' });
      } catch (e) {
        context = new Context();  // resampled in the sink
      }
      const resumed = context.resume();
      sound.worklet = !!context.audioWorklet;
      if (sound.worklet) {
        const url = URL.createObjectURL(new Blob([SINK], { type: 'text/javascript' }));
        await context.audioWorklet.addModule(url);
        URL.revokeObjectURL(url);
      } else if (!context.createScriptProcessor) {
        throw new Error('this browser has neither AudioWorklet nor ScriptProcessorNode');
      }
      // A browser that does not count the gesture leaves the promise pending.
      await Promise.race([resumed, new Promise((resolve) => setTimeout(resolve, 3000))]);
      if (context.state !== 'running') throw new Error('the browser kept the sound off');
      sound.context = context;
      $('sound-path').textContent = sound.worklet
        ? 'Sound: AudioWorklet.'
        : 'Sound: ScriptProcessorNode (this page has no AudioWorklet: it is not from https or localhost).';
      return true;
    } catch (e) {
      say('No sound (' + e.message + '): running silent.');
      if (context) context.close().catch(() => {});
      return false;
    }
  }

  function speakerOpen(rate, lead) {
    if (!sound.context) return false;
    if (sound.worklet) {
      sound.sink = new AudioWorkletNode(sound.context, 'palendro-sink', {
        numberOfInputs: 0,
        outputChannelCount: [2],
        processorOptions: { rate, lead },
      });
    } else {
      sound.ring = new Ring(rate, sound.context.sampleRate, lead);
      sound.sink = sound.context.createScriptProcessor(1024, 0, 2);
      sound.sink.onaudioprocess = (e) =>
        sound.ring.pull(e.outputBuffer.getChannelData(0), e.outputBuffer.getChannelData(1));
    }
    sound.sink.connect(sound.context.destination);
    return true;
  }

  function speakerQueue(stereo, samples) {
    if (!sound.sink) return;
    const copy = Module.HEAP16.slice(stereo >> 1, (stereo >> 1) + 2 * samples);
    if (sound.worklet) sound.sink.port.postMessage(copy, [copy.buffer]);
    else sound.ring.push(copy);
    sound.queued += samples;
  }

  function speakerClose() {
    if (sound.sink) sound.sink.disconnect();
    sound.sink = null;
  }

  // --- Runs ------------------------------------------------------------------

  const hashLines = [];
  function hashLine(line) {
    hashLines.push(line + '\n');
  }
  function flushHashes() {
    if (hashLines.length) $('hashes').textContent += hashLines.join('');
    hashLines.length = 0;
  }

  let started = false;
  let buttons = 0;  // what the page held down at the last refresh
  function startProgram(speaker) {
    const error = Module.ccall('web_start', 'string', ['number'], [speaker ? 1 : 0]);
    if (error) say(error);
    started = !error;
    return started;
  }

  function showCard(text, action) {
    card.querySelector('p').textContent = text;
    card.hidden = false;
    // A click (which a tap also makes), Enter or Space: gestures that let a
    // page start its sound. Every other key is left alone.
    const go = (e) => {
      if (e.type === 'keydown' && (browserKey(e) || !['Enter', 'NumpadEnter', 'Space'].includes(e.code))) return;
      e.preventDefault();
      card.hidden = true;
      card.removeEventListener('click', go);
      removeEventListener('keydown', go, true);
      action();
    };
    card.addEventListener('click', go);
    addEventListener('keydown', go, true);
  }

  function ended() {
    showCard('The demo has ended: click to start again', () => location.reload());
  }

  async function realTime() {
    const speaker = await startSound();
    if (!startProgram(speaker)) return;
    listenForInput();
    const refresh = guarded((now) => {
      buttons = buttonsHeld();
      Module._web_set_buttons(buttons);
      if (Module._web_animation_frame(now)) requestAnimationFrame(refresh);
      else ended();
    });
    requestAnimationFrame(refresh);
  }

  // The samples of the test run's WAV: its data chunk.
  function wavSamples(wav) {
    const view = new DataView(wav.buffer, wav.byteOffset, wav.byteLength);
    for (let at = 12; at + 8 <= wav.length; ) {
      const size = view.getUint32(at + 4, true);
      if (String.fromCharCode(...wav.subarray(at, at + 4)) === 'data') return wav.subarray(at + 8, at + 8 + size);
      at += 8 + size + (size & 1);
    }
    return new Uint8Array(0);
  }

  function testRun(frames, hash) {
    if (!startProgram(false)) return;
    const times = [];
    const slice = guarded(() => {
      const until = performance.now() + 40;
      let going = true;
      while (going && performance.now() < until) {
        const t = performance.now(), shown = Module._web_frame_count();
        going = Module._web_run_more(1) !== 0;
        if (Module._web_frame_count() > shown) times.push(performance.now() - t);
      }
      flushHashes();
      if (going) setTimeout(slice, 0);
      else finish();
    });
    const finish = async () => {
      if (hash && !(window.crypto && crypto.subtle)) {
        say('The sound hash needs a page from https or localhost.');
      } else if (hash) {
        const digest = await crypto.subtle.digest('SHA-256', wavSamples(Module.FS.readFile('/palendro.wav')));
        hashLine('sound sha256 ' + Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, '0')).join(''));
      }
      hashLine('done');
      flushHashes();
      // Milliseconds per frame: mean, worst (and which frame), 99th percentile.
      const mean = times.reduce((a, b) => a + b, 0) / Math.max(1, times.length);
      const worst = Math.max(0, ...times);
      const sorted = times.slice().sort((a, b) => a - b);
      const p99 = sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * 0.99))] || 0;
      // The run's frames (start-up shows some before the first call), then
      // the times of the calls that ran one.
      $('timing').textContent = 'frames ' + Math.min(Module._web_frame_count(), frames) + ' mean ' + mean.toFixed(3) + ' ms worst ' +
        worst.toFixed(3) + ' ms at ' + times.indexOf(worst) + ' p99 ' + p99.toFixed(3) + ' ms\n';
    };
    slice();
  }

  function begin(xm) {
    Module.loaded();
    if (xm) Module.FS.writeFile('/bellwarm_harmonic.xm', xm);
    // A '+' in the address stays a '+': the button script joins keys with it.
    for (const pair of new URLSearchParams(location.search.replace(/\+/g, '%2B')))
      Module.ccall('web_option_pair', null, ['string', 'string'], pair);
    const error = Module.ccall('web_configure', 'string', [], []);
    if (error) {
      say('Bad option in the address: ' + error + '.');
      return;
    }
    scale = Module._web_option_scale();
    layout();
    const frames = Module._web_option_frames();
    if (frames >= 0) testRun(frames, Module._web_option_hash() !== 0);
    else {
      buildLegend();
      showCard('click to start', realTime);
    }
  }

  Module.palendro = { present, hashLine, speakerOpen, speakerQueue, speakerClose };
  Module.print = (line) => console.log(line);
  Module.printErr = (line) => console.warn(line);
  Module.onAbort = crash;
  Module.onRuntimeInitialized = () => Module.music.then(guarded(begin));

  // For tests and the curious: the sound's state and the samples sent to
  // it, the frames run, the buttons held.
  window.palendro = {
    soundState: () => (sound.context ? sound.context.state : 'off'),
    samplesQueued: () => sound.queued,
    samplesPlayed: () => (sound.ring ? sound.ring.played : -1),  // on the page's own thread
    frames: () => (started ? Module._web_frame_count() : 0),
    buttons: () => buttons,
  };
})();
