// One run of the interpreter compiled to WebAssembly: a fresh instance of the
// compiled module, the puzzle in its in-memory file system, and `tovik` run
// with the console's arguments. Standard output and standard error reach the
// caller as byte chunks, exactly as written. Loaded by the page's worker
// (a classic script) and by the node tests (a CommonJS module).

// The path of the puzzle inside the instance's file system.
const PUZZLE_PATH = '/puzzle.tvk';

// Said on standard error, with status 2, when a puzzle nests deeper than the
// JavaScript engine's stack allows (far less deep than a native stack).
const STACK_MESSAGE = 'tovik: the puzzle nests too deeply for the browser\'s stack\n';

// `factory` is the module factory of tovik.js, `wasmModule` the compiled
// WebAssembly.Module, `puzzle` the puzzle's bytes (null: the arguments
// name no puzzle); the result is the exit status.
async function runTovik(factory, wasmModule, { args, puzzle, onStdout, onStderr }) {
  const instance = await factory({
    instantiateWasm(imports, done) {
      WebAssembly.instantiate(wasmModule, imports).then((i) => done(i, wasmModule));
      return {};
    },
    // Devices instead of terminals: the interpreter then neither converts its
    // output for a terminal nor line-buffers it.
    stdin: () => null,
    stdout: () => {},
    stderr: () => {},
    // exit() ends callMain with its status instead of ending the process.
    quit: (status, toThrow) => {
      throw toThrow;
    },
  });
  // Each write reaches the caller as one chunk of its own bytes rather than
  // byte by byte. (`buffer` is a signed view of the instance's memory.)
  for (const [fd, sink] of [[1, onStdout], [2, onStderr]]) {
    const stream = instance.FS.getStream(fd);
    stream.stream_ops = Object.assign({}, stream.stream_ops, {
      write(_stream, buffer, offset, length) {
        sink(new Uint8Array(buffer.buffer, buffer.byteOffset + offset, length).slice());
        return length;
      },
    });
  }
  if (puzzle) instance.FS.writeFile(PUZZLE_PATH, puzzle);
  try {
    return instance.callMain(puzzle ? [...args, PUZZLE_PATH] : args);
  } catch (error) {
    // The stack has unwound: what the interpreter printed so far goes out
    // before the message.
    try {
      instance._fflush(0);
    } catch {}
    const overflow = error instanceof RangeError;
    const text = overflow ? STACK_MESSAGE : `tovik: ${error && error.message ? error.message : error}\n`;
    onStderr(new TextEncoder().encode(text));
    return 2;
  }
}

if (typeof module === 'object' && module.exports) module.exports = { runTovik };
