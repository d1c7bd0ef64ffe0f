// The worker of one run. The page builds it from tovik.js, run.js and this
// file and starts a new one for every run, so Stop is worker.terminate().
// It receives the compiled module, the arguments and the puzzle's bytes, and
// posts the output chunks as they are written, then the exit status.
/* global createTovik, runTovik */

self.onmessage = async (event) => {
  const { wasmModule, args, puzzle } = event.data;
  const send = (type) => (bytes) => self.postMessage({ type, bytes }, [bytes.buffer]);
  let status;
  try {
    status = await runTovik(createTovik, wasmModule, {
      args,
      puzzle,
      onStdout: send('stdout'),
      onStderr: send('stderr'),
    });
  } catch (error) {
    send('stderr')(new TextEncoder().encode(`tovik: ${error}\n`));
    status = 2;
  }
  self.postMessage({ type: 'exit', status });
};
