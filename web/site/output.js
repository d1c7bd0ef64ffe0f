// The output pane of one run: the interpreter's bytes decoded as they arrive,
// read line by line (compile-error lines, the searching line, solution
// lines), and painted at most once per animation frame. Only the last lines
// stay in the page (at least VISIBLE_LINES, fewer than twice as many), with
// a note of the lines dropped; the whole standard output is kept as bytes
// for the download.
import { errorLine, SEARCHING_LINE } from './lang.js';

export const VISIBLE_LINES = 5000;

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
    cancelAnimationFrame(this.frame);
    this.frame = 0;
    this.pre.textContent = '';
    this.note.textContent = '';
    this.note.hidden = true;
    this.stdoutBytes = [];
    this.decoders = { stdout: new TextDecoder(encoding), stderr: new TextDecoder(encoding) };
    this.partial = { stdout: '', stderr: '' };
    this.pending = []; // [kind, line] waiting for the next frame
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
    if (lines.length && !this.frame) this.frame = requestAnimationFrame(() => this.paint());
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

  // Paints the lines that arrived since the last frame as a few nodes, then
  // drops the oldest nodes beyond the visible limit.
  paint() {
    this.frame = 0;
    if (!this.pending.length) return;
    if (this.pending.length > VISIBLE_LINES) {
      const cut = this.pending.length - VISIBLE_LINES;
      this.pending.splice(0, cut);
      this.dropped += cut;
    }
    const stick = this.pre.scrollTop + this.pre.clientHeight >= this.pre.scrollHeight - 4;
    const batch = document.createElement('span');
    let run = null;
    for (const [kind, line] of this.pending) {
      if (typeof kind === 'number') {
        const error = document.createElement('span');
        error.className = 'error';
        error.dataset.line = kind;
        error.title = `Show line ${kind}`;
        error.textContent = line + '\n';
        batch.append(error);
        run = null;
      } else if (run && run.className === kind) {
        run.textContent += line + '\n';
      } else {
        run = document.createElement('span');
        run.className = kind;
        run.textContent = line + '\n';
        batch.append(run);
      }
    }
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
      this.note.textContent = `${this.dropped.toLocaleString('en')} earlier lines are not shown; Download output has them all.`;
    }
    if (stick) this.pre.scrollTop = this.pre.scrollHeight;
  }

  // Standard output exactly as the interpreter wrote it.
  blob() {
    return new Blob(this.stdoutBytes, { type: 'application/octet-stream' });
  }
}
