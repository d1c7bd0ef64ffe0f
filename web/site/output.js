// The output pane of one run: the interpreter's bytes decoded as they arrive,
// read line by line (compile-error lines, the searching line, solution
// lines), and painted in an animation frame at most every PAINT_INTERVAL
// milliseconds, however fast lines come. Only the last lines
// stay in the page (at least VISIBLE_LINES, fewer than twice as many), with
// a note of the lines dropped; the whole standard output is kept as bytes
// for the download.
import { errorLine, SEARCHING_LINE } from './lang.js';

export const VISIBLE_LINES = 5000;
// Painting more often makes little visible difference, and while lines
// flood in, each paint (the pane scrolled to its end and drawn again) takes
// the CPU from the search: at 50 ms a run printing 160,000 lines took twice
// as long as its worker alone, at 100 ms a tenth longer.
const PAINT_INTERVAL = 100;
// The output's line height in pixels (style.css), for the size of a block
// of lines that has not been laid out.
const LINE_HEIGHT = 20;

export class OutputView {
  constructor(pre, note, onErrorClick) {
    this.pre = pre;
    this.note = note;
    pre.addEventListener('click', (event) => {
      const line = event.target.closest('[data-line]');
      if (line) onErrorClick(Number(line.dataset.line));
    });
    this.reset('utf-8');
  }

  // Starts a new run whose output is in `encoding`.
  reset(encoding) {
    clearTimeout(this.timer);
    cancelAnimationFrame(this.frame);
    this.timer = 0;
    this.frame = 0;
    this.lastPaint = 0;
    this.pre.textContent = '';
    this.note.textContent = '';
    this.note.hidden = true;
    this.stdoutBytes = [];
    this.decoders = { stdout: new TextDecoder(encoding), stderr: new TextDecoder(encoding) };
    this.partial = { stdout: '', stderr: '' };
    this.pending = []; // [kind, line] waiting for the next paint
    this.painted = []; // [node, line count] in the page, oldest first
    this.visible = 0;
    this.dropped = 0;
    this.searching = false;
    this.solutions = 0;
    this.errors = [];
  }

  // Takes a chunk of standard output or standard error.
  write(stream, bytes) {
    if (stream === 'stdout') this.stdoutBytes.push(bytes);
    this.take(stream, this.decoders[stream].decode(bytes, { stream: true }));
  }

  // The run has ended: the decoders' last bytes and a last line without a
  // line end count too.
  finish() {
    for (const stream of ['stdout', 'stderr']) {
      this.take(stream, this.decoders[stream].decode());
      if (this.partial[stream]) this.takeLine(stream, this.partial[stream]);
      this.partial[stream] = '';
    }
    this.paint();
  }

  take(stream, text) {
    const lines = (this.partial[stream] + text).split('\n');
    this.partial[stream] = lines.pop();
    for (const line of lines) this.takeLine(stream, line);
    if (lines.length && !this.timer && !this.frame) {
      const wait = Math.max(0, this.lastPaint + PAINT_INTERVAL - performance.now());
      this.timer = setTimeout(() => {
        this.timer = 0;
        this.frame = requestAnimationFrame(() => this.paint());
      }, wait);
    }
  }

  takeLine(stream, raw) {
    const line = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
    let kind = stream === 'stderr' ? 'note' : 'out';
    if (stream === 'stdout') {
      if (this.searching) {
        ++this.solutions;
      } else if (line === SEARCHING_LINE) {
        this.searching = true;
      } else {
        const n = errorLine(line);
        if (n) {
          this.errors.push(n);
          kind = n;
        }
      }
    }
    this.pending.push([kind, line]);
    // Lines that could never be shown are counted, not kept.
    if (this.pending.length > 2 * VISIBLE_LINES) {
      const cut = this.pending.length - VISIBLE_LINES;
      this.pending.splice(0, cut);
      this.dropped += cut;
    }
  }

  // Paints the lines that arrived since the last paint as a few nodes, then
  // drops the oldest nodes beyond the visible limit.
  paint() {
    clearTimeout(this.timer);
    cancelAnimationFrame(this.frame);
    this.timer = 0;
    this.frame = 0;
    this.lastPaint = performance.now();
    if (!this.pending.length) return;
    if (this.pending.length > VISIBLE_LINES) {
      const cut = this.pending.length - VISIBLE_LINES;
      this.pending.splice(0, cut);
      this.dropped += cut;
    }
    const stick = this.pre.scrollTop + this.pre.clientHeight >= this.pre.scrollHeight - 4;
    // The lines of one paint are one block that the browser need not lay out while
    // it is out of view. Consecutive lines of one kind become one text node;
    // an error line is a node of its own, which a click takes to the
    // puzzle's line.
    const batch = document.createElement('div');
    batch.className = 'batch';
    batch.style.containIntrinsicSize = `auto ${this.pending.length * LINE_HEIGHT}px`;
    let kind = null;
    let lines = [];
    const flush = () => {
      if (!lines.length) return;
      const node = document.createElement('span');
      node.className = kind;
      node.textContent = lines.join('\n') + '\n';
      batch.append(node);
      lines = [];
    };
    for (const [lineKind, line] of this.pending) {
      if (typeof lineKind === 'number') {
        flush();
        const error = document.createElement('span');
        error.className = 'error';
        error.dataset.line = lineKind;
        error.title = `Show line ${lineKind}`;
        error.textContent = line + '\n';
        batch.append(error);
      } else {
        if (lineKind !== kind) flush();
        kind = lineKind;
        lines.push(line);
      }
    }
    flush();
    this.pre.append(batch);
    this.painted.push([batch, this.pending.length]);
    this.visible += this.pending.length;
    this.pending = [];
    while (this.painted.length > 1 && this.visible - this.painted[0][1] >= VISIBLE_LINES) {
      const [node, count] = this.painted.shift();
      node.remove();
      this.visible -= count;
      this.dropped += count;
    }
    if (this.dropped) {
      this.note.hidden = false;
      this.note.textContent = `${this.dropped.toLocaleString('en')} earlier lines are not shown; Save output has them all.`;
    }
    if (stick) this.pre.scrollTop = this.pre.scrollHeight;
  }

  // Standard output exactly as the interpreter wrote it.
  blob() {
    return new Blob(this.stdoutBytes, { type: 'application/octet-stream' });
  }
}
