// SPDX-License-Identifier: MIT
// The module's Calculator as the page uses it, over rms_web.cpp's exports: texts go in as
// UTF-8 bytes with their lengths, and answers come back the same way.
const utf8 = new TextEncoder();
const fromUtf8 = new TextDecoder();

class Calculator {
  // The decimal separator, ',' or '.'.
  constructor(separator) {
    this.calculator = _rms_new(separator === ',' ? 44 : 46);
  }

  // The five input texts in press order; the record's steps in order, each
  // { kind: 'set', box, text }, { kind: 'message', text, style: 'critical' or
  // 'information', title } or { kind: 'end' }.
  press(texts) {
    texts.forEach((text, input) => {
      this.give(text);
      _rms_type(this.calculator, input);
    });
    return JSON.parse(this.answer(_rms_press(this.calculator)));
  }

  // The last press's figure as an SVG document.
  figure() {
    return this.answer(_rms_figure(this.calculator));
  }

  // The text as a link to a calculation carries it.
  linkText(text) {
    this.give(text);
    return this.answer(_rms_link_text(this.calculator));
  }

  give(text) {
    const bytes = utf8.encode(text);
    // Asked for before HEAPU8 is read: making room may grow the memory, which replaces it.
    const at = _rms_text(this.calculator, bytes.length);
    HEAPU8.set(bytes, at);
  }

  answer(length) {
    const at = _rms_out(this.calculator);
    return fromUtf8.decode(HEAPU8.subarray(at, at + length));
  }
}
Module.Calculator = Calculator;
